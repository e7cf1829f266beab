#include "window/RowOrderTab.h"

#include <algorithm>

#include "app/ErrorReport.h"
#include "window/RowDetails.h"
#include "window/RowListing.h"
#include "window/RowsTab.h"
#include "window/SectionsTab.h"

namespace tess::window {
namespace {

constexpr OfferedSection kOffered[] = {
    {"User-defined Cells", 2},
    {"Custom Properties", 3},
    {"HyperLink", 4},
    {"Connection Points", 5},
    {"Actions", 6},
    {"Controls", 7},
    {"Scratch", 9},
    {"Text Fields", 15},
    {"Layers", 43},
};

/// Fills both lists: the rows the Rows tab leaves chosen, and those rows in the section's order
/// (the source order, recorded, when the section has none yet).
void UpdateLists(const CopyWindow& window, const visio::ShapePtr& source, int16_t section,
                 std::string_view prefix, RowOrder& order, OrderLists& lists) {
    app::Trap(window.prompt, app::proc::UpdateLists, [&] {
        const RowChoice choice = ChoiceOf(window.rowSelection, section);
        const size_t rows =
            choice.size() <= 1 ? static_cast<size_t>(source->RowCount(section)) : choice.size() - 1;
        for (size_t i = 0; i < rows; ++i) {
            if (choice.size() > 1 && choice[i] == 0) continue;
            const auto row = static_cast<int16_t>(i);
            lists.current.push_back(ListRow(source, section, row, prefix).label);
            lists.sourceRows.push_back(row);
        }
        if (order.size() <= 1) {
            order.resize(lists.current.size() + 1);
            for (size_t p = 0; p < lists.current.size(); ++p)
                order[p] = static_cast<int16_t>(p);
        }
        for (size_t p = 0; p + 1 < order.size(); ++p) {
            // Rows unticked after the order was made leave indices past the list's end.
            ExpectIndex(order[p] >= 0 && static_cast<size_t>(order[p]) < lists.current.size());
            lists.next.push_back(lists.current[static_cast<size_t>(order[p])]);
        }
    });
}

/// The position of the first current-order item with exactly that text; -1 for none.
int FindCurrent(const OrderLists& lists, const std::string& text) {
    const auto found = std::find(lists.current.begin(), lists.current.end(), text);
    return found == lists.current.end() ? -1 : static_cast<int>(found - lists.current.begin());
}

bool HasVisioAssignedNames(const std::vector<std::string>& items) {
    return std::any_of(items.begin(), items.end(), [](const std::string& item) {
        return item.find(".Row_") != std::string::npos;
    });
}

}  // namespace

std::vector<std::string> SetupRowOrderTab(CopyWindow& window) {
    std::vector<std::string> items;
    app::Trap(window.prompt, app::proc::SetupRowOrderTab, [&] {
        window.rowOrders.ResetAll();
        items = ChosenOfferedSections(kOffered, window.sections);
    });
    return items;
}

void UpdateRowsOnRowOrderTab(CopyWindow& window, std::vector<std::string>& items) {
    app::Trap(window.prompt, app::proc::UpdateRowsOnRowOrderTab, [&] {
        SyncOfferedSections(kOffered, window.sections, items, [&](std::string_view name) {
            app::Trap(window.prompt, app::proc::ResetRowOrderSection,
                      [&] { window.rowOrders.Reset(name); });
        });
    });
}

OrderLists RefreshOrderLists(CopyWindow& window, std::string_view sectionName) {
    OrderLists lists;
    app::Trap(window.prompt, app::proc::RefreshOrderLists, [&] {
        const visio::ShapePtr source = GetSourceShape(window);
        const MultiRowSection* section = FindMultiRowSection(sectionName);
        const auto order = window.rowOrders.orders.find(sectionName);
        if (!source || !section || order == window.rowOrders.orders.end()) return;
        const std::optional<std::string> prefix = RowLabelPrefix(source, *section);
        if (!prefix) return;
        UpdateLists(window, source, section->section, *prefix, order->second, lists);
    });
    return lists;
}

PossibleMoves MovesOf(const OrderLists& lists, int selected) {
    if (lists.next.empty()) return {};
    if (HasVisioAssignedNames(lists.next)) return {true, true};  // the refusal is the answer
    const auto count = static_cast<int>(lists.next.size());
    const bool valid = selected >= 0 && selected < count;
    return {valid && selected > 0, valid && selected < count - 1};
}

MoveOutcome MoveRow(CopyWindow& window, std::string_view sectionName, OrderLists& lists,
                    int& selected, int step) {
    MoveOutcome outcome = MoveOutcome::Unmoved;
    app::Trap(window.prompt, step < 0 ? app::proc::MoveRowUp : app::proc::MoveRowDown, [&] {
        if (HasVisioAssignedNames(lists.next)) {
            outcome = MoveOutcome::Refused;
            return;
        }
        const int target = selected + step;
        const auto count = static_cast<int>(lists.next.size());
        if (selected < 0 || selected >= count || target < 0 || target >= count) return;
        std::swap(lists.next[static_cast<size_t>(selected)],
                  lists.next[static_cast<size_t>(target)]);
        selected = target;
        outcome = MoveOutcome::Moved;
        const auto found = window.rowOrders.orders.find(sectionName);
        ExpectIndex(found != window.rowOrders.orders.end());
        RowOrder& order = found->second;
        for (size_t p = 0; p < lists.next.size(); ++p) {
            const int index = FindCurrent(lists, lists.next[p]);
            if (index < 0) continue;
            ExpectIndex(p < order.size());
            order[p] = static_cast<int16_t>(index);
        }
    });
    return outcome;
}

std::string NewOrderDetails(const CopyWindow& window, std::string_view sectionName,
                            const OrderLists& lists, int selected) {
    std::string details;
    app::Trap(window.prompt, app::proc::lstNewOrder_Click, [&] {
        const visio::ShapePtr source = GetSourceShape(window);
        if (!source || selected < 0 || static_cast<size_t>(selected) >= lists.next.size()) return;
        const int index = FindCurrent(lists, lists.next[static_cast<size_t>(selected)]);
        if (index < 0) return;
        // The row the item stands for: with rows unticked on the Rows tab, its place in the
        // current-order list is not its row in the source.
        details = GetRowDetails(window.prompt, window.host, source, sectionName,
                                lists.sourceRows[static_cast<size_t>(index)]);
    });
    return details;
}

}  // namespace tess::window
