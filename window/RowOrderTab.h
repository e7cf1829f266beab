#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "window/CopyWindow.h"

// The Row Order tab without its controls: the sections its drop-down offers, the rows of its
// current-order and new-order lists, and how a move lands in the window's row order store.
namespace tess::window {

/// The two lists of the tab for one section.
struct OrderLists {
    std::vector<std::string> current;  // the chosen rows in source order
    std::vector<int16_t> sourceRows;   // the source row of each current-order item
    std::vector<std::string> next;     // the same rows in the new order
};

/// A new source: every order forgotten; returns the sections the drop-down offers.
std::vector<std::string> SetupRowOrderTab(CopyWindow& window);
/// The tab is shown: the drop-down's items follow the Sections tab; a section dropped or added
/// forgets its order.
void UpdateRowsOnRowOrderTab(CopyWindow& window, std::vector<std::string>& items);
/// Both lists of the section; a section listed for the first time gets the source order.
/// Empty lists without a source or for a name that is no orderable section.
OrderLists RefreshOrderLists(CopyWindow& window, std::string_view sectionName);

/// What a press of an arrow did.
enum class MoveOutcome {
    Refused,  // a row carries a name Visio made up: its order cannot be trusted to the names
    Unmoved,  // no row selected, or already at that end
    Moved,
};
/// Which way a press of the arrows does something for new-order item `selected` (-1 for none):
/// moves it, or, in a list of rows Visio named, says why they cannot be moved.
struct PossibleMoves {
    bool up = false;
    bool down = false;
};
PossibleMoves MovesOf(const OrderLists& lists, int selected);
/// Moves the new-order item `selected` one step (-1 up, +1 down) and rebuilds the section's
/// order from the new list; `selected` follows the item.
MoveOutcome MoveRow(CopyWindow& window, std::string_view sectionName, OrderLists& lists,
                    int& selected, int step);
/// The details text of new-order item `selected`; "" without a source or selection.
std::string NewOrderDetails(const CopyWindow& window, std::string_view sectionName,
                            const OrderLists& lists, int selected);

}  // namespace tess::window
