// The copy driver on the embedded model: the checks and messages of a run, the copy to listed,
// master and created destinations, the copy-error path, and the run as one undo step that is
// rolled back whole after an unexpected failure.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;

class CopyDriver : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        source = Rectangle();
        AddNamedRow(source, visSectionUser, "Twice", {"Width*2", "\"Twice the width\""});
        AddRows(source, visSectionScratch,
                {{"1", "Scratch.X1+1"}, {"Scratch.X1*3", source->NameID() + "!Height"}});
        Write(source, {{"LineWeight", "Width/100"}});
        Source(Target(source));
    }

    std::string DumpAll() { return DumpModel(Model()); }

    ShapePtr source;
};

TEST_F(CopyDriver, ChecksStopTheRunWithTheirMessages) {
    request.source.reset();
    const engine::CopyReport none = Run();
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"No source shape selected."});
    EXPECT_EQ(none.messages.size(), 1u) << "the messages are the report's too";
    EXPECT_EQ(Model().Calls().CallCount("Application.BeginUndoScope"), 0u);

    Source(Target(source));
    frontEnd.messages.clear();
    Run();
    EXPECT_EQ(frontEnd.Texts(),
              std::vector<std::string>{"Please specify at least one section to copy."});

    Choose({2});
    frontEnd.messages.clear();
    Run();
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"No destination shape selected."});
    EXPECT_EQ(frontEnd.messages.front().style, app::Style::Warning);
    EXPECT_EQ(frontEnd.messages.front().title, "Tessaline");

    Destinations({Target(Rectangle(4, 4, 5, 5)), *request.source});
    const std::string before = DumpAll();
    const size_t undoDepth = Model().Undo().UndoDepth();
    frontEnd.messages.clear();
    Run();
    EXPECT_EQ(
        frontEnd.Texts(),
        std::vector<std::string>{"One of the destination shapes is the same as the source shape."});
    EXPECT_EQ(DumpAll(), before);
    EXPECT_EQ(Model().Undo().UndoDepth(), undoDepth);

    request.source->sheet = nullptr;  // gone since it was chosen
    frontEnd.messages.clear();
    Run();
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"The source shape '" + source->Name() +
                                                         "' does not exist."});
}

TEST_F(CopyDriver, ARunCopiesToEveryDestinationAsOneUndoStep) {
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = document->Pages()->Add()->DrawRectangle(1, 1, 2, 2);
    Destinations({Target(first), Target(second)});
    Choose({2, 9, 13});
    const std::string before = DumpAll();
    const int16_t shapesBefore = page->Shapes()->Count();
    const engine::CopyReport report = Run();
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});
    EXPECT_EQ(frontEnd.messages.front().style, app::Style::Report);
    EXPECT_EQ(report.messages, frontEnd.messages);
    for (const ShapePtr& destination : {first, second}) {
        EXPECT_EQ(destination->Cells("User.Twice")->Formula(), "Width*2");
        EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 0), "Scratch.X1*3");
        EXPECT_EQ(FormulaOf(destination, visSectionScratch, 1, 1),
                  destination->NameID() + "!Height");
        EXPECT_EQ(destination->Cells("LineWeight")->Formula(), "Width/100");
    }
    EXPECT_EQ(page->Shapes()->Count(), shapesBefore);  // no temporary copy left behind
    app->Undo();
    EXPECT_EQ(DumpAll(), before);
}

TEST_F(CopyDriver, OverwriteAndAppendFollowTheRowChoicesAndOrders) {
    const ShapePtr destination = Rectangle(4, 4, 5, 5);
    AddRows(destination, visSectionScratch, {{"7"}, {"8"}, {"9"}});
    AddNamedRow(destination, visSectionUser, "Twice", {"0"});
    Destinations({Target(destination)});
    Choose({2, 9, 8});
    request.options.copyType = engine::CopyType::Append;
    request.rows[visSectionScratch] = {1, 1, 0};
    request.orders[visSectionScratch] = {1, 0, 0};
    Run();
    ASSERT_EQ(destination->RowCount(visSectionScratch), 5);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 2, 0), "9");
    // Source row 1, first; its reference to source row 0 follows that row to row 4.
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 3, 0), "Scratch.X5*3");
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 4, 0), "1");
    EXPECT_EQ(destination->RowCount(visSectionUser), 1);  // the name was there already
    EXPECT_EQ(destination->Cells("User.Twice")->Formula(), "Width*2");
    // Append puts the source's Geometry behind the destination's, renamed.
    EXPECT_EQ(destination->GeometryCount(), 2);
    EXPECT_EQ(FormulaOf(destination, visSectionFirstComponent + 1, 5, 0), "Geometry2.X1");

    request.options.copyType = engine::CopyType::Overwrite;
    request.orders.clear();
    Run();
    EXPECT_EQ(destination->RowCount(visSectionScratch), 2);
    EXPECT_EQ(FormulaOf(destination, visSectionScratch, 0, 0), "1");
    EXPECT_EQ(destination->GeometryCount(), 1);
}

