#pragma once

#include <QDialog>

#include "window/CopyWindow.h"
#include "window/SheetDiff.h"

class QComboBox;
class QLabel;
class QTreeWidget;

// The Compare window: what differs between the source and a destination in the sections chosen
// on the Sections tab (every section either offers when none is), grouped by section and row as
// the command line's diff lists it. It follows the window's lists and each copy.
namespace tess::ui {

class MainWindow;

class CompareWindow : public QDialog {
    Q_OBJECT
public:
    CompareWindow(window::CopyWindow& state, QWidget* parent = nullptr);

    /// Compares the source with the destination at that position of the destination list.
    void Compare(int destination);
    /// Compares again, with the destinations as the lists hold them now: the one at that
    /// position of the list, or the one shown for -1.
    void Refresh(int destination = -1);

    QComboBox* Destinations() const { return m_destinations; }
    QTreeWidget* Differences() const { return m_tree; }
    QLabel* Summary() const { return m_summary; }

private:
    void Show(const window::SheetDiff& diff);
    /// Widens the window to show every column, within most of the screen.
    void FitWidth();
    /// Where windows go on the window's screen.
    QRect ScreenArea() const;
    /// How much wider the window is than the columns it shows.
    int Chrome() const;

    window::CopyWindow& m_state;
    QComboBox* m_destinations = nullptr;
    QLabel* m_references = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_summary = nullptr;
};

/// Adds the Compare menu to the main window: its command compares the source with the
/// destination selected in the destination list (the first when none is), and an open Compare
/// window compares again after each copy.
void AddCompareCommand(MainWindow& window);

}  // namespace tess::ui
