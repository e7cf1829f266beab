#pragma once

#include <string>
#include <vector>

class QComboBox;

// The drop-down of sections on the Rows and Row Order tabs: its items come from the engine,
// and the section the user picked stays picked for as long as it is offered.
namespace tess::ui {

/// The items of the drop-down, in order.
std::vector<std::string> SectionItems(const QComboBox* box);
/// Shows these items without signalling a choice. With keepPicked, the section picked before
/// stays picked while it is still offered; otherwise, and when it is gone, the first section
/// offered is picked, so that the tab shows rows at once.
void ShowSectionItems(QComboBox* box, const std::vector<std::string>& items, bool keepPicked);
/// The section picked; "" for none.
std::string PickedSection(const QComboBox* box);

}  // namespace tess::ui
