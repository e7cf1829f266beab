// Members of master instances show the formulas they inherit in terms of their own instance:
// a master's "Sheet.<ID>!" names the member of the same instance that stands for that shape.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "formula/Formula.h"
#include "host/EmbeddedFixture.h"
#include "host/vsdx/Vsdx.h"
#include "support/Samples.h"

namespace tess::embedded {
namespace {

using namespace visio;
using test::EmbeddedDrawing;

/// The IDs of the shapes a formula names by ID on its own page or master, in order.
std::vector<int32_t> ShapeIdsNamed(const std::string& text) {
    std::vector<int32_t> ids;
    const formula::ParseResult parsed = formula::Parse(text);
    for (const formula::Reference& reference : parsed.formula.references) {
        if (reference.sheet.kind == formula::SheetKind::ById && reference.sheet.collection.empty())
            ids.push_back(reference.sheet.id);
    }
    return ids;
}

/// The outermost group of the instance a shape belongs to.
const SheetData& InstanceRoot(const SheetData& shape) {
    const MasterData* master = shape.masterShape ? shape.masterShape->master : nullptr;
    const SheetData* root = &shape;
    while (root->parent && root->parent->masterShape && root->parent->masterShape->master == master)
        root = root->parent;
    return *root;
}

/// A section, row and cell of a sheet, and the formula the sheet shows there.
struct ShownFormula {
    int16_t section, row, cell;
    std::string text;
};

/// Every formula a shape shows, read through the host objects (GetFormulas, one call a row).
std::vector<ShownFormula> ShownFormulas(const ShapePtr& shape) {
    std::vector<ShownFormula> shown;
    const auto readRow = [&](int16_t section, int16_t row) {
        std::vector<int16_t> stream;
        for (int16_t cell = 0; cell < shape->RowsCellCount(section, row); ++cell) {
            if (shape->CellsSRCExists(section, row, cell, visExistsAnywhere))
                stream.insert(stream.end(), {section, row, cell});
        }
        const std::vector<std::string> formulas = shape->GetFormulas(stream);
        for (size_t i = 0; i < formulas.size(); ++i)
            shown.push_back({section, row, stream[i * 3 + 2], formulas[i]});
    };
    for (int16_t row = 1; row < 40; ++row) {
        if (shape->RowExists(visSectionObject, row, visExistsAnywhere))
            readRow(visSectionObject, row);
    }
    const SheetPtr sheet = SheetOf(shape);
    for (const SectionData& section : std::vector<SectionData>(sheet->sections)) {
        for (int16_t row = 0; row < shape->RowCount(section.index); ++row)
            readRow(section.index, row);
    }
    return shown;
}

/// Where an inherited cell of a sheet takes its formula from on the sheet's master shape.
struct InheritedFrom {
    int16_t section, row;
};
std::optional<InheritedFrom> MasterCellOf(const SheetData& sheet, int16_t section, int16_t row) {
    if (section == visSectionObject) return InheritedFrom{section, row};
    const SectionData* data = sheet.Section(section);
    if (!data || data->rows[static_cast<size_t>(row)].key < 0) return std::nullopt;
    return InheritedFrom{data->key >= 0 ? data->key : section,
                         data->rows[static_cast<size_t>(row)].key};
}

/// Calls visit for every shape of a container that is part of a master instance, at any depth.
void ForEachInstanceShape(const std::vector<SheetPtr>& shapes,
                          const std::function<void(const SheetPtr&)>& visit) {
    for (const SheetPtr& shape : std::vector<SheetPtr>(shapes)) {
        if (shape->masterShape) visit(shape);
        ForEachInstanceShape(shape->shapes, visit);
    }
}

class SampleInstances : public ::testing::Test {
protected:
    std::shared_ptr<EmbeddedApplication> app = std::make_shared<EmbeddedApplication>();
    Model& model = app->TheModel();
};

// Every Sheet.N an instance member shows names the page shape that stands, in the member's own
// instance, for the master shape the master's formula names; and every shape a member shows
// exists on its page.
TEST_F(SampleInstances, InheritedReferencesNameTheMembersOfTheirOwnInstance) {
    size_t translated = 0;
    for (const std::string& path : test::SampleFiles()) {
        SCOPED_TRACE(path);
        const auto document = vsdx::OpenDocument(model, path);
        for (const auto& page : document->pages) {
            model.LoadShapes(*page);
            ForEachInstanceShape(page->shapes, [&](const SheetPtr& sheet) {
                const ShapePtr shape = WrapShape(app->ModelPtr(), sheet);
                for (const ShownFormula& shown : ShownFormulas(shape)) {
                    SCOPED_TRACE(page->name + " " + NameId(*sheet) + " " +
                                 formula::CellNameText(shown.section, shown.row, shown.cell) +
                                 " = " + shown.text);
                    const std::vector<int32_t> ids = ShapeIdsNamed(shown.text);
                    for (int32_t id : ids)
                        EXPECT_TRUE(page->shapesById.count(id)) << "Sheet." << id << " is missing";
                    if (ids.empty() ||
                        model.CellExists(*sheet, shown.section, shown.row, shown.cell, true)) {
                        continue;
                    }
                    const auto from = MasterCellOf(*sheet, shown.section, shown.row);
                    ASSERT_TRUE(from);
                    const std::vector<int32_t> masterIds = ShapeIdsNamed(
                        model.Formula(*sheet->masterShape, from->section, from->row, shown.cell));
                    ASSERT_EQ(masterIds.size(), ids.size());
                    const MasterData& master = *sheet->masterShape->master;
                    for (size_t i = 0; i < ids.size(); ++i) {
                        if (!master.shapesById.count(masterIds[i])) continue;
                        const SheetData& named = *page->shapesById.at(ids[i]);
                        ASSERT_TRUE(named.masterShape) << "Sheet." << ids[i];
                        EXPECT_EQ(named.masterShape->master, &master);
                        EXPECT_EQ(named.masterShape->id, masterIds[i]);
                        EXPECT_EQ(&InstanceRoot(named), &InstanceRoot(*sheet));
                        ++translated;
                    }
                }
            });
        }
    }
    // The border of BFlowcht and the nested group of test_master_multiple_child_shapes alone
    // name their own members dozens of times.
    EXPECT_GT(translated, 50u);
}

// Visio stores the value of every inherited cell it shows; where the inherited formula names
// other members, the model computes the same value through the member's own instance.
TEST_F(SampleInstances, InheritedFormulasComputeWhatVisioStoredForTheMember) {
    size_t compared = 0;
    std::vector<std::string> differing;
    for (const std::string& path : test::SampleFiles()) {
        const auto document = vsdx::OpenDocument(model, path);
        for (const auto& page : document->pages) {
            model.LoadShapes(*page);
            ForEachInstanceShape(page->shapes, [&](const SheetPtr& sheet) {
                std::vector<std::tuple<int16_t, int16_t, int16_t, double>> stored;
                const auto collect = [&](int16_t section, int16_t row, int16_t cell,
                                         const CellData& data) {
                    if (data.source == CellData::Source::Inherited && data.inFile &&
                        data.value.IsNumber()) {
                        stored.emplace_back(section, row, cell, data.value.number);
                    }
                };
                for (const CellData& data : sheet->objectCells.cells) {
                    collect(visSectionObject, static_cast<int16_t>(data.index / 64),
                            static_cast<int16_t>(data.index % 64), data);
                }
                for (const SectionData& section : sheet->sections) {
                    for (size_t r = 0; r < section.rows.size(); ++r) {
                        for (const CellData& data : section.rows[r].cells)
                            collect(section.index, static_cast<int16_t>(r), data.index, data);
                    }
                }
                for (const auto& [section, row, cell, value] : stored) {
                    const std::string text = model.Formula(*sheet, section, row, cell);
                    if (ShapeIdsNamed(text).empty()) continue;
                    const formula::Value result = model.Values().Result(sheet, section, row, cell);
                    const CellData* after =
                        section == visSectionObject
                            ? sheet->objectCells.Find(ObjectCellKey(row, cell))
                            : sheet->Section(section)->rows[static_cast<size_t>(row)].Find(cell);
                    if (after && after->estimated) continue;
                    ++compared;
                    if (!result.IsNumber() ||
                        std::fabs(result.number - value) > 1e-9 * std::max(1.0, std::fabs(value))) {
                        differing.push_back(path + " " + NameId(*sheet) + " " +
                                            formula::CellNameText(section, row, cell) + " = " +
                                            text);
                    }
                }
            });
        }
    }
    EXPECT_GT(compared, 0u);
    EXPECT_EQ(differing, std::vector<std::string>());
}

/// Gives a destination the rows a source shows, as the copy's preparation does.
void PrepareLike(const ShapePtr& source, const ShapePtr& destination) {
    if (source->OneD()) destination->SetOneD(true);
    for (int16_t row = 1; row < 40; ++row) {
        if (source->RowExists(visSectionObject, row, visExistsAnywhere) &&
            !destination->RowExists(visSectionObject, row, visExistsAnywhere)) {
            destination->AddRow(visSectionObject, row, 0);
        }
    }
    while (destination->GeometryCount() > 0)
        destination->DeleteSection(visSectionFirstComponent);
    for (const SectionData& section : std::vector<SectionData>(SheetOf(source)->sections)) {
        const int16_t index = section.index;
        if (index == visSectionCharacter || index == visSectionParagraph || index == visSectionTab)
            continue;
        if (destination->SectionExists(index, visExistsAnywhere) && !IsGeometrySection(index))
            destination->DeleteSection(index);
        destination->AddSection(index);
        for (int16_t row = 0; row < source->RowCount(index); ++row) {
            const std::string name = source->CellsSRC(index, row, 0)->RowName();
            if (name.empty()) {
                destination->AddRow(index, visRowLast, source->RowType(index, row));
            } else {
                destination->AddNamedRow(index, name, source->RowType(index, row));
            }
        }
    }
}

// What a copy does with each member of an instance: read all its formulas and write them to
// another shape of the page. Visio accepts every one of them.
TEST_F(SampleInstances, FormulasReadFromMembersCanBeWrittenToAnotherShapeOfThePage) {
    size_t written = 0;
    for (const char* file : {"BFlowcht.vsdx", "test_master_multiple_child_shapes.vsdx",
                             "ppbt-architecture.vsdx", "test10_nested_shapes.vsdx"}) {
        SCOPED_TRACE(file);
        const auto document = vsdx::OpenDocument(model, test::SamplePath(file));
        for (const auto& pageData : document->pages) {
            const PagePtr page = WrapPage(app->ModelPtr(), pageData);
            model.LoadShapes(*pageData);
            ForEachInstanceShape(pageData->shapes, [&](const SheetPtr& sheet) {
                const ShapePtr source = WrapShape(app->ModelPtr(), sheet);
                SCOPED_TRACE(pageData->name + " " + source->NameID());
                const int32_t scope = app->BeginUndoScope("copy");
                ShapePtr destination = page->DrawRectangle(1, 1, 2, 2);
                if (source->Type() == visTypeGroup) {
                    destination->ConvertToGroup();
                    destination = std::dynamic_pointer_cast<IShape>(destination->Parent());
                }
                PrepareLike(source, destination);
                const std::vector<ShownFormula> shown = ShownFormulas(source);
                std::vector<int16_t> stream;
                std::vector<std::string> formulas;
                for (const ShownFormula& formula : shown) {
                    if (formula.section == visSectionCharacter ||
                        formula.section == visSectionParagraph ||
                        formula.section == visSectionTab || formula.text.empty())
                        continue;
                    stream.insert(stream.end(), {formula.section, formula.row, formula.cell});
                    formulas.push_back(formula.text);
                }
                if (!formulas.empty()) {
                    try {
                        written += static_cast<size_t>(
                            destination->SetFormulas(stream, formulas, visSetBlastGuards));
                    } catch (const Error& error) {
                        ADD_FAILURE() << error.Description();
                    }
                }
                app->EndUndoScope(scope, false);
            });
        }
    }
    EXPECT_GT(written, 500u);
}

// A master of groups whose members name the group and each other, used inside another master,
// dropped on a page whose own shapes take the master's IDs.
class NestedInstances : public EmbeddedDrawing {
protected:
    void SetUp() override {
        EmbeddedDrawing::SetUp();
        auto& model = Model();
        const auto documentData = DocumentOf(document);
        // The inner master: a group holding a frame, a bar as wide as half the group and a cap
        // whose height follows the bar.
        const auto inner = model.Shapes().AddMaster(documentData, "Inner");
        const ShapePtr innerShape =
            WrapShape(app->ModelPtr(), model.Shapes().DrawRectangle(inner, 0, 0, 4, 2));
        innerShape->ConvertToGroup();
        const auto innerGroup = std::dynamic_pointer_cast<IShape>(innerShape->Parent());
        const ShapePtr bar = innerGroup->DrawRectangle(0, 0, 1, 1);
        const ShapePtr cap = innerGroup->DrawRectangle(0, 0, 1, 1);
        innerGroupId = innerGroup->ID();
        barId = bar->ID();
        Write(bar, {{"Width", innerGroup->NameID() + "!Width*0.5"}});
        Write(cap, {{"Height", bar->NameID() + "!Width+" + innerGroup->NameID() + "!Height"}});
        // The outer master holds an instance of the inner one.
        const auto outer = model.Shapes().AddMaster(documentData, "Outer");
        model.Shapes().DrawRectangle(outer, 0, 0, 1, 1);
        model.Shapes().DropMaster(outer, inner, 5, 5);
        // Page shapes that take the IDs the masters use.
        for (int i = 0; i < 12; ++i)
            Rectangle(20, 20, 21, 21);
    }

