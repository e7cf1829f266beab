// What a copy keeps true where the destination's rows, members and formulas meet the copied
// ones: references to rows not copied move with their row or are refused, references to the
// source's members go to the destination's matching members, overwriting keeps the rows other
// formulas need, and a source and destination one inside the other refuse a sub-shape
// replacement; each with what the report says.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/StringTable.h"
#include "engine/CopyFixture.h"
#include "engine/CopyPrimitives.h"
#include "platform/visio/Constants.h"
#include "support/ScriptedPrompt.h"
#include "window/SheetDiff.h"

namespace tess::test {
namespace {

using namespace visio;

std::vector<std::string> RowNames(const ShapePtr& shape, int16_t section) {
    std::vector<std::string> names;
    for (int16_t row = 0; row < shape->RowCount(section); ++row)
        names.push_back(shape->CellsSRC(section, row, 0)->RowName());
    return names;
}

std::vector<std::string> ShortfallTexts(const engine::DestinationReport& report) {
    std::vector<std::string> texts;
    for (const engine::Shortfall& shortfall : report.shortfalls)
        texts.push_back(shortfall.text);
    return texts;
}

class CopyPromises : public CopyPairTest {
protected:
    /// Runs a copy of the chosen boxes from source to destination as the window would.
    engine::CopyReport Copy(std::initializer_list<int16_t> boxes, bool append = false) {
        Destinations({Target(destination)});
        request.sections.clear();
        Choose(boxes);
        request.options.copyType = append ? engine::CopyType::Append : engine::CopyType::Overwrite;
        return Run();
    }
};

TEST_F(CopyPromises, AReferenceToARowNotCopiedMovesWithItsRowOrIsRefused) {
    // Rows 1 and 3 chosen (overwrite): row 3 lands on row 2 and its reference to row 2, which
    // is not copied, moves as its row moved: onto row 1, the copy of row 1, not onto itself.
    AddRows(source, visSectionScratch, {{"1"}, {"2"}, {"Scratch.X2*2", "Scratch.X1+1"}});
    AddRows(destination, visSectionScratch, {{"0"}});
    request.rows[visSectionScratch] = {1, 0, 1, 0};
    engine::CopyReport report = Copy({9});
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 0), "Scratch.X1*2");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 1), "Scratch.X1+1");
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);

    // Row 3 alone: its references to rows 1 and 2 would land before the first row. They are
    // refused and reported, each with its row and cell, and not written.
    app->Undo();
    request.rows[visSectionScratch] = {0, 0, 1, 0};
    report = Run();
    ASSERT_EQ(report.RefusalCount(), 2u);
    const engine::RefusedFormula& refused = report.destinations[0].refused[0];
    EXPECT_EQ(refused.errorNumber, engine::kFormulaNamesMissingRow);
    EXPECT_EQ(refused.formula, "Scratch.X0*2");
    EXPECT_EQ(refused.listedRow, "Row 1");
    EXPECT_EQ(refused.cell, 0);
    EXPECT_EQ(report.destinations[0].refused[1].formula, "Scratch.X-1+1");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "");
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
}

/// A master whose shape is a group with a member Label; two instances of it on the page.
class MemberReferences : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        const auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Card");
        const ShapePtr body =
            embedded::WrapShape(app->ModelPtr(), Model().Shapes().DrawRectangle(master, 0, 0, 2, 1));
        body->ConvertToGroup();
        const auto group = std::dynamic_pointer_cast<IShape>(body->Parent());
        group->DrawRectangle(0, 0, 1, 1)->SetName("Label");
        AddNamedRow(group, visSectionUser, "LabelWidth",
                    {group->Shapes()->Item("Label")->NameID() + "!Width"});
        first = page->Drop(document->Masters()->Item("Card"), 2, 2);
        second = page->Drop(document->Masters()->Item("Card"), 5, 5);
        // A formula of the first instance's own, naming its member.
        first->Cells("User.LabelWidth")->SetFormula(first->Shapes()->Item(1)->NameID() + "!Height");
        Source(Target(first));
        Destinations({Target(second)});
        Choose({2});
    }

    ShapePtr first;
    ShapePtr second;
};

