#pragma once

#include <string>
#include <vector>

#include "engine/SectionCatalogue.h"
#include "platform/visio/Host.h"

// The rows of a multi-row entry as the Rows tab lists them, and the cells of a row as the Row
// details show them.
namespace tess::cli {

struct ListedRow {
    std::string label;  // "Prop.Cost", "Row 3", "Geometry Section 1, Row 2"
    std::string token;  // how --rows names it: "Cost", "3", "1.2"
    int16_t section = 0;
    int16_t row = 0;
};

/// The caption of a Sections-tab entry, as the string table gives it.
std::string CaptionOf(const engine::CatalogueEntry& entry);
/// The entry of a caption, compared without regard to case; null for none.
const engine::CatalogueEntry* EntryOfCaption(std::string_view caption);
/// The name the Rows and Row Order tabs give an entry's section ("HyperLink", "Character
/// Format"); empty for single-row entries.
std::string RowsTabName(const engine::CatalogueEntry& entry);
/// Whether the Row Order tab can reorder the entry's rows.
bool Orderable(const engine::CatalogueEntry& entry);

/// The rows of a multi-row entry on a sheet, in the Rows tab's order.
std::vector<ListedRow> ListRows(const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry);

struct CellLine {
    std::string name;
    std::string formula;
};
/// The cells of a row as the Row details show them ("Value", formula), or for rows the details
/// do not cover, the cells a copy writes, named as formulas name them.
std::vector<CellLine> RowCells(const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry,
                               const std::vector<ListedRow>& rows, size_t position);
/// The cells of a single-row entry.
std::vector<CellLine> EntryCells(const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry);

/// The rows an entry has on a sheet: the listed rows of a multi-row entry, 1 or 0 for a
/// single-row entry, 0 for an entry that copies nothing.
size_t RowCount(const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry);

}  // namespace tess::cli