    int32_t innerGroupId = 0;
    int32_t barId = 0;
};

TEST_F(NestedInstances, MembersShowAndComputeTheirInheritedFormulasThroughTheirInstance) {
    const ShapePtr dropped = page->Drop(document->Masters()->Item("Inner"), 10, 10);
    ASSERT_EQ(dropped->Shapes()->Count(), 3);
    const ShapePtr bar = dropped->Shapes()->Item(2);
    const ShapePtr cap = dropped->Shapes()->Item(3);
    ASSERT_NE(bar->ID(), barId);
    ASSERT_TRUE(page->Shapes()->ItemFromID(innerGroupId));  // a page shape of the master's ID

    // Formula, GetFormulas and the value all name the instance's own group and bar.
    EXPECT_EQ(bar->Cells("Width")->Formula(), dropped->NameID() + "!Width*0.5");
    EXPECT_EQ(cap->GetFormulas(std::vector<int16_t>{visSectionObject, visRowXFormOut, 3}),
              std::vector<std::string>{bar->NameID() + "!Width+" + dropped->NameID() + "!Height"});
    Write(dropped, {{"Width", "8"}, {"Height", "3"}});
    EXPECT_DOUBLE_EQ(bar->Cells("Width")->ResultIU(), 4);
    EXPECT_DOUBLE_EQ(cap->Cells("Height")->ResultIU(), 7);
    // A formula of the member's own keeps the IDs it was written with.
    Write(bar, {{"Height", "Sheet." + std::to_string(innerGroupId) + "!Width"}});
    EXPECT_EQ(bar->Cells("Height")->Formula(), "Sheet." + std::to_string(innerGroupId) + "!Width");
    EXPECT_DOUBLE_EQ(bar->Cells("Height")->ResultIU(), 1);
}

TEST_F(NestedInstances, AMasterInsideAMasterIsSeenThroughBothInstances) {
    const ShapePtr outer = page->Drop(document->Masters()->Item("Outer"), 10, 10);
    ASSERT_EQ(outer->Shapes()->Count(), 2);
    const ShapePtr innerInstance = outer->Shapes()->Item(2);
    ASSERT_EQ(innerInstance->Shapes()->Count(), 3);
    const ShapePtr bar = innerInstance->Shapes()->Item(2);
    const ShapePtr cap = innerInstance->Shapes()->Item(3);
    EXPECT_EQ(bar->Cells("Width")->Formula(), innerInstance->NameID() + "!Width*0.5");
    EXPECT_EQ(cap->Cells("Height")->Formula(),
              bar->NameID() + "!Width+" + innerInstance->NameID() + "!Height");
    // In the outer master itself the same formula names the outer master's shapes.
    const ShapePtr inMaster =
        document->Masters()->Item("Outer")->Shapes()->Item(2)->Shapes()->Item(2);
    EXPECT_EQ(inMaster->Cells("Width")->Formula(),
              document->Masters()->Item("Outer")->Shapes()->Item(2)->NameID() + "!Width*0.5");
    // A copy of the formula onto a plain shape of the page is accepted and follows the group.
    const ShapePtr target = Rectangle(1, 1, 2, 2);
    Write(target, {{"Width", bar->Cells("Width")->Formula()}});
    Write(innerInstance, {{"Width", "6"}});
    EXPECT_DOUBLE_EQ(target->Cells("Width")->ResultIU(), 3);
}

}  // namespace
}  // namespace tess::embedded
