// An overwrite keeps the destination rows other formulas name as those formulas stand when the
// run reaches that destination: what the destinations written before it name now, not what they
// named before the run. And what a page's formulas name is read once per run, not once per
// destination.
#include <gtest/gtest.h>

#include <functional>

#include "engine/CopyFixture.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;

class OverwriteAcrossDestinations : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        // The source is on a page of its own: its formulas are none of the destinations'
        // neighbours.
        source = document->Pages()->Add()->DrawRectangle(1, 1, 2, 2);
        Source(Target(source));
        request.options.copyType = engine::CopyType::Overwrite;
        Choose({9});
    }

    /// A run of the source's Scratch section to first, then second.
    engine::CopyReport CopyTo(const ShapePtr& first, const ShapePtr& second) {
        Destinations({Target(first), Target(second)});
        return Run();
    }

    ShapePtr source;
};

struct Case {
    const char* what;
    // The source's Scratch row, and the first destination's before the run; "@" stands for the
    // second destination's reference name by ID.
    std::vector<std::string> sourceRow;
    std::vector<std::string> firstRow;
    int16_t secondRowsAfter;  // of its three
};

std::vector<std::string> Named(std::vector<std::string> cells, const std::string& name) {
    for (std::string& cell : cells) {
        if (const size_t at = cell.find('@'); at != std::string::npos) cell.replace(at, 1, name);
    }
    return cells;
}

TEST_F(OverwriteAcrossDestinations, KeepsTheRowsTheDestinationsWrittenBeforeNameNow) {
    // The source is a shape of a master beside one named Target; its formulas that name Target
    // name, once copied to the page, the page's Target: the second destination.
    const MasterPtr box = embedded::WrapMaster(
        app->ModelPtr(), Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box"));
    source = box->Drop(source, 0, 0);
    const ShapePtr inBox = box->Drop(source, 1, 1);
    inBox->SetName("Target");
    AddRows(inBox, visSectionScratch, {{"1"}, {"2"}, {"3"}});
    Source(Target(source));
    const Case cases[] = {
        {"the first destination's new formula names the second's row by name",
         {"1", "Target!Scratch.X2"}, {"0"}, 2},
        {"the first destination's new formula names the second's row, its name in other case",
         {"1", "TARGET!Scratch.X3"}, {"0"}, 3},
        {"what the first destination named before the run is overwritten", {"1"},
         {"0", "@!Scratch.X3"}, 1},
        {"nothing names the second's rows before or after", {"1"}, {"0"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ShapePtr first = Rectangle(4, 4, 5, 5);
        const ShapePtr second = Rectangle(6, 6, 7, 7);
        const std::string name = second->NameID();  // "Sheet.n", by ID
        second->SetName("Target");
        AddRows(second, visSectionScratch, {{"1"}, {"2"}, {"3"}});
        AddRows(source, visSectionScratch, {Named(c.sourceRow, name)});
        AddRows(first, visSectionScratch, {Named(c.firstRow, name)});

        const engine::CopyReport report = CopyTo(first, second);
        EXPECT_EQ(report.RefusalCount(), 0u);
        const auto last = static_cast<int16_t>(c.sourceRow.size() - 1);
        EXPECT_EQ(FormulaOf(first, visSectionScratch, 0, last), Named(c.sourceRow, name).back());
        ASSERT_EQ(second->RowCount(visSectionScratch), c.secondRowsAfter);
        for (int16_t row = 1; row < c.secondRowsAfter; ++row)
            EXPECT_EQ(FormulaOf(second, visSectionScratch, row, 0), std::to_string(row + 1));
        EXPECT_EQ(report.ShortfallCount(), c.secondRowsAfter > 1 ? 1u : 0u);

        app->Undo();
        source->DeleteSection(visSectionScratch);
        first->Delete();
        second->Delete();
    }
}

TEST_F(OverwriteAcrossDestinations, MembersReplacedNameNothingAnyMore) {
    // The first destination's member names the second's third row; replacing the sub-shapes
    // deletes it, so the second keeps only the row the copy writes.
    const ShapePtr from = source->ContainingPage()->DrawRectangle(1, 1, 2, 2);
    from->ConvertToGroup();
    Source(Target(std::dynamic_pointer_cast<IShape>(from->Parent())));
    AddRows(request.source->sheet, visSectionScratch, {{"1"}});
    const ShapePtr first = Group({"Old"});
    const ShapePtr second = Group({"Other"});
    AddRows(second, visSectionScratch, {{"1"}, {"2"}, {"3"}});
    AddRows(first, visSectionScratch, {{"0"}});
    AddRows(first->Shapes()->Item(1), visSectionScratch, {{second->NameID() + "!Scratch.X3"}});
    request.options.subShapes = engine::SubShapes::ReplaceAll;

    const engine::CopyReport report = CopyTo(first, second);
    EXPECT_EQ(report.destinations.at(0).subShapesDeleted, 1);
    EXPECT_EQ(second->RowCount(visSectionScratch), 1);
    EXPECT_EQ(report.ShortfallCount(), 0u);
}

TEST_F(OverwriteAcrossDestinations, ReadsThePageOncePerRun) {
    // The host reads per destination stay the same whatever the number of shapes on the page:
    // a run that read the page for every destination would read four times as much per
    // destination on the larger page.
    const auto readsPerDestination = [&](int count) {
        const PagePtr on = document->Pages()->Add();
        std::vector<engine::CopyTarget> targets;
        for (int i = 0; i < count; ++i) {
            const ShapePtr shape = on->DrawRectangle(i, 1, i + 0.5, 2);
            AddRows(shape, visSectionScratch, {{"1"}, {"Scratch.X1*2"}});
            targets.push_back(Target(shape));
        }
        Destinations(targets);
        Model().Calls().ResetCallCounts();
        const engine::CopyReport report = Run();
        EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);
        return static_cast<double>(Model().Calls().CallCount("Shape.GetFormulas")) / count;
    };
    AddRows(source, visSectionScratch, {{"Width*0.5"}});
    const double few = readsPerDestination(8);
    const double many = readsPerDestination(32);
    EXPECT_GT(few, 0);
    EXPECT_LT(many, few * 1.5) << few << " reads per destination for 8, " << many << " for 32";
}

}  // namespace
}  // namespace tess::test
