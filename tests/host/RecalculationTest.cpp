// Values the model computes, as Visio computes them: through instances of masters nested in other
// masters, for cells a copy writes, and in a recalculation that reads no stored value.
#include <gtest/gtest.h>

#include "host/EmbeddedFixture.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"
#include "support/TempFolder.h"

namespace tess::embedded {
namespace {

using namespace visio;

constexpr int16_t kX = 0;  // the X cell of a Geometry row

// A master "Arrow" that is a group with Scratch rows, whose members' geometry reads the group's
// Scratch: the group is 1 inch wide and its Scratch.X2 is 0.362, so Width+Sheet.N!Scratch.X2 is
// 1.362 in every member. The master "Panel" holds an instance of it and is listed first, as
// stencils list masters made before the masters they came to hold.
class NestedScratch : public test::EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        embedded::Model& model = Model();
        const auto documentData = DocumentOf(document);
        const auto panel = model.AddMaster(documentData, "Panel");
        const auto arrow = model.AddMaster(documentData, "Arrow");
        const ShapePtr first = WrapShape(app->ModelPtr(), model.DrawRectangle(arrow, 0, 0, 1, 1));
        first->ConvertToGroup();
        const auto group = std::dynamic_pointer_cast<IShape>(first->Parent());
        group->AddSection(visSectionScratch);
        group->AddRow(visSectionScratch, visRowLast, 0);
        group->AddRow(visSectionScratch, visRowLast, 0);
        Write(group, {{"Scratch.X1", "Width*0.25"}, {"Scratch.X2", "Width*0.362"}});
        for (int i = 0; i < 2; ++i) {
            Write(group->DrawRectangle(0, 0, 1, 1),
                  {{"Geometry1.X2", "Width+" + group->NameID() + "!Scratch.X2"},
                   {"Geometry1.X3", "Width+" + group->NameID() + "!Scratch.X1"}});
        }
        model.DrawRectangle(panel, 0, 0, 1, 1);
        model.DropMaster(panel, arrow, 5, 5);
        // Page shapes that take the IDs the masters use.
        for (int i = 0; i < 12; ++i)
            Rectangle(20, 20, 21, 21);
        page->Drop(document->Masters()->Item("Panel"), 10, 10);
        vsdx::SaveDocument(model, *documentData, folder.Path("nested.vsdx"));
    }

    /// The drawing read back, and the members of its arrow (the group inside the panel).
    struct ReadBack {
        std::shared_ptr<EmbeddedApplication> app = std::make_shared<EmbeddedApplication>();
        ShapePtr arrow;
    };
    ReadBack Read() const {
        ReadBack read;
        const auto data = vsdx::OpenDocument(read.app->TheModel(), folder.Path("nested.vsdx"));
        const PagePtr first = WrapDocument(read.app->ModelPtr(), data)->Pages()->Item(1);
        const ShapePtr panel = first->Shapes()->Item(first->Shapes()->Count());
        read.arrow = panel->Shapes()->Item(2);
        return read;
    }

    test::TempFolder folder;
};

TEST_F(NestedScratch, MembersComputeTheScratchOfTheirGroupThroughBothMasters) {
    const ReadBack read = Read();
    ASSERT_EQ(read.arrow->Shapes()->Count(), 3);
    for (int16_t i = 2; i <= 3; ++i) {
        const ShapePtr member = read.arrow->Shapes()->Item(i);
        SCOPED_TRACE(member->NameID());
        ASSERT_TRUE(member->SectionExists(visSectionFirstComponent, visExistsAnywhere));
        EXPECT_EQ(member->Cells("Geometry1.X2")->Formula(),
                  "Width+" + read.arrow->NameID() + "!Scratch.X2");
        const formula::Value value =
            read.app->TheModel().Recalculated(SheetOf(member), visSectionFirstComponent, 2, kX);
        ASSERT_EQ(value.type, formula::Value::Type::Number) << formula::TextOf(value);
        EXPECT_NEAR(value.number, 1.362, 1e-12);
    }
}

TEST_F(NestedScratch, ACopyOfAMembersGeometryToItsSiblingWritesTheValuesVisioComputes) {
    const ReadBack read = Read();
    const ShapePtr source = read.arrow->Shapes()->Item(2);
    const ShapePtr sibling = read.arrow->Shapes()->Item(3);
    std::vector<int16_t> stream;
    for (int16_t row = 1; row <= 3; ++row)
        stream.insert(stream.end(), {visSectionFirstComponent, row, kX});
    sibling->SetFormulas(stream, source->GetFormulas(stream), visSetBlastGuards);
    EXPECT_NEAR(sibling->Cells("Geometry1.X2")->ResultIU(), 1.362, 1e-12);
    EXPECT_NEAR(sibling->Cells("Geometry1.X3")->ResultIU(), 1.25, 1e-12);
}

}  // namespace
}  // namespace tess::embedded
