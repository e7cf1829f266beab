#include "cli/HostSheets.h"

#include <algorithm>
#include <functional>
#include <set>

#include "app/ErrorReport.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::cli {

using visio::visExistsAnywhere;
using visio::visExistsLocally;

namespace {

using Entry = HostSheets::Entry;

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return text;
}

/// The sections other than the object section and Geometry that a sheet may have.
constexpr int16_t kSections[] = {3, 4, 5, 6, 7, 8, 9, 240, 241, 242, 243, 244, 245, 246, 247, 248, 249};
/// Object-section rows run below this index.
constexpr int16_t kObjectRows = 40;

/// Whether the names of a section's cells carry their row's name (User.Alpha, Prop.Cost.Label).
bool NamesRows(int16_t section) {
    return formula::CellNameText(section, 0, 0, "A") != formula::CellNameText(section, 0, 0, "");
}

}  // namespace

HostSheets::Place& HostSheets::PlaceOf(const visio::DocumentPtr& document,
                                       const visio::PagePtr& page,
                                       const visio::MasterPtr& master) {
    // The objects the walk hands in again are known by themselves, and not asked again.
    const void* object = page     ? static_cast<const void*>(page.get())
                         : master ? static_cast<const void*>(master.get())
                                  : static_cast<const void*>(document.get());
    if (const auto known = m_objects.find(object); known != m_objects.end())
        return *known->second;
    const std::string name = document->Name();
    const std::string key = Upper(name) + (page     ? "\npage " + std::to_string(page->ID())
                                           : master ? "\nmaster " + std::to_string(master->ID())
                                                    : std::string());
    Place& place = m_places[key];
    if (place.key.empty()) {
        place = {key, name, document, page, master, {}, {}, {}};
        m_objects.emplace(object, &place);  // the place holds the object: its address stays
    }
    return place;
}

HostSheets::Entry& HostSheets::EntryOf(Place* place, const std::string& key,
                                       const visio::ShapePtr& shape) {
    Entry& entry = m_entries[place->key + "\n" + key];
    if (!entry.place) {
        entry.shape = shape;
        entry.place = place;
    }
    return entry;
}

HostSheets::Entry* HostSheets::SheetOfPlace(Place& place) {
    if (!place.sheet) {
        const visio::ShapePtr shape = place.page     ? place.page->PageSheet()
                                      : place.master ? place.master->PageSheet()
                                                     : place.document->DocumentSheet();
        place.sheet = shape ? &EntryOf(&place, "sheet", shape) : nullptr;
    }
    return *place.sheet;
}

HostSheets::Entry* HostSheets::DocumentSheetOf(Place& place) {
    return SheetOfPlace(PlaceOf(place.document, nullptr, nullptr));
}

formula::ISheetResolver::Sheet HostSheets::DocumentSheet(const visio::DocumentPtr& document) {
    return SheetOfPlace(PlaceOf(document, nullptr, nullptr));
}

formula::ISheetResolver::Sheet HostSheets::PageSheet(const visio::DocumentPtr& document,
                                                     const visio::PagePtr& page) {
    return SheetOfPlace(PlaceOf(document, page, nullptr));
}

formula::ISheetResolver::Sheet HostSheets::MasterSheet(const visio::DocumentPtr& document,
                                                       const visio::MasterPtr& master) {
    return SheetOfPlace(PlaceOf(document, nullptr, master));
}

HostSheets::Members HostSheets::ShapesOf(Place& place, const visio::ShapesPtr& shapes) {
    Members members;
    const int16_t count = shapes->Count();
    for (int16_t i = 1; i <= count; ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        const int32_t id = shape->ID();
        Entry& member = EntryOf(&place, std::to_string(id), shape);
        place.byId.emplace(id, &member);
        members.emplace_back(&member, id);
    }
    return members;
}

HostSheets::Members HostSheets::PageShapes(const visio::DocumentPtr& document,
                                           const visio::PagePtr& page) {
    return ShapesOf(PlaceOf(document, page, nullptr), page->Shapes());
}

HostSheets::Members HostSheets::MasterShapes(const visio::DocumentPtr& document,
                                             const visio::MasterPtr& master) {
    return ShapesOf(PlaceOf(document, nullptr, master), master->Shapes());
}

HostSheets::Members HostSheets::GroupMembers(Sheet group) {
    const Entry& entry = *static_cast<const Entry*>(group);
    return ShapesOf(*entry.place, entry.shape->Shapes());
}

