#pragma once

#include <QWidget>
#include <memory>

#include "platform/visio/Host.h"
#include "ui/ShapeTree.h"
#include "window/CopyWindow.h"

class QLabel;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

// The Shapes tab: the shape tree, and the source and destination lists the user fills from it.
namespace tess::ui {

class ShapesTab : public QWidget {
    Q_OBJECT
public:
    /// window: the state the lists are kept in, with the host and the tree's application key.
    explicit ShapesTab(window::CopyWindow& window, QWidget* parent = nullptr);

    ShapeTree& Tree() { return *m_shapeTree; }
    QTreeWidget* SourceList() const { return m_source; }
    QTreeWidget* DestinationList() const { return m_destination; }

    /// Builds the tree for the chosen scope (the application node expanded in that scope).
    void BuildTree();
    /// Empties both lists and builds the tree again (the Refresh button).
    void RefreshList();
    /// Makes the tree's selected node the source.
    void AddSourceShape();
    /// Appends the tree's selected node to the destinations.
    void AddDestinationShape();
    /// Makes the shape selected in the host's active window the source, when the tree has it.
    void SetDefaultSourceShape();
    /// Removes the selected destinations (the Delete key).
    void DeleteDestinations();
    /// Removes the source (the Delete key).
    void DeleteSource();

signals:
    /// A source was chosen (sheet is null when it did not resolve) or removed (kind 0).
    void SourceChanged(int16_t image, const visio::ShapePtr& sheet);
    void DestinationsChanged();
    /// Refresh: the lists were emptied.
    void Refreshed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTreeWidgetItem* SelectedNode() const;
    static QTreeWidgetItem* AddItem(QTreeWidget* list, const window::ListItem& item);
    window::ListItem ItemOf(QTreeWidgetItem* node) const;
    void ClearShapeLists();

    window::CopyWindow& m_window;
    QTreeWidget* m_tree = nullptr;
    QTreeWidget* m_source = nullptr;
    QTreeWidget* m_destination = nullptr;
    QRadioButton* m_activePage = nullptr;
    QRadioButton* m_application = nullptr;
    ShapeTree* m_shapeTree = nullptr;
};

}  // namespace tess::ui
