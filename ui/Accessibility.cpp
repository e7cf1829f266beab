#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QHash>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QTabBar>

namespace tess::ui {
namespace {

QString WithoutMnemonic(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

class ItemViewAccessible;

/// An item of a tree or list view: a tree's items hold their children, so that a tool sees a
/// node's level by its place; a check box's item toggles its tick.
class ItemAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ItemAccessible(QAbstractItemView* view, const QModelIndex& index)
        : m_view(view), m_index(index) {}

    bool isValid() const override { return m_view && m_index.isValid(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override;
    void doAction(const QString& name) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    QModelIndex Index() const { return m_index; }

private:
    QTreeView* Tree() const { return qobject_cast<QTreeView*>(m_view.data()); }
    /// A tree widget's items all carry the checkable flag; only those showing a box have a tick.
    bool Checkable() const {
        return (m_index.flags() & Qt::ItemIsUserCheckable) &&
               m_index.data(Qt::CheckStateRole).isValid();
    }
    bool Expandable() const { return Tree() && m_view->model()->hasChildren(m_index); }

    QPointer<QAbstractItemView> m_view;
    QPersistentModelIndex m_index;
};

/// The rows below parent that the view shows (not hidden by a filter); a tree shows a node's
/// rows while it is expanded.
QList<QModelIndex> ShownRows(QAbstractItemView* view, const QModelIndex& parent) {
    QList<QModelIndex> rows;
    auto* tree = qobject_cast<QTreeView*>(view);
    if (parent.isValid() && (!tree || !tree->isExpanded(parent))) return rows;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(parent); ++row) {
        const bool hidden = tree ? tree->isRowHidden(row, parent)
                                 : qobject_cast<QListView*>(view)->isRowHidden(row);
        if (!hidden) rows << model->index(row, 0, parent);
    }
    return rows;
}

/// A tree or list view: its items are the view's rows, each one accessible object for as long as
/// its row lives. Rows taken out of the model take every item object with them; they are made
/// again when asked for.
class ItemViewAccessible : public QAccessibleWidget {
public:
    ItemViewAccessible(QAbstractItemView* view, QAccessible::Role role)
        : QAccessibleWidget(view, role) {
        // Connected for as long as this object lives: the view's model outlives it when the
        // view is destroyed.
        const QAbstractItemModel* model = view->model();
        const auto forget = [this] { Forget(); };
        QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, &m_context, forget);
        QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, &m_context, forget);
        QObject::connect(model, &QAbstractItemModel::layoutAboutToBeChanged, &m_context, forget);
        const auto changed = [this](const QModelIndex& parent) { ChildrenChanged(parent); };
        QObject::connect(model, &QAbstractItemModel::rowsInserted, &m_context, changed);
        QObject::connect(model, &QAbstractItemModel::rowsRemoved, &m_context, changed);
        QObject::connect(model, &QAbstractItemModel::modelReset, &m_context,
                         [this] { ChildrenChanged({}); });
        if (auto* tree = qobject_cast<QTreeView*>(view)) {
            QObject::connect(tree, &QTreeView::expanded, &m_context, changed);
            QObject::connect(tree, &QTreeView::collapsed, &m_context, changed);
        }
    }
    ~ItemViewAccessible() override { Forget(); }

    QAbstractItemView* View() const { return static_cast<QAbstractItemView*>(widget()); }

    /// The object of a row, made the first time it is asked for.
    QAccessibleInterface* Item(const QModelIndex& index) const {
        if (!index.isValid()) return nullptr;
        void* key = index.internalPointer();
        if (const auto found = m_items.constFind(key); found != m_items.cend()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(*found))
                return known;
        }
        auto* item = new ItemAccessible(View(), index);
        m_items.insert(key, QAccessible::registerAccessibleInterface(item));
        return item;
    }

