#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QTest>

#include "platform/registry/Registry.h"
#include "ui/ShapeTree.h"
#include "ui/ShapesTab.h"
#include "ui/UiFixture.h"
#include "window/Settings.h"

namespace tess::test {
namespace {

using ui::ShapeTree;
constexpr uint32_t kRoot = registry::HKEY_CURRENT_USER;

class ShapesTab : public UiFixture {
protected:
    void StartOnNestedAndStencil() {
        ASSERT_TRUE(Start({QString::fromStdString(CopySample("test10_nested_shapes.vsdx")),
                           QString::fromStdString(CopySample("Boxes.vssx"))}));
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
    }
    QTreeWidget* Tree() { return Control<QTreeWidget>(QStringLiteral("tvwShapes")); }
    QStringList Texts(QTreeWidgetItem* node) {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i) texts << node->child(i)->text(0);
        return texts;
    }
};

TEST_F(ShapesTab, TheApplicationScopeFillsNodesWhenFirstExpanded) {
    StartOnNestedAndStencil();
    ASSERT_EQ(Tree()->topLevelItemCount(), 1);
    QTreeWidgetItem* application = Tree()->topLevelItem(0);
    EXPECT_EQ(application->text(0), QStringLiteral("Application"));
    EXPECT_TRUE(application->isExpanded());
    EXPECT_EQ(ShapeTree::Key(application),
              QString::fromStdString(TheStartup().TheApplication()->ApplicationID()));
    ASSERT_EQ(Texts(application), (QStringList{QStringLiteral("test10_nested_shapes.vsdx"),
                                               QStringLiteral("Boxes.vssx")}));
    EXPECT_EQ(ShapeTree::Image(application->child(0)), visio::kImageDrawing);
    EXPECT_EQ(ShapeTree::Image(application->child(1)), visio::kImageStencil);

    // Nothing below a document until it is expanded; then its masters come before its pages,
    // each under a heading of their own, which stands for nothing.
    QTreeWidgetItem* drawing = application->child(0);
    EXPECT_TRUE(ShapeTree::IsUnfilled(drawing));
    EXPECT_EQ(drawing->childCount(), 0);
    drawing->setExpanded(true);
    ASSERT_EQ(Texts(drawing), (QStringList{QStringLiteral("Masters"), QStringLiteral("Pages")}));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(ShapeTree::IsHeading(drawing->child(i)));
        EXPECT_EQ(Window().Shapes().Tree().GetNodeObject(drawing->child(i)), nullptr);
    }
    EXPECT_EQ(Texts(drawing->child(0)), QStringList{QStringLiteral("Dynamic connector")});
    EXPECT_EQ(Texts(drawing->child(1)), QStringList{QStringLiteral("Page-1")});
    EXPECT_EQ(ShapeTree::Image(drawing->child(0)->child(0)), visio::kImageMaster);
    EXPECT_EQ(ShapeTree::Image(drawing->child(1)->child(0)), visio::kImagePage);
    // A Stencil's masters need no heading.
    application->child(1)->setExpanded(true);
    EXPECT_EQ(ShapeTree::Image(application->child(1)->child(0)), visio::kImageMaster);

    QTreeWidgetItem* group = Node({QStringLiteral("Application"),
                                   QStringLiteral("test10_nested_shapes.vsdx"),
                                   QStringLiteral("Page-1"), QStringLiteral("Sheet.7")});
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(ShapeTree::Image(group), visio::kImageGroup);
    ASSERT_EQ(Texts(group), (QStringList{QStringLiteral("Sheet.3"), QStringLiteral("Sheet.4")}));
    EXPECT_TRUE(ShapeTree::Key(group->child(0)).endsWith(QStringLiteral("\\Sheet.7\\Sheet.3")));
    EXPECT_TRUE(ShapeTree::IsUnfilled(group->child(0)));  // a group inside a group
    // A second expansion adds nothing.
    group->setExpanded(false);
    group->setExpanded(true);
    EXPECT_EQ(group->childCount(), 2);

