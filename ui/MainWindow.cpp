#include "ui/MainWindow.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "engine/CopyDriver.h"
#include "host/embedded/ModelData.h"
#include "platform/desktop/DesktopServices.h"
#include "ui/Accessibility.h"
#include "ui/CompareWindow.h"
#include "ui/Controls.h"
#include "ui/CopyProgress.h"
#include "ui/DesktopProgram.h"
#include "ui/Dialogs.h"
#include "ui/Drawings.h"
#include "ui/OptionsTab.h"
#include "ui/Resources.h"
#include "ui/RowOrderTab.h"
#include "ui/RowsTab.h"
#include "ui/SectionsTab.h"
#include "ui/ShapesTab.h"
#include "ui/ToolsTab.h"
#include "ui/WindowHelpers.h"
#include "window/DesktopSettings.h"
#include "window/Recipe.h"
#include "window/SectionsTab.h"
#include "window/Settings.h"

namespace tess::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

/// How long a passing word stays in the status bar.
constexpr int kStatusMs = 8000;

/// The Visio files among what is dragged onto the window.
QStringList DroppedDrawings(const QMimeData* data) {
    static const QStringList kinds = {QStringLiteral("vsdx"), QStringLiteral("vsdm"),
                                      QStringLiteral("vssx"), QStringLiteral("vssm"),
                                      QStringLiteral("vstx"), QStringLiteral("vstm")};
    QStringList files;
    if (!data || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        const QFileInfo file(url.toLocalFile());
        if (url.isLocalFile() && kinds.contains(file.suffix().toLower())) files << file.filePath();
    }
    return files;
}

}  // namespace

