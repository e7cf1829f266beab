#include "cli/Objects.h"

#include <algorithm>

#include "cli/Workspace.h"
#include "window/RowListing.h"
#include "window/SectionsTab.h"

namespace tess::cli {

Target TargetOf(const visio::Resolver& resolver, const visio::ResolvedObject& found) {
    return {found.object, found.image, found.sheet, resolver.AddressOf(found.sheet), found.name};
}

Target ResolveTarget(const visio::Resolver& resolver, std::string_view text) {
    return TargetOf(resolver, resolver.Resolve(visio::ObjectPath::Parse(text)));
}

window::SectionBoxes EnableFor(app::IPrompt& prompt, const Target& target) {
    window::SectionBoxes boxes;
    window::EnableDisableSections(prompt, boxes, target.image, target.sheet);
    return boxes;
}

bool Enabled(const window::SectionBoxes& boxes, const engine::CatalogueEntry& entry) {
    return boxes.boxes[static_cast<size_t>(entry.index)].enabled;
}

Entries EntriesWhere(const std::function<bool(const engine::CatalogueEntry&)>& fits) {
    Entries entries;
    for (const engine::CatalogueEntry& entry : engine::CatalogueEntries()) {
        if (fits(entry)) entries.push_back(&entry);
    }
    return entries;
}

Entries EnabledEntries(const window::SectionBoxes& boxes) {
    return EntriesWhere([&](const auto& e) { return Enabled(boxes, e); });
}

bool HasRows(const engine::CatalogueEntry& entry) {
    return !window::RowsTabName(entry).empty();
}

std::string CaptionsText(const Entries& entries) {
    std::string text;
    for (const engine::CatalogueEntry* entry : entries)
        text += (text.empty() ? "" : ", ") + window::CaptionOf(*entry);
    return text;
}

const engine::CatalogueEntry& EntryAmong(std::string_view caption, const Entries& fitting,
                                         const std::string& problem) {
    const engine::CatalogueEntry* entry = window::EntryOfCaption(caption);
    if (entry && std::find(fitting.begin(), fitting.end(), entry) != fitting.end()) return *entry;
    UsageError(problem + (fitting.empty() ? "; there is none to choose"
                                          : "; choose from: " + CaptionsText(fitting)));
}

std::string KindOf(int16_t image) {
    switch (image) {
        case visio::kImageDrawing:
            return "document";
        case visio::kImagePage:
            return "page";
        case visio::kImageGroup:
            return "group";
        default:
            return "shape";
    }
}

}  // namespace tess::cli
