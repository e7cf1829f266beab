#pragma once

#include <string>
#include <vector>

#include "app/Prompt.h"
#include "engine/SectionCatalogue.h"
#include "platform/visio/Host.h"
#include "window/RowListing.h"

// The cells of a row as show prints them.
namespace tess::cli {

using window::ListedRow;

struct CellLine {
    std::string name;
    std::string formula;
};
/// The cells of a row as the Row details show them ("Value", formula), or for rows the details
/// do not cover, the cells a copy writes, named as formulas name them. Failures are reported
/// through prompt; host is the application, whose version the details follow.
std::vector<CellLine> RowCells(app::IPrompt& prompt, const visio::ApplicationPtr& host,
                               const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry,
                               const std::vector<ListedRow>& rows, size_t position);
/// The cells of a single-row entry.
std::vector<CellLine> EntryCells(app::IPrompt& prompt, const visio::ShapePtr& sheet,
                                 const engine::CatalogueEntry& entry);

/// The rows an entry has on a sheet: the listed rows of a multi-row entry, 1 or 0 for a
/// single-row entry, 0 for an entry that copies nothing.
size_t RowCount(const visio::ShapePtr& sheet, const engine::CatalogueEntry& entry);

}  // namespace tess::cli