MainWindow::MainWindow(Drawings& drawings, ProgramServices& services, CopyErrorForms& copyErrors,
                       const std::string& applicationId, QWidget* parent)
    : QMainWindow(parent),
      m_drawings(drawings),
      m_services(services),
      m_copyErrors(copyErrors),
      m_application(drawings.App()),
      m_state(drawings.App(), services.prompt, applicationId) {
    setObjectName(QStringLiteral("frmCellCopy"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    InstallAccessibility();
    BuildTabs();
    m_shapes = new ShapesTab(m_state);
    m_tabs->insertTab(0, m_shapes, Res(801));
    m_tabs->setCurrentIndex(0);
    connect(m_shapes, &ShapesTab::SourceChanged, this, &MainWindow::SourceChanged);
    connect(m_shapes, &ShapesTab::DestinationsChanged, this, &MainWindow::DestinationsChanged);
    connect(m_shapes, &ShapesTab::Refreshed, this, &MainWindow::Refreshed);
    connect(m_shapes, &ShapesTab::Said, this,
            [this](const QString& text) { statusBar()->showMessage(text, kStatusMs); });
    BuildMenus();
    BuildStatusBar();
    setAcceptDrops(!m_drawings.Attached());

    // Form_Load: the stored options, every section disabled, Copy disabled, the tree and the
    // default source.
    window::ReadRegistrySettings(m_services.settings, m_services.prompt, m_state.options);
    ShowOptions();
    window::DisableAllSections(m_state.sections);
    m_sections->ShowState();
    m_copy->setEnabled(false);
    m_shapes->BuildTree();
    m_shapes->SetDefaultSourceShape();
    ShowDrawingState();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildTabs() {
    auto* client = new QWidget;
    auto* layout = new QVBoxLayout(client);
    m_tabs = Named(new QTabWidget, QStringLiteral("tabStripMain"), Res(1693));
    m_tabs->setUsesScrollButtons(false);  // all six tabs in sight: the window widens to fit
    m_sections = new SectionsTab(m_state.sections);
    m_rows = new RowsTab(m_state);
    m_rowOrder = new RowOrderTab(m_state);
    m_options = new OptionsTab(m_state.options);
    m_tools = new ToolsTab(m_state);
    connect(m_tools, &ToolsTab::PagesAdded, this, &MainWindow::PagesAdded);
    m_tabs->addTab(m_sections, Res(802));
    m_tabs->addTab(m_rows, Res(803));
    m_tabs->addTab(m_rowOrder, Res(804));
    m_tabs->addTab(m_options, Res(805));
    m_tabs->addTab(m_tools, Res(806));
    layout->addWidget(m_tabs, 1);

    auto* buttons = new QHBoxLayout;
    m_copy = Named(new QPushButton(Res(610)), QStringLiteral("cmdCopy"), Res(610));
    m_close = Named(new QPushButton(Res(611)), QStringLiteral("cmdClose"), Res(611));
    m_copy->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(m_copy);
    buttons->addSpacing(Twips(100));
    buttons->addWidget(m_close);
    buttons->setContentsMargins(0, 0, Twips(200) - layout->contentsMargins().right(), 0);
    layout->addLayout(buttons);
    setCentralWidget(client);

    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::tabstripMain_Click);
    connect(m_copy, &QPushButton::clicked, this, &MainWindow::cmdCopy_Click);
    connect(m_close, &QPushButton::clicked, this, &MainWindow::cmdClose_Click);
}

void MainWindow::BuildMenus() {
    BuildFileMenu();
    // Every letter of "Edit" underlines another control of the window already (Refresh, the
    // Row Order and Tools tabs, Destination): the menu is reached with F10 and the arrows, and
    // its commands have their shortcuts.
    QMenu* edit = menuBar()->addMenu(Res(1607));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    m_undo = edit->addAction(Res(1608), this, &MainWindow::Undo);
    m_undo->setObjectName(QStringLiteral("mnuUndo"));
    m_undo->setShortcut(QKeySequence::Undo);
    m_redo = edit->addAction(Res(1609), this, &MainWindow::Redo);
    m_redo->setObjectName(QStringLiteral("mnuRedo"));
    m_redo->setShortcut(QKeySequence::Redo);
    ShowEditMenu();
    AddCompareCommand(*this);

    QMenu* help = menuBar()->addMenu(Res(603));
    help->setObjectName(QStringLiteral("mnuHelp"));
    QAction* content =
        help->addAction(Res(604), this, [this] { desktop::ShowHelpContents(m_services.desktop); });
    content->setObjectName(QStringLiteral("mnuContent"));
    content->setIcon(OwnIcon("help"));
    content->setShortcut(QKeySequence::HelpContents);
    QAction* about = help->addAction(Res(606), this, [this] { emit AboutRequested(); });
    about->setObjectName(QStringLiteral("mnuAbout"));
    about->setIcon(OwnIcon("about"));

    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        menuBar()->setFocus(Qt::MenuBarFocusReason);
        menuBar()->setActiveAction(menuBar()->actions().constFirst());
    });
    // A command chosen closes its menu, however it was chosen (an assistive tool presses the
    // command without the menu's own keys and clicks).
    connect(menuBar(), &QMenuBar::triggered, this, [] {
        for (int open = 0; open < 8 && QApplication::activePopupWidget(); ++open)
            QApplication::activePopupWidget()->close();
    });
}

void MainWindow::BuildStatusBar() {
    m_where = new QLabel;
    m_where->setObjectName(QStringLiteral("staWhere"));
    statusBar()->setObjectName(QStringLiteral("staMain"));
    statusBar()->addPermanentWidget(m_where);
}

