#include "ui/ShapeTree.h"

#include <QScrollBar>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <deque>

#include "app/ErrorReport.h"
#include "host/embedded/Objects.h"
#include "platform/visio/Constants.h"
#include "ui/Accessibility.h"
#include "ui/Resources.h"
#include "window/Find.h"

namespace tess::ui {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kUnfilledRole = Qt::UserRole + 2;
constexpr int kHeadingRole = Qt::UserRole + 3;
constexpr int kFactsRole = Qt::UserRole + 4;  // name, master and address, for the filter

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool HasShapes(const visio::ShapesPtr& shapes) { return shapes && shapes->Count() > 0; }

QString SheetPart(int32_t id) {
    return QStringLiteral("Sheet.%1").arg(id);
}

/// The shapes in a page, master or group; null for any other object.
visio::ShapesPtr ShapesOf(const visio::ObjectPtr& object) {
    if (const auto page = std::dynamic_pointer_cast<visio::IPage>(object)) return page->Shapes();
    if (const auto master = std::dynamic_pointer_cast<visio::IMaster>(object))
        return master->Shapes();
    if (const auto shape = std::dynamic_pointer_cast<visio::IShape>(object)) return shape->Shapes();
    return nullptr;
}

/// The shape a shape's node (key part "Sheet.<ID>") stands for among shapes; null for another
/// node, or a shape no longer there.
visio::ObjectPtr ShapeOfNode(const visio::ShapesPtr& shapes, const QTreeWidgetItem* node) {
    const int16_t image = ShapeTree::Image(node);
    if (image != visio::kImageShape && image != visio::kImageGroup) return nullptr;
    const QString part = ShapeTree::Key(node).section(QLatin1Char('\\'), -1);
    const QString prefix = QStringLiteral("Sheet.");
    bool number = false;
    const int32_t id = part.startsWith(prefix) ? part.mid(prefix.size()).toInt(&number) : 0;
    if (!number) return nullptr;
    visio::ObjectPtr shape;
    app::IgnoreFailure([&] { shape = shapes->ItemFromID(id); });
    return shape;
}

/// How a node is known across a rebuild: its key, or for a heading its parent's key and text.
QString ViewId(const QTreeWidgetItem* node) {
    if (!ShapeTree::IsHeading(node)) return ShapeTree::Key(node);
    return ShapeTree::Key(node->parent()) + QLatin1Char('|') + node->text(0);
}

}  // namespace

QString ShapeNodeText(const std::string& name, int32_t id, const std::string& master) {
    const QString text = Q(name);
    if (master.empty() || text != SheetPart(id)) return text;
    return text + QStringLiteral(" (") + Q(master) + QLatin1Char(')');
}

ShapeTree::ShapeTree(QTreeWidget* tree, visio::ApplicationPtr application, QString applicationId,
                     app::IPrompt& prompt)
    : QObject(tree),
      m_tree(tree),
      m_application(std::move(application)),
      m_applicationId(std::move(applicationId)),
      m_prompt(prompt) {
    connect(m_tree, &QTreeWidget::itemExpanded, this, &ShapeTree::Expanded);
}

QString ShapeTree::Key(const QTreeWidgetItem* node) {
    return node ? node->data(0, kKeyRole).toString() : QString();
}

int16_t ShapeTree::Image(const QTreeWidgetItem* node) {
    return node ? static_cast<int16_t>(node->data(0, kImageRole).toInt()) : 0;
}

bool ShapeTree::IsHeading(const QTreeWidgetItem* node) {
    return node && node->data(0, kHeadingRole).toBool();
}

QString ShapeTree::GetLastPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? path : path.mid(slash + 1);
}

visio::Resolver ShapeTree::TheResolver() const {
    return visio::Resolver(m_application, m_applicationId.toStdString());
}

