#include "window/SectionsTab.h"

#include <initializer_list>

#include "app/ErrorReport.h"
#include "engine/SectionCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::window {
namespace {

using engine::CatalogueEntries;
using engine::CatalogueEntry;
using engine::FindCatalogueEntry;

/// The row whose existence on the source enables a box: row 0 of a multi-row section, the
/// Miscellaneous row for Glue Info, the first Geometry section for Geometry.
void TestBox(SectionBoxes& boxes, const visio::ShapePtr& sheet, int16_t index) {
    const CatalogueEntry* entry = FindCatalogueEntry(index);
    if (!entry || entry->section < 0) return;
    const int16_t row = entry->row == visio::kRowGlueInfo ? visio::visRowMisc
                        : entry->row < 0                  ? 0
                                                          : entry->row;
    boxes.boxes[static_cast<size_t>(index)].enabled =
        visio::Required(sheet).RowExists(entry->section, row, 0);
}

void EnablePass(app::IPrompt& prompt, SectionBoxes& boxes, const app::Procedure& procedure,
                const visio::ShapePtr& sheet, std::initializer_list<int16_t> order, bool pageFrame,
                bool documentFrame) {
    app::Trap(prompt, procedure, [&] {
        DisableAllSections(boxes);
        boxes.pageFrameEnabled = pageFrame;
        boxes.documentFrameEnabled = documentFrame;
        for (int16_t index : order)
            TestBox(boxes, sheet, index);
    });
}

}  // namespace

void CheckAllSections(SectionBoxes& boxes) {
    for (const CatalogueEntry& entry : CatalogueEntries())
        boxes.boxes[static_cast<size_t>(entry.index)].value = 1;
}

void UnCheckAllSections(SectionBoxes& boxes) {
    for (const CatalogueEntry& entry : CatalogueEntries())
        boxes.boxes[static_cast<size_t>(entry.index)].value = 0;
}

void DisableAllSections(SectionBoxes& boxes) {
    for (const CatalogueEntry& entry : CatalogueEntries()) {
        boxes.boxes[static_cast<size_t>(entry.index)].enabled = false;
    }
    boxes.pageFrameEnabled = false;
    boxes.documentFrameEnabled = false;
}

void EnableDisableSectionsShape(app::IPrompt& prompt, SectionBoxes& boxes,
                                const visio::ShapePtr& shape) {
    EnablePass(prompt, boxes, app::proc::EnableDisableSectionsShape, shape,
               {0,  1,  28, 2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25, 27, 26},
               false, false);
}

void EnableDisableSectionsPage(app::IPrompt& prompt, SectionBoxes& boxes,
                               const visio::ShapePtr& pageSheet) {
    EnablePass(prompt, boxes, app::proc::EnableDisableSectionsPage, pageSheet,
               {28, 44, 2, 3, 4, 6, 9, 40, 41, 42, 43}, true, false);
}

void EnableDisableSectionsDocument(app::IPrompt& prompt, SectionBoxes& boxes,
                                   const visio::ShapePtr& documentSheet) {
    EnablePass(prompt, boxes, app::proc::EnableDisableSectionsDocument, documentSheet,
               {51, 2, 3, 4, 9, 50}, false, true);
}

int16_t ImageOfSheet(const visio::ShapePtr& sheet) {
    switch (sheet->Type()) {
        case visio::visTypeDoc:
            return kImageDrawing;
        case visio::visTypePage:
            return kImagePage;
        case visio::visTypeGroup:
            return kImageGroup;
        default:
            return kImageShape;
    }
}

void EnableDisableSections(app::IPrompt& prompt, SectionBoxes& boxes, int16_t image,
                           const visio::ShapePtr& sheet) {
    if (image == kImageDrawing) {
        EnableDisableSectionsDocument(prompt, boxes, sheet);
    } else if (image == kImagePage) {
        EnableDisableSectionsPage(prompt, boxes, sheet);
    } else {
        EnableDisableSectionsShape(prompt, boxes, sheet);
    }
}

bool IsSectionChosen(const SectionBoxes& boxes, int16_t index) {
    if (index < 0 || static_cast<size_t>(index) >= boxes.boxes.size() || !FindCatalogueEntry(index))
        return false;
    const CheckBox& box = boxes.boxes[static_cast<size_t>(index)];
    return box.value == 1 && box.enabled;
}

bool IsOneSectionChecked(const SectionBoxes& boxes) {
    for (const CatalogueEntry& entry : CatalogueEntries()) {
        if (IsSectionChosen(boxes, entry.index)) return true;
    }
    return false;
}

}  // namespace tess::window