void MainWindow::BuildFileMenu() {
    QMenu* file = menuBar()->addMenu(Res(601));
    file->setObjectName(QStringLiteral("mnuFile"));
    QAction* open = file->addAction(Res(1601), this, &MainWindow::OpenDrawings);
    open->setObjectName(QStringLiteral("mnuOpen"));
    open->setShortcut(QKeySequence::Open);
    QAction* save = file->addAction(Res(1602), this, [this] {
        if (auto document = m_drawings.Active()) SaveDrawing(document, false);
    });
    save->setObjectName(QStringLiteral("mnuSave"));
    save->setShortcut(QKeySequence::Save);
    QAction* saveAs = file->addAction(Res(1603), this, [this] {
        if (auto document = m_drawings.Active()) SaveDrawing(document, true);
    });
    saveAs->setObjectName(QStringLiteral("mnuSaveAs"));
    saveAs->setShortcut(QKeySequence::SaveAs);
    QAction* closeDrawing = file->addAction(Res(1604), this, [this] {
        if (auto document = m_drawings.Active()) CloseDrawing(document);
    });
    closeDrawing->setObjectName(QStringLiteral("mnuCloseDrawing"));
    m_recentMenu = file->addMenu(Res(1681));
    m_recentMenu->setObjectName(QStringLiteral("mnuRecentFiles"));
    file->addSeparator();
    file->addAction(Res(1662), this, &MainWindow::LoadRecipe)
        ->setObjectName(QStringLiteral("mnuLoadRecipe"));
    file->addAction(Res(1661), this, &MainWindow::SaveRecipe)
        ->setObjectName(QStringLiteral("mnuSaveRecipe"));
    file->addSeparator();
    m_drawingMenu = file->addMenu(Res(1605));
    m_drawingMenu->setObjectName(QStringLiteral("mnuActiveDrawing"));
    m_pageMenu = file->addMenu(Res(1606));
    m_pageMenu->setObjectName(QStringLiteral("mnuActivePage"));
    file->addSeparator();
    QAction* exit = file->addAction(Res(602), this, [this] {
        window::WriteRegistrySettings(m_services.settings, m_services.prompt, m_state.options);
        close();
    });
    exit->setObjectName(QStringLiteral("mnuExit"));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // Beside a running Visio, its drawings are opened, saved and chosen in Visio.
    for (QAction* item : {open, save, saveAs, closeDrawing, m_recentMenu->menuAction(),
                          m_drawingMenu->menuAction(), m_pageMenu->menuAction()})
        item->setVisible(!m_drawings.Attached());
    connect(file, &QMenu::aboutToShow, this, [this, save, saveAs, closeDrawing] {
        const bool any = m_drawings.Active() != nullptr;
        save->setEnabled(any);
        saveAs->setEnabled(any);
        closeDrawing->setEnabled(any);
        ShowDrawingMenus();
        ShowRecentFiles();
    });
}

void MainWindow::Display() {
    ShowDrawingState();
    SetIcon(*this, true, m_services.prompt);
    // The design client area, 5895 x 8655 twips, is also the least the window shrinks to;
    // wider where the six tabs' captions need more at the user's font.
    setMinimumSize(std::max(Twips(5895), minimumSizeHint().width()),
                   std::max(Twips(8655), minimumSizeHint().height()));
    RestorePlace();
    m_shapes->Tree().Tree()->setFocus();
}

void MainWindow::RestorePlace() {
    const window::WindowPlace place = window::ReadWindowPlace(m_services.settings);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    QRect wanted(place.left, place.top, place.width, place.height);
    if (place.width <= 0 || !area.intersects(wanted)) {
        // The first time: big enough to work in, most of a usual screen.
        const QSize size(std::min(area.width(), std::max(minimumWidth(), area.width() * 7 / 10)),
                         std::min(area.height(), std::max(minimumHeight(), area.height() * 4 / 5)));
        wanted = QRect(QPoint(), size);
        wanted.moveCenter(area.center());
    }
    wanted.setSize(wanted.size().expandedTo(minimumSize()).boundedTo(area.size()));
    // The client area's place, as it was stored: a move would place the frame there instead, and
    // the window would creep by its title bar each run.
    setGeometry(wanted);
    if (place.panes.size() == 2) m_shapes->Panes()->setSizes({place.panes[0], place.panes[1]});
    if (place.maximized)
        showMaximized();
    else
        show();
}

void MainWindow::StorePlace() {
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    window::WindowPlace place{normal.x(),      normal.y(),    normal.width(),
                              normal.height(), isMaximized(), {}};
    for (int size : m_shapes->Panes()->sizes())
        place.panes.push_back(size);
    window::WriteWindowPlace(m_services.settings, place);
}

void MainWindow::tabstripMain_Click() {
    app::Trap(m_services.prompt, app::proc::tabstripMain_Click, [&] {
        QWidget* page = m_tabs->currentWidget();
        if (page == m_rows) {
            m_rows->UpdateRowsOnRowsTab();
            m_rows->RefreshRowsList();
        } else if (page == m_rowOrder) {
            m_rowOrder->UpdateRowsOnRowOrderTab();
            m_rowOrder->RefreshOrderLists();
        }
    });
}

void MainWindow::RefreshList() { m_shapes->RefreshList(); }

