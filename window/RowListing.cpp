#include "window/RowListing.h"

#include "app/StringTable.h"
#include "formula/CellCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::window {

const MultiRowSection* FindMultiRowSection(std::string_view displayName) {
    for (const MultiRowSection& section : engine::MultiRowSections()) {
        if (section.displayName == displayName) return &section;
    }
    return nullptr;
}

bool NamedWhenSourceNamesThem(int16_t section) {
    return section == visio::visSectionConnectionPts || section == visio::visSectionAction ||
           section == visio::visSectionControls;
}

std::optional<std::string> RowLabelPrefix(const visio::ShapePtr& sheet,
                                          const MultiRowSection& section) {
    if (!NamedWhenSourceNamesThem(section.section)) return std::string(section.prefix);
    if (!sheet->RowExists(section.section, 0, 0)) return std::nullopt;
    if (sheet->CellsSRC(section.section, 0, 0)->RowName().empty()) return std::string();
    return std::string(section.prefix);
}

ListedRow ListRow(const visio::ShapePtr& sheet, int16_t section, int16_t row,
                  std::string_view prefix) {
    if (prefix.empty()) return {"Row " + std::to_string(row + 1), {}, section, row};
    std::string name = sheet->CellsSRC(section, row, 0)->RowName();
    return {std::string(prefix) + name, std::move(name), section, row};
}

std::string GeometryRowLabel(int16_t section, int16_t row) {
    return engine::RowListLabel(section, row, {});
}

std::vector<ListedRow> ListSectionRows(const visio::ShapePtr& sheet,
                                       const MultiRowSection& section) {
    std::vector<ListedRow> rows;
    if (visio::IsGeometrySection(section.section)) {
        for (int16_t g = 0; g < sheet->GeometryCount(); ++g) {
            const auto geometry = static_cast<int16_t>(visio::visSectionFirstComponent + g);
            for (int16_t r = 0; r < sheet->RowCount(geometry); ++r)
                rows.push_back({GeometryRowLabel(geometry, r), {}, geometry, r});
        }
        return rows;
    }
    if (!sheet->SectionExists(section.section, 0)) return rows;
    const std::optional<std::string> prefix = RowLabelPrefix(sheet, section);
    if (!prefix) return rows;
    for (int16_t r = 0; r < sheet->RowCount(section.section); ++r)
        rows.push_back(ListRow(sheet, section.section, r, *prefix));
    return rows;
}

std::string ListedRow::Token() const {
    if (!name.empty()) return name;
    if (!visio::IsGeometrySection(section)) return std::to_string(row + 1);
    return std::to_string(section - visio::visSectionFirstComponent + 1) + "." +
           std::to_string(row + 1);
}

std::string CaptionOf(const engine::CatalogueEntry& entry) {
    return app::LoadResString(entry.captionId);
}

const engine::CatalogueEntry* EntryOfCaption(std::string_view caption) {
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (formula::SameName(CaptionOf(entry), caption)) return &entry;
    }
    return nullptr;
}

namespace {

/// The multi-row section an entry lists its rows from; null for single-row entries.
const MultiRowSection* ListedSectionOf(const engine::CatalogueEntry& entry) {
    if (entry.section < 0 || entry.kind == engine::EntryKind::SingleRow) return nullptr;
    if (entry.kind == engine::EntryKind::GeometryRows) return FindMultiRowSection("Geometry");
    for (const MultiRowSection& section : engine::MultiRowSections()) {
        if (section.section == entry.section) return &section;
    }
    return nullptr;
}

}  // namespace

std::string RowsTabName(const engine::CatalogueEntry& entry) {
    const MultiRowSection* section = ListedSectionOf(entry);
    return section ? std::string(section->displayName) : std::string();
}

bool Orderable(const engine::CatalogueEntry& entry) {
    return entry.kind == engine::EntryKind::IndexedRows ||
           entry.kind == engine::EntryKind::IndexedOrNamed ||
           (entry.kind == engine::EntryKind::NamedRows &&
            entry.section != visio::visSectionSmartTag);
}

std::vector<ListedRow> ListEntryRows(const visio::ShapePtr& sheet,
                                     const engine::CatalogueEntry& entry) {
    const MultiRowSection* section = ListedSectionOf(entry);
    return section ? ListSectionRows(sheet, *section) : std::vector<ListedRow>();
}

size_t FindRow(const std::vector<ListedRow>& rows, std::string_view name) {
    for (size_t i = 0; i < rows.size(); ++i) {
        if (formula::SameName(rows[i].label, name) || formula::SameName(rows[i].Token(), name))
            return i;
    }
    return rows.size();
}

}  // namespace tess::window
