#pragma once

#include <QWidget>

#include "window/CopyWindow.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;

// The Rows tab: which rows of each multi-row section of the source are copied.
namespace tess::ui {

class RowsTab : public QWidget {
    Q_OBJECT
public:
    RowsTab(window::CopyWindow& window, QWidget* parent = nullptr);

    /// A new source: every row choice forgotten, the chosen multi-row sections listed.
    void SetupRowsTab();
    /// The tab is shown: the list follows the sections chosen meanwhile.
    void UpdateRowsOnRowsTab();
    /// Lists the rows of the section chosen in the drop-down.
    void RefreshRowsList();

private:
    void CheckRow(QListWidgetItem* item);
    void SelectRow();

    window::CopyWindow& m_window;
    QComboBox* m_sections = nullptr;
    QListWidget* m_rows = nullptr;
    QPlainTextEdit* m_details = nullptr;
    bool m_filling = false;  // while the list is filled, its ticks are not the user's
};

/// Details text as a text box shows it: lines broken by line feeds alone.
QString DetailsText(const std::string& details);

}  // namespace tess::ui
