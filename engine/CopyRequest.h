#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

// One copy as a front end asks for it: the source, the destinations, the sections, per section
// the rows and their order, and how the copy is made. The copy engine reads nothing else of the
// front end that built it.
namespace tess::engine {

/// A row choice: element i is non-zero when source row i is chosen, and one spare element
/// follows. A single element means that no choice was made: every row is copied.
using RowChoice = std::vector<int16_t>;

/// One line of the Geometry row table: chosen flag, Geometry section (10 + n) and row.
struct GeometryRow {
    int16_t chosen = 0;
    int16_t section = 0;
    int16_t row = 0;
};
/// The Geometry sections' one row choice: line j is the j-th Geometry row of the source. Empty
/// means no choice.
using GeometryRowTable = std::vector<GeometryRow>;

/// A row order: element p is the index, among the chosen rows in source order, of the row that
/// goes to position p; one spare element follows. A single element means the source order.
using RowOrder = std::vector<int16_t>;

/// Overwrite the destination's rows of a copied section, or append the source's behind them.
enum class CopyType { Overwrite, Append };
/// What happens to sub-shapes: nothing, the chosen sections copied from each source sub-shape
/// to the destination's of the same name, or the destination's replaced by copies of all.
enum class SubShapes { Ignore, CopyCells, ReplaceAll };

/// How a copy is made.
struct CopyOptions {
    CopyType copyType = CopyType::Overwrite;
    SubShapes subShapes = SubShapes::Ignore;
    bool copyShapeText = false;
    bool copyHelpString = false;
    /// Make a destination when none is given: a page, a drawing, or a shape on the active page.
    bool createDestination = false;

    bool operator==(const CopyOptions&) const = default;
};

/// A sheet a copy reads or writes, as the front end named it.
struct CopyTarget {
    std::string key;        // what names it: a tree key or an address
    std::string text;       // how messages name it
    visio::ShapePtr sheet;  // resolved once for the run; null when it does not exist
};

struct CopyRequest {
    std::optional<CopyTarget> source;  // none: no source was chosen
    std::vector<CopyTarget> destinations;
    /// The Sections-tab entries to copy, by their box indices, in any order.
    std::vector<int16_t> sections;
    /// Per multi-row section (its Visio section number) the rows chosen; a section not here
    /// copies every row.
    std::map<int16_t, RowChoice> rows;
    /// The rows chosen of all Geometry sections together.
    GeometryRowTable geometryRows;
    /// Per section the new order of its chosen rows; a section not here keeps the source order.
    std::map<int16_t, RowOrder> orders;
    CopyOptions options;

    /// True when the entry of that box index is to be copied.
    bool IsSectionChosen(int16_t index) const;
};

/// The copy flags a run is made with.
inline constexpr int16_t CF_APPEND = 0x01;
inline constexpr int16_t CF_OVERWRITE = 0x02;
inline constexpr int16_t CF_SUBSHAPE_CELLS = 0x04;
inline constexpr int16_t CF_ALL_SUBSHAPES = 0x08;
inline constexpr int16_t CF_SHAPE_TEXT = 0x10;
inline constexpr int16_t CF_HELP_STRING = 0x20;

/// The flags of a request: exactly one of append and overwrite (append only where there are
/// destinations to append to), at most one sub-shape mode.
int16_t BuildCopyFlags(const CopyRequest& request);
/// True when Geometry is chosen and the copy type is Append.
bool IsGeometryAppend(const CopyRequest& request);

/// A copy of the row choice of a (non-Geometry) section; a single element for a section
/// without one.
RowChoice GetRowIndicies(const CopyRequest& request, int16_t section);
/// A copy of the Geometry row table.
GeometryRowTable GetGeometryRowIndicies(const CopyRequest& request);
/// Whether the whole section is copied (true) or row by row through the request's choice
/// (false). The choices apply to the request's source only: for any other shape, true. Failures
/// are reported through prompt, and then the answer is false.
bool ShouldWeCopySection(app::IPrompt& prompt, const CopyRequest& request,
                         const visio::ShapePtr& shape, int16_t section);
/// A copy of the row order of a section; a single element for a section without one, and for
/// Smart Tags, whose rows keep their order.
RowOrder GetRowOrderIndicies(const CopyRequest& request, int16_t section);

}  // namespace tess::engine
