#pragma once

#include <QWidget>
#include <memory>

#include "platform/visio/Host.h"
#include "ui/ShapeTree.h"
#include "window/CopyWindow.h"

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSplitter;
class QTreeWidget;
class QTreeWidgetItem;

// The Shapes tab: the shape tree with its filter, and the source and destination lists the user
// fills from it.
namespace tess::ui {

class ShapesTab : public QWidget {
    Q_OBJECT
public:
    /// window: the state the lists are kept in, with the host and the tree's application key.
    explicit ShapesTab(window::CopyWindow& window, QWidget* parent = nullptr);

    ShapeTree& Tree() { return *m_shapeTree; }
    QTreeWidget* SourceList() const { return m_source; }
    QTreeWidget* DestinationList() const { return m_destination; }
    /// The tree beside the lists: its pane sizes are kept between runs.
    QSplitter* Panes() const { return m_panes; }

    /// Builds the tree for the chosen scope (the application node expanded in that scope).
    void BuildTree();
    /// The drawings changed (a copy, undo, pages added, a drawing opened, closed or chosen): the
    /// tree is built again keeping what was open, and the lists show the window's items.
    void DrawingsChanged();
    /// Empties both lists and builds the tree again (the Refresh button).
    void RefreshList();
    /// Makes the tree's selected node the source.
    void AddSourceShape();
    /// Appends the tree's selected nodes to the destinations, in tree order.
    void AddDestinationShape();
    /// Makes the shape selected in the host's active window the source, when the tree has it.
    void SetDefaultSourceShape();
    /// Removes the selected destinations (the Delete key).
    void DeleteDestinations();
    /// Removes the source (the Delete key).
    void DeleteSource();
    /// Selects, in the tree, the node of a list's current item, opening the nodes above it.
    void ShowInTree(QTreeWidget* list);

signals:
    /// A source was chosen (sheet is null when it did not resolve) or removed (kind 0).
    void SourceChanged(int16_t image, const visio::ShapePtr& sheet);
    void DestinationsChanged();
    /// Refresh: the lists were emptied.
    void Refreshed();
    /// A passing word for the status bar.
    void Said(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The tree's selected nodes in tree order.
    QList<QTreeWidgetItem*> SelectedNodes() const;
    /// The node the source comes from: the current node when it is selected, else the first
    /// selected one.
    QTreeWidgetItem* SelectedNode() const;
    static QTreeWidgetItem* AddItem(QTreeWidget* list, const window::ListItem& item);
    window::ListItem ItemOf(QTreeWidgetItem* node) const;
    void AddDestination(QTreeWidgetItem* node);
    void ClearShapeLists();
    void ShowLists();
    void TreeMenu(const QPoint& at);
    void ListMenu(QTreeWidget* list, const QPoint& at);
    void MakeTree();
    QHBoxLayout* MakeScopeRow();
    QHBoxLayout* MakeFilterRow();
    QHBoxLayout* MakeButtonRow();
    QWidget* MakeListsPane();
    void ConnectTreeAndLists();

    window::CopyWindow& m_window;
    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_source = nullptr;
    QTreeWidget* m_destination = nullptr;
    QLineEdit* m_filter = nullptr;
    QSplitter* m_panes = nullptr;
    QRadioButton* m_activePage = nullptr;
    QRadioButton* m_application = nullptr;
    ShapeTree* m_shapeTree = nullptr;
};

}  // namespace tess::ui
