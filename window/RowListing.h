#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/SectionCatalogue.h"
#include "platform/visio/Host.h"

// How the rows of a multi-row section are named in lists: the Rows and Row Order tabs and the
// command line show the same texts, and match rows by them.
namespace tess::window {

using engine::MultiRowSection;

/// A row of a multi-row section as the lists show it.
struct ListedRow {
    std::string label;  // "Prop.Cost", "Row 3", "Geometry Section 1, Row 2"
    std::string name;   // the row's own name when it is listed by name; empty otherwise
    int16_t section = 0;
    int16_t row = 0;

    /// The row's short form: its name, else its number ("3"), or for Geometry the section's and
    /// the row's number ("1.2").
    std::string Token() const;
    /// How a recipe names the row: by its name, by its label where it has none.
    std::string NameOrLabel() const { return name.empty() ? label : name; }
};

/// The multi-row section the tabs call by that name ("Custom Properties"); null for none.
const MultiRowSection* FindMultiRowSection(std::string_view displayName);

/// Whether the section's rows are named in the lists only when the source names them
/// (Connection Points, Actions, Controls).
bool NamedWhenSourceNamesThem(int16_t section);

/// The text the rows of a section get in front of their name ("Prop."), "" for rows listed by
/// number, and nothing when the section lists no row at all: a section named only when the
/// source names its rows, whose first row is missing.
std::optional<std::string> RowLabelPrefix(const visio::ShapePtr& sheet,
                                          const MultiRowSection& section);

/// One row of a (non-Geometry) section: prefix + its name, or "Row " + (row + 1) when the
/// prefix is empty, in which case the sheet is not consulted.
ListedRow ListRow(const visio::ShapePtr& sheet, int16_t section, int16_t row,
                  std::string_view prefix);

/// Every row of the section on the sheet in list order; for Geometry, the rows of every
/// Geometry section one after the other.
std::vector<ListedRow> ListSectionRows(const visio::ShapePtr& sheet,
                                       const MultiRowSection& section);

/// "Geometry Section g, Row n" for row `row` of Geometry section `section` (10 + g - 1).
std::string GeometryRowLabel(int16_t section, int16_t row);

/// The caption of a Sections-tab entry, as the string table gives it.
std::string CaptionOf(const engine::CatalogueEntry& entry);
/// The entry of a caption, compared without regard to case; null for none.
const engine::CatalogueEntry* EntryOfCaption(std::string_view caption);
/// The name the Rows and Row Order tabs give an entry's section ("HyperLink", "Character
/// Format"); empty for single-row entries.
std::string RowsTabName(const engine::CatalogueEntry& entry);
/// Whether the Row Order tab can reorder the entry's rows.
bool Orderable(const engine::CatalogueEntry& entry);
/// The rows of a multi-row entry on a sheet, in the Rows tab's order; none for other entries.
std::vector<ListedRow> ListEntryRows(const visio::ShapePtr& sheet,
                                     const engine::CatalogueEntry& entry);
/// The position of the row a name names, by its label or its short form, without regard to
/// case; rows.size() for none.
size_t FindRow(const std::vector<ListedRow>& rows, std::string_view name);

}  // namespace tess::window
