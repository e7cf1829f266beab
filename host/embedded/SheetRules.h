#pragma once

#include <bitset>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/embedded/ModelData.h"

// Rules about sheets that need nothing of the model but the sheet: names, the object-section
// rows a kind of sheet has, owners and the index of shapes by ID.
namespace tess::embedded {

/// A sheet whose host object is still in the model; throws kObjectDeleted otherwise.
void RequireAlive(const SheetData& sheet);

/// The name formulas use for the sheet: "Sheet.5", "ThePage", "TheDoc".
std::string NameId(const SheetData& sheet);
/// The shape's name as Visio shows it: its own, else "Sheet.<ID>".
std::string DisplayName(const SheetData& sheet);
std::string DisplayNameU(const SheetData& sheet);
/// Gives the "Sheet.<ID>!" references of a formula the IDs `renumber` maps their IDs to;
/// references it maps to nullopt, and references into other pages or masters, stay.
std::string RenumberReferences(std::string_view formula,
                               const std::function<std::optional<int32_t>(int32_t)>& renumber);

/// The object-section rows a sheet of this kind has without being asked.
std::bitset<40> DefaultObjectRows(SheetKind kind, ShapeKind shapeKind);
/// Whether a sheet can be given a row of the object section: page and document sheets have
/// only their own rows, and shapes none of those.
bool CanHoldObjectRow(const SheetData& sheet, int16_t row);

/// Sets the owners of the shapes of a container (document, page, master, group), deeply.
void SetOwners(ShapeContainer& container, DocumentData* document, PageData* page,
               MasterData* master, SheetData* parent);
/// Registers a page's or master's shapes (at any depth) by ID.
void IndexShapes(PageData& page);
void IndexShapes(MasterData& master);

}  // namespace tess::embedded
