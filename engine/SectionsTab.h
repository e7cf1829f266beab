#pragma once

#include <cstdint>

#include "platform/visio/Host.h"

// The Sections tab's rules: which boxes a source enables, and which entries count as chosen (a
// box both checked and enabled). They work on the main window's SectionBoxes.
namespace tess::engine {

void CheckAllSections();
void UnCheckAllSections();
/// Disables every box and the page and document frames.
void DisableAllSections();
/// Enables the boxes of the entries the source sheet has, for a shape, a page sheet or a
/// document sheet source; the other boxes stay disabled. No check mark changes.
void EnableDisableSectionsShape(const visio::ShapePtr& shape);
void EnableDisableSectionsPage(const visio::ShapePtr& pageSheet);
void EnableDisableSectionsDocument(const visio::ShapePtr& documentSheet);
/// True when the box of that index is checked and enabled.
bool IsSectionChosen(int16_t index);

}  // namespace tess::engine
