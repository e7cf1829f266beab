#include "ui/ShapesTab.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "ui/Accessibility.h"
#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {
namespace {

constexpr int kKeyRole = Qt::UserRole;

QTreeWidget* MakeList(const QString& name, const QString& caption) {
    auto* list = Named(new AccessibleTree, name, caption);
    list->setColumnCount(1);
    // Hidden, but what assistive tools call the column.
    list->setHeaderLabels({caption});
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    // One column as wide as the list; a long path shows in full as the item's tool tip.
    list->header()->setStretchLastSection(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideLeft);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setAcceptDrops(true);
    list->viewport()->setAcceptDrops(true);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    return list;
}

QLabel* Caption(int id, const QString& name, QWidget* buddy) {
    auto* label = Named(new QLabel(Res(id)), name, Res(id));
    label->setBuddy(buddy);
    return label;
}

bool Choosable(int16_t image) {
    return image == visio::kImageDrawing || image == visio::kImagePage ||
           image == visio::kImageGroup || image == visio::kImageShape;
}

void Refuse(app::IPrompt& prompt) {
    prompt.MsgBox("Selected item must be either a Page or a Shape.", app::Style::Warning,
                  app::kTitle);
}

}  // namespace

ShapesTab::ShapesTab(window::CopyWindow& window, QWidget* parent)
    : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    MakeTree();
    layout->addLayout(MakeScopeRow());
    layout->addLayout(MakeFilterRow());
    m_panes = new QSplitter(Qt::Horizontal);
    m_panes->setObjectName(QStringLiteral("splShapes"));
    m_panes->setChildrenCollapsible(false);
    m_panes->addWidget(m_tree);
    m_panes->addWidget(MakeListsPane());
    m_panes->setStretchFactor(0, 3);
    m_panes->setStretchFactor(1, 2);
    layout->addWidget(m_panes, 1);
    layout->addLayout(MakeButtonRow());
    ConnectTreeAndLists();
}

void ShapesTab::MakeTree() {
    m_tree = Named(new AccessibleTree, QStringLiteral("tvwShapes"), Res(901));
    m_tree->setHeaderLabels({Res(901)});
    m_tree->setHeaderHidden(true);
    // Every row is one line of text with a small icon: the view need not measure each of
    // thousands of rows to lay them out.
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setDragEnabled(true);
    m_tree->setDragDropMode(QAbstractItemView::DragOnly);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_shapeTree = new ShapeTree(m_tree, m_window.host,
                                QString::fromStdString(m_window.applicationId), m_window.prompt);
}

QHBoxLayout* ShapesTab::MakeScopeRow() {
    m_activePage = Named(new QRadioButton(Res(902)), QStringLiteral("optActivePage"), Res(902));
    m_application = Named(new QRadioButton(Res(903)), QStringLiteral("optApplication"), Res(903));
    m_activePage->setChecked(true);
    for (QRadioButton* option : {m_activePage, m_application}) {
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (!on) return;
            ClearShapeLists();
            BuildTree();
        });
    }
    auto* scope = new QHBoxLayout;
    scope->addWidget(Caption(901, QStringLiteral("lblShapes"), m_tree));
    scope->addStretch();
    scope->addWidget(m_activePage);
    scope->addWidget(m_application);
    return scope;
}

QHBoxLayout* ShapesTab::MakeFilterRow() {
    m_filter = Named(new QLineEdit, QStringLiteral("txtFilter"), Res(1673));
    m_filter->setPlaceholderText(Res(1674));
    m_filter->setClearButtonEnabled(true);
    if (auto* clear = m_filter->findChild<QAction*>(QStringLiteral("_q_qlineeditclearaction")))
        clear->setText(Res(1695));
    m_filter->setAccessibleDescription(Res(1694));
    connect(m_filter, &QLineEdit::textChanged, m_shapeTree, &ShapeTree::Filter);
    auto* filter = new QHBoxLayout;
    filter->addWidget(Caption(1673, QStringLiteral("lblFilter"), m_filter));
    filter->addWidget(m_filter, 1);
    return filter;
}

QHBoxLayout* ShapesTab::MakeButtonRow() {
    auto* toSource = Named(new QPushButton(Res(905)), QStringLiteral("cmdAddToSource"), Res(905));
    auto* toDestination = Named(new QPushButton(Res(906)), QStringLiteral("cmdAddToDest"), Res(906));
    auto* refresh = Named(new QPushButton(Res(907)), QStringLiteral("cmdRefresh"), Res(907));
    connect(toSource, &QPushButton::clicked, this, &ShapesTab::AddSourceShape);
    connect(toDestination, &QPushButton::clicked, this, &ShapesTab::AddDestinationShape);
    connect(refresh, &QPushButton::clicked, this, &ShapesTab::RefreshList);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(toSource);
    buttons->addWidget(toDestination);
    buttons->addStretch();
    buttons->addWidget(refresh);
    return buttons;
}