HostSheets::Entry* HostSheets::ShapeById(Place& place, int32_t id) {
    const auto found = place.byId.find(id);
    if (found != place.byId.end()) return found->second;
    Entry* entry = nullptr;
    const visio::ShapesPtr shapes = place.page     ? place.page->Shapes()
                                    : place.master ? place.master->Shapes()
                                                   : nullptr;
    visio::ShapePtr shape;
    if (shapes && app::IgnoreFailure([&] { shape = shapes->ItemFromID(id); }) && shape)
        entry = &EntryOf(&place, std::to_string(id), shape);
    place.byId.emplace(id, entry);
    return entry;
}

HostSheets::Entry* HostSheets::ShapeNamed(Place& place, const std::string& name) {
    if (!place.names) {
        // Once per page or master: every shape at any depth, in order, by both its names.
        place.names.emplace();
        const std::function<void(const Members&)> walk = [&](const Members& members) {
            for (const auto& [sheet, id] : members) {
                Entry* entry = static_cast<Entry*>(const_cast<void*>(sheet));
                place.names->emplace_back(entry->shape->Name(), entry);
                place.names->emplace_back(entry->shape->NameU(), entry);
                walk(ShapesOf(place, entry->shape->Shapes()));
            }
        };
        walk(ShapesOf(place, place.page ? place.page->Shapes() : place.master->Shapes()));
    }
    for (const auto& [known, entry] : *place.names) {
        if (formula::SameName(known, name)) return entry;
    }
    return nullptr;
}

HostSheets::Place* HostSheets::PlaceNamed(Place& near, const std::string& collection,
                                          const std::string& item) {
    const auto key = std::make_tuple(Upper(near.documentName), Upper(collection), Upper(item));
    const auto found = m_named.find(key);
    if (found != m_named.end()) return found->second;
    Place* place = nullptr;
    if (formula::SameName(collection, "Pages")) {
        visio::PagePtr page;
        if (app::IgnoreFailure([&] { page = near.document->Pages()->Item(item); }) && page)
            place = &PlaceOf(near.document, page, nullptr);
    } else if (formula::SameName(collection, "Masters")) {
        visio::MasterPtr master;
        if (app::IgnoreFailure([&] { master = near.document->Masters()->Item(item); }) && master)
            place = &PlaceOf(near.document, nullptr, master);
    }
    // Styles: the host interface reaches no style's sheet.
    m_named.emplace(key, place);
    return place;
}

formula::ISheetResolver::Sheet HostSheets::FindSheet(const formula::SheetSelector& selector) {
    Place* place = m_self->place;
    Entry* itemSheet = m_self;
    if (!selector.collection.empty()) {
        place = PlaceNamed(*place, selector.collection, selector.item);
        if (!place) return nullptr;
        itemSheet = SheetOfPlace(*place);
    }
    const bool onPage = place->page || place->master;
    switch (selector.kind) {
        case formula::SheetKind::Self:
            return itemSheet;
        case formula::SheetKind::ById:
            return onPage ? ShapeById(*place, selector.id) : nullptr;
        case formula::SheetKind::ByName:
            return onPage ? ShapeNamed(*place, selector.name) : nullptr;
        case formula::SheetKind::ThePage:
            return onPage ? SheetOfPlace(*place) : nullptr;
        case formula::SheetKind::TheDoc:
            return DocumentSheetOf(*place);
        case formula::SheetKind::Computed:
            return nullptr;
    }
    return nullptr;
}

bool HostSheets::Exists(Entry& entry, int16_t section, int16_t row, int16_t cell) {
    const auto key = std::make_tuple(section, row, cell);
    const auto found = entry.cells.find(key);
    if (found != entry.cells.end()) return found->second;
    const bool exists = !entry.known.contains(section) &&
                        entry.shape->CellsSRCExists(section, row, cell, visExistsAnywhere);
    entry.cells.emplace(key, exists);
    return exists;
}

int16_t HostSheets::NamedRow(Entry& entry, int16_t section, const std::string& name) {
    const auto key = std::make_pair(section, Upper(name));
    const auto found = entry.namedRows.find(key);
    if (found != entry.namedRows.end()) return found->second;
    int16_t row = -1;
    if (!entry.known.contains(section)) {
        app::IgnoreFailure(
            [&] { row = entry.shape->Cells(formula::CellNameText(section, 0, 0, name))->Row(); });
    }
    entry.namedRows.emplace(key, row);
    return row;
}

