#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "window/CopyWindow.h"

// The Rows tab without its controls: the sections its drop-down offers, the lines its list
// shows, and how ticks land in the window's row selection store. The tab's widgets only show
// what these give and pass the user's actions on.
namespace tess::window {

/// A section a tab's drop-down offers while the Sections tab's box of that index is chosen.
struct OfferedSection {
    std::string_view name;
    int16_t box;
};

/// Brings a drop-down's items in step with the Sections tab: a wanted section missing from the
/// items is appended, an unwanted one present is removed, and each of those is handed to
/// forget. Items that stay keep their place. `offered` gives the order sections are appended in.
void SyncOfferedSections(std::span<const OfferedSection> offered, const SectionBoxes& boxes,
                         std::vector<std::string>& items,
                         const std::function<void(std::string_view)>& forget);

/// The names of the offered sections whose Sections tab box is chosen, in the offered order.
std::vector<std::string> ChosenOfferedSections(std::span<const OfferedSection> offered,
                                               const SectionBoxes& boxes);

/// Fails as an index outside an array does unless inRange: the tabs' stores can fall out of
/// step with the source, and then say so through their error traps.
void ExpectIndex(bool inRange);

/// A line of the Rows tab's list.
struct RowLine {
    std::string text;
    bool ticked = true;
};

/// A new source: every row choice forgotten; returns the sections the drop-down offers.
std::vector<std::string> SetupRowsTab(CopyWindow& window);
/// The tab is shown: the drop-down's items follow the Sections tab; a section dropped or added
/// forgets its choice.
void UpdateRowsOnRowsTab(CopyWindow& window, std::vector<std::string>& items);
/// The lines of the section: as chosen before, or, listed for the first time, every row ticked
/// (and recorded so). Nothing without a source, or for a name that is no section.
std::vector<RowLine> RefreshRowsList(CopyWindow& window, std::string_view sectionName);
/// Records the tick of line `index` of the section's list.
void CheckRow(CopyWindow& window, std::string_view sectionName, int index, bool ticked);
/// The details text of line `index` of the section's list; "" without a source.
std::string SelectRow(const CopyWindow& window, std::string_view sectionName, int index);

}  // namespace tess::window