    // The node resolves to its shape, and shows its path from the root.
    ui::ShapeTree& tree = Window().Shapes().Tree();
    const auto shape = std::dynamic_pointer_cast<visio::IShape>(tree.GetNodeObject(group->child(1)));
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->ID(), 4);
    EXPECT_EQ(tree.GetDisplayName(ShapeTree::Key(group->child(1))),
              QStringLiteral("Application\\test10_nested_shapes.vsdx\\Page-1\\Sheet.7\\Sheet.4"));
}

TEST_F(ShapesTab, RefreshShowsShapesAddedAfterTheFirstExpansion) {
    StartOnNestedAndStencil();
    QTreeWidgetItem* page = Node({QStringLiteral("Application"),
                                  QStringLiteral("test10_nested_shapes.vsdx"), QStringLiteral("Page-1")});
    ASSERT_EQ(page->childCount(), 2);
    const visio::ApplicationPtr host = Program().TheDrawings().App();
    host->Documents()->Item(int16_t{1})->Pages()->Item("Page-1")->DrawRectangle(0, 1, 1, 0);
    page->setExpanded(false);
    page->setExpanded(true);
    EXPECT_EQ(page->childCount(), 2) << "the tree does not notice changes by itself";
    Click(QStringLiteral("cmdRefresh"));
    page = Node({QStringLiteral("Application"), QStringLiteral("test10_nested_shapes.vsdx"),
                 QStringLiteral("Page-1")});
    EXPECT_EQ(page->childCount(), 3);
}

TEST_F(ShapesTab, OnlyDrawingsPagesAndShapesCanBeChosen) {
    StartOnNestedAndStencil();
    const QString refusal = QStringLiteral("Selected item must be either a Page or a Shape.");
    for (const QStringList& path :
         {QStringList{QStringLiteral("Application")},
          QStringList{QStringLiteral("Application"), QStringLiteral("Boxes.vssx")},
          QStringList{QStringLiteral("Application"), QStringLiteral("test10_nested_shapes.vsdx"),
                      QStringLiteral("Dynamic connector")}}) {
        TheDialogs().Reset();
        MakeSource(Node(path));
        AddDestination(Node(path));
        ASSERT_EQ(TheDialogs().Asked().size(), 2u) << path.join('/').toStdString();
        EXPECT_EQ(TheDialogs().Asked()[0].text, refusal);
        EXPECT_EQ(TheDialogs().Asked()[1].icon, QMessageBox::Warning);
    }
    EXPECT_TRUE(Window().State().source.empty());
    EXPECT_TRUE(Window().State().destinations.empty());
    EXPECT_FALSE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());
}

