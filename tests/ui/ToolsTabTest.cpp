// The Tools tab on a real drawing: pages added to the source's and the destinations' drawings,
// the count as read from the text box, the stop at the first destination that is no drawing,
// and a click as one undo step.
#include <QAction>
#include <QLineEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <set>

#include "ui/ToolsTab.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

const QString kDrawing = QStringLiteral("test6_shape_properties.vsdx");
const QString kOther = QStringLiteral("test10_nested_shapes.vsdx");

class ToolsTab : public UiFixture {
protected:
    void StartOnTwoDrawings() {
        ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString())),
                           QString::fromStdString(CopySample(kOther.toStdString()))}));
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
        Window().TabStrip()->setCurrentWidget(&Window().Tools());
    }
    int16_t PageCount(const QString& document) {
        return Program().TheDrawings().App()->Documents()->Item(document.toStdString())->Pages()->Count();
    }
    QTreeWidgetItem* DrawingNode(const QString& document) {
        return Node({QStringLiteral("Application"), document});
    }
    /// The page nodes the tree shows under the first drawing's Pages heading, without opening
    /// anything.
    QStringList PageNodes() {
        QStringList texts;
        auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
        QTreeWidgetItem* drawing = tree->topLevelItem(0)->child(0);
        for (int i = 0; drawing && i < drawing->childCount(); ++i) {
            QTreeWidgetItem* heading = drawing->child(i);
            if (heading->text(0) != QStringLiteral("Pages")) continue;
            EXPECT_TRUE(heading->isExpanded() && drawing->isExpanded());
            for (int j = 0; j < heading->childCount(); ++j)
                texts << heading->child(j)->text(0);
        }
        return texts;
    }
    /// Types the count and presses a button; returns the pages it added to the document.
    int Add(const QString& count, const QString& button, const QString& document) {
        const int before = PageCount(document);
        auto* box = Control<QLineEdit>(QStringLiteral("txtNumberOfPagesToAdd"));
        box->clear();
        QTest::keyClicks(box, count);
        Click(button);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy pointer stayed";
        return PageCount(document) - before;
    }
};

TEST_F(ToolsTab, AddToSourceAddsPagesAsOneUndoStepAndTheTreeFollowsEveryChange) {
    StartOnTwoDrawings();
    auto* toSource = Control<QAbstractButton>(QStringLiteral("cmdAddPagesToSource"));
    EXPECT_FALSE(toSource->isEnabled());
    MakeSource(Node({QStringLiteral("Application"), kDrawing, QStringLiteral("Page-1")}));
    EXPECT_FALSE(toSource->isEnabled()) << "a page is no drawing";
    MakeSource(DrawingNode(kDrawing));
    ASSERT_TRUE(toSource->isEnabled());
    const auto document = Program().TheDrawings().App()->Documents()->Item(kDrawing.toStdString());
    const int16_t before = document->Pages()->Count();
    const int16_t other = PageCount(kOther);
    const QStringList pages = PageNodes();
    ASSERT_EQ(pages.size(), before);

    EXPECT_EQ(Add(QStringLiteral("3"), QStringLiteral("cmdAddPagesToSource"), kDrawing), 3);
    EXPECT_TRUE(Messages().empty());
    // The model names them as it names any new page: distinct, after the pages there were.
    std::set<std::string> names;
    for (int16_t i = 1; i <= document->Pages()->Count(); ++i) names.insert(document->Pages()->Item(i)->Name());
    EXPECT_EQ(names.size(), static_cast<size_t>(before + 3));
    EXPECT_EQ(PageCount(kOther), other);
    // The tree shows them at once, with the drawing still open where it was; the status bar
    // says what was added where.
    const QStringList added = PageNodes();
    EXPECT_EQ(added.size(), before + 3);
    EXPECT_EQ(added.mid(0, before), pages);
    EXPECT_EQ(Window().statusBar()->currentMessage(),
              QStringLiteral("3 pages added to %1.").arg(kDrawing));

    auto* undo = Window().findChild<QAction*>(QStringLiteral("mnuUndo"));
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Add Pages"));
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    QTest::keySequence(&Window(), undo->shortcut());
    EXPECT_EQ(document->Pages()->Count(), before) << "the three pages are one undo step";
    EXPECT_EQ(PageNodes(), pages) << "undone pages leave the tree";
    QTest::keySequence(&Window(),
                       Window().findChild<QAction*>(QStringLiteral("mnuRedo"))->shortcut());
    EXPECT_EQ(PageNodes(), added) << "redone pages come back";
    // The source, a drawing, was kept through it all.
    EXPECT_EQ(Window().State().source.size(), 1u);
}

