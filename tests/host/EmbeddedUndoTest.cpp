#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "host/EmbeddedFixture.h"
#include "host/embedded/HostErrors.h"
#include "support/ModelDump.h"

namespace tess::embedded {
namespace {

using namespace visio;
using test::DumpModel;

class UndoScopes : public test::EmbeddedDrawing {
protected:
    /// Undo gives the model before the last step, redo the model after it, undo again before.
    void ExpectUndoAndRedoRestore(const std::string& before, const std::string& after) {
        app->Undo();
        EXPECT_EQ(DumpModel(Model()), before);
        app->Redo();
        EXPECT_EQ(DumpModel(Model()), after);
        app->Undo();
        EXPECT_EQ(DumpModel(Model()), before);
    }
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        const auto masterData = Model().Shapes().AddMaster(DocumentOf(document), "Box");
        const ShapePtr masterShape =
            WrapShape(app->ModelPtr(), Model().Shapes().DrawRectangle(masterData, 0, 0, 1, 1));
        masterShape->AddNamedRow(visSectionUser, "Flag", 0);
        master = document->Masters()->Item("Box");
        instance = page->Drop(master, 2, 2);
        shape = Rectangle();
        shape->AddRow(visSectionScratch, visRowLast, 0);
        shape->Characters()->SetText("Some text");
    }

    /// Changes of every kind the program makes.
    void ChangeEverything() {
        Write(shape, {{"Width", "5"}, {"Scratch.X1", "Width*2"}});
        shape->AddNamedRow(visSectionProp, "Cost", 0);
        shape->AddRow(visSectionScratch, 0, 0);
        shape->DeleteRow(visSectionScratch, 1);
        shape->AddSection(11);
        shape->AddRow(11, 0, visTagComponent);
        shape->DeleteSection(10);
        shape->SetName("Renamed");
        shape->SetData2("data");
        shape->UniqueID(visGetOrMakeGUID);
        shape->SetOneD(true);
        shape->Characters()->SetText("Other");
        Write(instance, {{"User.Flag", "3"}});
        instance->DeleteRow(visSectionUser, 0);
        const ShapePtr added = Rectangle(7, 7, 8, 8);
        added->ConvertToGroup();
        std::dynamic_pointer_cast<IShape>(added->Parent())->DrawRectangle(0, 0, 1, 1);
        page->Drop(added, 1, 1);
        Rectangle()->Delete();
        document->Pages()->Add()->DrawRectangle(0, 0, 1, 1);
        app->Documents()->Add("");
        const MasterPtr copy = master->Open();
        copy->Shapes()->Item(1)->AddNamedRow(visSectionUser, "More", 0);
        copy->Close();
    }