bool MainWindow::IsGeometryAppend() const {
    return window::IsGeometryAppend(m_state);
}

void MainWindow::ShowOptions() {
    m_options->ShowState(!m_state.destinations.empty());
}

void MainWindow::SourceChanged(int16_t image, const visio::ShapePtr& sheet) {
    // A new source starts with no box ticked; a removed one leaves the ticks as they were.
    if (image != 0) window::UnCheckAllSections(m_state.sections);
    if (image == 0) {
        window::DisableAllSections(m_state.sections);
    } else if (sheet || image == visio::kImageDrawing || image == visio::kImagePage) {
        window::EnableDisableSections(m_services.prompt, m_state.sections, image, sheet);
    }
    m_sections->ShowState();
    m_tools->AddToSource()->setEnabled(image == visio::kImageDrawing);
    if (image != 0) {
        m_rows->SetupRowsTab();
        m_rowOrder->SetupRowOrderTab();
    }
    m_copy->setEnabled(image != 0);
}

void MainWindow::DestinationsChanged() {
    bool drawing = false;
    for (const window::ListItem& item : m_state.destinations)
        drawing = drawing || item.image == visio::kImageDrawing;
    m_tools->AddToDestination()->setEnabled(drawing);
    ShowOptions();
    ShowDrawingState();
}

void MainWindow::Refreshed() {
    m_copy->setEnabled(false);
    ShowOptions();
    m_tools->AddToSource()->setEnabled(false);
    m_tools->AddToDestination()->setEnabled(false);
    ShowDrawingState();
}

void MainWindow::cmdCopy_Click() {
    m_copy->setEnabled(false);
    {
        const engine::CopyRequest request = window::MakeRequest(m_state);
        CopyProgress frontEnd(this, m_copyErrors, m_services.prompt, request);
        engine::CopyDriver(m_application).BeginCopy(request, frontEnd);
    }
    m_copy->setEnabled(true);
    // A copy may have made a destination shape, and it changed the drawings in any case.
    DrawingsChanged();
    if (!m_state.options.leaveRunning) cmdClose_Click();
}

void MainWindow::cmdClose_Click() {
    window::WriteRegistrySettings(m_services.settings, m_services.prompt, m_state.options);
    close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!AskToSaveChanges()) {
        event->ignore();
        return;
    }
    window::WriteRegistrySettings(m_services.settings, m_services.prompt, m_state.options);
    StorePlace();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedDrawings(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList files = DroppedDrawings(event->mimeData());
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    OpenFiles(files);
}

bool MainWindow::AskToSave(const std::shared_ptr<embedded::DocumentData>& document) {
    if (!m_drawings.IsChanged(*document)) return true;
    const auto answer = m_services.dialogs.Ask(
        this, Res(1614).arg(Q(document->name)), Res(101), QMessageBox::Warning,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    if (answer == QMessageBox::Discard) return true;
    return SaveDrawing(document, false);
}

bool MainWindow::AskToSaveChanges() {
    for (const auto& document : m_drawings.Documents())
        if (!AskToSave(document)) return false;
    return true;
}

void MainWindow::OpenDrawings() {
    OpenFiles(m_services.dialogs.OpenFiles(this, Res(1612)));
}

QStringList OpenAndRemember(Drawings& drawings, ProgramServices& services, const QStringList& files,
                            const app::Procedure& procedure) {
    QStringList opened;
    std::vector<std::string> recent = window::ReadRecentFiles(services.settings);
    for (const QString& file : files) {
        const std::string path = QDir::cleanPath(QFileInfo(file).absoluteFilePath()).toStdString();
        if (app::Trap(services.prompt, procedure, [&] { drawings.Open(path); })) {
            opened << QFileInfo(file).fileName();
            recent = window::WithRecentFile(recent, path);
        }
    }
    if (!opened.isEmpty()) window::WriteRecentFiles(services.settings, recent);
    return opened;
}

void MainWindow::OpenFiles(const QStringList& files) {
    const QStringList opened = OpenAndRemember(m_drawings, m_services, files, app::proc::OpenDrawings);
    if (opened.isEmpty()) return;
    DrawingsChanged();
    statusBar()->showMessage(Res(1687).arg(opened.join(QStringLiteral(", "))), kStatusMs);
}

void MainWindow::ShowRecentFiles() {
    m_recentMenu->clear();
    const std::vector<std::string> files = window::ReadRecentFiles(m_services.settings);
    for (size_t i = 0; i < files.size(); ++i) {
        const QString file = Q(files[i]);
        QAction* action = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(file)));
        connect(action, &QAction::triggered, this, [this, file] { OpenFiles({file}); });
    }
    m_recentMenu->setEnabled(!files.empty());
}

