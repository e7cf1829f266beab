#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/RowStores.h"
#include "platform/visio/Host.h"

// The Row details text of the Rows and Row Order tabs: the formulas of a row's main cells, one
// cell per line.
namespace tess::engine {

/// A formula as a ShapeSheet user reads it: "No Formula" for none, else the formula on one line.
std::string FormulaDisplayText(std::string_view formula);

/// The running host's version read as a number ("16.0" is 16); 0 when it is no number. Fails
/// without a host.
double HostVersion();

/// The details of row `row` of the section the tabs call sectionName; for "Geometry" the row is
/// a position in geometryRows. The empty text for a name the tabs do not use, and after a
/// failure (which is reported).
std::string GetRowDetails(const visio::ShapePtr& shape, std::string_view sectionName, int16_t row,
                          const GeometryRowTable& geometryRows = {});

}  // namespace tess::engine