    int childCount() const override { return static_cast<int>(ShownRows(View(), {}).size()); }
    QAccessibleInterface* child(int index) const override {
        return Item(ShownRows(View(), {}).value(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* item = dynamic_cast<const ItemAccessible*>(child);
        return item ? static_cast<int>(ShownRows(View(), {}).indexOf(item->Index())) : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        QModelIndex index = View()->indexAt(View()->viewport()->mapFromGlobal(QPoint(x, y)));
        while (index.parent().isValid())
            index = index.parent();
        return Item(index);
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.multiSelectable = View()->selectionMode() == QAbstractItemView::ExtendedSelection ||
                                View()->selectionMode() == QAbstractItemView::MultiSelection;
        return state;
    }

    /// Tells assistive tools that the rows shown below parent (the top level for none) changed.
    void ChildrenChanged(const QModelIndex& parent) {
        if (!QAccessible::isActive()) return;
        QAccessibleInterface* changed = parent.isValid() ? Item(parent) : this;
        if (!changed) return;
        QAccessibleEvent event(changed, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
        if (parent.isValid()) {
            QAccessible::State states;
            states.expanded = true;
            states.collapsed = true;
            QAccessibleStateChangeEvent stateEvent(changed, states);
            QAccessible::updateAccessibility(&stateEvent);
        }
    }

private:
    void Forget() {
        for (const QAccessible::Id id : std::as_const(m_items)) {
            if (QAccessible::accessibleInterface(id)) QAccessible::deleteAccessibleInterface(id);
        }
        m_items.clear();
    }

    mutable QHash<void*, QAccessible::Id> m_items;  // a row's item (the model's pointer) -> object
    QObject m_context;
};

ItemViewAccessible* ViewOf(QAbstractItemView* view) {
    return dynamic_cast<ItemViewAccessible*>(QAccessible::queryAccessibleInterface(view));
}

QWindow* ItemAccessible::window() const {
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface* ItemAccessible::parent() const {
    ItemViewAccessible* view = ViewOf(m_view);
    if (!view) return nullptr;
    const QModelIndex parent = m_index.parent();
    return parent.isValid() ? view->Item(parent) : view;
}

QAccessibleInterface* ItemAccessible::child(int index) const {
    return ViewOf(m_view)->Item(ShownRows(m_view, m_index).value(index));
}

int ItemAccessible::childCount() const {
    return static_cast<int>(ShownRows(m_view, m_index).size());
}

int ItemAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const auto* item = dynamic_cast<const ItemAccessible*>(child);
    return item ? static_cast<int>(ShownRows(m_view, m_index).indexOf(item->Index())) : -1;
}

QString ItemAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Name) return m_index.data(Qt::DisplayRole).toString();
    if (kind == QAccessible::Description) return m_index.data(Qt::ToolTipRole).toString();
    return {};
}

QRect ItemAccessible::rect() const {
    const QRect place = m_view->visualRect(m_index);
    return QRect(m_view->viewport()->mapToGlobal(place.topLeft()), place.size());
}

QAccessible::Role ItemAccessible::role() const {
    return Tree() ? QAccessible::TreeItem : QAccessible::ListItem;
}

QAccessible::State ItemAccessible::state() const {
    QAccessible::State state;
    const Qt::ItemFlags flags = m_index.flags();
    state.disabled = !(flags & Qt::ItemIsEnabled);
    state.selectable = flags & Qt::ItemIsSelectable;
    state.selected = m_view->selectionModel()->isSelected(m_index);
    state.focusable = true;
    state.focused = m_view->hasFocus() && m_view->currentIndex() == m_index;
    state.active = m_view->currentIndex() == m_index;
    state.checkable = Checkable();
    state.checked = Checkable() && m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    state.expandable = Expandable();
    state.expanded = Expandable() && Tree()->isExpanded(m_index);
    state.collapsed = Expandable() && !Tree()->isExpanded(m_index);
    state.offscreen = !m_view->viewport()->rect().intersects(m_view->visualRect(m_index));
    return state;
}

QStringList ItemAccessible::actionNames() const {
    QStringList names{toggleAction(), setFocusAction()};
    if (Expandable()) {
        names << QLatin1String(Tree()->isExpanded(m_index) ? kCollapseAction : kExpandAction);
    }
    return names;
}

void ItemAccessible::doAction(const QString& name) {
    if (!isValid()) return;
    QItemSelectionModel* selection = m_view->selectionModel();
    if (name == setFocusAction()) {
        m_view->setFocus();
        m_view->setCurrentIndex(m_index);
    } else if (name == toggleAction() && Checkable()) {
        // A check box's item: its tick, which is what the item's box is for.
        const bool checked = m_index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        m_view->model()->setData(m_index, checked ? Qt::Unchecked : Qt::Checked,
                                 Qt::CheckStateRole);
    } else if (name == toggleAction() && selection->isSelected(m_index)) {
        selection->select(m_index, QItemSelectionModel::Deselect);
    } else if (name == toggleAction()) {
        // Added to what is selected (in a view that takes one item, in its place), and current.
        const bool many = m_view->selectionMode() == QAbstractItemView::ExtendedSelection ||
                          m_view->selectionMode() == QAbstractItemView::MultiSelection;
        selection->setCurrentIndex(
            m_index, many ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect);
    } else if (name == QLatin1String(kExpandAction) && Tree()) {
        Tree()->expand(m_index);
    } else if (name == QLatin1String(kCollapseAction) && Tree()) {
        Tree()->collapse(m_index);
    }
}

/// A tab of a tab bar: selected while it is the current one; Press makes it so.
class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TabAccessible(QTabBar* bar, int index) : m_bar(bar), m_index(index) {}

