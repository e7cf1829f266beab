// The Compare window on a real drawing: the source against the destination selected, for the
// sections ticked, before a copy and again after it.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>

#include "ui/CompareWindow.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

const QStringList kDrawing = {QStringLiteral("Application"),
                              QStringLiteral("test6_shape_properties.vsdx")};

class CompareWindowTest : public UiFixture {
protected:
    void SetUp() override {
        UiFixture::SetUp();
        ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
        Control<QCheckBox>(QStringLiteral("chkLeaveTessalineRunning"))->setChecked(true);
        MakeSource(Node(kDrawing + QStringList{QStringLiteral("Page-1"), QStringLiteral("Sheet.1")}));
        AddDestination(Node(kDrawing + QStringList{QStringLiteral("Page-1"), QStringLiteral("Sheet.5")}));
        AddDestination(Node(kDrawing + QStringList{QStringLiteral("Page-2"), QStringLiteral("Sheet.4")}));
        Control<QCheckBox>(QStringLiteral("chkShapeSection_3"))->setChecked(true);
    }
    ui::CompareWindow* Open() {
        auto* compare = Window().findChild<QAction*>(QStringLiteral("mnuCompareSourceDestination"));
        EXPECT_NE(compare, nullptr);
        if (!compare) return nullptr;
        compare->trigger();
        auto* window = Window().findChild<ui::CompareWindow*>(QStringLiteral("frmCompare"));
        EXPECT_TRUE(window && window->isVisible());
        return window;
    }
    /// Saves a picture of the window in the build folder's screenshots/dialogs (or the folder
    /// TESSALINE_UI_SHOTS names).
    static void Photograph(QWidget& window, const QString& name) {
        const QString shots = qEnvironmentVariable("TESSALINE_UI_SHOTS",
                                                   QStringLiteral(TESSALINE_SCREENSHOTS "/dialogs"));
        if (!shots.isEmpty() && QDir().mkpath(shots))
            window.grab().save(QDir(shots).filePath(name + QStringLiteral(".png")));
    }
    /// The texts of the top-level items and their children, indented by depth.
    static QStringList Shown(const QTreeWidget* tree) {
        QStringList lines;
        std::function<void(const QTreeWidgetItem*, const QString&)> add =
            [&](const QTreeWidgetItem* item, const QString& indent) {
                QStringList columns;
                for (int c = 0; c < item->columnCount(); ++c)
                    columns << item->text(c);
                while (!columns.isEmpty() && columns.back().isEmpty())
                    columns.removeLast();
                lines << indent + columns.join(QStringLiteral(" | "));
                for (int i = 0; i < item->childCount(); ++i)
                    add(item->child(i), indent + QStringLiteral("  "));
            };
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            add(tree->topLevelItem(i), {});
        return lines;
    }
};

TEST_F(CompareWindowTest, ShowsTheTickedSectionsOfTheSelectedDestinationBeforeAndAfterACopy) {
    // The second destination selected: the window compares with it.
    auto* destinations = Control<QTreeWidget>(QStringLiteral("lvwDestination"));
    destinations->setCurrentItem(destinations->topLevelItem(1));
    ui::CompareWindow* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Destinations()->currentIndex(), 1);
    EXPECT_EQ(window->Destinations()->count(), 2);
    const QStringList before = Shown(window->Differences());
    ASSERT_FALSE(before.isEmpty());
    EXPECT_EQ(before.front(), QStringLiteral("Custom Properties: differs")) << before.join('\n').toStdString();
    EXPECT_TRUE(before.contains(QStringLiteral("  Prop.my_property_name: only in the source")))
        << before.join('\n').toStdString();
    EXPECT_TRUE(before.contains(QStringLiteral("  Prop.Row_1: only in the destination")))
        << before.join('\n').toStdString();
    EXPECT_EQ(window->Summary()->text(), QStringLiteral("3 differences in the sections compared."));
    Photograph(*window, QStringLiteral("frmCompare-before-copy"));

    // After the copy, the destination just written is the same as the source.
    Click(QStringLiteral("cmdCopy"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
    EXPECT_EQ(Shown(window->Differences()), QStringList{QStringLiteral("Custom Properties: same")});
    EXPECT_EQ(window->Summary()->text(),
              QStringLiteral("The source and the destination are the same in the sections compared."));

    // Another section ticked, and the first destination chosen in the window.
    Control<QCheckBox>(QStringLiteral("chkShapeSection_1"))->setChecked(true);
    window->Refresh(0);
    const QStringList first = Shown(window->Differences());
    ASSERT_GE(first.size(), 2);
    EXPECT_EQ(first[0], QStringLiteral("Shape Transform: differs"));
    EXPECT_TRUE(first[1].startsWith(QStringLiteral("  PinX | 1.332677148526936 | ")))
        << first.join('\n').toStdString();
    Photograph(*window, QStringLiteral("frmCompare-after-copy"));
}

TEST_F(CompareWindowTest, SaysWhatIsMissingWithoutADestination) {
    Control<QTreeWidget>(QStringLiteral("lvwDestination"))->clear();
    Window().State().destinations.clear();
    ui::CompareWindow* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Differences()->topLevelItemCount(), 0);
    EXPECT_EQ(window->Summary()->text(),
              QStringLiteral("Choose a source and a destination on the Shapes tab first."));
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
}  // namespace tess::test