TEST_F(CopyDriver, InheritedRowsOfAMasterInstanceGetLocalFormulas) {
    auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    const ShapePtr prototype = Rectangle(6, 6, 7, 7);
    AddNamedRow(prototype, visSectionUser, "Twice", {"1"});
    box->Drop(prototype, 0, 0);
    const ShapePtr instance = page->Drop(box, 3, 3);
    ASSERT_TRUE(instance->RowExists(visSectionUser, 0, 0));
    ASSERT_FALSE(instance->RowExists(visSectionUser, 0, 1));
    Destinations({Target(instance)});
    Choose({2});
    request.options.copyType = engine::CopyType::Append;
    Run();
    EXPECT_EQ(instance->Cells("User.Twice")->Formula(), "Width*2");
    EXPECT_EQ(box->Shapes()->Item(1)->Cells("User.Twice")->Formula(),
              "1");  // the master keeps its own
}

TEST_F(CopyDriver, AShapeInAMasterIsCopiedToThroughTheMastersEditCopy) {
    auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    box->Drop(Rectangle(6, 6, 7, 7), 0, 0);
    const ShapePtr instance = page->Drop(box, 3, 3);
    const ShapePtr inMaster = box->Shapes()->Item(1);
    Destinations({Target(inMaster)});
    Choose({2});
    Run();
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});
    EXPECT_EQ(box->Shapes()->Count(), 1);  // no temporary copy left in the master
    EXPECT_EQ(box->Shapes()->Item(1)->Cells("User.Twice")->Formula(), "Width*2");
    EXPECT_EQ(instance->Cells("User.Twice")->Formula(), "Width*2");  // inherited
}

TEST_F(CopyDriver, ADestinationIsCreatedWhenNoneIsListed) {
    request.options.createDestination = true;
    Choose({2, 8});
    const int16_t before = page->Shapes()->Count();
    Run();
    ASSERT_EQ(page->Shapes()->Count(), before + 1);
    const ShapePtr made = page->Shapes()->Item(before + 1);
    EXPECT_DOUBLE_EQ(made->Cells("Width")->ResultIU(), 1);
    EXPECT_EQ(made->Cells("User.Twice")->Formula(), "Width*2");

    // A group source gets an empty group.
    const ShapePtr inner = Rectangle(7, 7, 8, 8);
    inner->ConvertToGroup();
    const ShapePtr group = page->Shapes()->Item(page->Shapes()->Count());
    AddNamedRow(group, visSectionUser, "Mark", {"3"});
    Source(Target(group));
    Run();
    const ShapePtr emptyGroup = page->Shapes()->Item(page->Shapes()->Count());
    EXPECT_EQ(emptyGroup->Type(), visTypeGroup);
    EXPECT_EQ(emptyGroup->Shapes()->Count(), 0);
    EXPECT_EQ(emptyGroup->Cells("User.Mark")->Formula(), "3");

    // A page source gets a new page; a drawing source a new drawing.
    AddNamedRow(page->PageSheet(), visSectionUser, "Scale", {"2"});
    Source(Target(page));
    Run();
    ASSERT_EQ(document->Pages()->Count(), 2);
    EXPECT_EQ(document->Pages()->Item(2)->PageSheet()->Cells("User.Scale")->Formula(), "2");
    AddNamedRow(document->DocumentSheet(), visSectionUser, "Version", {"4"});
    Source(Target(document));
    const int16_t documents = app->Documents()->Count();
    Run();
    ASSERT_EQ(app->Documents()->Count(), documents + 1);
    EXPECT_EQ(
        app->Documents()->Item(documents + 1)->DocumentSheet()->Cells("User.Version")->Formula(),
        "4");
}