    MasterPtr master;
    ShapePtr instance;
    ShapePtr shape;
};

TEST_F(UndoScopes, EndingWithoutCommitRestoresExactlyTheStateBefore) {
    const std::string before = DumpModel(Model());
    const int32_t scope = app->BeginUndoScope("Tessaline");
    ChangeEverything();
    ASSERT_NE(DumpModel(Model()), before);
    app->EndUndoScope(scope, false);
    EXPECT_EQ(DumpModel(Model()), before);
    EXPECT_EQ(app->Documents()->Count(), 1);
    EXPECT_EQ(shape->Characters()->Text(), "Some text");
    EXPECT_DOUBLE_EQ(shape->Cells("Width")->ResultIU(), 2);
    EXPECT_EQ(instance->RowCount(visSectionUser), 1);
}

TEST_F(UndoScopes, ACommittedScopeIsOneUndoStepAndCanBeRedone) {
    const std::string before = DumpModel(Model());
    const size_t depth = Model().Undo().UndoDepth();
    const int32_t scope = app->BeginUndoScope("Tessaline");
    ChangeEverything();
    app->EndUndoScope(scope, true);
    EXPECT_EQ(Model().Undo().UndoDepth(), depth + 1);
    ExpectUndoAndRedoRestore(before, DumpModel(Model()));
}

TEST_F(UndoScopes, NestedScopesJoinTheirOuterScopeAndMustBeBalanced) {
    const std::string before = DumpModel(Model());
    const int32_t outer = app->BeginUndoScope("outer");
    Write(shape, {{"Width", "4"}});
    const int32_t inner = app->BeginUndoScope("inner");
    Write(shape, {{"Height", "4"}});
    EXPECT_EQ(ErrorOf([&] { app->EndUndoScope(outer, true); }), hosterr::kUndoScope);
    app->EndUndoScope(inner, true);
    app->EndUndoScope(outer, false);
    EXPECT_EQ(DumpModel(Model()), before);
    EXPECT_EQ(ErrorOf([&] { app->EndUndoScope(outer, true); }), hosterr::kUndoScope);
}

TEST_F(UndoScopes, ARefusedWriteInsideAScopeIsRolledBackWithTheRest) {
    const std::string before = DumpModel(Model());
    const int32_t scope = app->BeginUndoScope("Tessaline");
    const std::vector<int16_t> stream = {6, 0, 0, 6, 0, 1, 6, 0, 2};
    EXPECT_NE(ErrorOf([&] {
                  shape->SetFormulas(stream, {{"1", "2", "Sheet.99!X"}}, visSetBlastGuards);
              }),
              0);
    EXPECT_EQ(shape->Cells("Scratch.Y1")->Formula(), "2");
    app->EndUndoScope(scope, false);
    EXPECT_EQ(DumpModel(Model()), before);
}

/// A run of changes inside one scope, and the shapes it makes that the model no longer holds
/// when it ends: the scope's undo step must not keep them either.
struct MadeInScope {
    const char* name;
    std::function<void(std::vector<SheetPtr>& gone)> run;
};

TEST_F(UndoScopes, ShapesMadeInAScopeCostItsStepOnlyWhatUndoAndRedoNeed) {
    const auto dropped = [this](const ShapePtr& what) { return page->Drop(what, 4, 4); };
    const MadeInScope runs[] = {
        {"a copy made, changed and deleted",
         [&](auto& gone) {
             const ShapePtr copy = dropped(shape);
             Write(copy, {{"Width", "9"}, {"Scratch.X1", "Width"}});
             copy->AddRow(visSectionScratch, visRowLast, 0);
             copy->Characters()->SetText("copy");
             gone.push_back(SheetOf(copy));
             copy->Delete();
         }},
        {"a copy of a group, its members changed, deleted",
         [&](auto& gone) {
             const ShapePtr group = Group({"A", "B"});
             const ShapePtr copy = dropped(group);
             Write(copy->Shapes()->Item(1), {{"Width", "3"}});
             copy->Shapes()->Item(2)->AddNamedRow(visSectionProp, "Cost", 0);
             gone.push_back(SheetOf(copy));
             copy->Delete();
         }},
        {"a copy made in an inner scope, deleted in the outer one",
         [&](auto& gone) {
             const int32_t inner = app->BeginUndoScope("inner");
             const ShapePtr copy = dropped(shape);
             Write(copy, {{"Height", "6"}});
             app->EndUndoScope(inner, true);
             Write(copy, {{"Width", "6"}});
             gone.push_back(SheetOf(copy));
             copy->Delete();
         }},
        {"two copies, the first deleted after the second was made",
         [&](auto&) {
             const ShapePtr first = dropped(shape);
             const ShapePtr second = dropped(shape);
             Write(first, {{"Width", "7"}});
             first->Delete();
             Write(second, {{"Width", "8"}});
         }},
        {"a copy changed in an inner scope that is discarded",
         [&](auto&) {
             const ShapePtr copy = dropped(shape);
             Write(copy, {{"Width", "7"}});
             const int32_t inner = app->BeginUndoScope("inner");
             Write(copy, {{"Width", "8"}});
             copy->AddRow(visSectionScratch, visRowLast, 0);
             app->EndUndoScope(inner, false);
             EXPECT_DOUBLE_EQ(copy->Cells("Width")->ResultIU(), 7);
             EXPECT_EQ(copy->RowCount(visSectionScratch), 1);
         }},
        {"a shape that was there put in a new group, then changed",
         [&](auto&) {
             shape->ConvertToGroup();
             Write(shape, {{"Width", "4"}});
             const ShapePtr group = std::dynamic_pointer_cast<IShape>(shape->Parent());
             Write(group->DrawRectangle(0, 0, 1, 1), {{"Height", "3"}});
         }},
    };
    for (const MadeInScope& run : runs) {
        SCOPED_TRACE(run.name);
        for (const bool commit : {true, false}) {
            const std::string before = DumpModel(Model());
            std::vector<std::weak_ptr<SheetData>> released;
            const int32_t scope = app->BeginUndoScope("Tessaline");
            {
                std::vector<SheetPtr> gone;
                run.run(gone);
                released.assign(gone.begin(), gone.end());
            }
            app->EndUndoScope(scope, commit);
            for (const auto& made : released)
                EXPECT_TRUE(made.expired()) << "the undo step keeps a shape that is gone";
            if (!commit) {
                EXPECT_EQ(DumpModel(Model()), before);
                continue;
            }
            ExpectUndoAndRedoRestore(before, DumpModel(Model()));
        }
    }
}

}  // namespace
}  // namespace tess::embedded