void ShapeTree::BuildTree(bool applicationScope) {
    m_applicationScope = applicationScope;
    app::Trap(m_prompt, app::proc::BuildTree, [&] {
        m_tree->clear();
        m_nodes.clear();
        if (!applicationScope) {
            const visio::PagePtr page = m_application->ActivePage();
            if (!page) return;
            const QString pageAddress = Q(TheResolver().AddressOfPage(page));
            const visio::ShapesPtr shapes = page->Shapes();
            for (int16_t i = 1; i <= shapes->Count(); ++i) {
                const visio::ShapePtr shape = shapes->Item(i);
                const bool group = HasShapes(shape->Shapes());
                const std::string name = shape->Name();
                const std::string master = embedded::MasterNameOf(shape);
                AddNode(
                    ShapeNodeText(name, shape->ID(), master), Q(shape->UniqueID(1)), QString(),
                    group, group ? visio::kImageGroup : visio::kImageShape,
                    {Q(name), Q(master), pageAddress + QLatin1Char('/') + SheetPart(shape->ID())});
            }
            return;
        }
        AddNodeToTree(QStringLiteral("Application"), m_applicationId, QString(), false,
                      visio::kImageApplication);
        const visio::DocumentsPtr documents = m_application->Documents();
        const visio::Resolver resolver = TheResolver();
        for (int16_t i = 1; i <= documents->Count(); ++i) {
            const visio::DocumentPtr document = documents->Item(i);
            const std::string name = document->Name();
            const int16_t kind = visio::DocumentKind(name);
            bool placeholder = false;
            if (kind == visio::kImageDrawing) placeholder = document->Pages()->Count() > 0;
            if (kind == visio::kImageStencil) placeholder = document->Masters()->Count() > 0;
            AddNode(Q(name), Q(name), m_applicationId, placeholder,
                    kind ? kind : visio::kImageDrawing,
                    {Q(name), QString(), Q(resolver.AddressOfDocument(document))});
        }
    });
}

void ShapeTree::AddNodeToTree(const QString& text, const QString& keyPart,
                              const QString& parentKey, bool placeholder, int16_t image) {
    AddNode(text, keyPart, parentKey, placeholder, image, {text, QString(), QString()});
}

