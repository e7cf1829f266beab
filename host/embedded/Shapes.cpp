// Shapes, pages, masters and documents: creating, copying, grouping, deleting.
#include <algorithm>
#include <cctype>
#include <functional>

#include "formula/CellCatalogue.h"
#include "host/embedded/HostErrors.h"
#include "host/embedded/Model.h"
#include "platform/visio/Constants.h"
#include "platform/visio/Guid.h"

namespace tess::embedded {
namespace {

using namespace visio;

struct Owners {
    DocumentData* document = nullptr;
    PageData* page = nullptr;
    MasterData* master = nullptr;
    SheetData* parent = nullptr;
};

Owners OwnersOf(const ShapeContainer& where) {
    if (const auto* page = dynamic_cast<const PageData*>(&where))
        return {page->document, const_cast<PageData*>(page)};
    if (const auto* master = dynamic_cast<const MasterData*>(&where)) {
        return {master->document, nullptr, const_cast<MasterData*>(master)};
    }
    const auto& group = dynamic_cast<const SheetData&>(where);
    return {group.document, group.page, group.master, const_cast<SheetData*>(&group)};
}

/// A copy's name: the original's without a trailing ".<id>", then "." and the copy's ID.
std::string RenamedForCopy(const std::string& name, int32_t id) {
    if (name.empty()) return name;
    std::string base = name;
    const size_t dot = base.rfind('.');
    if (dot != std::string::npos && dot + 1 < base.size() &&
        std::all_of(base.begin() + static_cast<std::ptrdiff_t>(dot + 1), base.end(),
                    [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        base.resize(dot);
    }
    return base + "." + std::to_string(id);
}

void ForEachCell(SheetData& sheet, const std::function<void(CellData&)>& visit) {
    for (CellData& cell : sheet.objectCells.cells)
        visit(cell);
    for (SectionData& section : sheet.sections) {
        for (RowData& row : section.rows) {
            for (CellData& cell : row.cells)
                visit(cell);
        }
    }
}

bool NameTaken(const std::vector<SheetPtr>& shapes, std::string_view name) {
    return std::any_of(shapes.begin(), shapes.end(), [&](const SheetPtr& shape) {
        return formula::SameName(DisplayName(*shape), name) ||
               NameTaken(shape->shapes, name);
    });
}

}  // namespace

// --- Names ----------------------------------------------------------------------------------

std::string NameId(const SheetData& sheet) {
    switch (sheet.kind) {
        case SheetKind::PageSheet:
            return "ThePage";
        case SheetKind::DocumentSheet:
            return "TheDoc";
        case SheetKind::StyleSheet:
            return sheet.name;
        case SheetKind::Shape:
            break;
    }
    return "Sheet." + std::to_string(sheet.id);
}

std::string DisplayName(const SheetData& sheet) {
    if (sheet.kind != SheetKind::Shape && sheet.kind != SheetKind::StyleSheet) return NameId(sheet);
    return sheet.name.empty() ? (sheet.nameU.empty() ? NameId(sheet) : sheet.nameU) : sheet.name;
}

std::string DisplayNameU(const SheetData& sheet) {
    if (sheet.kind != SheetKind::Shape && sheet.kind != SheetKind::StyleSheet) return NameId(sheet);
    return sheet.nameU.empty() ? DisplayName(sheet) : sheet.nameU;
}

void ShapeEditor::SetName(const SheetPtr& sheet, const std::string& name) {
    RequireAlive(*sheet);
    if (sheet->kind != SheetKind::Shape)
        hosterr::Raise(hosterr::kNotAllowed, "This sheet's name cannot change.");
    if (name.empty()) hosterr::Raise(hosterr::kBadArgument, "A shape name cannot be empty.");
    if (sheet->nameU.empty() || sheet->nameU == sheet->name) m_model.Assign(sheet, sheet->nameU, name);
    m_model.Assign(sheet, sheet->name, name);
}

void ShapeEditor::SetNameU(const SheetPtr& sheet, const std::string& name) {
    RequireAlive(*sheet);
    if (sheet->kind != SheetKind::Shape)
        hosterr::Raise(hosterr::kNotAllowed, "This sheet's name cannot change.");
    if (name.empty()) hosterr::Raise(hosterr::kBadArgument, "A shape name cannot be empty.");
    m_model.Assign(sheet, sheet->nameU, name);
}

void ShapeEditor::SetData(const SheetPtr& sheet, int index, const std::string& text) {
    RequireAlive(*sheet);
    m_model.Assign(sheet, sheet->data[static_cast<size_t>(index)], text);
}

std::string ShapeEditor::UniqueId(const SheetPtr& sheet, bool make) {
    RequireAlive(*sheet);
    if (sheet->uniqueId.empty() && make) {
        // Inside an undo scope it is part of what the scope undoes. Outside one, a unique ID
        // identifies the shape for good (front ends key their lists by it): it is no step to
        // undo, and making one is no change to save.
        if (m_model.Undo().ScopeOpen()) m_model.Assign(sheet, sheet->uniqueId, visio::NewGuidString());
        else sheet->uniqueId = visio::NewGuidString();
    }
    return sheet->uniqueId;
}

// --- Shapes ---------------------------------------------------------------------------------

int32_t ShapeEditor::TakeShapeId(const ShapeContainer& where) {
    const Owners owners = OwnersOf(where);
    int32_t& next = owners.page ? owners.page->nextShapeId : owners.master->nextShapeId;
    return next++;
}

SheetPtr ShapeEditor::NewShape(const std::shared_ptr<ShapeContainer>& where, ShapeKind kind) {
    const Owners owners = OwnersOf(*where);
    auto shape = std::make_shared<SheetData>();
    shape->kind = SheetKind::Shape;
    shape->shapeKind = kind;
    shape->id = TakeShapeId(*where);
    shape->document = owners.document;
    shape->page = owners.page;
    shape->master = owners.master;
    shape->parent = owners.parent;
    shape->objectRows = DefaultObjectRows(SheetKind::Shape, kind);
    if (owners.document) shape->styles = owners.document->defaultStyles;
    return shape;
}

void ShapeEditor::InsertNewShape(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                           size_t position) {
    const Owners owners = OwnersOf(*where);
    shape->document = owners.document;
    shape->page = owners.page;
    shape->master = owners.master;
    shape->parent = owners.parent;
    SetOwners(*shape, owners.document, owners.page, owners.master, shape.get());
    m_model.InsertShape(where, std::min(position, where->shapes.size()), shape);
    m_model.Undo().NoteCreated(*shape);
    m_model.SyncInheritedRows(shape);
}

void ShapeEditor::Place(const SheetPtr& shape, double x, double y) {
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, formula::FormatNumber(x));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, formula::FormatNumber(y));
}

SheetPtr ShapeEditor::DrawRectangle(const std::shared_ptr<ShapeContainer>& where, double x1, double y1,
                              double x2, double y2) {
    m_model.LoadShapes(*where);
    if (const auto* group = dynamic_cast<const SheetData*>(where.get())) {
        RequireAlive(*group);
        if (group->shapeKind != ShapeKind::Group)
            hosterr::Raise(hosterr::kNotAllowed, "The shape is not a group.");
    }
    SheetPtr shape = NewShape(where, ShapeKind::Shape);
    InsertNewShape(where, shape, where->shapes.size());
    const auto number = [](double value) { return formula::FormatNumber(value); };
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, number((x1 + x2) / 2));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, number((y1 + y2) / 2));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 2, number(std::abs(x2 - x1)));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 3, number(std::abs(y2 - y1)));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 4, "Width*0.5");
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 5, "Height*0.5");
    for (int16_t cell : {6, 7, 8, 9})
        m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, cell, "0");
    // One closed path: the component row, then MoveTo and four LineTo rows round the rectangle.
    m_model.AddSection(shape, visSectionFirstComponent);
    m_model.AddRow(shape, visSectionFirstComponent, visRowLast, visTagComponent);
    const char* const corners[][2] = {{"Width*0", "Height*0"},
                                      {"Width*1", "Height*0"},
                                      {"Width*1", "Height*1"},
                                      {"Width*0", "Height*1"},
                                      {"Geometry1.X1", "Geometry1.Y1"}};
    for (int16_t i = 0; i < 5; ++i) {
        const int16_t row = m_model.AddRow(shape, visSectionFirstComponent, visRowLast,
                                   i == 0 ? visTagMoveTo : visTagLineTo);
        m_model.SetLocalFormula(shape, visSectionFirstComponent, row, 0, corners[i][0]);
        m_model.SetLocalFormula(shape, visSectionFirstComponent, row, 1, corners[i][1]);
    }
    return shape;
}

