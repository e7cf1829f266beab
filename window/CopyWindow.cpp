#include "window/CopyWindow.h"

#include "app/ErrorReport.h"
#include "engine/SectionCatalogue.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

engine::CopyTarget TargetOf(const CopyWindow& window, const ListItem& item) {
    return {item.key, item.text, ResolveItem(window, item).sheet};
}

/// True when text starts with a path component (prefix, then a backslash or its end).
bool StartsWithComponent(const std::string& text, const std::string& prefix) {
    return text.starts_with(prefix) &&
           (text.size() == prefix.size() || text[prefix.size()] == '\\');
}

/// The document part of a key: the application node's key, a backslash and the name.
std::string DocumentKey(const CopyWindow& window, const std::string& name) {
    return window.applicationId + "\\" + name;
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

std::string LastingKey(const CopyWindow& window, const std::string& key) {
    std::string lasting = key;
    app::IgnoreFailure([&] {
        const visio::Resolver resolver(window.host, window.applicationId);
        if (const visio::ShapePtr sheet = resolver.FindKey(key).sheet)
            lasting = resolver.KeyOf(sheet);
    });
    return lasting;
}

void RenameDocumentInItems(CopyWindow& window, const std::string& oldName,
                           const std::string& newName) {
    const std::string oldKey = DocumentKey(window, oldName);
    const std::string newKey = DocumentKey(window, newName);
    // In the Application scope the text is the path from the tree's root, the document second.
    const std::string oldText = "Application\\" + oldName;
    const std::string newText = "Application\\" + newName;
    for (std::vector<ListItem>* list : {&window.source, &window.destinations}) {
        for (ListItem& item : *list) {
            if (!StartsWithComponent(item.key, oldKey)) continue;
            item.key.replace(0, oldKey.size(), newKey);
            if (StartsWithComponent(item.text, oldText))
                item.text.replace(0, oldText.size(), newText);
        }
    }
}

size_t RemoveItemsOfDocument(CopyWindow& window, const std::string& name) {
    const std::string key = DocumentKey(window, name);
    size_t removed = 0;
    for (std::vector<ListItem>* list : {&window.source, &window.destinations}) {
        removed += std::erase_if(
            *list, [&](const ListItem& item) { return StartsWithComponent(item.key, key); });
    }
    return removed;
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