TEST_F(ToolsTab, TheCountIsTheLeadingNumberRoundedToEvenAndTooLargeIsReported) {
    StartOnTwoDrawings();
    MakeSource(DrawingNode(kDrawing));
    const QString button = QStringLiteral("cmdAddPagesToSource");
    EXPECT_EQ(Add(QStringLiteral("2.5"), button, kDrawing), 2);
    EXPECT_EQ(Add(QStringLiteral("3.5"), button, kDrawing), 4);
    EXPECT_EQ(Add(QStringLiteral(" 1 page"), button, kDrawing), 1);
    EXPECT_EQ(Add(QStringLiteral("0"), button, kDrawing), 0);
    EXPECT_EQ(Add(QString(), button, kDrawing), 0);
    EXPECT_EQ(Add(QStringLiteral("-4"), button, kDrawing), 0);
    EXPECT_EQ(Add(QStringLiteral("many"), button, kDrawing), 0);
    EXPECT_EQ(Add(QStringLiteral("0.4"), button, kDrawing), 0);
    EXPECT_TRUE(Messages().empty());

    EXPECT_EQ(Add(QStringLiteral("32768"), button, kDrawing), 0);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0],
              "Problem in frmCellCopy.cmdAddPagesToSource_Click\r\nError Number: 6\r\n"
              "Error Description: Overflow");
    EXPECT_EQ(Add(QStringLiteral("1e9"), QStringLiteral("cmdAddPagesToSource"), kDrawing), 0);
    EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(ToolsTab, AddToDestinationStopsAtTheFirstDestinationThatIsNoDrawing) {
    StartOnTwoDrawings();
    auto* toDestination = Control<QAbstractButton>(QStringLiteral("cmdAddPagesToDest"));
    AddDestination(Node({QStringLiteral("Application"), kDrawing, QStringLiteral("Page-1"),
                         QStringLiteral("Sheet.5")}));
    EXPECT_FALSE(toDestination->isEnabled());
    AddDestination(DrawingNode(kDrawing));
    ASSERT_TRUE(toDestination->isEnabled());
    EXPECT_EQ(Add(QStringLiteral("2"), QStringLiteral("cmdAddPagesToDest"), kDrawing), 0)
        << "the shape listed first stops the run before the drawing";

    Control<QTreeWidget>(QStringLiteral("lvwDestination"))->selectAll();
    QTest::keyClick(Control<QTreeWidget>(QStringLiteral("lvwDestination")), Qt::Key_Delete);
    AddDestination(DrawingNode(kDrawing));
    AddDestination(Node({QStringLiteral("Application"), kDrawing, QStringLiteral("Page-1"),
                         QStringLiteral("Sheet.5")}));
    AddDestination(DrawingNode(kOther));
    ASSERT_EQ(Window().State().destinations.size(), 3u);
    const int other = PageCount(kOther);
    EXPECT_EQ(Add(QStringLiteral("2"), QStringLiteral("cmdAddPagesToDest"), kDrawing), 2);
    EXPECT_EQ(PageCount(kOther), other) << "drawings after the shape get nothing";
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ToolsTab, AnEmptySourceListIsReported) {
    StartOnTwoDrawings();
    Window().Tools().cmdAddPagesToSource_Click();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].rfind("Problem in frmCellCopy.cmdAddPagesToSource_Click", 0), 0u);
}

}  // namespace
}  // namespace tess::test