SheetPtr ShapeEditor::CloneShape(const SheetData& shape) {
    auto copy = std::make_shared<SheetData>(shape);
    copy->deleted = false;
    for (auto& member : copy->shapes)
        member = CloneShape(*member);
    return copy;
}

void ShapeEditor::AssignNewIds(SheetData& shape, const ShapeContainer& where,
                         std::map<int32_t, int32_t>& renumbered) {
    const int32_t id = TakeShapeId(where);
    renumbered[shape.id] = id;
    shape.id = id;
    shape.name = RenamedForCopy(shape.name, id);
    shape.nameU = RenamedForCopy(shape.nameU, id);
    shape.uniqueId.clear();
    for (const auto& member : shape.shapes)
        AssignNewIds(*member, where, renumbered);
}

SheetPtr ShapeEditor::PasteCopy(const std::shared_ptr<ShapeContainer>& where, const SheetData& original) {
    m_model.LoadShapes(*where);
    SheetPtr copy = CloneShape(original);
    std::map<int32_t, int32_t> renumbered;
    AssignNewIds(*copy, *where, renumbered);
    std::function<void(SheetData&)> rewrite = [&](SheetData& sheet) {
        ForEachCell(sheet, [&](CellData& cell) {
            if (cell.source == CellData::Source::Local)
                cell.formula = RenumberReferences(
                    cell.formula, [&](int32_t id) -> std::optional<int32_t> {
                        const auto mapped = renumbered.find(id);
                        if (mapped == renumbered.end()) return std::nullopt;
                        return mapped->second;
                    });
        });
        for (const auto& member : sheet.shapes)
            rewrite(*member);
    };
    rewrite(*copy);
    InsertNewShape(where, copy, where->shapes.size());
    return copy;
}

