// Copies that change only what the user asked for: chosen Geometry rows, named and unnamed
// connection points, rows in a new order, sub-shape replacement on a plain shape, destinations
// deep in a master and sources inside a group. Each run answers Cancel Run to any copy error, so
// that a refusal would show and stop the run.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "engine/CopyPrimitives.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;
using Answer = engine::ICopyFrontEnd::CopyErrorAnswer;

class DestinationSafety : public CopyPairTest {
protected:
    void SetUp() override {
        CopyPairTest::SetUp();
        Destinations({Target(destination)});
        frontEnd.answers = {Answer::CancelRun};
    }

    /// Runs the copy and expects it to finish without a refusal (after any warnings).
    void CopyCleanly() {
        Run();
        EXPECT_TRUE(frontEnd.shown.empty()) << frontEnd.shown.front();
        ASSERT_FALSE(frontEnd.Texts().empty());
        EXPECT_EQ(frontEnd.Texts().back(), "Clone Complete.");
    }

    /// The formulas of the cells a copy writes in a row of a multi-row section.
    static std::vector<std::string> RowFormulas(const ShapePtr& shape, int16_t section,
                                                int16_t row) {
        std::vector<std::string> formulas;
        for (int16_t c = 0; c < shape->RowsCellCount(section, row); ++c)
            formulas.push_back(FormulaOf(shape, section, row, c));
        return formulas;
    }
};

TEST_F(DestinationSafety, ChosenGeometryRowsLandInTheirOrderOnTheRowsPreparedForThem) {
    const int16_t geometry = visSectionFirstComponent;
    Write(source, {{"Geometry1.X3", "Geometry1.X2+Width*0.25"}});
    // Rows 0, 2 and 3 of the source's section: the Start row and two vertices.
    request.options.copyType = engine::CopyType::Overwrite;
    Choose({8});
    for (int16_t row = 0; row < source->RowCount(geometry); ++row) {
        const bool chosen = row == 0 || row == 2 || row == 3;
        request.geometryRows.push_back({int16_t(chosen ? 1 : 0), geometry, row});
    }
    CopyCleanly();
    ASSERT_EQ(destination->GeometryCount(), 1);
    ASSERT_EQ(destination->RowCount(geometry), 3);
    const int16_t from[] = {0, 2, 3};
    for (int16_t row = 0; row < 3; ++row) {
        SCOPED_TRACE("destination row " + std::to_string(row));
        EXPECT_EQ(destination->RowType(geometry, row), source->RowType(geometry, from[row]));
        if (row < 2) {
            EXPECT_EQ(RowFormulas(destination, geometry, row),
                      RowFormulas(source, geometry, from[row]));
        }
    }
    // Source row 3 refers to source row 2, which is now row 1.
    EXPECT_EQ(FormulaOf(destination, geometry, 2, 0), "Geometry1.X1+Width*0.25");
}

TEST_F(DestinationSafety, ConnectionPointsWithANameAreMatchedByName) {
    // One named point; the destination has a row of that name behind another.
    AddNamedRow(source, visSectionConnectionPts, "Mid", {"Width*0.25", "Height*0.5"});
    AddNamedRow(destination, visSectionConnectionPts, "Mid", {"0", "0"});
    AddNamedRow(destination, visSectionConnectionPts, "Other", {"Width", "Height"});
    request.options.copyType = engine::CopyType::Append;
    Choose({5});
    CopyCleanly();
    ASSERT_EQ(destination->RowCount(visSectionConnectionPts), 2);
    EXPECT_EQ(destination->Cells("Connections.Mid.X")->Formula(), "Width*0.25");
    EXPECT_EQ(destination->Cells("Connections.Other.X")->Formula(), "Width");
}

TEST_F(DestinationSafety, AppendedUnnamedConnectionPointsFollowTheDestinationsOwn) {
    AddRows(source, visSectionConnectionPts, {{"Width*0.1", "0"}, {"Width*0.2", "0"}});
    AddRows(destination, visSectionConnectionPts, {{"1", "0"}, {"2", "0"}, {"3", "0"}});
    request.options.copyType = engine::CopyType::Append;
    Choose({5});
    CopyCleanly();
    ASSERT_EQ(destination->RowCount(visSectionConnectionPts), 5);
    const char* expected[] = {"1", "2", "3", "Width*0.1", "Width*0.2"};
    for (int16_t row = 0; row < 5; ++row)
        EXPECT_EQ(FormulaOf(destination, visSectionConnectionPts, row, 0), expected[row]);
}

TEST_F(DestinationSafety, ReorderedRowsReferToTheRowsTheirReferencesWentTo) {
    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"Scratch.X1+10"}});
    Choose({9});
    request.options.copyType = engine::CopyType::Overwrite;
    request.rows[visSectionScratch] = {1, 0, 1, 0};
    request.orders[visSectionScratch] = {1, 0, 0};  // source row 2 first, then row 0
    CopyCleanly();
    ASSERT_EQ(destination->RowCount(visSectionScratch), 2);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "Scratch.X2+10");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 0), "1");
}

