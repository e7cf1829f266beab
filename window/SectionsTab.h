#pragma once

#include <cstdint>

#include "app/Prompt.h"
#include "platform/visio/Host.h"
#include "window/CopyWindow.h"

// The Sections tab's rules: which boxes a source enables, and which entries count as chosen (a
// box both checked and enabled). They work on a window's SectionBoxes.
namespace tess::window {

void CheckAllSections(SectionBoxes& boxes);
void UnCheckAllSections(SectionBoxes& boxes);
/// Disables every box and the page and document frames.
void DisableAllSections(SectionBoxes& boxes);
/// Enables the boxes of the entries the source sheet has, for a shape, a page sheet or a
/// document sheet source; the other boxes stay disabled. No check mark changes. A failure is
/// reported through prompt and leaves the boxes tested so far as set.
void EnableDisableSectionsShape(app::IPrompt& prompt, SectionBoxes& boxes,
                                const visio::ShapePtr& shape);
void EnableDisableSectionsPage(app::IPrompt& prompt, SectionBoxes& boxes,
                               const visio::ShapePtr& pageSheet);
void EnableDisableSectionsDocument(app::IPrompt& prompt, SectionBoxes& boxes,
                                   const visio::ShapePtr& documentSheet);
/// The tree image of a sheet: a drawing for a document sheet, a page for a page sheet, a group
/// or a shape.
int16_t ImageOfSheet(const visio::ShapePtr& sheet);
/// The enable pass for a source of that image (a drawing, a page, else a shape).
void EnableDisableSections(app::IPrompt& prompt, SectionBoxes& boxes, int16_t image,
                           const visio::ShapePtr& sheet);
/// True when the box of that index is checked and enabled.
bool IsSectionChosen(const SectionBoxes& boxes, int16_t index);
/// True when at least one box is checked and enabled.
bool IsOneSectionChecked(const SectionBoxes& boxes);

}  // namespace tess::window