void ShapesTab::ConnectTreeAndLists() {
    // The selection model, not clicks: keys, clicks and assistive tools all move it.
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { m_shapeTree->HighlightSelectedShape(current); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (!Choosable(ShapeTree::Image(node))) return;
        if (m_window.source.empty()) AddSourceShape();
        else AddDestinationShape();
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, &ShapesTab::TreeMenu);
    for (QTreeWidget* list : {m_source, m_destination}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
        connect(list, &QWidget::customContextMenuRequested, this,
                [this, list](const QPoint& at) { ListMenu(list, at); });
    }
}

QWidget* ShapesTab::MakeListsPane() {
    auto* pane = new QWidget;
    auto* lists = new QVBoxLayout(pane);
    lists->setContentsMargins(0, 0, 0, 0);
    m_source = MakeList(QStringLiteral("lvwSource"), Res(908));
    m_destination = MakeList(QStringLiteral("lvwDestination"), Res(909));
    m_source->setFixedHeight(m_source->fontMetrics().height() * 2 + Twips(120));
    lists->addWidget(Caption(908, QStringLiteral("lblSourceShape"), m_source));
    lists->addWidget(m_source);
    lists->addWidget(Caption(909, QStringLiteral("lblDestinationShape"), m_destination));
    lists->addWidget(m_destination, 1);
    return pane;
}

void ShapesTab::BuildTree() {
    const bool application = m_application->isChecked();
    m_shapeTree->BuildTree(application);
    if (application && m_tree->topLevelItemCount() > 0) m_tree->topLevelItem(0)->setExpanded(true);
    if (!m_filter->text().isEmpty()) m_shapeTree->Filter(m_filter->text());
}

void ShapesTab::DrawingsChanged() {
    m_shapeTree->RebuildKeepingView(m_application->isChecked());
    ShowLists();
}

void ShapesTab::ClearShapeLists() {
    m_source->clear();
    m_destination->clear();
    m_window.source.clear();
    m_window.destinations.clear();
}

void ShapesTab::ShowLists() {
    m_source->clear();
    m_destination->clear();
    for (const window::ListItem& item : m_window.source)
        AddItem(m_source, item);
    for (const window::ListItem& item : m_window.destinations)
        AddItem(m_destination, item);
}

void ShapesTab::RefreshList() {
    ClearShapeLists();
    emit Refreshed();
    BuildTree();
}

QList<QTreeWidgetItem*> ShapesTab::SelectedNodes() const {
    QList<QTreeWidgetItem*> nodes;
    for (QTreeWidgetItemIterator it(m_tree, QTreeWidgetItemIterator::Selected); *it; ++it)
        nodes << *it;
    return nodes;
}

QTreeWidgetItem* ShapesTab::SelectedNode() const {
    QTreeWidgetItem* current = m_tree->currentItem();
    if (current && current->isSelected()) return current;
    const QList<QTreeWidgetItem*> selected = SelectedNodes();
    return selected.isEmpty() ? current : selected.front();
}

window::ListItem ShapesTab::ItemOf(QTreeWidgetItem* node) const {
    const QString key = ShapeTree::Key(node);
    return {window::LastingKey(m_window, key.toStdString()),
            m_shapeTree->GetDisplayName(key).toStdString(), ShapeTree::Image(node)};
}

QTreeWidgetItem* ShapesTab::AddItem(QTreeWidget* list, const window::ListItem& item) {
    auto* row = new QTreeWidgetItem(list);
    row->setText(0, QString::fromStdString(item.text));
    row->setData(0, kKeyRole, QString::fromStdString(item.key));
    row->setIcon(0, NodeIcon(item.image));
    row->setToolTip(0, row->text(0));
    return row;
}

void ShapesTab::AddSourceShape() {
    app::Trap(m_window.prompt, app::proc::AddSourceShape, [&] {
        QTreeWidgetItem* node = SelectedNode();
        if (!node) return;
        const int16_t image = ShapeTree::Image(node);
        if (!Choosable(image)) return Refuse(m_window.prompt);
        const window::ListItem item = ItemOf(node);
        const visio::ShapePtr sheet = window::ResolveItem(m_window, item).sheet;
        // A drawing or page that is gone has no sheet to offer sections from: it is refused,
        // and the lists stay as they were.
        if (!sheet && (image == visio::kImageDrawing || image == visio::kImagePage)) {
            m_window.prompt.MsgBox(Res(1672).arg(node->text(0)).toStdString(), app::Style::Warning,
                                   app::kTitle);
            return;
        }
        m_source->clear();
        m_window.source = {item};
        AddItem(m_source, item);
        if (!sheet) {
            const app::Answer answer = m_window.prompt.MsgBox(
                node->text(0).toStdString() +
                    " may have changed or no longer exists.  Would you like to refresh the shape "
                    "list?",
                app::Style::Question, Res(101).toStdString());
            if (answer == app::Answer::Yes) {
                RefreshList();
                return;
            }
        }
        emit SourceChanged(item.image, sheet);
    });
}

void ShapesTab::AddDestination(QTreeWidgetItem* node) {
    const window::ListItem item = ItemOf(node);
    for (const window::ListItem& present : m_window.destinations)
        if (present.key == item.key) return;
    m_window.destinations.push_back(item);
    QTreeWidgetItem* row = AddItem(m_destination, item);
    m_destination->setCurrentItem(row);
    m_destination->scrollToItem(row);
}

