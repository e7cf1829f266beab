#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Prompt.h"
#include "app/StringCollection.h"
#include "platform/visio/Host.h"

// Text rewrites that make formulas copied from a source refer to the destination the way they
// referred to the source. None of them asks the host anything except the parent rewrite. Those
// given a prompt report their failures through it.
namespace tess::engine {

/// Formulas as read from the host, one per cell triple, in triple order.
using FormulaList = std::vector<std::string>;

/// Whether the reference standing at at in formula names a sheet other than self: in a formula
/// of Sheet.5, "Sheet.4!Scratch.X1" and "'My box'!Scratch.X1" do; "Scratch.X1" and
/// "Sheet.5!Scratch.X1" are Sheet.5's own. self is a reference name ("Sheet.5", "ThePage"); with
/// none, every reference that names a sheet names another.
bool NamesOtherSheet(std::string_view formula, size_t at, std::string_view self);

/// Applies the "old|new" items of replacements to every formula in one pass: each place of a
/// formula is replaced at most once, by the first item whose old text stands there, so that
/// renames whose new texts are other items' old texts (Sheet.1 to Sheet.5 and Sheet.5 to
/// Sheet.9; Geometry1 to Geometry2 and Geometry2 to Geometry3) do not rename twice. An item
/// without a bar is reported after the items before it are applied. With ownOf, only references
/// that are that sheet's own are replaced (a section renamed on it, not another shape's).
void ResolveReferences(app::IPrompt& prompt, FormulaList& formulas,
                       const app::StringCollection& replacements,
                       std::optional<std::string_view> ownOf = std::nullopt);
/// Moves references to rows of the copied section itself by shift rows
/// (Scratch.X1 becomes Scratch.X3 for a shift of 2). Here and below, only the references that
/// are self's own (the source's reference name) change: another shape's rows stay where they are.
void ResolveReferencesToSelf(app::IPrompt& prompt, FormulaList& formulas, int16_t shift,
                             int16_t section, std::string_view self = {});
/// Where each copied row went: source row to destination row.
using RowMap = std::map<int16_t, int16_t>;
/// Makes references to rows of the copied section itself follow their rows: a reference to a
/// copied row names the row it was copied to; a reference to a row not copied moves by shift
/// rows, as ResolveReferencesToSelf moves it (shift: where the formula's own row went).
void ResolveReferencesToRows(app::IPrompt& prompt, FormulaList& formulas, const RowMap& rows,
                             int16_t section, int16_t shift, std::string_view self = {});
/// The same for the rows of a Geometry section (before it is renamed as the destination's).
void ResolveGeometryRowReferences(app::IPrompt& prompt, FormulaList& formulas, const RowMap& rows,
                                  int16_t sourceSection, int16_t shift, std::string_view self = {});
/// Renames references to the source Geometry section as the destination Geometry section
/// (section 10 is Geometry1).
void ResolveGeometryReferencesToSelf(app::IPrompt& prompt, FormulaList& formulas,
                                     int16_t sourceSection, int16_t destinationSection,
                                     std::string_view self = {});
/// Makes references to the source's parent refer to the destination's parent; leaves the
/// formula as it was when either parent has no reference name.
void ResolveFormulaReferencesToParent(std::string& formula, const visio::ShapePtr& source,
                                      const visio::ShapePtr& destination);

/// Replaces every occurrence of from in text by to, scanning once from the left (inserted text
/// is not scanned again), case-sensitive. Returns whether text changed.
bool ReplaceAll(std::string& text, std::string_view from, std::string_view to);

}  // namespace tess::engine
