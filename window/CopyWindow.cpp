#include "window/CopyWindow.h"

#include "engine/SectionCatalogue.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

engine::CopyTarget TargetOf(const CopyWindow& window, const ListItem& item) {
    return {item.key, item.text, ResolveItem(window, item).sheet};
}

}  // namespace

visio::ResolvedObject ResolveItem(const CopyWindow& window, const ListItem& item) {
    return visio::Resolver(window.host, window.applicationId).FindKey(item.key);
}

visio::ShapePtr GetSourceShape(const CopyWindow& window) {
    return window.source.empty() ? nullptr : ResolveItem(window, window.source.front()).sheet;
}

bool IsGeometryAppend(const CopyWindow& window) {
    return IsSectionChosen(window.sections, 8) &&
           window.options.copy.copyType == engine::CopyType::Append;
}

engine::CopyRequest MakeRequest(const CopyWindow& window) {
    engine::CopyRequest request;
    if (!window.source.empty()) request.source = TargetOf(window, window.source.front());
    for (const ListItem& item : window.destinations)
        request.destinations.push_back(TargetOf(window, item));
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (IsSectionChosen(window.sections, entry.index)) request.sections.push_back(entry.index);
    }
    for (const auto& [name, choice] : window.rowSelection.choices) {
        if (choice.size() > 1) request.rows[FindMultiRowSection(name)->section] = choice;
    }
    request.geometryRows = window.rowSelection.geometry;
    for (const auto& [name, order] : window.rowOrders.orders) {
        if (order.size() > 1) request.orders[FindMultiRowSection(name)->section] = order;
    }
    request.options = window.options.copy;
    return request;
}

}  // namespace tess::window
