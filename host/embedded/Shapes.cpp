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
        return formula::SameName(Model::DisplayName(*shape), name) ||
               NameTaken(shape->shapes, name);
    });
}

}  // namespace

// --- Names ----------------------------------------------------------------------------------

std::string Model::NameId(const SheetData& sheet) {
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

std::string Model::DisplayName(const SheetData& sheet) {
    if (sheet.kind != SheetKind::Shape && sheet.kind != SheetKind::StyleSheet) return NameId(sheet);
    return sheet.name.empty() ? (sheet.nameU.empty() ? NameId(sheet) : sheet.nameU) : sheet.name;
}

std::string Model::DisplayNameU(const SheetData& sheet) {
    if (sheet.kind != SheetKind::Shape && sheet.kind != SheetKind::StyleSheet) return NameId(sheet);
    return sheet.nameU.empty() ? DisplayName(sheet) : sheet.nameU;
}

void Model::SetName(const SheetPtr& sheet, const std::string& name) {
    RequireAlive(*sheet);
    if (sheet->kind != SheetKind::Shape)
        hosterr::Raise(hosterr::kNotAllowed, "This sheet's name cannot change.");
    if (name.empty()) hosterr::Raise(hosterr::kBadArgument, "A shape name cannot be empty.");
    if (sheet->nameU.empty() || sheet->nameU == sheet->name) Assign(sheet, sheet->nameU, name);
    Assign(sheet, sheet->name, name);
}

void Model::SetNameU(const SheetPtr& sheet, const std::string& name) {
    RequireAlive(*sheet);
    if (sheet->kind != SheetKind::Shape)
        hosterr::Raise(hosterr::kNotAllowed, "This sheet's name cannot change.");
    if (name.empty()) hosterr::Raise(hosterr::kBadArgument, "A shape name cannot be empty.");
    Assign(sheet, sheet->nameU, name);
}

void Model::SetData(const SheetPtr& sheet, int index, const std::string& text) {
    RequireAlive(*sheet);
    Assign(sheet, sheet->data[static_cast<size_t>(index)], text);
}

std::string Model::UniqueId(const SheetPtr& sheet, bool make) {
    RequireAlive(*sheet);
    if (sheet->uniqueId.empty() && make) {
        // Inside an undo scope it is part of what the scope undoes. Outside one, a unique ID
        // identifies the shape for good (front ends key their lists by it): it is no step to
        // undo, and making one is no change to save.
        if (!m_openScopes.empty()) Assign(sheet, sheet->uniqueId, visio::NewGuidString());
        else sheet->uniqueId = visio::NewGuidString();
    }
    return sheet->uniqueId;
}

// --- Text -----------------------------------------------------------------------------------

const TextData& Model::Text(const SheetData& sheet) const {
    const SheetData* current = &sheet;
    while (!current->text.local && current->masterShape)
        current = current->masterShape.get();
    return current->text;
}

void Model::SetText(const SheetPtr& sheet, TextData text) {
    RequireAlive(*sheet);
    text.local = true;
    Assign(sheet, sheet->text, std::move(text));
}

// --- Shapes ---------------------------------------------------------------------------------

std::shared_ptr<ShapeContainer> Model::ContainerOf(const SheetData& shape) const {
    if (shape.parent) return shape.parent->shared_from_this();
    if (shape.page) return PagePtr(shape.page);
    if (shape.master) return MasterPtr(shape.master);
    return nullptr;
}

int32_t Model::TakeShapeId(const ShapeContainer& where) {
    const Owners owners = OwnersOf(where);
    int32_t& next = owners.page ? owners.page->nextShapeId : owners.master->nextShapeId;
    return next++;
}

SheetPtr Model::NewShape(const std::shared_ptr<ShapeContainer>& where, ShapeKind kind) {
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

void Model::InsertNewShape(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                           size_t position) {
    const Owners owners = OwnersOf(*where);
    shape->document = owners.document;
    shape->page = owners.page;
    shape->master = owners.master;
    shape->parent = owners.parent;
    SetOwners(*shape, owners.document, owners.page, owners.master, shape.get());
    InsertShape(where, std::min(position, where->shapes.size()), shape);
    SyncInheritedRows(shape);
}

void Model::Place(const SheetPtr& shape, double x, double y) {
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, formula::FormatNumber(x));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, formula::FormatNumber(y));
}

