#pragma once

#include <map>
#include <string>
#include <string_view>

#include "engine/CopyRequest.h"

// The row choices of the Rows tab and the row orders of the Row Order tab: stores of the main
// window, by the section names the tabs list, that the tabs fill and a copy's request takes.
namespace tess::window {

using engine::GeometryRow;
using engine::GeometryRowTable;
using engine::RowChoice;
using engine::RowOrder;

/// The thirteen row choices, by the section names the Rows tab lists.
struct RowSelectionStore {
    std::map<std::string, RowChoice, std::less<>> choices;
    GeometryRowTable geometry;

    RowSelectionStore();
    /// Back to no choice for every section.
    void ResetAll();
    /// Back to no choice for the section of that name (ResetRowSection); other names do nothing.
    void Reset(std::string_view sectionName);
};

/// The eleven row orders, by section name: every multi-row section but Geometry and Smart Tags,
/// whose rows keep their order.
struct RowOrderStore {
    std::map<std::string, RowOrder, std::less<>> orders;

    RowOrderStore();
    void ResetAll();
    void Reset(std::string_view sectionName);  // ResetRowOrderSection
};

/// A copy of the choice the store holds for a (non-Geometry) section, by its Visio section
/// number; a single element for a section it does not hold.
RowChoice ChoiceOf(const RowSelectionStore& store, int16_t section);

}  // namespace tess::window