QTreeWidgetItem* ShapeTree::AddNode(const QString& text, const QString& keyPart,
                                    const QString& parentKey, bool placeholder, int16_t image,
                                    const Facts& facts, QTreeWidgetItem* under) {
    QTreeWidgetItem* node = nullptr;
    app::Trap(m_prompt, app::proc::AddNodeToTree, [&] {
        const QString key = parentKey.isEmpty() ? keyPart : parentKey + QLatin1Char('\\') + keyPart;
        if (m_nodes.contains(key)) Raise(err::kKeyNotUnique);
        if (parentKey.isEmpty()) {
            node = new QTreeWidgetItem(m_tree);
        } else {
            QTreeWidgetItem* parent = under ? under : m_nodes.value(parentKey);
            if (!parent) Raise(err::kElementNotFound);
            node = new QTreeWidgetItem(parent);
        }
        node->setText(0, text);
        node->setData(0, kKeyRole, key);
        node->setData(0, kImageRole, image);
        node->setData(0, kFactsRole, QStringList{facts.name, facts.master, facts.address});
        node->setIcon(0, NodeIcon(image));
        m_nodes.insert(key, node);
        // A node that may have children shows an expand button until it is first expanded:
        // its children are filled in then. (The button stands in for a placeholder child, which
        // would have to be taken out again, at a cost that grows with the tree.)
        node->setData(0, kUnfilledRole, placeholder);
        node->setChildIndicatorPolicy(placeholder ? QTreeWidgetItem::ShowIndicator
                                                  : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    });
    return node;
}

QTreeWidgetItem* ShapeTree::AddHeading(QTreeWidgetItem* parent, const QString& text) {
    auto* heading = new QTreeWidgetItem(parent);
    heading->setText(0, text);
    heading->setData(0, kHeadingRole, true);
    heading->setIcon(0, HeadingIcon());
    heading->setExpanded(true);
    return heading;
}

void ShapeTree::Expanded(QTreeWidgetItem* node) {
    app::Trap(m_prompt, app::proc::tvwShapes_Expand, [&] { Fill(node); });
}

void ShapeTree::Fill(QTreeWidgetItem* node, const visio::ObjectPtr& object) {
    if (!IsUnfilled(node)) return;
    node->setData(0, kUnfilledRole, false);
    node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    ReplaceDummy(node, object);
}

bool ShapeTree::IsUnfilled(const QTreeWidgetItem* node) {
    return node && node->data(0, kUnfilledRole).toBool();
}

void ShapeTree::AddShapes(const visio::ShapesPtr& shapes, const QString& parentKey,
                          const QString& parentAddress, QTreeWidgetItem* under) {
    const int16_t count = shapes->Count();
    for (int16_t i = 1; i <= count; ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        const bool group = HasShapes(shape->Shapes());
        const std::string name = shape->Name();
        const std::string master = embedded::MasterNameOf(shape);
        const QString part = SheetPart(shape->ID());
        AddNode(ShapeNodeText(name, shape->ID(), master), part, parentKey, group,
                group ? visio::kImageGroup : visio::kImageShape,
                {Q(name), Q(master), parentAddress + QLatin1Char('/') + part}, under);
    }
}

void ShapeTree::AddMasters(const visio::DocumentPtr& document, const QString& parentKey,
                           bool byName, QTreeWidgetItem* under) {
    const visio::MastersPtr masters = document->Masters();
    const visio::Resolver resolver = TheResolver();
    for (int16_t i = 1; i <= masters->Count(); ++i) {
        const visio::MasterPtr master = masters->Item(i);
        // A drawing's masters go by unique ID, which stays when a master is renamed.
        const QString keyPart = byName ? Q(master->Name()) : Q(master->UniqueID());
        AddNode(Q(master->Name()), keyPart, parentKey, HasShapes(master->Shapes()),
                visio::kImageMaster,
                {Q(master->Name()), QString(), Q(resolver.AddressOfMaster(master))}, under);
    }
}

void ShapeTree::AddDocumentChildren(QTreeWidgetItem* node, const visio::DocumentPtr& document) {
    const QString key = Key(node);
    if (document->Masters()->Count() > 0)
        AddMasters(document, key, false, AddHeading(node, Res(1670)));
    const visio::PagesPtr pages = document->Pages();
    if (pages->Count() < 1) return;
    QTreeWidgetItem* heading = AddHeading(node, Res(1671));
    const visio::Resolver resolver = TheResolver();
    for (int16_t i = 1; i <= pages->Count(); ++i) {
        const visio::PagePtr page = pages->Item(i);
        AddNode(Q(page->Name()), Q(page->Name()), key, HasShapes(page->Shapes()), visio::kImagePage,
                {Q(page->Name()), QString(), Q(resolver.AddressOfPage(page))}, heading);
    }
}

void ShapeTree::ReplaceDummy(QTreeWidgetItem* node, const visio::ObjectPtr& known) {
    app::Trap(m_prompt, app::proc::ReplaceDummy, [&] {
        const QString key = Key(node);
        const visio::ObjectPtr object = known ? known : GetNodeObject(node);
        if (!object) return;
        const QString address = node->data(0, kFactsRole).toStringList().value(2);
        m_tree->setUpdatesEnabled(false);
        switch (Image(node)) {
            case visio::kImageDrawing:
                AddDocumentChildren(node, std::dynamic_pointer_cast<visio::IDocument>(object));
                break;
            case visio::kImageStencil:
                AddMasters(std::dynamic_pointer_cast<visio::IDocument>(object), key, true, nullptr);
                break;
            case visio::kImagePage:
            case visio::kImageMaster:
            case visio::kImageGroup:
                if (const visio::ShapesPtr shapes = ShapesOf(object))
                    AddShapes(shapes, key, address);
                break;
            default:
                break;
        }
    });
    m_tree->setUpdatesEnabled(true);  // also after a failure
}

QTreeWidgetItem* ShapeTree::FindShapeInTree(const QString& key) const {
    return m_nodes.value(key, nullptr);
}

visio::ObjectPtr ShapeTree::GetNodeObject(const QTreeWidgetItem* node) const {
    if (!node || IsHeading(node)) return nullptr;
    return TheResolver().FindKey(Key(node).toStdString()).object;
}

QString ShapeTree::GetDisplayName(const QString& key) const {
    const QTreeWidgetItem* node = FindShapeInTree(key);
    if (!node) return QString();
    QString name = node->text(0);
    for (const QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent()) {
        if (!IsHeading(parent)) name = parent->text(0) + QLatin1Char('\\') + name;
    }
    return name;
}

void ShapeTree::HighlightSelectedShape(QTreeWidgetItem* node) {
    app::Trap(m_prompt, app::proc::HighlightSelectedShape, [&] {
        if (!node) return;
        const int16_t image = Image(node);
        if (image != visio::kImageGroup && image != visio::kImageShape) return;
        const auto shape = std::dynamic_pointer_cast<visio::IShape>(GetNodeObject(node));
        if (!shape) return;
        app::IgnoreFailure([&] {
            const visio::WindowPtr window = m_application->ActiveWindow();
            if (!window || window->Document()->Name() != shape->Document()->Name()) return;
            window->DeselectAll();
            const auto parent = std::dynamic_pointer_cast<visio::IShape>(shape->Parent());
            window->Select(shape, parent && parent->Type() == visio::visTypeGroup
                                      ? visio::visSubSelect
                                      : visio::visDeselectAll + visio::visSelect);
        });
    });
}

QTreeWidgetItem* ShapeTree::NodeOfShape(const visio::ShapePtr& shape) {
    QTreeWidgetItem* found = nullptr;
    app::IgnoreFailure([&] {
        found = FindShapeInTree(Q(shape->UniqueID(0)));
        if (found) return;
        // In the application scope, when the nodes down to it have been expanded.
        found = FindShapeInTree(Q(TheResolver().KeyOf(shape)));
    });
    return found;
}

QStringList ShapeTree::KeyChain(const visio::ShapePtr& sheet) const {
    QStringList chain;
    if (m_applicationScope) {
        const QStringList parts =
            Q(TheResolver().KeyOf(sheet)).mid(m_applicationId.size() + 1).split(QLatin1Char('\\'));
        QString key = m_applicationId;
        chain << key;
        for (const QString& part : parts)
            chain << (key += QLatin1Char('\\') + part);
        return chain;
    }
    // The active page's scope: the top-level shape by its unique ID, then its members.
    std::vector<visio::ShapePtr> members{sheet};
    while (const auto group = std::dynamic_pointer_cast<visio::IShape>(members.back()->Parent()))
        members.push_back(group);
    const auto page = std::dynamic_pointer_cast<visio::IPage>(members.back()->Parent());
    const visio::PagePtr active = m_application->ActivePage();
    if (!page || !active || page->Name() != active->Name() ||
        page->Document()->Name() != active->Document()->Name())
        return {};
    QString key = Q(members.back()->UniqueID(0));
    chain << key;
    for (auto member = members.rbegin() + 1; member != members.rend(); ++member)
        chain << (key += QLatin1Char('\\') + SheetPart((*member)->ID()));
    return chain;
}

QTreeWidgetItem* ShapeTree::RevealSheet(const visio::ShapePtr& sheet) {
    QTreeWidgetItem* node = nullptr;
    app::IgnoreFailure([&] {
        for (const QString& key : KeyChain(sheet)) {
            if (node) node->setExpanded(true);  // fills it
            node = FindShapeInTree(key);
            if (!node) return;
        }
        for (QTreeWidgetItem* above = node ? node->parent() : nullptr; above;
             above = above->parent())
            above->setExpanded(true);
    });
    return node;
}

void ShapeTree::FillAll(QTreeWidgetItem* node, const visio::ObjectPtr& known) {
    const visio::ObjectPtr object = known ? known : GetNodeObject(node);
    Fill(node, object);
    // A shape's node takes its object from its parent's, by ID: resolving its key instead would
    // search the active page for the top-level shape at every node.
    const visio::ShapesPtr shapes = ShapesOf(object);
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (IsUnfilled(child) || child->childCount() > 0)
            FillAll(child, shapes ? ShapeOfNode(shapes, child) : nullptr);
    }
}

