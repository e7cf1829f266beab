#pragma once

#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "app/Procedures.h"
#include "platform/visio/Host.h"
#include "window/CopyWindow.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTabWidget;

namespace tess::embedded {
struct DocumentData;
}

// The main window (frmCellCopy): six tabs, Copy and Close, the File, Edit and Help menus, and a
// status bar. It owns the window state each copy's request is made from.
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

/// Opens drawings (files as the user named them), each put first in the recent files; returns
/// the file names of those opened. One that cannot be read is reported as done in procedure,
/// and the others still open.
QStringList OpenAndRemember(Drawings& drawings, ProgramServices& services, const QStringList& files,
                            const app::Procedure& procedure);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    /// applicationId: the key of the shape tree's application node.
    MainWindow(Drawings& drawings, ProgramServices& services, CopyErrorForms& copyErrors,
               const std::string& applicationId, QWidget* parent = nullptr);
    ~MainWindow() override;

    /// Loads the captions and images and shows the window where it was last (or big enough to
    /// work in, the first time); then the tabs are arranged.
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
    /// Opens files (from the Open dialog, the recent list, a drop or another copy of the
    /// program); the last one opened becomes the active drawing. A file that cannot be read is
    /// reported and the others still open.
    void OpenFiles(const QStringList& files);
    /// Saves a drawing (under a name asked for, with askForName or when it has no file); false
    /// when it was not saved: cancelled, or failed, which was reported.
    bool SaveDrawing(const std::shared_ptr<embedded::DocumentData>& document, bool askForName);
    /// Closes a drawing, asking first whether to save its changes; false when cancelled. The
    /// list items of its objects leave the lists, which the status bar says.
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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildFileMenu();
    void BuildTabs();
    void BuildStatusBar();
    void tabstripMain_Click();
    void SourceChanged(int16_t image, const visio::ShapePtr& sheet);
    void DestinationsChanged();
    void Refreshed();
    void ShowEditMenu();
    void ShowDrawingMenus();
    /// The title and status bar beside a running Visio.
    void ShowVisioDrawing();
    void ShowRecentFiles();
    /// The drawings changed: the tree and lists follow, then the title, status bar and menus.
    void DrawingsChanged();
    /// The title (the active drawing and whether it holds unsaved changes), the status bar's
    /// drawing, page and destination count, and the Edit menu.
    void ShowDrawingState();
    /// Pages were added: the tree shows them, the status bar says how many and where.
    void PagesAdded(const QString& text);
    void RestorePlace();
    void StorePlace();
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
    QMenu* m_recentMenu = nullptr;
    QLabel* m_where = nullptr;  // the status bar's drawing, page and destination count
};

}  // namespace tess::ui