bool MainWindow::SaveDrawing(const std::shared_ptr<embedded::DocumentData>& document,
                             bool askForName) {
    std::string target = document->path;
    if (askForName || target.empty()) {
        const QString chosen = m_services.dialogs.SaveFile(
            this, Res(1613),
            target.empty() ? Q(document->name) + QStringLiteral(".vsdx") : Q(target));
        if (chosen.isEmpty()) return false;
        target = chosen.toStdString();
    }
    const std::string oldName = document->name;
    try {
        if (target == document->path) m_drawings.Save(document);
        else m_drawings.SaveAs(document, target);
    } catch (...) {
        const Error error = app::CurrentError();
        m_services.dialogs.Ask(this, Res(1621).arg(Q(target), Q(error.Description())), Res(101),
                               QMessageBox::Warning, QMessageBox::Ok, QMessageBox::Ok);
        return false;
    }
    window::RenameDocumentInItems(m_state, oldName, document->name);
    if (oldName != document->name)
        DrawingsChanged();
    else
        ShowDrawingState();
    statusBar()->showMessage(Res(1688).arg(Q(document->name)), kStatusMs);
    return true;
}

bool MainWindow::CloseDrawing(const std::shared_ptr<embedded::DocumentData>& document) {
    if (!AskToSave(document)) return false;
    const std::string name = document->name;
    const bool hadSource = !m_state.source.empty();
    m_drawings.Close(document);
    const size_t removed = window::RemoveItemsOfDocument(m_state, name);
    DrawingsChanged();
    if (hadSource && m_state.source.empty()) SourceChanged(0, nullptr);
    DestinationsChanged();
    if (removed > 0) statusBar()->showMessage(Res(1686).arg(Q(name)).arg(removed), kStatusMs);
    return true;
}

void MainWindow::DrawingsChanged() {
    m_shapes->DrawingsChanged();
    ShowDrawingState();
}

void MainWindow::PagesAdded(const QString& text) {
    DrawingsChanged();
    if (!text.isEmpty()) statusBar()->showMessage(text, kStatusMs);
}

void MainWindow::ShowDrawingState() {
    const auto active = m_drawings.Active();
    if (m_drawings.Attached()) {
        ShowVisioDrawing();
    } else if (!active) {
        setWindowTitle(Res(101));
        setWindowModified(false);
        m_where->setText(Res(1689));
    } else {
        setWindowTitle(Res(1682).arg(Q(active->name) + QStringLiteral("[*]"), Res(101)));
        setWindowModified(m_drawings.IsChanged(*active));
        const auto page = m_drawings.Model().Windows().ActivePage();
        m_where->setText(Res(1683)
                             .arg(Q(active->name), page ? Q(page->name) : QString())
                             .arg(m_state.destinations.size()));
    }
    ShowEditMenu();
}

void MainWindow::ShowVisioDrawing() {
    // The drawing and page active in Visio, which keeps their changes itself.
    std::string drawing, page;
    app::IgnoreFailure([&] {
        if (const visio::DocumentPtr document = m_application->ActiveDocument())
            drawing = document->Name();
        if (const visio::PagePtr active = m_application->ActivePage()) page = active->Name();
    });
    setWindowTitle(drawing.empty() ? Res(101) : Res(1682).arg(Q(drawing), Res(101)));
    m_where->setText(drawing.empty() ? Res(1689)
                                     : Res(1683).arg(Q(drawing), Q(page))
                                           .arg(m_state.destinations.size()));
}

