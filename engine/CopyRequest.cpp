#include "engine/CopyRequest.h"

#include <algorithm>

#include "app/ErrorReport.h"
#include "platform/visio/Constants.h"

namespace tess::engine {

bool CopyRequest::IsSectionChosen(int16_t index) const {
    return std::find(sections.begin(), sections.end(), index) != sections.end();
}

int16_t BuildCopyFlags(const CopyRequest& request) {
    const CopyOptions& options = request.options;
    // The copy type is offered only while there are destinations: a destination the run makes
    // is overwritten.
    const bool append = options.copyType == CopyType::Append && !request.destinations.empty();
    int16_t flags = append ? CF_APPEND : CF_OVERWRITE;
    if (options.subShapes == SubShapes::CopyCells) flags |= CF_SUBSHAPE_CELLS;
    if (options.subShapes == SubShapes::ReplaceAll) flags |= CF_ALL_SUBSHAPES;
    if (options.copyShapeText) flags |= CF_SHAPE_TEXT;
    if (options.copyHelpString) flags |= CF_HELP_STRING;
    return flags;
}

bool IsGeometryAppend(const CopyRequest& request) {
    return request.IsSectionChosen(8) && request.options.copyType == CopyType::Append;
}

RowChoice GetRowIndicies(const CopyRequest& request, int16_t section) {
    const auto found = request.rows.find(section);
    return found == request.rows.end() ? RowChoice(1, 0) : found->second;
}

GeometryRowTable GetGeometryRowIndicies(const CopyRequest& request) {
    return request.geometryRows;
}

RowOrder GetRowOrderIndicies(const CopyRequest& request, int16_t section) {
    const auto found = request.orders.find(section);
    if (found == request.orders.end() || section == visio::visSectionSmartTag)
        return RowOrder(1, 0);
    return found->second;
}

bool ShouldWeCopySection(app::IPrompt& prompt, const CopyRequest& request,
                         const visio::ShapePtr& shape, int16_t section) {
    bool whole = false;
    app::Trap(prompt, app::proc::ShouldWeCopySection, [&] {
        const visio::ShapePtr source = request.source ? request.source->sheet : nullptr;
        if (!source) Raise(err::kObjectNotSet);
        if (shape->Name() != source->Name()) {
            whole = true;
            return;
        }
        if (GetRowOrderIndicies(request, section).size() > 1) return;
        if (visio::IsGeometrySection(section)) {
            // Before the first listing the table cannot be indexed: the whole section goes.
            for (const GeometryRow& line : request.geometryRows) {
                if (line.chosen == 0 && line.section == section) return;
            }
            whole = true;
            return;
        }
        for (int16_t element : GetRowIndicies(request, section)) {
            if (element == 0) return;
        }
        whole = true;
    });
    return whole;
}

}  // namespace tess::engine
