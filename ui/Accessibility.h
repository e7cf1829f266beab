#pragma once

#include <QTreeWidget>

// What assistive tools (screen readers, scripts over the accessibility bus) see of the program's
// item views, tab bar and section drop-downs, where Qt's own interfaces fall short: a tree's
// items nested as the tree nests them, each with its expanded state; a list item's Toggle
// ticking its check box; the chosen tab marked selected; each drop-down named for what it
// chooses, with its choice.
namespace tess::ui {

/// A tree whose accessible interface is the program's own: it tells assistive tools of the
/// current and selected items by the items themselves, where Qt's tree names them by their
/// place in a flat list of rows, which the nested interface does not number.
class AccessibleTree : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
};

/// Tells assistive tools that a view shows other rows than before (a filter hid or showed some).
void TellRowsShownChanged(QAbstractItemView* view);

/// Installs the program's accessible interfaces; the first call does it, later ones nothing.
void InstallAccessibility();

/// The actions of a tree item besides Toggle and SetFocus.
inline constexpr const char* kExpandAction = "Expand";
inline constexpr const char* kCollapseAction = "Collapse";

}  // namespace tess::ui