std::optional<int16_t> HostSheets::FindRow(Sheet sheet, const formula::CellName& cell) {
    Entry& entry = *static_cast<Entry*>(const_cast<void*>(sheet));
    int16_t row = cell.row;
    if (cell.named) {
        row = NamedRow(entry, cell.section, cell.rowName);
        if (row < 0) return std::nullopt;
    }
    if (!Exists(entry, cell.section, row, cell.cell)) return std::nullopt;
    return row;
}

formula::Value HostSheets::CellValue(Sheet, int16_t, int16_t, int16_t) {
    // Checking resolves references; it computes nothing.
    return formula::Value::NotComputable();
}

std::vector<std::string> HostSheets::ReadFormulas(Entry& entry, std::vector<OwnFormula>& cells) {
    const auto stream = [&] {
        std::vector<int16_t> triples;
        for (const OwnFormula& cell : cells)
            triples.insert(triples.end(), {cell.section, cell.row, cell.cell});
        return triples;
    };
    std::vector<std::string> formulas;
    if (app::IgnoreFailure([&] { formulas = entry.shape->GetFormulas(stream()); }))
        return formulas;
    // A cell the host lacks though the catalogue knows it: ask which, then read the others.
    std::erase_if(cells, [&](const OwnFormula& cell) {
        return !entry.shape->CellsSRCExists(cell.section, cell.row, cell.cell, visExistsAnywhere);
    });
    return cells.empty() ? formulas : entry.shape->GetFormulas(stream());
}

void HostSheets::ReadSection(Entry& entry, int16_t section, std::vector<OwnFormula>& formulas) {
    const visio::ShapePtr& shape = entry.shape;
    entry.known.insert(section);
    std::vector<OwnFormula> cells;
    const auto addRow = [&](int16_t row, int16_t width, const std::string& rowName) {
        for (int16_t cell = 0; cell < width; ++cell) {
            if (visio::IsGeometrySection(section) || formula::IsKnownCell(section, row, cell))
                cells.push_back({section, row, cell,
                                 formula::CellNameText(section, row, cell, rowName), {}});
        }
    };
    if (section == visio::visSectionObject) {
        for (int16_t row = 0; row < kObjectRows; ++row) {
            const int16_t width = formula::ColumnCount(section, row);
            if (width > 0 && shape->RowExists(section, row, visExistsAnywhere))
                addRow(row, width, {});
        }
    } else if (shape->SectionExists(section, visExistsAnywhere)) {
        const bool named = NamesRows(section);
        const int16_t rows = shape->RowCount(section);
        for (int16_t row = 0; row < rows; ++row) {
            const std::string name = named ? shape->CellsSRC(section, row, 0)->RowName() : "";
            if (!name.empty()) entry.namedRows.emplace(std::make_pair(section, Upper(name)), row);
            addRow(row,
                   visio::IsGeometrySection(section) ? shape->RowsCellCount(section, row)
                                                     : formula::ColumnCount(section, row),
                   name);
        }
    }
    if (cells.empty()) return;
    std::vector<std::string> texts = ReadFormulas(entry, cells);
    for (size_t i = 0; i < cells.size(); ++i) {
        OwnFormula& cell = cells[i];
        entry.cells.emplace(std::make_tuple(cell.section, cell.row, cell.cell), true);
        if (texts[i].empty() ||
            !shape->CellsSRCExists(cell.section, cell.row, cell.cell, visExistsLocally))
            continue;
        cell.formula = std::move(texts[i]);
        formulas.push_back(std::move(cell));
    }
}

std::vector<OwnFormula> HostSheets::OwnFormulas(Sheet sheet) {
    Entry& entry = *static_cast<Entry*>(const_cast<void*>(sheet));
    std::vector<OwnFormula> formulas;
    ReadSection(entry, visio::visSectionObject, formulas);
    for (int16_t section : kSections) {
        if (section == visio::visSectionAction) {
            const int16_t geometry = entry.shape->GeometryCount();
            for (int16_t g = 0; g < geometry; ++g)
                ReadSection(entry, static_cast<int16_t>(visio::visSectionFirstComponent + g),
                            formulas);
        }
        ReadSection(entry, section, formulas);
    }
    return formulas;
}

}  // namespace tess::cli