TEST_F(MemberReferences, GoToTheDestinationsMatchingMemberOrStayAndAreReported) {
    // Made from the same master shape, whatever the sub-shape option.
    for (const auto subShapes : {engine::SubShapes::Ignore, engine::SubShapes::CopyCells}) {
        request.options.subShapes = subShapes;
        const engine::CopyReport report = Run();
        EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);
        EXPECT_EQ(second->Cells("User.LabelWidth")->Formula(),
                  second->Shapes()->Item(1)->NameID() + "!Height");
        app->Undo();
    }

    // A destination without such a member keeps the reference, and the report says so.
    const ShapePtr plain = Rectangle(8, 8, 9, 9);
    Destinations({Target(plain)});
    const engine::CopyReport report = Run();
    const std::string member = first->Shapes()->Item(1)->NameID();
    EXPECT_EQ(plain->Cells("User.LabelWidth")->Formula(), member + "!Height");
    EXPECT_EQ(ShortfallTexts(report.destinations.at(0)),
              std::vector<std::string>{app::FormatResString(engine::kKeptMemberText, member)});
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
    // On screen too, for the destination concerned, before the run's last word.
    const std::vector<std::string> texts = frontEnd.Texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2].rfind(app::LoadResString(engine::kShortfallsText), 0), 0u);
    EXPECT_NE(texts[texts.size() - 2].find("\r" + plain->Name() + ": "), std::string::npos);
}

