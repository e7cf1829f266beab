// What a run hands back and whom it tells on the way: the report's outcome and per-destination
// changes, the progress and its stop between destinations, and a front end that changes the
// request's list while a dialog of the run is open.
#include <gtest/gtest.h>

#include "engine/CopyFixture.h"
#include "platform/visio/Constants.h"

namespace tess::test {
namespace {

using namespace visio;
using Stage = engine::ICopyFrontEnd::Stage;

/// Records every step it is told of; says stop after stopAfter destinations.
class RecordingProgress : public ScriptedFrontEnd {
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
        Source(Target(source));
        Choose({9});
    }

    ShapePtr source;
};

TEST_F(CopyReport, EachDestinationSaysWhatChanged) {
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    AddRows(first, visSectionScratch, {{"7"}, {"8"}, {"9"}});
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Target(first), Target(second)});
    const engine::CopyReport report = Run();
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Complete);
    ASSERT_EQ(report.destinations.size(), 2u);
    const engine::DestinationReport& overwritten = report.destinations[0];
    EXPECT_EQ(overwritten.key, request.destinations[0].key);
    EXPECT_EQ(overwritten.sheet->ID(), first->ID());
    EXPECT_EQ(overwritten.rowsDeleted, 3);
    EXPECT_EQ(overwritten.rowsAdded, 2);
    EXPECT_EQ(overwritten.cellsWritten, 12);  // two rows of the six Scratch cells
    EXPECT_TRUE(overwritten.refused.empty());
    EXPECT_EQ(report.destinations[1].rowsDeleted, 0);
    EXPECT_EQ(report.destinations[1].cellsWritten, 12);

    // A destination that is gone fails the run, which still copies to the others.
    request.destinations[0].sheet = nullptr;
    EXPECT_EQ(Run().outcome, engine::CopyOutcome::Failed);
}

TEST_F(CopyReport, SubShapesMadeAndRemovedAreCounted) {
    const ShapePtr group = Group({"Left", "Right"});
    Source(Target(group));
    const ShapePtr target = Group({"Old1", "Old2", "Old3"});
    Destinations({Target(target)});
    request.options.subShapes = engine::SubShapes::ReplaceAll;
    Choose({2});
    AddNamedRow(group, visSectionUser, "Mark", {"1"});
    const engine::CopyReport report = Run();
    ASSERT_EQ(report.destinations.size(), 1u);
    EXPECT_EQ(report.destinations[0].subShapesCreated, 2);
    EXPECT_EQ(report.destinations[0].subShapesDeleted, 3);
    EXPECT_EQ(target->Shapes()->Count(), 2);
}

TEST_F(CopyReport, TheProgressFollowsEachDestinationAndMayStopTheRun) {
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Target(first), Target(second)});
    RecordingProgress progress;
    EXPECT_EQ(driver.BeginCopy(request, progress).outcome, engine::CopyOutcome::Complete);
    using StepList = std::vector<RecordingProgress::Step>;
    EXPECT_EQ(progress.steps, (StepList{{1, 2, Stage::Preparing},
                                        {1, 2, Stage::Copying},
                                        {2, 2, Stage::Preparing},
                                        {2, 2, Stage::Copying}}));
    EXPECT_EQ(progress.asked, 1);  // between the two destinations only

    // Stop after the first: the second is not touched and no completion is claimed.
    const ShapePtr third = Rectangle(8, 8, 9, 9);
    const ShapePtr fourth = Rectangle(9, 9, 10, 10);
    Destinations({Target(third), Target(fourth)});
    RecordingProgress stopping;
    stopping.stopAfter = 1;
    const engine::CopyReport report = driver.BeginCopy(request, stopping);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::Cancelled);
    EXPECT_EQ(report.destinations.size(), 1u);
    EXPECT_TRUE(third->SectionExists(visSectionScratch, 1));
    EXPECT_FALSE(fourth->SectionExists(visSectionScratch, 1));
    EXPECT_TRUE(stopping.messages.empty());
    EXPECT_TRUE(report.messages.empty());
}

/// A front end that empties the request's destination list while its copy error dialog is open.
class ListClearingFrontEnd : public ScriptedFrontEnd {
public:
    explicit ListClearingFrontEnd(engine::CopyRequest& request) : m_request(request) {}
    CopyErrorAnswer ShowCopyError(const std::string& message) override {
        m_request.destinations.clear();
        m_request.destinations.shrink_to_fit();
        return ScriptedFrontEnd::ShowCopyError(message);
    }

private:
    engine::CopyRequest& m_request;
};

TEST_F(CopyReport, TheRunKeepsItsDestinationsWhenTheFrontEndChangesItsList) {
    AddNamedRow(source, visSectionUser, "Only", {"1"});
    AddRows(source, visSectionScratch, {{"User.Only"}});  // refused by every destination
    const ShapePtr first = Rectangle(4, 4, 5, 5);
    const ShapePtr second = Rectangle(6, 6, 7, 7);
    Destinations({Target(first), Target(second)});
    ListClearingFrontEnd clearing(request);
    const engine::CopyReport report = driver.BeginCopy(request, clearing);
    EXPECT_EQ(report.outcome, engine::CopyOutcome::CompleteWithRefusals);
    EXPECT_EQ(report.destinations.size(), 2u);
    EXPECT_EQ(clearing.shown.size(), 2u);
    EXPECT_EQ(report.RefusalCount(), 2u);
    EXPECT_EQ(FormulaOf(second, visSectionScratch, 1, 0), "Scratch.X1*3");
}

}  // namespace
}  // namespace tess::test
