#pragma once

#include <string>
#include <vector>

#include "app/StringCollection.h"
#include "platform/visio/Host.h"

// Which sheet stands for which when formulas are carried from one sheet to another: the source
// for the destination, and each member of the source for the destination's matching member. A
// copy rewrites references through it, and a comparison reads one sheet's formulas through it.
namespace tess::engine {

/// Adds "source!|destination!" under the source's reference name; a sheet mapped once keeps its
/// first destination.
void AddSheetReplacement(app::StringCollection& map, const visio::ShapePtr& source,
                         const visio::ShapePtr& destination);

/// Adds a replacement for each member of the source, at any depth, to the destination's matching
/// member; the reference names of members without one are appended to unmatched.
void AddMemberReplacements(app::StringCollection& map, std::vector<std::string>& unmatched,
                           const visio::ShapePtr& source, const visio::ShapePtr& destination);

/// The replacement list of a copy from source to destination that leaves sub-shapes as they are:
/// the source itself, then its members.
app::StringCollection SheetNameMap(const visio::ShapePtr& source,
                                   const visio::ShapePtr& destination);

}  // namespace tess::engine