/// A copy between pages, where a sheet name of the source's group is another sheet's on the
/// destination's page: each reference is rewritten once, to the sheet that stands for its own.
TEST_F(CopyTest, ReferencesBetweenPagesAreRenamedOnceWhereRenamesChainOrSwap) {
    struct Case {
        const char* what;
        std::vector<std::string> sourceMembers;
        int shapesBefore;  // shapes drawn on the destination's page before its group
        std::vector<std::string> destinationMembers;
    };
    const Case cases[] = {
        {"members chained", {"A", "B"}, 0, {"C", "A", "B"}},
        {"members swapped", {"A", "B"}, 0, {"B", "A"}},
        {"the group and its members chained", {"A", "B", "C"}, 2, {"A", "B", "C"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        page = document->Pages()->Add();
        const ShapePtr source = Group(test.sourceMembers);
        page = document->Pages()->Add();
        for (int i = 0; i < test.shapesBefore; ++i)
            Rectangle();
        const ShapePtr destination = Group(test.destinationMembers);
        // Sheet names per member name (the group itself under ""), on either side.
        std::map<std::string, std::string> from{{"", source->NameID()}}, to{{"", destination->NameID()}};
        for (int16_t i = 1; i <= source->Shapes()->Count(); ++i)
            from[source->Shapes()->Item(i)->Name()] = source->Shapes()->Item(i)->NameID();
        for (int16_t i = 1; i <= destination->Shapes()->Count(); ++i)
            to[destination->Shapes()->Item(i)->Name()] = destination->Shapes()->Item(i)->NameID();
        // The case is only worth its name where one rename's result is another's start.
        bool chained = false;
        for (const auto& [member, name] : from)
            chained = chained || (to[member] != name && std::any_of(from.begin(), from.end(),
                                     [&](const auto& other) { return other.second == to[member]; }));
        ASSERT_TRUE(chained);
        for (const auto& [member, name] : from)
            AddNamedRow(source, visSectionUser, "Of" + member, {name + "!Width"});
        Source(Target(source));
        Destinations({Target(destination)});
        request.sections = {2};
        EXPECT_EQ(Run().outcome, engine::CopyOutcome::Complete);
        for (const auto& [member, name] : from)
            EXPECT_EQ(destination->Cells("User.Of" + member)->Formula(), to[member] + "!Width");
        // The comparison reads the source through the same map: no formula differs (the
        // members' widths may).
        ScriptedPrompt prompt;
        const window::SheetDiff diff =
            window::DiffSheets(prompt, source, destination, {engine::FindCatalogueEntry(2)});
        ASSERT_EQ(diff.sections.size(), 1u);
        for (const window::RowDifference& row : diff.sections[0].rows) {
            for (const window::CellDifference& cell : row.cells)
                EXPECT_EQ(cell.change, window::CellChange::Value) << row.label << " " << cell.mapped;
        }
    }
}

TEST_F(CopyPromises, OverwriteKeepsTheRowsOtherFormulasNameAndSaysSo) {
    AddNamedRow(source, visSectionUser, "Alpha", {"1"});
    AddNamedRow(destination, visSectionUser, "Alpha", {"7"});
    AddNamedRow(destination, visSectionUser, "Beta", {"2"});
    AddNamedRow(destination, visSectionUser, "Gamma", {"3"});
    AddNamedRow(destination, visSectionUser, "Delta", {"4"});
    Write(destination, {{"Width", "User.Beta"}, {"User.Beta", "User.Gamma*2"}});
    const engine::CopyReport report = Copy({2});
    // Beta is named by Width, and Gamma by Beta; Delta, named by nothing, goes.
    EXPECT_EQ(RowNames(destination, visSectionUser),
              (std::vector<std::string>{"Beta", "Gamma", "Alpha"}));
    EXPECT_EQ(destination->Cells("User.Alpha")->Formula(), "1");
    EXPECT_EQ(ShortfallTexts(report.destinations.at(0)),
              std::vector<std::string>{app::FormatResString(
                  engine::kRowsKeptText, "User-defined Cells (User.Beta, User.Gamma)")});

    // Numbered rows up to the last one named stay; the first ones take the copy.
    app->Undo();
    AddRows(source, visSectionScratch, {{"10"}});
    AddRows(destination, visSectionScratch, {{"0"}, {"0"}, {"0"}});
    Write(destination, {{"Height", "Scratch.X2"}});
    Copy({9});
    EXPECT_EQ(destination->RowCount(visSectionScratch), 2);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "10");
}

TEST_F(CopyPromises, OverwriteKeepsAGeometryOtherFormulasNeedAndSaysSo) {
    // The destination's connection point sits on its fifth vertex; the source has four.
    destination->AddSection(visSectionConnectionPts);
    const int16_t point = destination->AddRow(visSectionConnectionPts, visRowLast, 0);
    destination->CellsSRC(visSectionConnectionPts, point, 0)->SetFormula("Geometry1.X5");
    source->DeleteRow(visSectionFirstComponent, 4);
    const std::string before = FormulaOf(destination, visSectionFirstComponent, 5, 0);
    const engine::CopyReport report = Copy({8});
    EXPECT_EQ(destination->RowCount(visSectionFirstComponent), 6);
    EXPECT_EQ(FormulaOf(destination, visSectionFirstComponent, 5, 0), before);
    ASSERT_EQ(report.destinations.at(0).shortfalls.size(), 1u);
    EXPECT_NE(report.destinations[0].shortfalls[0].text.find("Geometry Section 1, Row 6"),
              std::string::npos);

    // Appended, the destination's Geometry stays whole anyway.
    app->Undo();
    EXPECT_EQ(Copy({8}, true).outcome, engine::CopyOutcome::Complete);
    EXPECT_EQ(destination->GeometryCount(), 2);
}

TEST_F(CopyTest, ReplacingSubShapesRefusesASourceAndDestinationOneInsideTheOther) {
    const ShapePtr group = Group({"Left", "Right"});
    const ShapePtr member = group->Shapes()->Item("Right");
    Choose({1});
    request.options.subShapes = engine::SubShapes::ReplaceAll;
    const std::string before = DumpModel(Model());
    for (const auto& [from, to] : {std::pair{group, member}, std::pair{member, group}}) {
        Source(Target(from));
        Destinations({Target(to)});
        const engine::CopyReport report = Run();
        EXPECT_EQ(report.outcome, engine::CopyOutcome::Failed);
        EXPECT_EQ(frontEnd.Texts().back(), app::LoadResString(engine::kNestedReplaceText));
        EXPECT_EQ(DumpModel(Model()), before);
    }
}

}  // namespace
}  // namespace tess::test