SheetPtr Model::DrawRectangle(const std::shared_ptr<ShapeContainer>& where, double x1, double y1,
                              double x2, double y2) {
    LoadShapes(*where);
    if (const auto* group = dynamic_cast<const SheetData*>(where.get())) {
        RequireAlive(*group);
        if (group->shapeKind != ShapeKind::Group)
            hosterr::Raise(hosterr::kNotAllowed, "The shape is not a group.");
    }
    SheetPtr shape = NewShape(where, ShapeKind::Shape);
    InsertNewShape(where, shape, where->shapes.size());
    const auto number = [](double value) { return formula::FormatNumber(value); };
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, number((x1 + x2) / 2));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, number((y1 + y2) / 2));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 2, number(std::abs(x2 - x1)));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 3, number(std::abs(y2 - y1)));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 4, "Width*0.5");
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 5, "Height*0.5");
    for (int16_t cell : {6, 7, 8, 9})
        SetLocalFormula(shape, visSectionObject, visRowXFormOut, cell, "0");
    // One closed path: the component row, then MoveTo and four LineTo rows round the rectangle.
    AddSection(shape, visSectionFirstComponent);
    AddRow(shape, visSectionFirstComponent, visRowLast, visTagComponent);
    const char* const corners[][2] = {{"Width*0", "Height*0"},
                                      {"Width*1", "Height*0"},
                                      {"Width*1", "Height*1"},
                                      {"Width*0", "Height*1"},
                                      {"Geometry1.X1", "Geometry1.Y1"}};
    for (int16_t i = 0; i < 5; ++i) {
        const int16_t row = AddRow(shape, visSectionFirstComponent, visRowLast,
                                   i == 0 ? visTagMoveTo : visTagLineTo);
        SetLocalFormula(shape, visSectionFirstComponent, row, 0, corners[i][0]);
        SetLocalFormula(shape, visSectionFirstComponent, row, 1, corners[i][1]);
    }
    return shape;
}

SheetPtr Model::CloneShape(const SheetData& shape) {
    auto copy = std::make_shared<SheetData>(shape);
    copy->deleted = false;
    for (auto& member : copy->shapes)
        member = CloneShape(*member);
    return copy;
}

