#pragma once

#include <QWidget>

#include "window/CopyWindow.h"
#include "window/RowOrderTab.h"

class QComboBox;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

// The Row Order tab: the order in which the chosen rows of a section land on the destination.
namespace tess::ui {

class RowOrderTab : public QWidget {
    Q_OBJECT
public:
    RowOrderTab(window::CopyWindow& window, QWidget* parent = nullptr);

    /// A new source: every order forgotten, the orderable chosen sections listed.
    void SetupRowOrderTab();
    /// The tab is shown: the list follows the sections chosen meanwhile.
    void UpdateRowsOnRowOrderTab();
    /// Lists the current and new order of the section chosen in the drop-down.
    void RefreshOrderLists();
    /// The arrows: the selected row of the new order one place up or down.
    void MoveRowUp();
    void MoveRowDown();

private:
    void MoveRow(int step);
    /// The arrows are enabled where a press does something.
    void ShowArrows();
    void lstNewOrder_Click();
    int SelectedNewRow() const;

    window::CopyWindow& m_window;
    window::OrderLists m_lists;  // what the two lists show
    QComboBox* m_sections = nullptr;
    QListWidget* m_current = nullptr;
    QListWidget* m_new = nullptr;
    QToolButton* m_up = nullptr;
    QToolButton* m_down = nullptr;
    QPlainTextEdit* m_details = nullptr;
};

}  // namespace tess::ui
