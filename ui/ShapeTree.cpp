#include "ui/ShapeTree.h"

#include <QTreeWidget>

#include "app/ErrorReport.h"
#include "ui/Resources.h"

namespace tess::ui {
namespace {

constexpr std::string_view kModule = "modShapesTab";
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kUnfilledRole = Qt::UserRole + 2;

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool HasShapes(const visio::ShapesPtr& shapes) { return shapes && shapes->Count() > 0; }

}  // namespace

int16_t DocumentKind(const std::string& name) {
    if (name.find("Drawing") != std::string::npos) return engine::kImageDrawing;
    if (name.find("Stencil") != std::string::npos) return engine::kImageStencil;
    // The kind by the extension's first three letters: .vsd and .vsdx, .vst and .vstx (which
    // open as drawings), .vss and .vssx.
    const QString extension = Q(name).section(QLatin1Char('.'), -1).left(3).toUpper();
    if (extension == QLatin1String("VSD") || extension == QLatin1String("VST"))
        return engine::kImageDrawing;
    if (extension == QLatin1String("VSS")) return engine::kImageStencil;
    return 0;
}

ShapeTree::ShapeTree(QTreeWidget* tree, visio::ApplicationPtr application, QString applicationId)
    : QObject(tree), m_tree(tree), m_application(std::move(application)),
      m_applicationId(std::move(applicationId)) {
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
    app::Trap(kModule, "BuildTree", [&] {
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
                              group ? engine::kImageGroup : engine::kImageShape);
            }
            return;
        }
        AddNodeToTree(QStringLiteral("Application"), m_applicationId, QString(), false,
                      engine::kImageApplication);
        const visio::DocumentsPtr documents = m_application->Documents();
        for (int16_t i = 1; i <= documents->Count(); ++i) {
            const visio::DocumentPtr document = documents->Item(i);
            const std::string name = document->Name();
            const int16_t kind = DocumentKind(name);
            bool placeholder = false;
            if (kind == engine::kImageDrawing) placeholder = document->Pages()->Count() > 0;
            if (kind == engine::kImageStencil) placeholder = document->Masters()->Count() > 0;
            AddNodeToTree(Q(name), Q(name), m_applicationId, placeholder,
                          kind ? kind : engine::kImageDrawing);
        }
    });
}