TEST_F(ShapesTab, ListsFollowTheChoicesAndTheDeleteKey) {
    StartOnNestedAndStencil();
    const QStringList drawing = {QStringLiteral("Application"),
                                 QStringLiteral("test10_nested_shapes.vsdx")};
    const QStringList page = drawing + QStringList{QStringLiteral("Page-1")};
    MakeSource(Node(page));
    EXPECT_TRUE(Control<QGroupBox>(QStringLiteral("fraPageSections"))->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkShapeSection_40"))->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->isEnabled());
    Control<QCheckBox>(QStringLiteral("chkShapeSection_40"))->setChecked(true);

    // A second source replaces the first and clears the check marks.
    MakeSource(Node(page + QStringList{QStringLiteral("Sheet.8")}));
    EXPECT_EQ(Window().State().source.size(), 1u);
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwSource"))->topLevelItemCount(), 1);
    EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_40"))->isChecked());
    EXPECT_FALSE(Control<QGroupBox>(QStringLiteral("fraPageSections"))->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->isEnabled());
    EXPECT_TRUE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());

    auto* destinations = Control<QTreeWidget>(QStringLiteral("lvwDestination"));
    AddDestination(Node(drawing));
    AddDestination(Node(page + QStringList{QStringLiteral("Sheet.7")}));
    AddDestination(Node(page + QStringList{QStringLiteral("Sheet.7")}));  // once only, no message
    EXPECT_EQ(destinations->topLevelItemCount(), 2);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(Control<QAbstractButton>(QStringLiteral("cmdAddPagesToDest"))->isEnabled());
    EXPECT_TRUE(Control<QGroupBox>(QStringLiteral("fraCopyType"))->isEnabled());

    // Deleting the drawing leaves a shape: no pages to add; deleting everything: no copy type.
    destinations->clearSelection();
    destinations->topLevelItem(0)->setSelected(true);
    QTest::keyClick(destinations, Qt::Key_Delete);
    EXPECT_EQ(destinations->topLevelItemCount(), 1);
    EXPECT_FALSE(Control<QAbstractButton>(QStringLiteral("cmdAddPagesToDest"))->isEnabled());
    EXPECT_TRUE(Control<QGroupBox>(QStringLiteral("fraCopyType"))->isEnabled());
    destinations->topLevelItem(0)->setSelected(true);
    QTest::keyClick(destinations, Qt::Key_Delete);
    EXPECT_EQ(Window().State().destinations.size(), 0u);
    EXPECT_FALSE(Control<QGroupBox>(QStringLiteral("fraCopyType"))->isEnabled());

    // Deleting the source disables Copy and every box, keeping the check marks.
    Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->setChecked(true);
    QTest::keyClick(Control<QTreeWidget>(QStringLiteral("lvwSource")), Qt::Key_Delete);
    EXPECT_FALSE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkShapeSection_8"))->isChecked());
}

TEST_F(ShapesTab, AllAndNoneTickEveryBoxButOnlyEnabledOnesCount) {
    StartOnNestedAndStencil();
    MakeSource(Node({QStringLiteral("Application"), QStringLiteral("test10_nested_shapes.vsdx"),
                     QStringLiteral("Page-1"), QStringLiteral("Sheet.8")}));
    Click(QStringLiteral("cmdAllSections"));
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkShapeSection_18"))->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_18"))->isEnabled());  // Tabs
    EXPECT_EQ(Window().State().sections.boxes[18].value, 1);
    Click(QStringLiteral("cmdNoSections"));
    for (int index : {0, 8, 18, 40, 51})
        EXPECT_FALSE(Control<QCheckBox>(QStringLiteral("chkShapeSection_%1").arg(index))->isChecked());
}

TEST_F(ShapesTab, OptionsAreReadAtStartAndWrittenWhenTheWindowCloses) {
    // A first run writes the defaults; a stored append choice is shown the next time.
    m_registry.CreateRegistryKey(kRoot, window::kSettingsKey);
    m_registry.SetRegistryString(kRoot, window::kSettingsKey, "CopyType", "1");
    m_registry.SetRegistryString(kRoot, window::kSettingsKey, "SubShape", "abc");
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test10_nested_shapes.vsdx"))}));
    EXPECT_TRUE(Control<QRadioButton>(QStringLiteral("optAppend"))->isChecked());
    EXPECT_TRUE(Control<QRadioButton>(QStringLiteral("optIgnoreSubShapes"))->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkCreateDestination"))->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(QStringLiteral("chkLeaveTessalineRunning"))->isChecked());
    EXPECT_EQ(m_registry.GetRegistryString(kRoot, window::kSettingsKey, "LeaveRunning"), "1");

    Control<QRadioButton>(QStringLiteral("optReplaceSubShapes"))->setChecked(true);
    Control<QCheckBox>(QStringLiteral("chkCopyShapeText"))->setChecked(true);
    Click(QStringLiteral("cmdClose"));
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(m_registry.GetRegistryString(kRoot, window::kSettingsKey, "SubShape"), "3");
    EXPECT_EQ(m_registry.GetRegistryString(kRoot, window::kSettingsKey, "CopyShapeText"), "1");
}

}  // namespace
}  // namespace tess::test