SheetPtr ShapeEditor::DropCopy(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                         double x, double y) {
    RequireAlive(*shape);
    SheetPtr copy = PasteCopy(where, *shape);
    Place(copy, x, y);
    return copy;
}

SheetPtr ShapeEditor::Instantiate(const std::shared_ptr<ShapeContainer>& where,
                            const SheetPtr& masterShape, const std::string& name) {
    SheetPtr shape = NewShape(where, masterShape->shapeKind);
    shape->masterShape = masterShape;
    shape->styles = masterShape->styles;
    shape->foreignType = masterShape->foreignType;
    shape->objectRows = masterShape->objectRows;
    shape->name = name;
    shape->nameU = name;
    InsertNewShape(where, shape, where->shapes.size());
    for (const auto& member : masterShape->shapes) {
        Instantiate(shape, member, "");
    }
    m_model.SyncInheritedRows(shape);
    return shape;
}

SheetPtr ShapeEditor::DropMaster(const std::shared_ptr<ShapeContainer>& where,
                           const std::shared_ptr<MasterData>& master, double x, double y) {
    if (master->shapes.empty()) hosterr::Raise(hosterr::kNotAllowed, "The master has no shapes.");
    m_model.LoadShapes(*where);
    const Owners owners = OwnersOf(*where);
    const std::vector<SheetPtr>& siblings = owners.page ? owners.page->shapes : where->shapes;
    std::string name = master->nameU.empty() ? master->name : master->nameU;
    SheetPtr shape;
    if (master->shapes.size() == 1) {
        const int32_t next = owners.page ? owners.page->nextShapeId : owners.master->nextShapeId;
        shape = Instantiate(where, master->shapes.front(),
                            NameTaken(siblings, name) ? name + "." + std::to_string(next) : name);
    } else {
        shape = NewShape(where, ShapeKind::Group);
        InsertNewShape(where, shape, where->shapes.size());
        for (const auto& member : master->shapes)
            Instantiate(shape, member, "");
    }
    Place(shape, x, y);
    return shape;
}

SheetPtr ShapeEditor::Duplicate(const SheetPtr& shape) {
    RequireAlive(*shape);
    const auto where = m_model.ContainerOf(*shape);
    if (!where) hosterr::Raise(hosterr::kNotAllowed);
    SheetPtr copy = PasteCopy(where, *shape);
    const double offset = 0.25;
    Place(copy, m_model.Values().ResultNumber(shape, visSectionObject, visRowXFormOut, 0) + offset,
          m_model.Values().ResultNumber(shape, visSectionObject, visRowXFormOut, 1) - offset);
    return copy;
}

void ShapeEditor::DeleteShape(const SheetPtr& shape) {
    RequireAlive(*shape);
    if (shape->kind != SheetKind::Shape) hosterr::Raise(hosterr::kNotAllowed);
    if (m_model.Values().ResultNumber(shape, visSectionObject, visRowLock, 5) != 0) {
        hosterr::Raise(hosterr::kLocked, "The shape is protected from deletion.");
    }
    const auto container = m_model.ContainerOf(*shape);
    const auto position = std::find(container->shapes.begin(), container->shapes.end(), shape);
    m_model.RemoveShape(container, static_cast<size_t>(position - container->shapes.begin()));
}

