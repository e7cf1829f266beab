#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/Prompt.h"
#include "platform/visio/Host.h"
#include "window/RowStores.h"

// The Row details text of the Rows and Row Order tabs: the formulas of a row's main cells, one
// cell per line.
namespace tess::window {

/// A formula as a ShapeSheet user reads it: "No Formula" for none, else the formula on one line.
std::string FormulaDisplayText(std::string_view formula);

/// The host's version read as a number ("16.0" is 16); 0 when it is no number. Fails without
/// a host.
double HostVersion(const visio::ApplicationPtr& host);

/// The name of a Geometry row's type: "Start", "MoveTo", "LineTo", ...; "" for other types.
std::string GetGeometryRowType(app::IPrompt& prompt, const visio::ShapePtr& shape, int16_t section,
                               int16_t row);

/// The details of row `row` of the section the tabs call sectionName; for "Geometry" the row is
/// a position in geometryRows. The empty text for a name the tabs do not use, and after a
/// failure (which is reported through prompt). host: the application, whose version decides
/// what connection points show.
std::string GetRowDetails(app::IPrompt& prompt, const visio::ApplicationPtr& host,
                          const visio::ShapePtr& shape, std::string_view sectionName, int16_t row,
                          const GeometryRowTable& geometryRows = {});

}  // namespace tess::window
