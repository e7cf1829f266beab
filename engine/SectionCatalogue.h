#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

// The vocabulary of every copy: the sections the program handles, the single-row groups of the
// object section, the Sections-tab entries and the cells copied per row, in their copy order.
namespace tess::engine {

/// How the copy driver copies a Sections-tab entry.
enum class EntryKind {
    SingleRow,       // one row of the object section, or row 0 of a one-row section
    IndexedRows,     // rows by position
    NamedRows,       // rows matched by name
    IndexedOrNamed,  // Connection Points: named when the source's rows carry names
    GeometryRows,    // every Geometry section of the source
    WholeSection,    // Character and Paragraph: whole section after text preparation
    Nothing,         // has a box but copies nothing (Tabs, Print Properties)
};

/// The frame of the Sections tab an entry sits in.
enum class EntryFrame { Shape, Page, Document };

struct CatalogueEntry {
    int16_t index;  // index of the entry's box in chkShapeSection
    int captionId;  // string-table id of the box's caption
    EntryFrame frame;
    int16_t section;  // -1 when the entry copies nothing
    int16_t row;      // row of the object section or of a one-row section; -1 for multi-row
    EntryKind kind;
};

/// Every Sections-tab entry in index order: 0 to 28, 40 to 45, 50 and 51.
std::span<const CatalogueEntry> CatalogueEntries();
/// The entry with that box index; null when no box has it.
const CatalogueEntry* FindCatalogueEntry(int16_t index);

/// A multi-row section as the Rows and Row Order tabs name it.
struct MultiRowSection {
    std::string_view displayName;
    int16_t section;          // the first Geometry section (10) for "Geometry"
    std::string_view prefix;  // named-row prefix; empty for numbered rows
};
std::span<const MultiRowSection> MultiRowSections();
/// The name the lists give a section ("Custom Properties"); "Geometry" for every Geometry
/// section; empty for a section they do not list.
std::string SectionListName(int16_t section);
/// A row as the lists name it: "Geometry Section g, Row n" for a Geometry row, the section's
/// prefix and the row's name for a named row ("Prop.Cost"), else "Row n".
std::string RowListLabel(int16_t section, int16_t row, std::string_view name);

// These report their failures through prompt.
/// The section's label in formula references and copy-error texts; empty when it has none.
std::string GetSectionString(app::IPrompt& prompt, int16_t section);
/// The label of a single-row group of the object section; empty when it has none.
std::string GetObjectSectionRowString(app::IPrompt& prompt, int16_t row);
/// Fills cells with the cells copied per row of (section, row), in copy order; for the object
/// section the row picks the list, elsewhere it is ignored. False, cells untouched, when the
/// catalogue has no list (Geometry sections included). The shape is not consulted.
bool GetCellIndicies(app::IPrompt& prompt, const visio::ShapePtr& shape, int16_t section,
                     int16_t row, std::vector<int16_t>& cells);

}  // namespace tess::engine