void ShapeTree::AddNodeToTree(const QString& text, const QString& keyPart,
                              const QString& parentKey, bool placeholder, int16_t image) {
    app::Trap(kModule, "AddNodeToTree", [&] {
        const QString key = parentKey.isEmpty() ? keyPart : parentKey + QLatin1Char('\\') + keyPart;
        if (m_nodes.contains(key))
            Raise(35602, "Key is not unique in collection");
        QTreeWidgetItem* node = nullptr;
        if (parentKey.isEmpty()) {
            node = new QTreeWidgetItem(m_tree);
        } else {
            QTreeWidgetItem* parent = m_nodes.value(parentKey);
            if (!parent) Raise(35601, "Element not found");
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
    app::Trap("frmCellCopy", "tvwShapes_Expand", [&] {
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
                      group, group ? engine::kImageGroup : engine::kImageShape);
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
                      engine::kImageMaster);
    }
}

void ShapeTree::ReplaceDummy(QTreeWidgetItem* node) {
    app::Trap(kModule, "ReplaceDummy", [&] {
        const QString key = Key(node);
        const visio::ObjectPtr object = GetNodeObject(node);
        if (!object) return;
        m_tree->setUpdatesEnabled(false);
        switch (Image(node)) {
            case engine::kImageDrawing: {
                const auto document = std::dynamic_pointer_cast<visio::IDocument>(object);
                AddMasters(document, key, false);
                const visio::PagesPtr pages = document->Pages();
                for (int16_t i = 1; i <= pages->Count(); ++i) {
                    const visio::PagePtr page = pages->Item(i);
                    AddNodeToTree(Q(page->Name()), Q(page->Name()), key,
                                  HasShapes(page->Shapes()), engine::kImagePage);
                }
                break;
            }
            case engine::kImageStencil:
                AddMasters(std::dynamic_pointer_cast<visio::IDocument>(object), key, true);
                break;
            case engine::kImagePage:
                AddShapes(std::dynamic_pointer_cast<visio::IPage>(object)->Shapes(), key);
                break;
            case engine::kImageMaster:
                AddShapes(std::dynamic_pointer_cast<visio::IMaster>(object)->Shapes(), key);
                break;
            case engine::kImageGroup:
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

visio::ObjectPtr ShapeTree::GetNodeObject(const std::string& key) {
    return GetNodeObject(FindShapeInTree(Q(key)));
}

visio::ObjectPtr ShapeTree::GetNodeObject(QTreeWidgetItem* node) {
    if (!node) return nullptr;
    visio::ObjectPtr result;
    app::IgnoreFailure([&] {
        QTreeWidgetItem* parent = node->parent();
        visio::ObjectPtr start;
        if (!parent) {
            start = Image(node) == engine::kImageApplication
                        ? visio::ObjectPtr(m_application)
                        : visio::ObjectPtr(m_application->ActivePage());
        } else if (Image(parent) == engine::kImageApplication) {
            start = m_application;
        } else {
            start = GetNodeObject(parent);
        }
        if (!start) return;
        const std::string last = GetLastPath(Key(node)).toStdString();
        switch (Image(node)) {
            case engine::kImageApplication:
                result = start;
                break;
            case engine::kImageDrawing:
            case engine::kImageStencil:
                result = std::dynamic_pointer_cast<visio::IApplication>(start)->Documents()->Item(last);
                break;
            case engine::kImagePage:
                result = std::dynamic_pointer_cast<visio::IDocument>(start)->Pages()->Item(last);
                break;
            case engine::kImageMaster:
                result = std::dynamic_pointer_cast<visio::IDocument>(start)->Masters()->Item(last);
                break;
            default: {
                visio::ShapesPtr shapes;
                if (auto page = std::dynamic_pointer_cast<visio::IPage>(start)) shapes = page->Shapes();
                else if (auto master = std::dynamic_pointer_cast<visio::IMaster>(start)) shapes = master->Shapes();
                else if (auto shape = std::dynamic_pointer_cast<visio::IShape>(start)) shapes = shape->Shapes();
                if (!shapes) return;
                if (!parent) {
                    // A top-level shape of the active page goes by its unique ID.
                    for (int16_t i = 1; i <= shapes->Count() && !result; ++i) {
                        const visio::ShapePtr shape = shapes->Item(i);
                        if (shape->UniqueID(0) == last) result = shape;
                    }
                } else if (Image(parent) == engine::kImageGroup) {
                    result = shapes->Item(last);
                } else {
                    // IDs are unique in a page or master, which finds "Sheet.N" by its ID at
                    // once where a search by name would read every shape's name.
                    result = ShapeOfKey(shapes, last);
                }
            }
        }
    });
    return result;
}

visio::ShapePtr ShapeTree::ShapeOfKey(const visio::ShapesPtr& shapes, const std::string& keyPart) {
    const QString key = Q(keyPart);
    bool isNumber = false;
    const int id = key.startsWith(QLatin1String("Sheet.")) ? key.mid(6).toInt(&isNumber) : 0;
    if (!isNumber) return shapes->Item(keyPart);
    const visio::ShapePtr shape = shapes->ItemFromID(id);
    // Only a shape of the collection itself, not one deeper in a group.
    return std::dynamic_pointer_cast<visio::IShape>(shape->Parent()) ? nullptr : shape;
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
    app::Trap(kModule, "HighlightSelectedShape", [&] {
        if (!node) return;
        const int16_t image = Image(node);
        if (image != engine::kImageGroup && image != engine::kImageShape) return;
        const auto shape = std::dynamic_pointer_cast<visio::IShape>(GetNodeObject(node));
        if (!shape) return;
        app::IgnoreFailure([&] {
            const visio::WindowPtr window = m_application->ActiveWindow();
            if (!window || window->Document()->Name() != shape->Document()->Name()) return;
            window->DeselectAll();
            const auto parent = std::dynamic_pointer_cast<visio::IShape>(shape->Parent());
            window->Select(shape, parent && parent->Type() == 2 ? 3 : 258);
        });
    });
}

QTreeWidgetItem* ShapeTree::NodeOfShape(const visio::ShapePtr& shape) {
    QTreeWidgetItem* found = nullptr;
    app::IgnoreFailure([&] {
        found = FindShapeInTree(Q(shape->UniqueID(0)));
        if (found) return;
        // In the application scope: document\page\Sheet.ID, when the page has been expanded.
        const visio::PagePtr page = shape->ContainingPage();
        if (!page) return;
        const QString key = m_applicationId + QLatin1Char('\\') + Q(page->Document()->Name()) +
                            QLatin1Char('\\') + Q(page->Name()) + QStringLiteral("\\Sheet.%1").arg(shape->ID());
        found = FindShapeInTree(key);
    });
    return found;
}

}  // namespace tess::ui