void ShapeEditor::ConvertToGroup(const SheetPtr& shape) {
    RequireAlive(*shape);
    if (shape->kind != SheetKind::Shape) hosterr::Raise(hosterr::kNotAllowed);
    const auto container = m_model.ContainerOf(*shape);
    const size_t position =
        static_cast<size_t>(std::find(container->shapes.begin(), container->shapes.end(), shape) -
                            container->shapes.begin());
    const auto value = [&](int16_t cell) {
        return m_model.Values().ResultNumber(shape, visSectionObject, visRowXFormOut, cell);
    };
    const double pinX = value(0), pinY = value(1), width = value(2), height = value(3);
    const double locPinX = value(4), locPinY = value(5);

    // The group takes the shape's box and place; the shape sits in it where it was.
    SheetPtr group = NewShape(container, ShapeKind::Group);
    m_model.RemoveShape(container, position);
    InsertNewShape(container, group, position);
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 0,
                    formula::FormatNumber(pinX - locPinX + width / 2));
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 1,
                    formula::FormatNumber(pinY - locPinY + height / 2));
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 2, formula::FormatNumber(width));
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 3, formula::FormatNumber(height));
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 4, "Width*0.5");
    m_model.SetLocalFormula(group, visSectionObject, visRowXFormOut, 5, "Height*0.5");
    m_model.Assign(shape, shape->parent, group.get());
    m_model.InsertShape(group, 0, shape);
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, formula::FormatNumber(locPinX));
    m_model.SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, formula::FormatNumber(locPinY));
}

// --- Pages, masters, documents -----------------------------------------------------------

namespace {

std::shared_ptr<PageData> NewPage(DocumentData& document) {
    auto page = std::make_shared<PageData>();
    int32_t id = 0;
    for (const auto& existing : document.pages)
        id = std::max(id, existing->id + 1);
    page->id = id;
    for (size_t n = document.pages.size() + 1;; ++n) {
        const std::string name = "Page-" + std::to_string(n);
        const bool taken =
            std::any_of(document.pages.begin(), document.pages.end(), [&](const auto& other) {
                return formula::SameName(other->name, name) ||
                       formula::SameName(other->nameU, name);
            });
        if (!taken) {
            page->name = page->nameU = name;
            break;
        }
    }
    page->document = &document;
    auto sheet = std::make_shared<SheetData>();
    sheet->kind = SheetKind::PageSheet;
    sheet->document = &document;
    sheet->page = page.get();
    sheet->objectRows = DefaultObjectRows(SheetKind::PageSheet, ShapeKind::Shape);
    if (!document.pages.empty() && document.pages.front()->pageSheet) {
        // A new page takes the size and scale of the first page's own settings.
        for (const CellData& cell : document.pages.front()->pageSheet->objectCells.cells) {
            if (cell.source == CellData::Source::Local) sheet->objectCells.cells.push_back(cell);
        }
        sheet->styles = document.pages.front()->pageSheet->styles;
    } else {
        sheet->styles = {0, 0, 0};
        for (auto [cell, formula] :
             {std::pair<int16_t, const char*>{0, "8.5"}, {1, "11"}, {4, "1"}, {5, "1"}}) {
            CellData data;
            data.index = ObjectCellKey(visRowPage, cell);
            data.source = CellData::Source::Local;
            data.formula = formula;
            sheet->objectCells.cells.push_back(std::move(data));
        }
    }
    page->pageSheet = sheet;
    return page;
}

SheetPtr NewStyle(DocumentData& document) {
    // The root style every sheet falls back on: one Character and one Paragraph row.
    auto style = std::make_shared<SheetData>();
    style->kind = SheetKind::StyleSheet;
    style->id = 0;
    style->name = style->nameU = "No Style";
    style->document = &document;
    style->objectRows = DefaultObjectRows(SheetKind::StyleSheet, ShapeKind::Shape);
    for (int16_t section : {visSectionCharacter, visSectionParagraph}) {
        SectionData data;
        data.index = section;
        data.local = true;
        RowData row;
        row.local = true;
        data.rows.push_back(std::move(row));
        style->sections.push_back(std::move(data));
    }
    return style;
}

}  // namespace

std::shared_ptr<PageData> ShapeEditor::AddPage(const std::shared_ptr<DocumentData>& document) {
    auto page = NewPage(*document);
    m_model.InsertPage(document, document->pages.size(), page);
    m_model.SyncInheritedRows(page->pageSheet);
    return page;
}