QHash<QString, visio::ObjectPtr> ShapeTree::TopLevelObjects() const {
    QHash<QString, visio::ObjectPtr> objects;
    if (m_applicationScope) return objects;
    const visio::PagePtr page = m_application->ActivePage();
    if (!page) return objects;
    const visio::ShapesPtr shapes = page->Shapes();
    for (int16_t i = 1; i <= shapes->Count(); ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        objects.insert(Q(shape->UniqueID(0)), shape);
    }
    return objects;
}

bool ShapeTree::ShowFound(QTreeWidgetItem* node, const std::string& text) {
    bool below = false;
    for (int i = 0; i < node->childCount(); ++i)
        below = ShowFound(node->child(i), text) || below;
    const QStringList facts = node->data(0, kFactsRole).toStringList();
    const bool found =
        !IsHeading(node) && facts.size() == 3 &&
        window::Found(facts[0].toStdString(), facts[1].toStdString(), facts[2].toStdString(), text);
    node->setHidden(!found && !below);
    if (below) node->setExpanded(true);
    return found || below;
}

void ShapeTree::Filter(const QString& text) {
    m_filter = text.trimmed();
    m_tree->setUpdatesEnabled(false);
    app::Trap(m_prompt, app::proc::FilterTree, [&] {
        if (m_filter.isEmpty()) {
            for (QTreeWidgetItemIterator it(m_tree, QTreeWidgetItemIterator::Hidden); *it; ++it)
                (*it)->setHidden(false);
            return;
        }
        const std::string wanted = m_filter.toStdString();
        const QHash<QString, visio::ObjectPtr> objects = TopLevelObjects();
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* node = m_tree->topLevelItem(i);
            FillAll(node, objects.value(Key(node)));
        }
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            ShowFound(m_tree->topLevelItem(i), wanted);
    });
    m_tree->setUpdatesEnabled(true);
    TellRowsShownChanged(m_tree);
}

