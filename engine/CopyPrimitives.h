#pragma once

#include <cstdint>
#include <vector>

#include "app/StringCollection.h"
#include "engine/CopyRun.h"
#include "platform/visio/Host.h"

// The copy primitives: each copies the formulas of one row, chosen rows or a whole section from
// a source sheet to a destination sheet in one formula read and one formula write, rewriting
// references on the way; and the row operations the section preparation uses.
namespace tess::engine {

/// (section, row, cell) triples, three entries per cell.
using CellTriples = std::vector<int16_t>;

/// One row of the object section or row 0 of a section (whole false), or the whole section,
/// written onto the destination's last rows (whole true, row 0). Row kRowGlueInfo copies the
/// Glue Info cells of the Miscellaneous row.
void CopySection(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
                 int16_t section, int16_t row, bool wholeSection);
/// Every row of a named-row section, each onto the destination row of the same name.
void CopyNamedRowSection(CopyRun& run, const visio::ShapePtr& source,
                         const visio::ShapePtr& destination, int16_t section, int16_t row,
                         bool wholeSection);
/// The chosen rows of a named-row section onto the destination rows of their names.
void CopyNamedRows(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
                   int16_t section);
/// The chosen rows of an indexed section, in the row order.
void CopyRows(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
              int16_t section, int16_t options);
/// One row of a multi-row section.
/// The Text Fields rows: they come and go with the fields of the text, so none is added or
/// removed. With the shape text copied (textCopied) the destination's fields are the source's
/// and each chosen row lands on its own; else, overwriting, the chosen rows overwrite the
/// destination's fields in order as far as it has them. What does not fit, and any append
/// without the text, is reported as not done; the destination's own fields are never written
/// over when appending.
void CopyTextFields(CopyRun& run, const visio::ShapePtr& source,
                    const visio::ShapePtr& destination, int16_t options, bool textCopied);
void CopyRow(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
             int16_t section, int16_t sourceRow, int16_t destinationRow);
/// A whole Geometry section into destination section target, which then advances by one.
void CopyGeometrySection(CopyRun& run, const visio::ShapePtr& source,
                         const visio::ShapePtr& destination, int16_t sourceSection, int16_t& target,
                         const app::StringCollection& renames);
/// The chosen rows of one Geometry section; target advances by one when any row was chosen
/// (its section was prepared), even when the destination refused one.
void CopyGeometryRows(CopyRun& run, const visio::ShapePtr& source,
                      const visio::ShapePtr& destination, int16_t sourceSection, int16_t& target,
                      const app::StringCollection& renames);

/// Adds one destination row per chosen source row, after the destination's rows.
void AddNewRows(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
                int16_t section);
/// Adds a named destination row for each chosen source row whose name the destination lacks
/// (every source row when allRows).
void AddNewNamedRows(CopyRun& run, const visio::ShapePtr& source,
                     const visio::ShapePtr& destination, int16_t section, bool allRows);
/// Whether any row of the section has a name (connection points are named or numbered by it);
/// false when the shape lacks the section or a name cannot be read.
bool HasNamedRows(const visio::ShapePtr& shape, int16_t section);
/// Deletes every row of the destination's section.
void DeleteRows(CopyRun& run, const visio::ShapePtr& destination, int16_t section);

/// Appends every cell of one Geometry section, or of all (section -1), to triples.
void GetGeometryCells(app::IPrompt& prompt, const visio::ShapePtr& shape, CellTriples& triples,
                      int16_t section);

}  // namespace tess::engine
