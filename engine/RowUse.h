#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <tuple>

#include "app/Prompt.h"
#include "engine/CopyRun.h"
#include "platform/visio/Host.h"

// Which rows of a sheet formulas still name, before a copy that overwrites a section deletes
// them (failures are reported through the prompt given): a row other formulas need stays, so
// that overwriting never leaves a formula naming a row that is gone. What the formulas of a page
// or master name is read once per run, into the run's reference index; the sheets the run is
// writing (the current destination and its members) are read as they stand.
namespace tess::engine {

/// A cell of a sheet a formula names: section, row, cell.
using NamedCell = std::tuple<int16_t, int16_t, int16_t>;

/// The cells of sheet's sections that `inSections` accepts, named by formulas outside those
/// sections: the sheet's own other formulas, and those of every shape of its page or master (the
/// page sheet too); for a shape of a master, also the formulas of the pages that name its
/// instances. Formulas are read as the copy reads them.
std::set<NamedCell> CellsNamedFromOutside(CopyRun& run, const visio::ShapePtr& sheet,
                                          const std::function<bool(int16_t)>& inSections);

/// Whether a shape of a master (or the master's page sheet) has instances on the pages of its
/// document: shapes that inherit from any shape of its master, at any depth.
bool HasInstances(CopyRun& run, const visio::ShapePtr& shape);

/// The members of group (at any depth), by ID, that formulas of shapes other than those members
/// name: the group's own, and those of every shape of its page or master.
std::set<int32_t> MembersNamedFromOutside(CopyRun& run, const visio::ShapePtr& group);

/// The rows of one section of sheet that its formulas in the rows given name, those rows among
/// them: what stays of the section when those rows stay.
std::set<int16_t> RowsNamedFrom(app::IPrompt& prompt, const visio::ShapePtr& sheet, int16_t section,
                                std::set<int16_t> rows);

}  // namespace tess::engine