void Model::AssignNewIds(SheetData& shape, const ShapeContainer& where,
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

SheetPtr Model::PasteCopy(const std::shared_ptr<ShapeContainer>& where, const SheetData& original) {
    LoadShapes(*where);
    SheetPtr copy = CloneShape(original);
    std::map<int32_t, int32_t> renumbered;
    AssignNewIds(*copy, *where, renumbered);
    std::function<void(SheetData&)> rewrite = [&](SheetData& sheet) {
        ForEachCell(sheet, [&](CellData& cell) {
            if (cell.source == CellData::Source::Local)
                cell.formula = Model::RenumberReferences(
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

SheetPtr Model::DropCopy(const std::shared_ptr<ShapeContainer>& where, const SheetPtr& shape,
                         double x, double y) {
    RequireAlive(*shape);
    SheetPtr copy = PasteCopy(where, *shape);
    Place(copy, x, y);
    return copy;
}

SheetPtr Model::Instantiate(const std::shared_ptr<ShapeContainer>& where,
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
    SyncInheritedRows(shape);
    return shape;
}

SheetPtr Model::DropMaster(const std::shared_ptr<ShapeContainer>& where,
                           const std::shared_ptr<MasterData>& master, double x, double y) {
    if (master->shapes.empty()) hosterr::Raise(hosterr::kNotAllowed, "The master has no shapes.");
    LoadShapes(*where);
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

SheetPtr Model::Duplicate(const SheetPtr& shape) {
    RequireAlive(*shape);
    const auto where = ContainerOf(*shape);
    if (!where) hosterr::Raise(hosterr::kNotAllowed);
    SheetPtr copy = PasteCopy(where, *shape);
    const double offset = 0.25;
    Place(copy, ResultNumber(shape, visSectionObject, visRowXFormOut, 0) + offset,
          ResultNumber(shape, visSectionObject, visRowXFormOut, 1) - offset);
    return copy;
}

void Model::DeleteShape(const SheetPtr& shape) {
    RequireAlive(*shape);
    if (shape->kind != SheetKind::Shape) hosterr::Raise(hosterr::kNotAllowed);
    if (ResultNumber(shape, visSectionObject, visRowLock, 5) != 0) {
        hosterr::Raise(hosterr::kLocked, "The shape is protected from deletion.");
    }
    const auto container = ContainerOf(*shape);
    const auto position = std::find(container->shapes.begin(), container->shapes.end(), shape);
    RemoveShape(container, static_cast<size_t>(position - container->shapes.begin()));
}

void Model::ConvertToGroup(const SheetPtr& shape) {
    RequireAlive(*shape);
    if (shape->kind != SheetKind::Shape) hosterr::Raise(hosterr::kNotAllowed);
    const auto container = ContainerOf(*shape);
    const size_t position =
        static_cast<size_t>(std::find(container->shapes.begin(), container->shapes.end(), shape) -
                            container->shapes.begin());
    const auto value = [&](int16_t cell) {
        return ResultNumber(shape, visSectionObject, visRowXFormOut, cell);
    };
    const double pinX = value(0), pinY = value(1), width = value(2), height = value(3);
    const double locPinX = value(4), locPinY = value(5);

    // The group takes the shape's box and place; the shape sits in it where it was.
    SheetPtr group = NewShape(container, ShapeKind::Group);
    RemoveShape(container, position);
    InsertNewShape(container, group, position);
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 0,
                    formula::FormatNumber(pinX - locPinX + width / 2));
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 1,
                    formula::FormatNumber(pinY - locPinY + height / 2));
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 2, formula::FormatNumber(width));
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 3, formula::FormatNumber(height));
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 4, "Width*0.5");
    SetLocalFormula(group, visSectionObject, visRowXFormOut, 5, "Height*0.5");
    Assign(shape, shape->parent, group.get());
    InsertShape(group, 0, shape);
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 0, formula::FormatNumber(locPinX));
    SetLocalFormula(shape, visSectionObject, visRowXFormOut, 1, formula::FormatNumber(locPinY));
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
    sheet->objectRows = Model::DefaultObjectRows(SheetKind::PageSheet, ShapeKind::Shape);
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
    style->objectRows = Model::DefaultObjectRows(SheetKind::StyleSheet, ShapeKind::Shape);
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

std::shared_ptr<PageData> Model::AddPage(const std::shared_ptr<DocumentData>& document) {
    auto page = NewPage(*document);
    InsertPage(document, document->pages.size(), page);
    SyncInheritedRows(page->pageSheet);
    return page;
}

std::shared_ptr<DocumentData> Model::AddDrawing() {
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
    AddDocument(document);
    LinkInheritance(*document);
    return document;
}

std::shared_ptr<MasterData> Model::AddMaster(const std::shared_ptr<DocumentData>& document,
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
    InsertMaster(document, document->masters.size(), master);
    SyncInheritedRows(sheet);
    return master;
}

std::shared_ptr<MasterData> Model::OpenMaster(const std::shared_ptr<MasterData>& master) {
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

void Model::CloseMaster(const std::shared_ptr<MasterData>& editCopy) {
    if (!editCopy->editOf || editCopy->deleted)
        hosterr::Raise(hosterr::kNotAllowed, "Not an open edit copy.");
    const auto master = MasterPtr(editCopy->editOf);
    if (!master) hosterr::Raise(hosterr::kObjectDeleted);
    std::vector<SheetPtr> shapes;
    for (const auto& shape : editCopy->shapes)
        shapes.push_back(CloneShape(*shape));
    SheetPtr pageSheet = editCopy->pageSheet ? CloneShape(*editCopy->pageSheet) : nullptr;
    ReplaceMasterContents(master, std::move(shapes), std::move(pageSheet));

    // Instances follow: each links to the new master shape of the same ID and takes its rows.
    std::function<void(const SheetPtr&)> relink = [&](const SheetPtr& shape) {
        const SheetPtr linked = shape->masterShape;
        if (linked && linked->master == master.get()) {
            const auto found = master->shapesById.find(linked->id);
            if (found != master->shapesById.end() && found->second != linked.get()) {
                Assign(shape, shape->masterShape, found->second->shared_from_this());
            }
            SyncInheritedRows(shape);
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

void Model::CopyToClipboard(const SheetPtr& shape) {
    RequireAlive(*shape);
    m_clipboard = CloneShape(*shape);
}

SheetPtr Model::Paste(const std::shared_ptr<WindowData>& window) {
    if (!m_clipboard) hosterr::Raise(hosterr::kNotAllowed, "The clipboard is empty.");
    std::shared_ptr<ShapeContainer> where = window->group
                                                ? std::shared_ptr<ShapeContainer>(window->group)
                                                : std::shared_ptr<ShapeContainer>(window->page);
    if (!where) hosterr::Raise(hosterr::kNotAllowed);
    SheetPtr pasted = PasteCopy(where, *m_clipboard);
    window->selection = {pasted};
    return pasted;
}

}  // namespace tess::embedded
