#include "engine/RowListing.h"

#include "platform/visio/Constants.h"

namespace tess::engine {

const MultiRowSection* FindMultiRowSection(std::string_view displayName) {
    for (const MultiRowSection& section : MultiRowSections()) {
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
    return "Geometry Section " + std::to_string(section - visio::visSectionFirstComponent + 1) +
           ", Row " + std::to_string(row + 1);
}

std::string SectionListName(int16_t section) {
    if (visio::IsGeometrySection(section)) return "Geometry";
    for (const MultiRowSection& listed : MultiRowSections()) {
        if (listed.section == section) return std::string(listed.displayName);
    }
    return GetSectionString(section);
}

ListedRow ListAnyRow(const visio::ShapePtr& sheet, int16_t section, int16_t row) {
    if (visio::IsGeometrySection(section)) return {GeometryRowLabel(section, row), {}, section, row};
    for (const MultiRowSection& listed : MultiRowSections()) {
        if (listed.section != section) continue;
        return ListRow(sheet, section, row, RowLabelPrefix(sheet, listed).value_or(""));
    }
    return {"Row " + std::to_string(row + 1), {}, section, row};
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

}  // namespace tess::engine
