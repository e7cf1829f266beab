// What a run hands back and whom it tells on the way: the report's outcome and per-destination
// changes, the progress and its stop between destinations, and a window whose lists change while
// a dialog of the run is open.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;
using Stage = engine::ICopyProgress::Stage;

/// Records every step it is told of; says stop after stopAfter destinations.
class RecordingProgress : public engine::ICopyProgress {
public:
    void Progress(int index, int count, Stage stage) override {
        steps.push_back({index, count, stage});
    }
    bool GoOn() override { return ++asked < stopAfter; }

    struct Step {
        int index, count;
        Stage stage;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> steps;
    int asked = 0;
    int stopAfter = 1000;
};

class CopyReport : public CopyTest {
protected:
    void SetUp() override {
        CopyTest::SetUp();
        source = Rectangle();
        AddRows(source, visSectionScratch, {{"1", "2"}, {"Scratch.X1*3"}});
        Source(Item(source));
        Choose({9});
    }

    ShapePtr source;
};

TEST_F(CopyReport, EachDestinationSaysWhatChanged) {
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    AddRows(first, visSectionScratch, {{"7"}, {"8"}, {"9"}});
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Item(first), Item(second)});
    const engine::CopyReport report = driver.BeginCopy(window);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);
    ASSERT_EQ(report.destinations.size(), 2u);
    const engine::DestinationReport& overwritten = report.destinations[0];
    EXPECT_EQ(overwritten.item.key, window.destinations[0].key);
    EXPECT_EQ(overwritten.sheet->ID(), first->ID());
    EXPECT_EQ(overwritten.rowsDeleted, 3);
    EXPECT_EQ(overwritten.rowsAdded, 2);
    EXPECT_EQ(overwritten.cellsWritten, 12);  // two rows of the six Scratch cells
    EXPECT_TRUE(overwritten.refused.empty());
    EXPECT_EQ(report.destinations[1].rowsDeleted, 0);
    EXPECT_EQ(report.destinations[1].cellsWritten, 12);

    // A destination that is gone fails the run, which still copies to the others.
    tree.objects.erase(window.destinations[0].key);
    EXPECT_EQ(driver.BeginCopy(window).outcome, engine::CopyOutcome::Failed);
}

TEST_F(CopyReport, SubShapesMadeAndRemovedAreCounted) {
    const ShapePtr group = Group({"Left", "Right"});
    Source(Item(group));
    const ShapePtr target = Group({"Old1", "Old2", "Old3"});
    Destinations({Item(target)});
    window.options.SelectReplaceSubShapes();
    Choose({2});
    AddNamedRow(group, visSectionUser, "Mark", {"1"});
    const engine::CopyReport report = driver.BeginCopy(window);
    ASSERT_EQ(report.destinations.size(), 1u);
    EXPECT_EQ(report.destinations[0].subShapesCreated, 2);
    EXPECT_EQ(report.destinations[0].subShapesDeleted, 3);
    EXPECT_EQ(target->Shapes()->Count(), 2);
}

TEST_F(CopyReport, TheProgressFollowsEachDestinationAndMayStopTheRun) {
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Item(first), Item(second)});
    RecordingProgress progress;
    EXPECT_EQ(driver.BeginCopy(window, &progress).outcome, engine::CopyOutcome::Complete);
    using StepList = std::vector<RecordingProgress::Step>;
    EXPECT_EQ(progress.steps, (StepList{{1, 2, Stage::Preparing},
                                        {1, 2, Stage::Copying},
                                        {2, 2, Stage::Preparing},
                                        {2, 2, Stage::Copying}}));
    EXPECT_EQ(progress.asked, 1);  // between the two destinations only

    // Stop after the first: the second is not touched and no completion is claimed.
    const ShapePtr third = Rectangle(8, 8, 9, 9);
    const ShapePtr fourth = Rectangle(9, 9, 10, 10);
    Destinations({Item(third), Item(fourth)});
    RecordingProgress stopping;
    stopping.stopAfter = 1;
    prompt.messages.clear();
    const engine::CopyReport report = driver.BeginCopy(window, &stopping);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Cancelled);
    EXPECT_EQ(report.destinations.size(), 1u);
    EXPECT_TRUE(third->SectionExists(visSectionScratch, 1));
    EXPECT_FALSE(fourth->SectionExists(visSectionScratch, 1));
    EXPECT_TRUE(prompt.messages.empty());
}

/// A copy error dialog whose window empties its destination list while it is open.
class ListClearingDialog : public ScriptedCopyErrorDialog {
public:
    explicit ListClearingDialog(engine::CopyWindow& window) : m_window(window) {}
    Answer ShowModal(const engine::CopyErrorDetails& details) override {
        m_window.destinations.clear();
        m_window.destinations.shrink_to_fit();
        return ScriptedCopyErrorDialog::ShowModal(details);
    }

private:
    engine::CopyWindow& m_window;
};

TEST_F(CopyReport, TheRunKeepsItsDestinationsWhenTheWindowChangesItsList) {
    AddNamedRow(source, visSectionUser, "Only", {"1"});
    AddRows(source, visSectionScratch, {{"User.Only"}});  // refused by every destination
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Item(first), Item(second)});
    ListClearingDialog clearing(window);
    engine::SetCopyErrorDialog(&clearing);
    const engine::CopyReport report = driver.BeginCopy(window);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
    EXPECT_EQ(report.destinations.size(), 2u);
    EXPECT_EQ(clearing.shown.size(), 2u);
    EXPECT_EQ(report.RefusalCount(), 2u);
    EXPECT_EQ(FormulaOf(second, visSectionScratch, 1, 0), "Scratch.X1*3");
}

}  // namespace
}  // namespace tess::test