TEST_F(DestinationSafety, AppendedChosenRowsNeverOverwriteTheDestinationsRows) {
    // Two of four rows chosen onto a destination of two rows: four rows either side.
    AddRows(source, visSectionScratch, {{"10"}, {"11"}, {"12"}, {"13"}});
    AddRows(destination, visSectionScratch, {{"7"}, {"8"}});
    Choose({9});
    request.options.copyType = engine::CopyType::Append;
    request.rows[visSectionScratch] = {0, 1, 0, 1, 0};
    CopyCleanly();
    ASSERT_EQ(destination->RowCount(visSectionScratch), 4);
    const char* expected[] = {"7", "8", "11", "13"};
    for (int16_t row = 0; row < 4; ++row)
        EXPECT_EQ(FormulaOf(destination, visSectionScratch, row, 0), expected[row]);
}

TEST_F(DestinationSafety, ReplacingSubShapesKeepsAPlainDestinationItsIDAndWhatRefersToIt) {
    const ShapePtr group = Group({"Left", "Right"});
    AddNamedRow(group, visSectionUser, "Mark", {"3"});
    Source(Target(group));
    const int32_t id = destination->ID();
    const std::string name = destination->NameID();
    const ShapePtr follower = Rectangle(8, 8, 9, 9);
    Write(follower, {{"PinX", name + "!PinX+1"}});
    request.options.subShapes = engine::SubShapes::ReplaceAll;
    Choose({2});
    CopyCleanly();

    const ShapePtr kept = page->Shapes()->ItemFromID(id);
    EXPECT_EQ(kept->NameID(), name);
    EXPECT_EQ(follower->Cells("PinX")->Formula(), name + "!PinX+1");
    // The shape sits in a group that took the copy, beside the source's members.
    const ShapePtr made = std::dynamic_pointer_cast<IShape>(kept->Parent());
    ASSERT_TRUE(made);
    EXPECT_EQ(made->Cells("User.Mark")->Formula(), "3");
    ASSERT_EQ(made->Shapes()->Count(), 3);
    EXPECT_EQ(made->Shapes()->Item(1)->ID(), id);
    EXPECT_EQ(made->Shapes()->Item(2)->Name(), "Left");
    EXPECT_EQ(made->Shapes()->Item(3)->Name(), "Right");
    // Formulas written later may still name it.
    EXPECT_EQ(ErrorOf([&] { Write(follower, {{"Width", name + "!Width"}}); }), 0);
}

TEST_F(DestinationSafety, AShapeDeepInAMastersGroupIsADestination) {
    auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    const ShapePtr group = Group({"Inner"});
    group->Shapes()->Item(1)->ConvertToGroup();  // a group in the group
    box->Drop(group, 0, 0);
    const ShapePtr nested = box->Shapes()->Item(1)->Shapes()->Item(1)->Shapes()->Item(1);
    AddNamedRow(source, visSectionUser, "Twice", {"Width*2"});
    Destinations({Target(nested)});
    Choose({2});
    CopyCleanly();
    const ShapePtr after = box->Shapes()->Item(1)->Shapes()->Item(1)->Shapes()->Item(1);
    EXPECT_EQ(after->Cells("User.Twice")->Formula(), "Width*2");
    EXPECT_EQ(box->Shapes()->Count(), 1);  // no temporary copy left in the master
}

TEST_F(DestinationSafety, ASourceInsideAGroupPreparesOnlyItsChosenRows) {
    const ShapePtr group = Group({"Member", "Other"});
    const ShapePtr member = group->Shapes()->Item(1);
    AddNamedRow(member, visSectionUser, "A", {"1"});
    AddNamedRow(member, visSectionUser, "B", {"2"});
    AddNamedRow(member, visSectionUser, "C", {"3"});
    Source(Target(member));
    Choose({2});
    request.options.copyType = engine::CopyType::Overwrite;
    request.rows[visSectionUser] = {0, 1, 0, 0};
    CopyCleanly();
    ASSERT_EQ(destination->RowCount(visSectionUser), 1);
    EXPECT_EQ(destination->Cells("User.B")->Formula(), "2");
}

TEST_F(DestinationSafety, NamedRowsReadEachSectionsNamesOncePerCopy) {
    constexpr int16_t kRows = 30;
    for (int16_t i = 0; i < kRows; ++i) {
        AddNamedRow(source, visSectionUser, "R" + std::to_string(i), {std::to_string(i)});
        AddNamedRow(destination, visSectionUser, "R" + std::to_string(i), {"0"});
    }
    Model().Calls().ResetCallCounts();
    engine::CopyNamedRows(run, source, destination, visSectionUser);
    EXPECT_EQ(Model().Calls().CallCount("Cell.RowName"), 2u * kRows);
    EXPECT_EQ(destination->Cells("User.R29")->Formula(), "29");
}

}  // namespace
}  // namespace tess::test
