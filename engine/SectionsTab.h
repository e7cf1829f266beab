#pragma once

#include <cstdint>

#include "engine/WindowState.h"
#include "platform/visio/Host.h"

// The Sections tab's rules: which boxes a source enables, and which entries count as chosen (a
// box both checked and enabled). They work on a window's SectionBoxes.
namespace tess::engine {

void CheckAllSections(SectionBoxes& boxes);
void UnCheckAllSections(SectionBoxes& boxes);
/// Disables every box and the page and document frames.
void DisableAllSections(SectionBoxes& boxes);
/// Enables the boxes of the entries the source sheet has, for a shape, a page sheet or a
/// document sheet source; the other boxes stay disabled. No check mark changes.
void EnableDisableSectionsShape(SectionBoxes& boxes, const visio::ShapePtr& shape);
void EnableDisableSectionsPage(SectionBoxes& boxes, const visio::ShapePtr& pageSheet);
void EnableDisableSectionsDocument(SectionBoxes& boxes, const visio::ShapePtr& documentSheet);
/// True when the box of that index is checked and enabled.
bool IsSectionChosen(const SectionBoxes& boxes, int16_t index);

}  // namespace tess::engine
