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
// In the Application scope a drawing's masters and pages sit under a heading each; headings
// have no key and stand for no object.
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
    /// Builds the tree again for the scope after the drawings changed, with the nodes that
    /// were open, selected and in view as they were, as far as they still exist.
    void RebuildKeepingView(bool applicationScope);
    /// Adds one node (with a placeholder child when it may have children).
    void AddNodeToTree(const QString& text, const QString& keyPart, const QString& parentKey,
                       bool placeholder, int16_t image);
    /// Fills a node's children in place of its placeholder. object: what the node stands for,
    /// when the caller has it; else the node's key is resolved.
    void ReplaceDummy(QTreeWidgetItem* node, const visio::ObjectPtr& object = nullptr);
    QTreeWidgetItem* FindShapeInTree(const QString& key) const;
    /// The host object a node stands for; null when it no longer resolves.
    visio::ObjectPtr GetNodeObject(const QTreeWidgetItem* node) const;
    /// The node texts from the root down to the node of key, joined by "\" (headings left out).
    QString GetDisplayName(const QString& key) const;
    /// Selects, in the host's active window, the shape a node stands for.
    void HighlightSelectedShape(QTreeWidgetItem* node);
    /// The node of a shape, in either scope; null when the tree shows no node for it yet.
    QTreeWidgetItem* NodeOfShape(const visio::ShapePtr& shape);
    /// The node of a sheet with the nodes above it expanded, so that it is in sight; null when
    /// the tree's scope does not hold it (a shape of another page than the active one).
    QTreeWidgetItem* RevealSheet(const visio::ShapePtr& sheet);
    /// Shows only the nodes whose name, master or address holds text (without regard to case),
    /// with the nodes above them opened; every node again for an empty text. Nodes not yet
    /// filled are filled first, so that nothing below them is missed.
    void Filter(const QString& text);

    static QString GetLastPath(const QString& path);
    static QString Key(const QTreeWidgetItem* node);
    static int16_t Image(const QTreeWidgetItem* node);
    /// True for a node whose children are filled in when it is first expanded.
    static bool IsUnfilled(const QTreeWidgetItem* node);
    /// True for a heading (Masters, Pages), which stands for no object.
    static bool IsHeading(const QTreeWidgetItem* node);

private:
    /// What the filter looks at: the object's name, its master's name, its address.
    struct Facts {
        QString name;
        QString master;
        QString address;
    };
    QTreeWidgetItem* AddNode(const QString& text, const QString& keyPart, const QString& parentKey,
                             bool placeholder, int16_t image, const Facts& facts,
                             QTreeWidgetItem* under = nullptr);
    void Expanded(QTreeWidgetItem* node);
    void Fill(QTreeWidgetItem* node, const visio::ObjectPtr& object = nullptr);
    /// Fills a node and every node below it; known as for ReplaceDummy.
    void FillAll(QTreeWidgetItem* node, const visio::ObjectPtr& known);
    /// The active page's top-level shapes by their nodes' keys, found in one pass over the page;
    /// empty in the Application scope.
    QHash<QString, visio::ObjectPtr> TopLevelObjects() const;
    void AddShapes(const visio::ShapesPtr& shapes, const QString& parentKey,
                   const QString& parentAddress, QTreeWidgetItem* under = nullptr);
    void AddMasters(const visio::DocumentPtr& document, const QString& parentKey, bool byName,
                    QTreeWidgetItem* under);
    void AddDocumentChildren(QTreeWidgetItem* node, const visio::DocumentPtr& document);
    QTreeWidgetItem* AddHeading(QTreeWidgetItem* parent, const QString& text);
    /// The keys of the nodes from the top of the tree down to the sheet's, in this scope.
    QStringList KeyChain(const visio::ShapePtr& sheet) const;
    bool ShowFound(QTreeWidgetItem* node, const std::string& text);
    visio::Resolver TheResolver() const;

    QTreeWidget* m_tree;
    visio::ApplicationPtr m_application;
    QString m_applicationId;
    app::IPrompt& m_prompt;
    bool m_applicationScope = false;
    QString m_filter;
    QHash<QString, QTreeWidgetItem*> m_nodes;  // full key -> node
};

/// The text of a shape's node: its name, and for a shape without a name of its own (Visio names
/// it "Sheet." and its ID) the master it is an instance of, in brackets.
QString ShapeNodeText(const std::string& name, int32_t id, const std::string& master);

}  // namespace tess::ui
