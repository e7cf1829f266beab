#include "ui/ShapeTree.h"

#include <QTreeWidget>

#include "app/ErrorReport.h"
#include "platform/visio/Constants.h"
#include "ui/Resources.h"

namespace tess::ui {
namespace {

constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kUnfilledRole = Qt::UserRole + 2;

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool HasShapes(const visio::ShapesPtr& shapes) { return shapes && shapes->Count() > 0; }

}  // namespace

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

QString ShapeTree::GetLastPath(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    return slash < 0 ? path : path.mid(slash + 1);
}

void ShapeTree::BuildTree(bool applicationScope) {
    app::Trap(m_prompt, app::proc::BuildTree, [&] {
        m_tree->clear();
        m_nodes.clear();
        if (!applicationScope) {
            const visio::PagePtr page = m_application->ActivePage();
            if (!page) return;
            const visio::ShapesPtr shapes = page->Shapes();
            for (int16_t i = 1; i <= shapes->Count(); ++i) {
                const visio::ShapePtr shape = shapes->Item(i);
                const bool group = HasShapes(shape->Shapes());
                AddNodeToTree(Q(shape->Name()), Q(shape->UniqueID(1)), QString(), group,
                              group ? visio::kImageGroup : visio::kImageShape);
            }
            return;
        }
        AddNodeToTree(QStringLiteral("Application"), m_applicationId, QString(), false,
                      visio::kImageApplication);
        const visio::DocumentsPtr documents = m_application->Documents();
        for (int16_t i = 1; i <= documents->Count(); ++i) {
            const visio::DocumentPtr document = documents->Item(i);
            const std::string name = document->Name();
            const int16_t kind = visio::DocumentKind(name);
            bool placeholder = false;
            if (kind == visio::kImageDrawing) placeholder = document->Pages()->Count() > 0;
            if (kind == visio::kImageStencil) placeholder = document->Masters()->Count() > 0;
            AddNodeToTree(Q(name), Q(name), m_applicationId, placeholder,
                          kind ? kind : visio::kImageDrawing);
        }
    });
}

void ShapeTree::AddNodeToTree(const QString& text, const QString& keyPart,
                              const QString& parentKey, bool placeholder, int16_t image) {
    app::Trap(m_prompt, app::proc::AddNodeToTree, [&] {
        const QString key = parentKey.isEmpty() ? keyPart : parentKey + QLatin1Char('\\') + keyPart;
        if (m_nodes.contains(key)) Raise(err::kKeyNotUnique);
        QTreeWidgetItem* node = nullptr;
        if (parentKey.isEmpty()) {
            node = new QTreeWidgetItem(m_tree);
        } else {
            QTreeWidgetItem* parent = m_nodes.value(parentKey);
            if (!parent) Raise(err::kElementNotFound);
            node = new QTreeWidgetItem(parent);
        }
        node->setText(0, text);
        node->setData(0, kKeyRole, key);
        node->setData(0, kImageRole, image);
        node->setIcon(0, NodeIcon(image));
        m_nodes.insert(key, node);
        // A node that may have children shows an expand button until it is first expanded:
        // its children are filled in then. (The button stands in for a placeholder child, which
        // would have to be taken out again, at a cost that grows with the tree.)
        node->setData(0, kUnfilledRole, placeholder);
        node->setChildIndicatorPolicy(placeholder ? QTreeWidgetItem::ShowIndicator
                                                  : QTreeWidgetItem::DontShowIndicatorWhenChildless);
    });
}

void ShapeTree::Expanded(QTreeWidgetItem* node) {
    app::Trap(m_prompt, app::proc::tvwShapes_Expand, [&] {
        if (!IsUnfilled(node)) return;
        node->setData(0, kUnfilledRole, false);
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        ReplaceDummy(node);
    });
}

bool ShapeTree::IsUnfilled(const QTreeWidgetItem* node) {
    return node && node->data(0, kUnfilledRole).toBool();
}

void ShapeTree::AddShapes(const visio::ShapesPtr& shapes, const QString& parentKey) {
    const int16_t count = shapes->Count();
    for (int16_t i = 1; i <= count; ++i) {
        const visio::ShapePtr shape = shapes->Item(i);
        const bool group = HasShapes(shape->Shapes());
        AddNodeToTree(Q(shape->Name()), QStringLiteral("Sheet.%1").arg(shape->ID()), parentKey,
                      group, group ? visio::kImageGroup : visio::kImageShape);
    }
}

void ShapeTree::AddMasters(const visio::DocumentPtr& document, const QString& parentKey,
                           bool byName) {
    const visio::MastersPtr masters = document->Masters();
    for (int16_t i = 1; i <= masters->Count(); ++i) {
        const visio::MasterPtr master = masters->Item(i);
        // A drawing's masters go by unique ID, which stays when a master is renamed.
        const QString keyPart = byName ? Q(master->Name()) : Q(master->UniqueID());
        AddNodeToTree(Q(master->Name()), keyPart, parentKey, HasShapes(master->Shapes()),
                      visio::kImageMaster);
    }
}

void ShapeTree::ReplaceDummy(QTreeWidgetItem* node) {
    app::Trap(m_prompt, app::proc::ReplaceDummy, [&] {
        const QString key = Key(node);
        const visio::ObjectPtr object = GetNodeObject(node);
        if (!object) return;
        m_tree->setUpdatesEnabled(false);
        switch (Image(node)) {
            case visio::kImageDrawing: {
                const auto document = std::dynamic_pointer_cast<visio::IDocument>(object);
                AddMasters(document, key, false);
                const visio::PagesPtr pages = document->Pages();
                for (int16_t i = 1; i <= pages->Count(); ++i) {
                    const visio::PagePtr page = pages->Item(i);
                    AddNodeToTree(Q(page->Name()), Q(page->Name()), key, HasShapes(page->Shapes()),
                                  visio::kImagePage);
                }
                break;
            }
            case visio::kImageStencil:
                AddMasters(std::dynamic_pointer_cast<visio::IDocument>(object), key, true);
                break;
            case visio::kImagePage:
                AddShapes(std::dynamic_pointer_cast<visio::IPage>(object)->Shapes(), key);
                break;
            case visio::kImageMaster:
                AddShapes(std::dynamic_pointer_cast<visio::IMaster>(object)->Shapes(), key);
                break;
            case visio::kImageGroup:
                AddShapes(std::dynamic_pointer_cast<visio::IShape>(object)->Shapes(), key);
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
    if (!node) return nullptr;
    const visio::Resolver resolver(m_application, m_applicationId.toStdString());
    return resolver.FindKey(Key(node).toStdString()).object;
}

QString ShapeTree::GetDisplayName(const QString& key) const {
    const QTreeWidgetItem* node = FindShapeInTree(key);
    if (!node) return QString();
    QString name = node->text(0);
    for (const QTreeWidgetItem* parent = node->parent(); parent; parent = parent->parent())
        name = parent->text(0) + QLatin1Char('\\') + name;
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
        const visio::Resolver resolver(m_application, m_applicationId.toStdString());
        found = FindShapeInTree(Q(resolver.KeyOf(shape)));
    });
    return found;
}

}  // namespace tess::ui
