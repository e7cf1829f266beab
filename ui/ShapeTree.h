#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <cstdint>

#include "app/Prompt.h"
#include "platform/visio/Host.h"
#include "platform/visio/Resolver.h"

class QTreeWidget;
class QTreeWidgetItem;

// The shape tree of the Shapes tab (tvwShapes): the host's objects as nodes whose keys find
// the objects again (through the resolver, as any key does), filled as the user expands them.
namespace tess::ui {

class ShapeTree : public QObject {
    Q_OBJECT
public:
    /// tree: the tree control; application: the host the nodes stand for; prompt: where the
    /// tree's failures are reported.
    ShapeTree(QTreeWidget* tree, visio::ApplicationPtr application, QString applicationId,
              app::IPrompt& prompt);

    QTreeWidget* Tree() const { return m_tree; }
    /// Clears the tree and fills its first level: the active page's shapes, or the application
    /// with its documents.
    void BuildTree(bool applicationScope);
    /// Adds one node (with a placeholder child when it may have children).
    void AddNodeToTree(const QString& text, const QString& keyPart, const QString& parentKey,
                       bool placeholder, int16_t image);
    /// Fills a node's children in place of its placeholder.
    void ReplaceDummy(QTreeWidgetItem* node);
    QTreeWidgetItem* FindShapeInTree(const QString& key) const;
    /// The host object a node stands for; null when it no longer resolves.
    visio::ObjectPtr GetNodeObject(const QTreeWidgetItem* node) const;
    /// The node texts from the root down to the node of key, joined by "\".
    QString GetDisplayName(const QString& key) const;
    /// Selects, in the host's active window, the shape a node stands for.
    void HighlightSelectedShape(QTreeWidgetItem* node);
    /// The node of a shape, in either scope; null when the tree shows no node for it.
    QTreeWidgetItem* NodeOfShape(const visio::ShapePtr& shape);

    static QString GetLastPath(const QString& path);
    static QString Key(const QTreeWidgetItem* node);
    static int16_t Image(const QTreeWidgetItem* node);
    /// True for a node whose children are filled in when it is first expanded.
    static bool IsUnfilled(const QTreeWidgetItem* node);

private:
    void Expanded(QTreeWidgetItem* node);
    void AddShapes(const visio::ShapesPtr& shapes, const QString& parentKey);
    void AddMasters(const visio::DocumentPtr& document, const QString& parentKey, bool byName);

    QTreeWidget* m_tree;
    visio::ApplicationPtr m_application;
    QString m_applicationId;
    app::IPrompt& m_prompt;
    QHash<QString, QTreeWidgetItem*> m_nodes;  // full key -> node
};

}  // namespace tess::ui
