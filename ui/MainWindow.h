#pragma once

#include <QMainWindow>
#include <memory>

#include "platform/visio/Host.h"
#include "window/CopyWindow.h"

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;

namespace tess::embedded {
struct DocumentData;
}

// The main window (frmCellCopy): six tabs, Copy and Close, and the File, Edit and Help menus.
// It owns the window state each copy's request is made from.
namespace tess::ui {

class CopyErrorForms;
class Drawings;
struct ProgramServices;
class OptionsTab;
class RowOrderTab;
class RowsTab;
class SectionsTab;
class ShapesTab;
class ToolsTab;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// applicationId: the key of the shape tree's application node.
    MainWindow(Drawings& drawings, ProgramServices& services, CopyErrorForms& copyErrors,
               const std::string& applicationId, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Loads the captions and images and shows the window; then the tabs are arranged.
    void Display();
    window::CopyWindow& State() { return m_state; }
    ShapesTab& Shapes() { return *m_shapes; }
    SectionsTab& Sections() { return *m_sections; }
    OptionsTab& Options() { return *m_options; }
    RowsTab& Rows() { return *m_rows; }
    RowOrderTab& RowOrder() { return *m_rowOrder; }
    ToolsTab& Tools() { return *m_tools; }
    QTabWidget* TabStrip() const { return m_tabs; }
    QPushButton* CopyButton() const { return m_copy; }

    /// The Refresh button's work: lists emptied, the tree built again.
    void RefreshList();
    /// True when Geometry is chosen and the copy type is Append.
    bool IsGeometryAppend() const;
    /// Runs a copy as the window's state asks (the Copy button); then closes the window unless
    /// "Leave Tessaline running after copy operation is finished" is ticked.
    void cmdCopy_Click();
    /// Saves the options and closes the window (the Close button).
    void cmdClose_Click();

    // The File and Edit menus.
    void OpenDrawings();
    /// Saves a drawing (under a name asked for, with askForName or when it has no file); false
    /// when it was not saved: cancelled, or failed, which was reported.
    bool SaveDrawing(const std::shared_ptr<embedded::DocumentData>& document, bool askForName);
    /// Closes a drawing, asking first whether to save its changes; false when cancelled.
    bool CloseDrawing(const std::shared_ptr<embedded::DocumentData>& document);
    /// Asks, for each changed drawing, whether to save it; false when the user cancelled.
    bool AskToSaveChanges();
    void Undo();
    void Redo();
    /// File > Save Recipe...: the recipe of the copy the window stands for, to a file chosen.
    void SaveRecipe();
    /// File > Load Recipe...: a recipe chosen applied to the source: its sections ticked, its
    /// rows chosen and ordered, its options set; what the source lacks is named in one message.
    void LoadRecipe();

signals:
    /// Help > About.
    void AboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void BuildFileMenu();
    void BuildTabs();
    void tabstripMain_Click();
    void SourceChanged(int16_t image, const visio::ShapePtr& sheet);
    void DestinationsChanged();
    void Refreshed();
    void ShowEditMenu();
    void ShowDrawingMenus();
    void DrawingsChanged();
    /// Save, Discard or Cancel for a changed drawing; false on Cancel or a failed save.
    bool AskToSave(const std::shared_ptr<embedded::DocumentData>& document);

    /// The copy type can be chosen while there are destinations to append to.
    void ShowOptions();
    /// Shows a failure of the recipe's file, and why.
    void RecipeFailed(const QString& text);

    Drawings& m_drawings;
    ProgramServices& m_services;
    CopyErrorForms& m_copyErrors;
    visio::ApplicationPtr m_application;
    window::CopyWindow m_state;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_close = nullptr;
    ShapesTab* m_shapes = nullptr;
    SectionsTab* m_sections = nullptr;
    RowsTab* m_rows = nullptr;
    RowOrderTab* m_rowOrder = nullptr;
    OptionsTab* m_options = nullptr;
    ToolsTab* m_tools = nullptr;
    QAction* m_undo = nullptr;
    QAction* m_redo = nullptr;
    QMenu* m_drawingMenu = nullptr;
    QMenu* m_pageMenu = nullptr;
};

}  // namespace tess::ui
