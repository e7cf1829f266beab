#include "engine/WindowState.h"

namespace tess::engine {

void OptionControls::SelectOverwrite() {
    optOverwrite = true;
    optAppend = false;
}

void OptionControls::SelectAppend() {
    optOverwrite = false;
    optAppend = true;
}

void OptionControls::SelectIgnoreSubShapes() {
    optIgnoreSubShapes = true;
    optReplaceSubShapes = optCopySubShapes = false;
}

void OptionControls::SelectReplaceSubShapes() {
    optReplaceSubShapes = true;
    optIgnoreSubShapes = optCopySubShapes = false;
}

void OptionControls::SelectCopySubShapes() {
    optCopySubShapes = true;
    optIgnoreSubShapes = optReplaceSubShapes = false;
}

int16_t BuildCopyFlags(const OptionControls& options) {
    int16_t flags = 0;
    if (options.copyTypeFrameEnabled && !options.optOverwrite) flags |= CF_APPEND;
    if (options.optOverwrite || !options.copyTypeFrameEnabled) flags |= CF_OVERWRITE;
    if (options.subShapesFrameEnabled && options.optCopySubShapes) flags |= CF_SUBSHAPE_CELLS;
    if (options.subShapesFrameEnabled && !options.optCopySubShapes && options.optReplaceSubShapes) {
        flags |= CF_ALL_SUBSHAPES;
    }
    if (options.chkCopyShapeText.enabled && options.chkCopyShapeText.value == 1)
        flags |= CF_SHAPE_TEXT;
    if (options.chkCopyHelpString.enabled && options.chkCopyHelpString.value == 1)
        flags |= CF_HELP_STRING;
    return flags;
}

visio::ShapePtr ResolveItem(const CopyWindow& window, const ListItem& item) {
    if (!window.tree) return nullptr;
    const visio::ObjectPtr object = window.tree->GetNodeObject(item.key);
    if (!object) return nullptr;
    switch (item.image) {
        case kImageDrawing: {
            const auto document = std::dynamic_pointer_cast<visio::IDocument>(object);
            return document ? document->DocumentSheet() : nullptr;
        }
        case kImagePage: {
            const auto page = std::dynamic_pointer_cast<visio::IPage>(object);
            return page ? page->PageSheet() : nullptr;
        }
        default:
            return std::dynamic_pointer_cast<visio::IShape>(object);
    }
}

visio::ShapePtr GetSourceShape(const CopyWindow& window) {
    return window.source.empty() ? nullptr : ResolveItem(window, window.source.front());
}

}  // namespace tess::engine
