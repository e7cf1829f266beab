#include "cli/Rows.h"

#include "platform/visio/Constants.h"
#include "window/RowDetails.h"
#include "window/SheetDiff.h"

namespace tess::cli {
namespace {

using engine::CatalogueEntry;

/// The row of the sheet a single-row entry reads: Glue Info's cells sit in the Miscellaneous row.
int16_t SheetRowOf(const CatalogueEntry& entry) {
    return entry.row == visio::kRowGlueInfo ? visio::visRowMisc : entry.row;
}

std::vector<CellLine> CatalogueCells(app::IPrompt& prompt, const visio::ShapePtr& sheet,
                                     int16_t section, int16_t row, int16_t listRow) {
    std::vector<int16_t> cells;
    engine::GetCellIndicies(prompt, sheet, section, listRow, cells);
    std::vector<CellLine> lines;
    for (int16_t cell : cells) {
        lines.push_back(
            {window::CellShortName(section, row, cell),
             window::FormulaDisplayText(sheet->CellsSRC(section, row, cell)->Formula())});
    }
    return lines;
}

}  // namespace

std::vector<CellLine> RowCells(app::IPrompt& prompt, const visio::ApplicationPtr& host,
                               const visio::ShapePtr& sheet, const CatalogueEntry& entry,
                               const std::vector<ListedRow>& rows, size_t position) {
    const ListedRow& row = rows[position];
    engine::GeometryRowTable table;
    for (const ListedRow& each : rows)
        table.push_back({1, each.section, each.row});
    const bool geometry = entry.kind == engine::EntryKind::GeometryRows;
    const std::string details =
        window::GetRowDetails(prompt, host, sheet, window::RowsTabName(entry),
                              geometry ? static_cast<int16_t>(position) : row.row, table);
    if (details.empty()) return CatalogueCells(prompt, sheet, row.section, row.row, 0);
    std::vector<CellLine> lines;
    size_t start = 0;
    while (start <= details.size()) {
        const size_t end = std::min(details.find("\r\n", start), details.size());
        const std::string line = details.substr(start, end - start);
        if (const size_t equals = line.find(" = "); equals != std::string::npos) {
            lines.push_back({line.substr(0, equals), line.substr(equals + 3)});
        }
        start = end + 2;
    }
    return lines;
}

std::vector<CellLine> EntryCells(app::IPrompt& prompt, const visio::ShapePtr& sheet,
                                 const CatalogueEntry& entry) {
    const int16_t row = SheetRowOf(entry);
    if (!sheet->RowExists(entry.section, row, 0)) return {};
    return CatalogueCells(prompt, sheet, entry.section, row, entry.row);
}

size_t RowCount(const visio::ShapePtr& sheet, const CatalogueEntry& entry) {
    if (entry.kind == engine::EntryKind::Nothing) return 0;
    if (!window::RowsTabName(entry).empty()) return window::ListEntryRows(sheet, entry).size();
    return sheet->RowExists(entry.section, SheetRowOf(entry), 0) ? 1 : 0;
}

}  // namespace tess::cli
