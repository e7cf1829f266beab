#include "window/RowStores.h"

#include "engine/SectionCatalogue.h"
#include "platform/visio/Constants.h"

namespace tess::window {
namespace {

constexpr std::string_view kGeometry = "Geometry";

bool Orderable(const engine::MultiRowSection& section) {
    return section.displayName != kGeometry && section.section != visio::visSectionSmartTag;
}

}  // namespace

RowSelectionStore::RowSelectionStore() {
    ResetAll();
}

void RowSelectionStore::ResetAll() {
    for (const engine::MultiRowSection& section : engine::MultiRowSections()) {
        if (section.displayName != kGeometry)
            choices[std::string(section.displayName)] = RowChoice(1, 0);
    }
    geometry.clear();
}

void RowSelectionStore::Reset(std::string_view sectionName) {
    if (sectionName == kGeometry) {
        geometry.clear();
    } else if (const auto found = choices.find(sectionName); found != choices.end()) {
        found->second = RowChoice(1, 0);
    }
}

RowOrderStore::RowOrderStore() {
    ResetAll();
}

void RowOrderStore::ResetAll() {
    for (const engine::MultiRowSection& section : engine::MultiRowSections()) {
        if (Orderable(section)) orders[std::string(section.displayName)] = RowOrder(1, 0);
    }
}

void RowOrderStore::Reset(std::string_view sectionName) {
    if (const auto found = orders.find(sectionName); found != orders.end())
        found->second = RowOrder(1, 0);
}

RowChoice ChoiceOf(const RowSelectionStore& store, int16_t section) {
    for (const engine::MultiRowSection& listed : engine::MultiRowSections()) {
        if (listed.section != section || listed.displayName == kGeometry) continue;
        if (const auto found = store.choices.find(listed.displayName); found != store.choices.end())
            return found->second;
    }
    return RowChoice(1, 0);
}

}  // namespace tess::window
