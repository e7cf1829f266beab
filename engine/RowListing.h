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
namespace tess::engine {

/// A row of a multi-row section as the lists show it.
struct ListedRow {
    std::string label;  // "Prop.Cost", "Row 3", "Geometry Section 1, Row 2"
    std::string name;   // the row's own name when it is listed by name; empty otherwise
    int16_t section = 0;
    int16_t row = 0;
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

/// The name the lists give a section ("Custom Properties"); its label for a section they do
/// not list.
std::string SectionListName(int16_t section);

/// Any row of a multi-row section as the lists show it, whatever the section.
ListedRow ListAnyRow(const visio::ShapePtr& sheet, int16_t section, int16_t row);

}  // namespace tess::engine