void ShapeTree::RebuildKeepingView(bool applicationScope) {
    QSet<QString> expanded;
    QSet<QString> selected;
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->isExpanded()) expanded.insert(ViewId(*it));
        if ((*it)->isSelected()) selected.insert(ViewId(*it));
    }
    const QString current = ViewId(m_tree->currentItem());
    const int scroll = m_tree->verticalScrollBar()->value();
    m_tree->setUpdatesEnabled(false);
    BuildTree(applicationScope);
    // Opened from the top down: opening a node fills it, and its children open in turn.
    std::deque<QTreeWidgetItem*> waiting;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
        waiting.push_back(m_tree->topLevelItem(i));
    while (!waiting.empty()) {
        QTreeWidgetItem* node = waiting.front();
        waiting.pop_front();
        const QString id = ViewId(node);
        node->setExpanded(expanded.contains(id));
        if (selected.contains(id)) node->setSelected(true);
        if (id == current) m_tree->setCurrentItem(node, 0, QItemSelectionModel::NoUpdate);
        for (int i = 0; i < node->childCount(); ++i)
            waiting.push_back(node->child(i));
    }
    m_tree->setUpdatesEnabled(true);
    if (!m_filter.isEmpty()) Filter(m_filter);
    m_tree->verticalScrollBar()->setValue(scroll);
}

}  // namespace tess::ui
