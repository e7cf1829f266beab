#include "host/embedded/Model.h"

#include <algorithm>

#include "host/embedded/HostErrors.h"
#include "platform/visio/Error.h"

namespace tess::embedded {

// --- Plain data helpers ---------------------------------------------------------------------

CellData* RowData::Find(int16_t cell) {
    const auto found =
        std::lower_bound(cells.begin(), cells.end(), cell,
                         [](const CellData& data, int16_t index) { return data.index < index; });
    return found != cells.end() && found->index == cell ? &*found : nullptr;
}

const CellData* RowData::Find(int16_t cell) const {
    return const_cast<RowData*>(this)->Find(cell);
}

CellData& RowData::Get(int16_t cell) {
    const auto found = std::lower_bound(
        cells.begin(), cells.end(), cell,
        [](const CellData& existing, int16_t index) { return existing.index < index; });
    if (found != cells.end() && found->index == cell) return *found;
    CellData fresh;
    fresh.index = cell;
    return *cells.insert(found, std::move(fresh));
}

SectionData* SheetData::Section(int16_t index) {
    const auto found = std::lower_bound(
        sections.begin(), sections.end(), index,
        [](const SectionData& section, int16_t key) { return section.index < key; });
    return found != sections.end() && found->index == index ? &*found : nullptr;
}

const SectionData* SheetData::Section(int16_t index) const {
    return const_cast<SheetData*>(this)->Section(index);
}

// --- The model ------------------------------------------------------------------------------

Model::Model() = default;
Model::~Model() = default;

void RequireAlive(const SheetData& sheet) {
    if (sheet.deleted) hosterr::Raise(hosterr::kObjectDeleted);
}

void Model::AddDocument(const std::shared_ptr<DocumentData>& document) {
    InsertDocument(m_documents.size(), document);
    m_windows.Activate(document, document->activePage);
}

std::shared_ptr<PageData> Model::PagePtr(const PageData* page) const {
    if (!page) return nullptr;
    for (const auto& document : m_documents) {
        for (const auto& candidate : document->pages) {
            if (candidate.get() == page) return candidate;
        }
    }
    return nullptr;
}

std::shared_ptr<MasterData> Model::MasterPtr(const MasterData* master) const {
    if (!master) return nullptr;
    if (auto copy = m_shapes.EditCopy(master)) return copy;
    for (const auto& document : m_documents) {
        for (const auto& candidate : document->masters) {
            if (candidate.get() == master) return candidate;
        }
    }
    return nullptr;
}

std::shared_ptr<DocumentData> Model::DocumentPtr(const DocumentData* document) const {
    for (const auto& candidate : m_documents) {
        if (candidate.get() == document) return candidate;
    }
    return nullptr;
}

std::shared_ptr<ShapeContainer> Model::ContainerOf(const SheetData& shape) const {
    if (shape.parent) return shape.parent->shared_from_this();
    if (shape.page) return PagePtr(shape.page);
    if (shape.master) return MasterPtr(shape.master);
    return nullptr;
}

// --- Primitives -----------------------------------------------------------------------------

namespace {

RowData& RowOf(SheetData& sheet, int16_t section, int16_t row) {
    if (section == 1) return sheet.objectCells;
    SectionData* data = sheet.Section(section);
    if (!data || row < 0 || static_cast<size_t>(row) >= data->rows.size())
        hosterr::Raise(hosterr::kNoSuchCell);
    return data->rows[static_cast<size_t>(row)];
}

}  // namespace

void Model::StoreCell(const SheetPtr& sheet, int16_t section, int16_t row, CellData cell) {
    RowData& data = RowOf(*sheet, section, row);
    const int16_t index = cell.index;
    CellData* existing = data.Find(index);
    std::optional<CellData> old;
    if (existing) {
        old = std::move(*existing);
        *existing = std::move(cell);
    } else {
        data.Get(index) = std::move(cell);
    }
    m_undo.RecordFor(*sheet, data, [this, sheet, section, row, index, old = std::move(old)]() mutable {
        if (old) {
            StoreCell(sheet, section, row, std::move(*old));
        } else {
            EraseCell(sheet, section, row, index);
        }
    });
    m_undo.Changed(*sheet);
}

void Model::EraseCell(const SheetPtr& sheet, int16_t section, int16_t row, int16_t cell) {
    RowData& data = RowOf(*sheet, section, row);
    CellData* existing = data.Find(cell);
    if (!existing) return;
    CellData old = std::move(*existing);
    data.cells.erase(data.cells.begin() + (existing - data.cells.data()));
    m_undo.RecordFor(*sheet, data, [this, sheet, section, row, old = std::move(old)]() mutable {
        StoreCell(sheet, section, row, std::move(old));
    });
    m_undo.Changed(*sheet);
}

void Model::InsertRow(const SheetPtr& sheet, int16_t section, size_t position, RowData row) {
    SectionData* data = sheet->Section(section);
    row.madeIn = m_undo.ScopeForNewRows();
    data->rows.insert(data->rows.begin() + static_cast<std::ptrdiff_t>(position), std::move(row));
    m_undo.RecordFor(*sheet, *data,
                     [this, sheet, section, position] { RemoveRow(sheet, section, position); });
    m_undo.Changed(*sheet);
}

RowData Model::RemoveRow(const SheetPtr& sheet, int16_t section, size_t position) {
    SectionData* data = sheet->Section(section);
    RowData row = std::move(data->rows[position]);
    data->rows.erase(data->rows.begin() + static_cast<std::ptrdiff_t>(position));
    m_undo.RecordFor(*sheet, *data, [this, sheet, section, position, row]() mutable {
        InsertRow(sheet, section, position, std::move(row));
    });
    m_undo.Changed(*sheet);
    return row;
}

void Model::ReplaceRowHead(const SheetPtr& sheet, int16_t section, size_t position, int16_t type,
                           std::string name, int16_t key, bool local) {
    RowData& row = sheet->Section(section)->rows[position];
    std::string oldName = std::exchange(row.name, std::move(name));
    const int16_t oldType = std::exchange(row.type, type);
    const int16_t oldKey = std::exchange(row.key, key);
    const bool oldLocal = std::exchange(row.local, local);
    m_undo.RecordFor(*sheet, row, [this, sheet, section, position, oldType, oldName = std::move(oldName),
                              oldKey, oldLocal]() mutable {
        ReplaceRowHead(sheet, section, position, oldType, std::move(oldName), oldKey, oldLocal);
    });
    m_undo.Changed(*sheet);
}

void Model::InsertSection(const SheetPtr& sheet, SectionData section) {
    const int16_t index = section.index;
    section.madeIn = m_undo.ScopeForNewRows();
    const auto at =
        std::lower_bound(sheet->sections.begin(), sheet->sections.end(), index,
                         [](const SectionData& data, int16_t key) { return data.index < key; });
    sheet->sections.insert(at, std::move(section));
    m_undo.RecordFor(*sheet, [this, sheet, index] { RemoveSection(sheet, index); });
    m_undo.Changed(*sheet);
}

SectionData Model::RemoveSection(const SheetPtr& sheet, int16_t index) {
    SectionData* data = sheet->Section(index);
    SectionData section = std::move(*data);
    sheet->sections.erase(sheet->sections.begin() + (data - sheet->sections.data()));
    m_undo.RecordFor(
        *sheet, [this, sheet, section]() mutable { InsertSection(sheet, std::move(section)); });
    m_undo.Changed(*sheet);
    return section;
}

void Model::SetSectionHead(const SheetPtr& sheet, int16_t index, bool local, int16_t key,
                           std::vector<int16_t> deletedKeys) {
    SectionData* data = sheet->Section(index);
    const bool oldLocal = std::exchange(data->local, local);
    const int16_t oldKey = std::exchange(data->key, key);
    std::vector<int16_t> oldDeleted = std::exchange(data->deletedKeys, std::move(deletedKeys));
    m_undo.RecordFor(*sheet, *data, [this, sheet, index, oldLocal, oldKey,
                              oldDeleted = std::move(oldDeleted)]() mutable {
        SetSectionHead(sheet, index, oldLocal, oldKey, std::move(oldDeleted));
    });
    m_undo.Changed(*sheet);
}

void Model::SetDeletedSections(const SheetPtr& sheet, std::vector<int16_t> deleted) {
    Assign(sheet, sheet->deletedSections, std::move(deleted));
}

void Model::SetObjectRows(const SheetPtr& sheet, std::bitset<40> rows) {
    Assign(sheet, sheet->objectRows, rows);
}

template <class T>
void Model::Assign(const SheetPtr& owner, T& field, T value) {
    if (field == value) return;  // nothing changes, nothing to undo or write
    T old = std::exchange(field, std::move(value));
    m_undo.RecordFor(*owner, [this, owner, &field, old = std::move(old)]() mutable {
        Assign(owner, field, std::move(old));
    });
    m_undo.Changed(*owner);
}

template void Model::Assign(const SheetPtr&, std::string&, std::string);
template void Model::Assign(const SheetPtr&, SheetPtr&, SheetPtr);
template void Model::Assign(const SheetPtr&, TextData&, TextData);
template void Model::Assign(const SheetPtr&, ShapeKind&, ShapeKind);
template void Model::Assign(const SheetPtr&, SheetData*&, SheetData*);

void Model::InsertShape(const std::shared_ptr<ShapeContainer>& container, size_t position,
                        const SheetPtr& shape) {
    container->shapes.insert(container->shapes.begin() + static_cast<std::ptrdiff_t>(position),
                             shape);
    std::function<void(SheetData&)> revive = [&](SheetData& sheet) {
        sheet.deleted = false;
        for (const auto& member : sheet.shapes)
            revive(*member);
    };
    revive(*shape);
    IndexSubtree(*shape, true);
    m_undo.Record([this, container, position] { RemoveShape(container, position); });
    m_undo.Changed(*container);
}

SheetPtr Model::RemoveShape(const std::shared_ptr<ShapeContainer>& container, size_t position) {
    SheetPtr shape = container->shapes[position];
    container->shapes.erase(container->shapes.begin() + static_cast<std::ptrdiff_t>(position));
    std::function<void(SheetData&)> bury = [&](SheetData& sheet) {
        sheet.deleted = true;
        for (const auto& member : sheet.shapes)
            bury(*member);
    };
    bury(*shape);
    IndexSubtree(*shape, false);
    m_windows.DropDeletedFromSelections();
    if (!m_undo.CancelCreation(*shape))
        m_undo.Record(
            [this, container, position, shape] { InsertShape(container, position, shape); });
    m_undo.Changed(*container);
    return shape;
}

void Model::InsertPage(const std::shared_ptr<DocumentData>& document, size_t position,
                       const std::shared_ptr<PageData>& page) {
    document->pages.insert(document->pages.begin() + static_cast<std::ptrdiff_t>(position), page);
    page->deleted = false;
    m_undo.Record([this, document, position] {
        auto removed = document->pages[position];
        document->pages.erase(document->pages.begin() + static_cast<std::ptrdiff_t>(position));
        removed->deleted = true;
        m_undo.Record([this, document, position, removed] { InsertPage(document, position, removed); });
        m_undo.Changed(*document);
    });
    m_undo.Changed(*document);
}

void Model::InsertMaster(const std::shared_ptr<DocumentData>& document, size_t position,
                         const std::shared_ptr<MasterData>& master) {
    document->masters.insert(document->masters.begin() + static_cast<std::ptrdiff_t>(position),
                             master);
    master->deleted = false;
    m_undo.Record([this, document, position] { RemoveMaster(document, position); });
    m_undo.Changed(*document);
}

void Model::RemoveMaster(const std::shared_ptr<DocumentData>& document, size_t position) {
    auto master = document->masters[position];
    document->masters.erase(document->masters.begin() + static_cast<std::ptrdiff_t>(position));
    master->deleted = true;
    m_undo.Record([this, document, position, master] { InsertMaster(document, position, master); });
    m_undo.Changed(*document);
}

void Model::InsertDocument(size_t position, const std::shared_ptr<DocumentData>& document) {
    m_documents.insert(m_documents.begin() + static_cast<std::ptrdiff_t>(position), document);
    document->closed = false;
    m_undo.Record([this, position] { RemoveDocument(position); });
    m_undo.Changed();
}

void Model::CloseDocument(const std::shared_ptr<DocumentData>& document) {
    m_undo.RequireNoOpenScope();
    auto found = std::find(m_documents.begin(), m_documents.end(), document);
    if (found == m_documents.end()) return;
    const bool wasEnabled = m_undo.Enabled();
    m_undo.SetEnabled(false);
    RemoveDocument(static_cast<size_t>(found - m_documents.begin()));
    m_undo.SetEnabled(wasEnabled);
    m_undo.Forget();
}

void Model::RemoveDocument(size_t position) {
    auto document = m_documents[position];
    m_documents.erase(m_documents.begin() + static_cast<std::ptrdiff_t>(position));
    document->closed = true;
    m_windows.CloseWindowsOf(document);
    m_undo.Record([this, position, document] {
        InsertDocument(position, document);
        m_windows.Activate(document, nullptr);
    });
    m_undo.Changed();
}

void Model::ReplaceMasterContents(const std::shared_ptr<MasterData>& master,
                                  std::vector<SheetPtr> shapes, SheetPtr pageSheet) {
    std::swap(master->shapes, shapes);
    std::swap(master->pageSheet, pageSheet);
    SetOwners(*master, master->document, nullptr, master.get(), nullptr);
    if (master->pageSheet) {
        master->pageSheet->master = master.get();
        master->pageSheet->document = master->document;
    }
    IndexShapes(*master);
    m_undo.Record([this, master, shapes = std::move(shapes), pageSheet = std::move(pageSheet)]() mutable {
        ReplaceMasterContents(master, std::move(shapes), std::move(pageSheet));
    });
    m_undo.Changed(*master);
}

void Model::IndexSubtree(SheetData& shape, bool add) {
    auto* index = shape.page     ? &shape.page->shapesById
                  : shape.master ? &shape.master->shapesById
                                 : nullptr;
    if (!index) return;
    std::function<void(SheetData&)> visit = [&](SheetData& sheet) {
        if (add) {
            (*index)[sheet.id] = &sheet;
            int32_t& next = shape.page ? shape.page->nextShapeId : shape.master->nextShapeId;
            next = std::max(next, sheet.id + 1);
        } else {
            const auto found = index->find(sheet.id);
            if (found != index->end() && found->second == &sheet) index->erase(found);
        }
        for (const auto& member : sheet.shapes)
            visit(*member);
    };
    visit(shape);
}

namespace {

void IndexInto(std::unordered_map<int32_t, SheetData*>& index, int32_t& next,
               const std::vector<SheetPtr>& shapes) {
    for (const auto& shape : shapes) {
        index[shape->id] = shape.get();
        next = std::max(next, shape->id + 1);
        IndexInto(index, next, shape->shapes);
    }
}

}  // namespace

void IndexShapes(PageData& page) {
    page.shapesById.clear();
    IndexInto(page.shapesById, page.nextShapeId, page.shapes);
}

void IndexShapes(MasterData& master) {
    master.shapesById.clear();
    IndexInto(master.shapesById, master.nextShapeId, master.shapes);
}

void SetOwners(ShapeContainer& container, DocumentData* document, PageData* page,
               MasterData* master, SheetData* parent) {
    for (const auto& shape : container.shapes) {
        shape->document = document;
        shape->page = page;
        shape->master = master;
        shape->parent = parent;
        SetOwners(*shape, document, page, master, shape.get());
    }
}

SheetData* Model::ShapeById(const SheetData& near, int32_t id) const {
    const auto* index = near.page     ? &near.page->shapesById
                        : near.master ? &near.master->shapesById
                                      : nullptr;
    if (!index) return nullptr;
    const auto found = index->find(id);
    return found == index->end() ? nullptr : found->second;
}

SheetData* Model::Style(const DocumentData& document, int32_t id) const {
    for (const auto& style : document.styles) {
        if (style->id == id) return style.get();
    }
    return nullptr;
}

}  // namespace tess::embedded