    bool isValid() const override { return m_bar && m_index < m_bar->count(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_bar);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name) return WithoutMnemonic(m_bar->tabText(m_index));
        if (kind == QAccessible::Description) return m_bar->tabToolTip(m_index);
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect place = m_bar->tabRect(m_index);
        return QRect(m_bar->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.selected = m_bar->currentIndex() == m_index;
        state.focusable = true;
        state.focused = m_bar->hasFocus() && state.selected;
        state.disabled = !m_bar->isTabEnabled(m_index);
        state.invisible = !m_bar->isTabVisible(m_index);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) m_bar->setCurrentIndex(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> m_bar;
    int m_index;
};

class TabBarAccessible : public QAccessibleWidget {
public:
    explicit TabBarAccessible(QTabBar* bar) : QAccessibleWidget(bar, QAccessible::PageTabList) {}
    ~TabBarAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_tabs)) {
            if (QAccessible::accessibleInterface(id)) QAccessible::deleteAccessibleInterface(id);
        }
    }
    QTabBar* Bar() const { return static_cast<QTabBar*>(widget()); }
    int childCount() const override { return Bar()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= Bar()->count()) return nullptr;
        if (const auto found = m_tabs.constFind(index); found != m_tabs.cend()) {
            if (QAccessibleInterface* known = QAccessible::accessibleInterface(*found))
                return known;
        }
        auto* tab = new TabAccessible(Bar(), index);
        m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto tab = m_tabs.cbegin(); tab != m_tabs.cend(); ++tab) {
            if (QAccessible::accessibleInterface(tab.value()) == child) return tab.key();
        }
        return -1;
    }
    QString text(QAccessible::Text kind) const override {
        // The tab widget's name: what the strip as a whole is.
        if (kind == QAccessible::Name && Bar()->parentWidget())
            return Bar()->parentWidget()->accessibleName();
        return QAccessibleWidget::text(kind);
    }

private:
    mutable QHash<int, QAccessible::Id> m_tabs;
};

/// A section drop-down: named for what it chooses, with the section chosen after a colon; its
/// popup list below it. Press opens the list; Increase and Decrease choose the next or previous
/// section.
class SectionComboAccessible : public QAccessibleWidget {
public:
    explicit SectionComboAccessible(QComboBox* box)
        : QAccessibleWidget(box, QAccessible::ComboBox) {}
    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text kind) const override {
        const QString name = Box()->accessibleName();
        if (kind == QAccessible::Value) return Box()->currentText();
        if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
        return Box()->currentIndex() < 0 ? name
                                         : name + QStringLiteral(": ") + Box()->currentText();
    }
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Box()->view() ? 0 : -1;
    }
    QStringList actionNames() const override {
        return {pressAction(), increaseAction(), decreaseAction(), setFocusAction()};
    }
    void doAction(const QString& name) override {
        const int last = Box()->count() - 1;
        if (name == pressAction())
            Box()->showPopup();
        else if (name == increaseAction())
            Box()->setCurrentIndex(std::min(last, Box()->currentIndex() + 1));
        else if (name == decreaseAction())
            Box()->setCurrentIndex(std::max(0, Box()->currentIndex() - 1));
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) return nullptr;
    if (className == QLatin1String(AccessibleTree::staticMetaObject.className()))
        return new ItemViewAccessible(static_cast<QAbstractItemView*>(object), QAccessible::Tree);
    if (className == QLatin1String("QListWidget"))
        return new ItemViewAccessible(static_cast<QAbstractItemView*>(object), QAccessible::List);
    if (className == QLatin1String("QTabBar"))
        return new TabBarAccessible(static_cast<QTabBar*>(object));
    if (className == QLatin1String("QComboBox") &&
        object->objectName().startsWith(QLatin1String("cbo")))
        return new SectionComboAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

/// Tells assistive tools of an item's event.
void Notify(QAbstractItemView* view, const QModelIndex& index, QAccessible::Event type) {
    if (!QAccessible::isActive() || !index.isValid()) return;
    ItemViewAccessible* accessible = ViewOf(view);
    QAccessibleInterface* item = accessible ? accessible->Item(index) : nullptr;
    if (!item) return;
    QAccessibleEvent event(item, type);
    QAccessible::updateAccessibility(&event);
}

}  // namespace

void AccessibleTree::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QAbstractItemView::currentChanged(current, previous);
    if (hasFocus()) Notify(this, current, QAccessible::Focus);
}

void AccessibleTree::selectionChanged(const QItemSelection& selected,
                                      const QItemSelection& deselected) {
    QAbstractItemView::selectionChanged(selected, deselected);
    Notify(this, selected.indexes().value(0), QAccessible::SelectionAdd);
    Notify(this, deselected.indexes().value(0), QAccessible::SelectionRemove);
}

void TellRowsShownChanged(QAbstractItemView* view) {
    if (!QAccessible::isActive()) return;
    if (ItemViewAccessible* accessible = ViewOf(view)) accessible->ChildrenChanged({});
}

void InstallAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

}  // namespace tess::ui