TEST_F(CopyDriver, RefusedWritesAskWhetherToGoOnOrCancelTheRun) {
    AddNamedRow(source, visSectionUser, "Only", {"1"});
    AddRows(source, visSectionScratch, {{"User.Only"}});
    Write(source, {{"LinePattern", "User.Only"}});
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Target(first), Target(second)});
    Choose({9, 13});
    engine::CopyReport report = Run();
    // Continue: both refusals of each destination are shown and the run ends.
    ASSERT_EQ(frontEnd.shown.size(), 4u);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
    ASSERT_EQ(report.destinations.size(), 2u);
    for (const engine::DestinationReport& each : report.destinations) {
        ASSERT_EQ(each.refused.size(), 2u);
        const engine::RefusedFormula& scratch = each.refused.front();
        EXPECT_EQ(scratch.sectionLabel, "Scratch");
        EXPECT_EQ(scratch.section, visSectionScratch);
        EXPECT_EQ(scratch.row, 2);  // the two rows before it were written
        EXPECT_EQ(scratch.cell, 0);
        EXPECT_EQ(scratch.formula, "User.Only");
        EXPECT_FALSE(scratch.errorText.empty());
        EXPECT_EQ(each.refused.back().rowLabel, "Line Format");
        EXPECT_EQ(each.rowsAdded, 3);
    }
    EXPECT_EQ(report.destinations[1].key, request.destinations[1].key);
    EXPECT_EQ(frontEnd.formulasShown.front(), "Width/100");
    EXPECT_NE(frontEnd.shown[0].find("in section:  'Scratch'"), std::string::npos);
    EXPECT_EQ(
        frontEnd.shown[1].substr(frontEnd.shown[1].find("\r\rThere")),
        "\r\rThere was an error copying the cells\rin section:  'Object' row:  'Line Format'");
    EXPECT_EQ(frontEnd.detailsFormulas.front(), "Width/100");
    EXPECT_EQ(frontEnd.detailsShape->ID(), second->ID());
    EXPECT_EQ(frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});

    // Cancel Run at the first refusal: nothing more is copied or shown.
    frontEnd.shown.clear();
    frontEnd.messages.clear();
    frontEnd.answers = {engine::ICopyFrontEnd::CopyErrorAnswer::CancelRun};
    const ShapePtr third = Rectangle(8, 8, 9, 9);
    Destinations({Target(third), Target(Rectangle(9, 9, 10, 10))});
    report = Run();
    EXPECT_EQ(frontEnd.shown.size(), 1u);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Cancelled);
    EXPECT_EQ(report.destinations.size(), 1u);
    EXPECT_TRUE(frontEnd.messages.empty());
    EXPECT_NE(third->Cells("LineWeight")->Formula(),
              "Width/100");  // the Line Format copy never came
}

TEST_F(CopyDriver, AnUnexpectedFailureAtAnyHostCallLeavesTheDrawingAsItWas) {
    // Three destinations: on this page, on another page and in a master.
    auto master = Model().Shapes().AddMaster(embedded::DocumentOf(document), "Box");
    const MasterPtr box = embedded::WrapMaster(app->ModelPtr(), master);
    box->Drop(Rectangle(6, 6, 7, 7), 0, 0);
    const ShapePtr other = document->Pages()->Add()->DrawRectangle(1, 1, 2, 2);
    source->Characters()->SetText("Label");
    Destinations({Target(Rectangle(4, 4, 5, 5)), Target(other), Target(box->Shapes()->Item(1))});
    Choose({2, 9, 8, 13, 10});
    request.options.copyShapeText = true;
    const std::string before = DumpAll();
    const size_t undoDepth = Model().Undo().UndoDepth();
    const int16_t shapes = page->Shapes()->Count();

    Model().Calls().ResetCallCounts();
    Run();
    const uint64_t calls = Model().Calls().TotalCalls();
    ASSERT_EQ(frontEnd.Texts(), std::vector<std::string>{"Clone Complete."});
    app->Undo();
    ASSERT_EQ(DumpAll(), before);

    uint64_t discarded = 0;
    for (uint64_t n = 1; n <= calls; ++n) {
        SCOPED_TRACE("failure at host call " + std::to_string(n));
        Model().Calls().InjectFailure(n);
        Run();
        Model().Calls().InjectFailure(0);
        // Either the run was discarded, or it is one undo step (a failure the run may pass over).
        if (Model().Undo().UndoDepth() > undoDepth) {
            EXPECT_EQ(page->Shapes()->Count(), shapes);  // no temporary copy left behind
            app->Undo();
        } else {
            ++discarded;
        }
        ASSERT_EQ(Model().Undo().UndoDepth(), undoDepth);
        ASSERT_EQ(DumpAll(), before);
    }
    // Failures in the run's own steps discard it; failures a step reports and passes over (a
    // primitive's, a preparation's) leave a committed run: both kinds were met.
    EXPECT_GT(discarded, 0u);
    EXPECT_LT(discarded, calls);
}

}  // namespace
}  // namespace tess::test
