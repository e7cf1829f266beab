#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/visio/Host.h"

// The row choices of the Rows tab and the row orders of the Row Order tab: stores of the main
// window that the tabs fill and the copy engine reads.
namespace tess::engine {

struct CopyWindow;

/// A row choice: element i is non-zero when source row i is chosen, and one spare element
/// follows. A single element means that no choice was made: every row is copied.
using RowChoice = std::vector<int16_t>;

/// One line of the Geometry row table: chosen flag, Geometry section (10 + n) and row.
struct GeometryRow {
    int16_t chosen = 0;
    int16_t section = 0;
    int16_t row = 0;
};
/// The Geometry sections' one row choice: line j is the j-th Geometry row the tab lists. Empty
/// before the first listing, which means no choice.
using GeometryRowTable = std::vector<GeometryRow>;

/// A row order: element p is the index, among the chosen rows in source order, of the row that
/// goes to position p; one spare element follows. A single element means the source order.
using RowOrder = std::vector<int16_t>;

/// The thirteen row choices, by the section names the Rows tab lists.
struct RowSelectionStore {
    std::map<std::string, RowChoice, std::less<>> choices;
    GeometryRowTable geometry;

    RowSelectionStore();
    /// Back to no choice for every section.
    void ResetAll();
    /// Back to no choice for the section of that name (ResetRowSection); other names do nothing.
    void Reset(std::string_view sectionName);
};

/// The eleven row orders, by section name.
struct RowOrderStore {
    std::map<std::string, RowOrder, std::less<>> orders;

    RowOrderStore();
    void ResetAll();
    void Reset(std::string_view sectionName);  // ResetRowOrderSection
};

/// A copy of the row choice of a (non-Geometry) section; a single element for sections the
/// store does not hold.
RowChoice GetRowIndicies(const RowSelectionStore& store, int16_t section);
/// A copy of the Geometry row table.
GeometryRowTable GetGeometryRowIndicies(const RowSelectionStore& store);
/// A copy of the row order of a section; a single element for sections that cannot be ordered.
RowOrder GetRowOrderIndicies(const RowOrderStore& store, int16_t section);
/// Whether the whole section is copied (true) or row by row through the window's choice
/// (false). The choices apply to the window's source only: for any other shape, true.
bool ShouldWeCopySection(const CopyWindow& window, const visio::ShapePtr& shape, int16_t section);
/// The name of a Geometry row's type: "Start", "MoveTo", "LineTo", ...; "" for other types.
std::string GetGeometryRowType(const visio::ShapePtr& shape, int16_t section, int16_t row);

}  // namespace tess::engine