void ShapesTab::AddDestinationShape() {
    app::Trap(m_window.prompt, app::proc::AddDestinationShape, [&] {
        QList<QTreeWidgetItem*> nodes = SelectedNodes();
        if (nodes.isEmpty() && m_tree->currentItem()) nodes << m_tree->currentItem();
        if (nodes.isEmpty()) Raise(err::kObjectNotSet);
        bool refused = false;
        const size_t before = m_window.destinations.size();
        for (QTreeWidgetItem* node : nodes) {
            if (Choosable(ShapeTree::Image(node)))
                AddDestination(node);
            else
                refused = true;
        }
        if (m_window.destinations.size() != before) emit DestinationsChanged();
        if (refused) Refuse(m_window.prompt);
    });
}

void ShapesTab::SetDefaultSourceShape() {
    app::Trap(m_window.prompt, app::proc::SetDefaultSourceShape, [&] {
        const visio::WindowPtr window = visio::Required(m_window.host).ActiveWindow();
        if (!window) return;
        const visio::SelectionPtr selection = window->Selection();
        if (!selection || selection->Count() < 1) return;
        QTreeWidgetItem* node = m_shapeTree->NodeOfShape(selection->Item(1));
        if (!node) return;
        m_tree->setCurrentItem(node);
        AddSourceShape();
    });
}

void ShapesTab::DeleteDestinations() {
    for (int i = m_destination->topLevelItemCount() - 1; i >= 0; --i) {
        if (!m_destination->topLevelItem(i)->isSelected()) continue;
        delete m_destination->takeTopLevelItem(i);
        m_window.destinations.erase(m_window.destinations.begin() + i);
    }
    emit DestinationsChanged();
}

void ShapesTab::DeleteSource() {
    m_source->clear();
    m_window.source.clear();
    emit SourceChanged(0, nullptr);
}

void ShapesTab::ShowInTree(QTreeWidget* list) {
    app::Trap(m_window.prompt, app::proc::ShowInTree, [&] {
        QTreeWidgetItem* row = list->currentItem();
        if (!row) return;
        const window::ListItem item{row->data(0, kKeyRole).toString().toStdString(),
                                    row->text(0).toStdString(), 0};
        const visio::ShapePtr sheet = window::ResolveItem(m_window, item).sheet;
        QTreeWidgetItem* node = sheet ? m_shapeTree->RevealSheet(sheet) : nullptr;
        if (!node) {
            emit Said(Res(1680).arg(row->text(0)));
            return;
        }
        if (node->isHidden()) m_filter->clear();
        m_tree->clearSelection();
        m_tree->setCurrentItem(node);
        m_tree->scrollToItem(node);
        m_tree->setFocus();
    });
}

void ShapesTab::TreeMenu(const QPoint& at) {
    if (!m_tree->itemAt(at) && SelectedNodes().isEmpty()) return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuTree"));
    menu.addAction(Res(1675), this, &ShapesTab::AddSourceShape)
        ->setObjectName(QStringLiteral("mnuSetAsSource"));
    menu.addAction(Res(1676), this, &ShapesTab::AddDestinationShape)
        ->setObjectName(QStringLiteral("mnuAddAsDestination"));
    menu.exec(m_tree->viewport()->mapToGlobal(at));
}

void ShapesTab::ListMenu(QTreeWidget* list, const QPoint& at) {
    const bool source = list == m_source;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuList"));
    QAction* remove = menu.addAction(Res(1677), this, [this, source] {
        if (source)
            DeleteSource();
        else
            DeleteDestinations();
    });
    remove->setObjectName(QStringLiteral("mnuRemove"));
    remove->setEnabled(source ? !m_window.source.empty() : !list->selectedItems().isEmpty());
    QAction* clear = menu.addAction(Res(1678), this, [this, list, source] {
        if (source) return DeleteSource();
        list->selectAll();
        DeleteDestinations();
    });
    clear->setObjectName(QStringLiteral("mnuClear"));
    clear->setEnabled(list->topLevelItemCount() > 0);
    QAction* show = menu.addAction(Res(1679), this, [this, list] { ShowInTree(list); });
    show->setObjectName(QStringLiteral("mnuShowInTree"));
    show->setEnabled(list->currentItem() != nullptr);
    menu.exec(list->viewport()->mapToGlobal(at));
}

bool ShapesTab::eventFilter(QObject* watched, QEvent* event) {
    const bool source = watched == m_source || watched == m_source->viewport();
    const bool destination = watched == m_destination || watched == m_destination->viewport();
    if (!source && !destination) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() != Qt::Key_Delete) break;
            if (source) DeleteSource();
            else DeleteDestinations();
            return true;
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (drag->source() != m_tree) break;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (drop->source() != m_tree) break;
            drop->acceptProposedAction();
            if (source) AddSourceShape();
            else AddDestinationShape();
            return true;
        }
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tess::ui
