#pragma once

#include <cstdint>

#include "engine/CopyRun.h"
#include "platform/visio/Host.h"

// Section preparation: before a section's cells are copied, the destination gets the structure
// the source has (the section, its rows, named rows with the source's names, Geometry sections
// with rows of the source's types, text runs); and the shape text itself, with its fields.
namespace tess::engine {

/// Adds a row of the object section to the destination when the source has it; failures are
/// ignored.
void PrepareObjectRow(CopyRun& run, const visio::ShapePtr& source,
                      const visio::ShapePtr& destination, int16_t row);
/// Gives a multi-row destination section the rows of the source.
void PrepareSection(CopyRun& run, const visio::ShapePtr& source, const visio::ShapePtr& destination,
                    int16_t section, int16_t options);
/// Gives the destination the Geometry sections and rows to be copied.
void PrepareGeometrySection(CopyRun& run, const visio::ShapePtr& source,
                            const visio::ShapePtr& destination, int16_t options);
void AddSectionIfMissing(const visio::ShapePtr& shape, int16_t section);
/// Deletes every Geometry section of the shape, the last first.
void DeleteGeometrySections(const visio::ShapePtr& shape);
/// Gives the destination text the source's Character runs, or Paragraph runs.
void PrepareCharactersSection(CopyRun& run, const visio::ShapePtr& source,
                              const visio::ShapePtr& destination);
void PrepareParagraphSection(CopyRun& run, const visio::ShapePtr& source,
                             const visio::ShapePtr& destination);
/// Copies the shape text, with its text fields when copyFields.
void SetCharacterText(CopyRun& run, const visio::ShapePtr& source,
                      const visio::ShapePtr& destination, bool copyFields);

}  // namespace tess::engine