std::shared_ptr<DocumentData> ShapeEditor::AddDrawing() {
    auto document = std::make_shared<DocumentData>();
    document->name = "Drawing" + std::to_string(++m_drawingCounter);
    document->styles.push_back(NewStyle(*document));
    auto sheet = std::make_shared<SheetData>();
    sheet->kind = SheetKind::DocumentSheet;
    sheet->document = document.get();
    sheet->objectRows = DefaultObjectRows(SheetKind::DocumentSheet, ShapeKind::Shape);
    sheet->styles = {0, 0, 0};
    document->documentSheet = sheet;
    document->pages.push_back(NewPage(*document));
    document->activePage = document->pages.front();
    m_model.AddDocument(document);
    m_model.LinkInheritance(*document);
    return document;
}

std::shared_ptr<MasterData> ShapeEditor::AddMaster(const std::shared_ptr<DocumentData>& document,
                                             const std::string& name) {
    auto master = std::make_shared<MasterData>();
    for (const auto& existing : document->masters)
        master->id = std::max(master->id, existing->id + 1);
    master->name = master->nameU = name;
    master->uniqueId = visio::NewGuidString();
    master->document = document.get();
    auto sheet = std::make_shared<SheetData>();
    sheet->kind = SheetKind::PageSheet;
    sheet->document = document.get();
    sheet->master = master.get();
    sheet->objectRows = DefaultObjectRows(SheetKind::PageSheet, ShapeKind::Shape);
    sheet->styles = {0, 0, 0};
    master->pageSheet = sheet;
    m_model.InsertMaster(document, document->masters.size(), master);
    m_model.SyncInheritedRows(sheet);
    return master;
}

std::shared_ptr<MasterData> ShapeEditor::OpenMaster(const std::shared_ptr<MasterData>& master) {
    if (master->deleted) hosterr::Raise(hosterr::kObjectDeleted);
    if (master->editOf) hosterr::Raise(hosterr::kNotAllowed, "This is already an edit copy.");
    auto copy = std::make_shared<MasterData>();
    copy->id = master->id;
    copy->name = master->name;
    copy->nameU = master->nameU;
    copy->uniqueId = master->uniqueId;
    copy->document = master->document;
    copy->editOf = master.get();
    for (const auto& shape : master->shapes)
        copy->shapes.push_back(CloneShape(*shape));
    if (master->pageSheet) {
        copy->pageSheet = CloneShape(*master->pageSheet);
        copy->pageSheet->master = copy.get();
    }
    SetOwners(*copy, copy->document, nullptr, copy.get(), nullptr);
    IndexShapes(*copy);
    copy->nextShapeId = std::max(copy->nextShapeId, master->nextShapeId);
    m_editCopies.push_back(copy);
    return copy;
}

void ShapeEditor::CloseMaster(const std::shared_ptr<MasterData>& editCopy) {
    if (!editCopy->editOf || editCopy->deleted)
        hosterr::Raise(hosterr::kNotAllowed, "Not an open edit copy.");
    const auto master = m_model.MasterPtr(editCopy->editOf);
    if (!master) hosterr::Raise(hosterr::kObjectDeleted);
    std::vector<SheetPtr> shapes;
    for (const auto& shape : editCopy->shapes)
        shapes.push_back(CloneShape(*shape));
    SheetPtr pageSheet = editCopy->pageSheet ? CloneShape(*editCopy->pageSheet) : nullptr;
    m_model.ReplaceMasterContents(master, std::move(shapes), std::move(pageSheet));

    // Instances follow: each links to the new master shape of the same ID and takes its rows.
    std::function<void(const SheetPtr&)> relink = [&](const SheetPtr& shape) {
        const SheetPtr linked = shape->masterShape;
        if (linked && linked->master == master.get()) {
            const auto found = master->shapesById.find(linked->id);
            if (found != master->shapesById.end() && found->second != linked.get()) {
                m_model.Assign(shape, shape->masterShape, found->second->shared_from_this());
            }
            m_model.SyncInheritedRows(shape);
        }
        for (const auto& member : shape->shapes)
            relink(member);
    };
    for (const auto& page : master->document->pages) {
        for (const auto& shape : page->shapes)
            relink(shape);
    }
    editCopy->deleted = true;
    m_editCopies.erase(std::remove(m_editCopies.begin(), m_editCopies.end(), editCopy),
                       m_editCopies.end());
}

std::shared_ptr<MasterData> ShapeEditor::EditCopy(const MasterData* copy) const {
    for (const auto& open : m_editCopies) {
        if (open.get() == copy) return open;
    }
    return nullptr;
}

}  // namespace tess::embedded
