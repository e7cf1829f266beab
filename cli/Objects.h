#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Prompt.h"
#include "engine/SectionCatalogue.h"
#include "platform/visio/Resolver.h"
#include "window/CopyWindow.h"

// The objects the commands name by OBJECT address, and the Sections-tab entries they offer.
namespace tess::cli {

/// What an OBJECT names: the object the tree would show (document, page or shape), its tree
/// image, the sheet a copy reads or writes, its address as the program writes it, its name.
struct Target {
    visio::ObjectPtr object;
    int16_t image = 0;
    visio::ShapePtr sheet;
    std::string address;
    std::string name;
};

/// The object an OBJECT names; one that is malformed or names nothing fails with
/// err::kNoSuchObject (a usage error).
Target ResolveTarget(const visio::Resolver& resolver, std::string_view text);
Target TargetOf(const visio::Resolver& resolver, const visio::ResolvedObject& found);

/// The section boxes a source of that image enables, as the Sections tab sets them, with none
/// checked.
window::SectionBoxes EnableFor(app::IPrompt& prompt, const Target& target);
bool Enabled(const window::SectionBoxes& boxes, const engine::CatalogueEntry& entry);

using Entries = std::vector<const engine::CatalogueEntry*>;
/// The Sections-tab entries that fit, in the tab's order.
Entries EntriesWhere(const std::function<bool(const engine::CatalogueEntry&)>& fits);
/// The entries the source's boxes enable, in the tab's order.
Entries EnabledEntries(const window::SectionBoxes& boxes);
/// Whether an entry has rows to choose.
bool HasRows(const engine::CatalogueEntry& entry);
/// The captions of entries, in order, separated by commas.
std::string CaptionsText(const Entries& entries);
/// The entry of a caption among those that fit; otherwise a usage error that says what is
/// wrong and names the captions that would do.
const engine::CatalogueEntry& EntryAmong(std::string_view caption, const Entries& fitting,
                                         const std::string& problem);

/// What show and sections call the kind of an object of that image.
std::string KindOf(int16_t image);

}  // namespace tess::cli
