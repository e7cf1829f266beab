#include "ui/ShapesTab.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/ErrorReport.h"
#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {
namespace {

constexpr int kKeyRole = Qt::UserRole;

QTreeWidget* MakeList(const QString& name, const QString& caption) {
    auto* list = Named(new QTreeWidget, name, caption);
    list->setColumnCount(1);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    // One column as wide as the list; a long path shows in full as the item's tool tip.
    list->header()->setStretchLastSection(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideLeft);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setAcceptDrops(true);
    list->viewport()->setAcceptDrops(true);
    return list;
}

bool Choosable(int16_t image) {
    return image == visio::kImageDrawing || image == visio::kImagePage ||
           image == visio::kImageGroup || image == visio::kImageShape;
}

}  // namespace

ShapesTab::ShapesTab(window::CopyWindow& window, QWidget* parent)
    : QWidget(parent), m_window(window) {
    auto* layout = new QVBoxLayout(this);
    auto* lblShapes = Named(new QLabel(Res(901)), QStringLiteral("lblShapes"), Res(901));
    m_activePage = Named(new QRadioButton(Res(902)), QStringLiteral("optActivePage"), Res(902));
    m_application = Named(new QRadioButton(Res(903)), QStringLiteral("optApplication"), Res(903));
    m_activePage->setChecked(true);
    auto* scope = new QHBoxLayout;
    scope->addWidget(lblShapes);
    scope->addStretch();
    scope->addWidget(m_activePage);
    scope->addWidget(m_application);
    layout->addLayout(scope);

    m_tree = Named(new QTreeWidget, QStringLiteral("tvwShapes"), Res(901));
    m_tree->setHeaderHidden(true);
    // Every row is one line of text with a small icon: the view need not measure each of
    // thousands of rows to lay them out.
    m_tree->setUniformRowHeights(true);
    m_tree->setDragEnabled(true);
    m_tree->setDragDropMode(QAbstractItemView::DragOnly);
    lblShapes->setBuddy(m_tree);
    layout->addWidget(m_tree, 3);
    m_shapeTree = new ShapeTree(m_tree, m_window.host,
                                QString::fromStdString(m_window.applicationId), m_window.prompt);

    auto* buttons = new QHBoxLayout;
    auto* toSource = Named(new QPushButton(Res(905)), QStringLiteral("cmdAddToSource"), Res(905));
    auto* toDestination = Named(new QPushButton(Res(906)), QStringLiteral("cmdAddToDest"), Res(906));
    auto* refresh = Named(new QPushButton(Res(907)), QStringLiteral("cmdRefresh"), Res(907));
    buttons->addWidget(toSource);
    buttons->addWidget(toDestination);
    buttons->addStretch();
    buttons->addWidget(refresh);
    layout->addLayout(buttons);

    m_source = MakeList(QStringLiteral("lvwSource"), Res(908));
    m_destination = MakeList(QStringLiteral("lvwDestination"), Res(909));
    auto* lblSource = Named(new QLabel(Res(908)), QStringLiteral("lblSourceShape"), Res(908));
    auto* lblDestination =
        Named(new QLabel(Res(909)), QStringLiteral("lblDestinationShape"), Res(909));
    lblSource->setBuddy(m_source);
    lblDestination->setBuddy(m_destination);
    m_source->setFixedHeight(m_source->fontMetrics().height() * 2 + Twips(120));
    layout->addWidget(lblSource);
    layout->addWidget(m_source);
    layout->addWidget(lblDestination);
    layout->addWidget(m_destination, 2);

    connect(toSource, &QPushButton::clicked, this, &ShapesTab::AddSourceShape);
    connect(toDestination, &QPushButton::clicked, this, &ShapesTab::AddDestinationShape);
    connect(refresh, &QPushButton::clicked, this, &ShapesTab::RefreshList);
    connect(m_activePage, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        ClearShapeLists();
        BuildTree();
    });
    connect(m_application, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        ClearShapeLists();
        BuildTree();
    });
    // The selection model, not clicks: keys, clicks and assistive tools all move it.
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { m_shapeTree->HighlightSelectedShape(current); });
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) {
        if (!Choosable(ShapeTree::Image(node))) return;
        if (m_window.source.empty()) AddSourceShape();
        else AddDestinationShape();
    });
    for (QTreeWidget* list : {m_source, m_destination}) {
        list->installEventFilter(this);
        list->viewport()->installEventFilter(this);
    }
}

void ShapesTab::BuildTree() {
    const bool application = m_application->isChecked();
    m_shapeTree->BuildTree(application);
    if (application && m_tree->topLevelItemCount() > 0) m_tree->topLevelItem(0)->setExpanded(true);
}

void ShapesTab::ClearShapeLists() {
    m_source->clear();
    m_destination->clear();
    m_window.source.clear();
    m_window.destinations.clear();
}

void ShapesTab::RefreshList() {
    ClearShapeLists();
    emit Refreshed();
    BuildTree();
}

QTreeWidgetItem* ShapesTab::SelectedNode() const {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    return selected.isEmpty() ? m_tree->currentItem() : selected.front();
}

window::ListItem ShapesTab::ItemOf(QTreeWidgetItem* node) const {
    const QString key = ShapeTree::Key(node);
    return {key.toStdString(), m_shapeTree->GetDisplayName(key).toStdString(),
            ShapeTree::Image(node)};
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
        const window::ListItem item = ItemOf(node);
        if (!Choosable(item.image)) {
            m_window.prompt.MsgBox("Selected item must be either a Page or a Shape.",
                                   app::Style::Warning, app::kTitle);
            return;
        }
        m_source->clear();
        m_window.source = {item};
        AddItem(m_source, item);
        visio::ShapePtr sheet = window::ResolveItem(m_window, item).sheet;
        if (!sheet && (item.image == visio::kImageGroup || item.image == visio::kImageShape)) {
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

void ShapesTab::AddDestinationShape() {
    app::Trap(m_window.prompt, app::proc::AddDestinationShape, [&] {
        QTreeWidgetItem* node = SelectedNode();
        if (!node) Raise(err::kObjectNotSet);
        const window::ListItem item = ItemOf(node);
        if (!Choosable(item.image)) {
            m_window.prompt.MsgBox("Selected item must be either a Page or a Shape.",
                                   app::Style::Warning, app::kTitle);
            return;
        }
        for (const window::ListItem& present : m_window.destinations)
            if (present.key == item.key) return;
        m_window.destinations.push_back(item);
        QTreeWidgetItem* row = AddItem(m_destination, item);
        m_destination->setCurrentItem(row);
        m_destination->scrollToItem(row);
        emit DestinationsChanged();
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
