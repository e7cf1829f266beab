#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <tuple>
#include <vector>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

// Which rows of a sheet formulas still name, before a copy that overwrites a section deletes
// them (failures are reported through the prompt given): a row other formulas need stays, so that overwriting never leaves a formula naming a
// row that is gone.
namespace tess::engine {

/// A cell of a sheet a formula names: section, row, cell.
using NamedCell = std::tuple<int16_t, int16_t, int16_t>;

/// The cells of sheet's sections that `inSections` accepts, named by formulas outside those
/// sections: the sheet's own other formulas, and those of every shape of its page or master (the
/// page sheet too); for a shape of a master, also the formulas of the pages that name its
/// instances. Formulas are read as the copy reads them.
std::set<NamedCell> CellsNamedFromOutside(app::IPrompt& prompt, const visio::ShapePtr& sheet,
                                          const std::function<bool(int16_t)>& inSections);

/// The shapes on the pages of a master's document that inherit from shape, a shape of the
/// master, at any depth; with anyOfItsMaster, those that inherit from any shape of its master.
/// None for a shape that is not in a master.
std::vector<visio::ShapePtr> InstancesOf(const visio::ShapePtr& shape, bool anyOfItsMaster);

/// The members of group (at any depth), by ID, that formulas of shapes other than those members
/// name: the group's own, and those of every shape of its page or master.
std::set<int32_t> MembersNamedFromOutside(app::IPrompt& prompt, const visio::ShapePtr& group);

/// The rows of one section of sheet that its formulas in the rows given name, those rows among
/// them: what stays of the section when those rows stay.
std::set<int16_t> RowsNamedFrom(app::IPrompt& prompt, const visio::ShapePtr& sheet, int16_t section,
                                std::set<int16_t> rows);

}  // namespace tess::engine