void MainWindow::ShowDrawingMenus() {
    m_drawingMenu->clear();
    m_pageMenu->clear();
    const auto active = m_drawings.Active();
    auto* drawings = new QActionGroup(m_drawingMenu);
    for (const auto& document : m_drawings.Documents()) {
        QAction* action = m_drawingMenu->addAction(Q(document->name));
        action->setCheckable(true);
        action->setChecked(document == active);
        drawings->addAction(action);
        connect(action, &QAction::triggered, this, [this, document] {
            m_drawings.Activate(document);
            DrawingsChanged();
        });
    }
    m_drawingMenu->setEnabled(!m_drawings.Documents().empty());
    m_pageMenu->setEnabled(active && !active->pages.empty());
    if (!active) return;
    auto* pages = new QActionGroup(m_pageMenu);
    const auto activePage = m_drawings.Model().Windows().ActivePage();
    for (const auto& page : active->pages) {
        QAction* action = m_pageMenu->addAction(Q(page->name));
        action->setCheckable(true);
        action->setChecked(page == activePage);
        pages->addAction(action);
        connect(action, &QAction::triggered, this, [this, active, page] {
            m_drawings.Activate(active, page);
            DrawingsChanged();
        });
    }
}

void MainWindow::ShowEditMenu() {
    auto& model = m_drawings.Model();
    const QString undoName = Q(model.Undo().UndoName());
    const QString redoName = Q(model.Undo().RedoName());
    m_undo->setText(undoName.isEmpty() ? Res(1608) : Res(1610).arg(undoName));
    m_redo->setText(redoName.isEmpty() ? Res(1609) : Res(1611).arg(redoName));
    // Visio keeps its own undo list, which it does not show: its Undo and Redo are always offered.
    m_undo->setEnabled(m_drawings.Attached() || model.Undo().UndoDepth() > 0);
    m_redo->setEnabled(m_drawings.Attached() || model.Undo().RedoDepth() > 0);
}

void MainWindow::Undo() {
    app::Trap(m_services.prompt, app::proc::Undo, [&] { m_application->Undo(); });
    DrawingsChanged();
}

void MainWindow::Redo() {
    app::Trap(m_services.prompt, app::proc::Redo, [&] { m_application->Redo(); });
    DrawingsChanged();
}

void MainWindow::RecipeFailed(const QString& text) {
    m_services.dialogs.Ask(this, text, Res(101), QMessageBox::Warning, QMessageBox::Ok,
                           QMessageBox::Ok);
}

void MainWindow::SaveRecipe() {
    if (m_state.source.empty()) return RecipeFailed(Res(1668));
    const QString file =
        m_services.dialogs.SaveFile(this, Res(1663), QStringLiteral("recipe.json"), Res(1665));
    if (file.isEmpty()) return;
    try {
        window::WriteRecipe(window::RecipeOf(window::MakeRequest(m_state)), file.toStdString());
    } catch (...) {
        RecipeFailed(Res(1621).arg(file, Q(app::CurrentError().Description())));
    }
}

void MainWindow::LoadRecipe() {
    if (m_state.source.empty()) return RecipeFailed(Res(1668));
    const QStringList files = m_services.dialogs.OpenFiles(this, Res(1664), Res(1665));
    if (files.isEmpty()) return;
    const window::ListItem source = m_state.source.front();
    window::AppliedRecipe applied;
    try {
        const window::Recipe recipe = window::ReadRecipe(files.front().toStdString());
        const visio::ShapePtr sheet = window::ResolveItem(m_state, source).sheet;
        // The message names the file as the user knows it: by its name.
        applied = window::ApplyRecipe(m_services.prompt, recipe, sheet, source.image,
                                      QFileInfo(files.front()).fileName().toStdString());
    } catch (...) {
        return RecipeFailed(Res(1667) + QLatin1Char('\n') + Q(app::CurrentError().Description()));
    }
    window::ShowRecipeSections(m_state, applied.request);
    m_sections->ShowState();
    m_rows->SetupRowsTab();
    m_rowOrder->SetupRowOrderTab();
    window::ShowRecipeRows(m_state, applied.request);
    m_state.options.copy = applied.request.options;
    ShowOptions();
    tabstripMain_Click();  // the tab in sight shows the recipe's rows
    if (applied.problems.empty()) return;
    QString text = Res(1666);
    for (const std::string& problem : applied.problems)
        text += QLatin1Char('\n') + Q(problem);
    RecipeFailed(text);
}

}  // namespace tess::ui
