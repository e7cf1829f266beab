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
        const auto panel = model.Shapes().AddMaster(documentData, "Panel");
        const auto arrow = model.Shapes().AddMaster(documentData, "Arrow");
        const ShapePtr first = WrapShape(app->ModelPtr(), model.Shapes().DrawRectangle(arrow, 0, 0, 1, 1));
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
        model.Shapes().DrawRectangle(panel, 0, 0, 1, 1);
        model.Shapes().DropMaster(panel, arrow, 5, 5);
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
            read.app->TheModel().Values().Recalculated(SheetOf(member), visSectionFirstComponent, 2, kX);
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

// A drawing of two pages: on the second a shape with text, a group turned a quarter turn whose
// member the shape's formulas name, and cells whose stored values the file got wrong.
class Recalculation : public test::EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        page = document->Pages()->Add();
        shape = Rectangle(1, 1, 3, 2);  // 2 wide, 1 high
        shape->Characters()->SetText("Label");
        const ShapePtr first = Rectangle(3, 3, 5, 5);
        first->ConvertToGroup();
        group = std::dynamic_pointer_cast<IShape>(first->Parent());
        member = group->DrawRectangle(0, 0, 1, 0.5);
        Write(group, {{"PinX", "4"}, {"PinY", "4"}, {"Angle", "90 deg"}});
        Write(member, {{"PinX", "1.5"}, {"PinY", "1"}, {"Width", "1"}, {"Height", "0.5"}});
        shape->AddSection(visSectionScratch);
        for (int i = 0; i < 4; ++i)
            shape->AddRow(visSectionScratch, visRowLast, 0);
    }

    formula::Value Recalculated(const std::string& cellName) {
        const auto cell = shape->Cells(cellName);
        return Model().Values().Recalculated(SheetOf(shape), cell->Section(), cell->Row(), cell->Column());
    }

    /// Makes the value the model keeps for a cell (what a file gives it) another one.
    void Store(const std::string& cellName, formula::Value value) {
        const auto cell = shape->Cells(cellName);
        const SheetPtr sheet = SheetOf(shape);
        RowData& row = cell->Section() == visSectionObject
                           ? sheet->objectCells
                           : sheet->Section(cell->Section())->rows[cell->Row()];
        const int16_t key = cell->Section() == visSectionObject
                                ? ObjectCellKey(cell->Row(), cell->Column())
                                : cell->Column();
        row.Get(key).value = std::move(value);
    }

    ShapePtr shape, group, member;
};

TEST_F(Recalculation, ComputesFromFormulasAloneAsVisioComputes) {
    const std::string memberId = member->NameID();
    Write(shape, {{"Scratch.X1", "Width*2"}, {"Scratch.Y1", "Scratch.X1+1"}});
    // A stored value is not a computed one, for the cell or for those that name it.
    Store("Scratch.X1", formula::Value::Number(99));
    Store("Scratch.Y1", formula::Value::Number(100));
    struct Case {
        std::string cell, formula;
        formula::Value expected;
    };
    // The member's far corner (1, 0.5 in its own coordinates) lies at (2, 1.25) in the group,
    // and the group's quarter turn about its pin puts that at (3.75, 5) on the page; an X cell
    // takes the point's x, a Y cell its y.
    const std::string corner = "PAR(PNT(" + memberId + "!Width," + memberId + "!Height))";
    const std::vector<Case> cases = {
        {"Scratch.A2", "Scratch.Y1", formula::Value::Number(5)},
        {"Scratch.X2", corner, formula::Value::Number(3.75)},
        {"Scratch.Y2", corner, formula::Value::Number(5)},
        {"Scratch.A2", "SHAPETEXT(" + shape->NameID() + "!TheText)",
         formula::Value::String("Label")},
        {"Scratch.A2", "PAGENUMBER()&\" of \"&PAGECOUNT()", formula::Value::String("2 of 2")},
        {"Scratch.A2", "IFERROR(CONTAINERSHEETREF(1)!User.Heading,\"none\")",
         formula::Value::String("none")},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.cell + " = " + each.formula);
        Write(shape, {{each.cell, each.formula}});
        const formula::Value value = Recalculated(each.cell);
        EXPECT_EQ(value.type, each.expected.type);
        if (value.IsNumber())
            EXPECT_NEAR(value.number, each.expected.number, 1e-12);
        else
            EXPECT_EQ(formula::TextOf(value), formula::TextOf(each.expected));
    }
}

TEST_F(Recalculation, KeepsWhatNoFileHoldsAndComputesWhatNamesIt) {
    Write(shape, {{"Scratch.X1", "TEXTWIDTH(TheText)"},
                  {"Scratch.Y1", "Scratch.X1*2"},
                  {"EventDblClick", "Width*7"}});
    Store("Scratch.X1", formula::Value::Number(1.5));
    const formula::Value measured = Recalculated("Scratch.X1");
    EXPECT_EQ(measured.need, formula::Need::TextMetrics);
    EXPECT_EQ(formula::NumberOf(measured), 1.5);
    const formula::Value twice = Recalculated("Scratch.Y1");
    EXPECT_EQ(twice.need, formula::Need::None);
    EXPECT_EQ(formula::NumberOf(twice), 3);
    // An event's formula runs when the event fires; the cell shows 0.
    EXPECT_EQ(formula::NumberOf(Recalculated("EventDblClick")), 0);
}

}  // namespace
}  // namespace tess::embedded
