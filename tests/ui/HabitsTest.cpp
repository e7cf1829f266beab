// What a person expects of a desktop program, through the window's own controls: the title and
// status bar following the drawings, the tree's filter and master names, context menus and
// several nodes at once, drawings dropped and opened again from the recent list, the window's
// place kept between runs, and files handed over by a second start.
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QDir>
#include <QAction>
#include <QLabel>
#include <QRadioButton>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <thread>

#include "platform/desktop/SingleInstance.h"
#include "platform/visio/Constants.h"
#include "ui/ShapesTab.h"
#include "ui/Resources.h"
#include "ui/ShapeTree.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

const QString kDrawing = QStringLiteral("test6_shape_properties.vsdx");
const QString kOther = QStringLiteral("test10_nested_shapes.vsdx");

class Habits : public UiFixture {
protected:
    /// The title as the window shows it (the changed mark put in).
    QString Title() {
        return QAccessible::queryAccessibleInterface(&Window())->text(QAccessible::Name);
    }
    QString Where() { return Control<QLabel>(QStringLiteral("staWhere"))->text(); }
    /// The texts of the tree's nodes shown now, in order, at every depth.
    QStringList Shown() {
        QStringList texts;
        for (QTreeWidgetItemIterator it(Control<QTreeWidget>(QStringLiteral("tvwShapes")),
                                        QTreeWidgetItemIterator::NotHidden);
             *it; ++it)
            texts << (*it)->text(0);
        return texts;
    }
    /// Opens the context menu of a view at a point of its viewport, as a right click does, and
    /// clicks the item of that object name.
    void ChooseFromMenu(QAbstractItemView* view, const QPoint& at, const QString& item) {
        bool chosen = false;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* action = menu ? menu->findChild<QAction*>(item) : nullptr;
            if (!action || !action->isEnabled()) {
                if (menu) menu->close();
                return;
            }
            chosen = true;
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        });
        // A right click: the press selects as it does, then the menu is asked for.
        QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        EXPECT_TRUE(chosen) << item.toStdString() << " was not offered";
    }
    QPoint At(QTreeWidgetItem* node) {
        QTreeWidget* tree = node->treeWidget();
        tree->scrollToItem(node);
        return tree->visualItemRect(node).center();
    }
};

TEST_F(Habits, TheTitleAndStatusBarFollowEveryChangeSaveUndoAndSwitch) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString())),
                       QString::fromStdString(CopySample(kOther.toStdString()))}));
    EXPECT_EQ(Title(), kOther + QStringLiteral(" — Tessaline"));
    const QString page = QString::fromStdString(Program().TheDrawings().App()->ActivePage()->Name());
    EXPECT_EQ(Where(), QStringLiteral("Drawing: %1    Page: %2    Destinations: 0").arg(kOther, page));

    // Pages added from the Tools tab: changed, and the status bar says what was done where.
    Tick(Control<QRadioButton>(QStringLiteral("optApplication")));
    ClickNode(Node({QStringLiteral("Application"), kOther}));
    Click(QStringLiteral("cmdAddToSource"));
    ClickNode(Node({QStringLiteral("Application"), kDrawing}));
    Click(QStringLiteral("cmdAddToDest"));
    EXPECT_TRUE(Where().endsWith(QStringLiteral("Destinations: 1"))) << Where().toStdString();
    ClickTab(5);
    auto* count = Control<QLineEdit>(QStringLiteral("txtNumberOfPagesToAdd"));
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("2"));
    Click(QStringLiteral("cmdAddPagesToSource"));
    EXPECT_EQ(Window().statusBar()->currentMessage(), QStringLiteral("2 pages added to %1.").arg(kOther));
    EXPECT_EQ(Title(), kOther + QStringLiteral("* — Tessaline"));

    Activate();
    const auto shortcut = [&](const char* action) {
        QTest::keySequence(&Window(), Window().findChild<QAction*>(QLatin1String(action))->shortcut());
    };
    shortcut("mnuSave");
    EXPECT_EQ(Title(), kOther + QStringLiteral(" — Tessaline"));
    EXPECT_EQ(Window().statusBar()->currentMessage(), QStringLiteral("Saved %1.").arg(kOther));
    // Undo and Redo change the drawing from what was saved, as in Visio.
    shortcut("mnuUndo");
    EXPECT_EQ(Title(), kOther + QStringLiteral("* — Tessaline")) << "undone after the save";
    shortcut("mnuSave");
    shortcut("mnuRedo");
    EXPECT_EQ(Title(), kOther + QStringLiteral("* — Tessaline")) << "redone after the save";

    Choose({QStringLiteral("File"), QStringLiteral("Active Drawing"), kDrawing});
    EXPECT_EQ(Title(), kDrawing + QStringLiteral(" — Tessaline"));
    EXPECT_TRUE(Where().startsWith(QStringLiteral("Drawing: ") + kDrawing)) << Where().toStdString();
}

TEST_F(Habits, TheFilterShowsWhatHoldsTheTextAndUnnamedShapesShowTheirMaster) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString()))}));
    // The drawing's active page: one instance named for its master, two unnamed, two plain.
    const QStringList all = {QStringLiteral("data_prop_test"),
                             QStringLiteral("Sheet.3 (data_prop_test)"),
                             QStringLiteral("Sheet.4 (data_prop_test)"), QStringLiteral("Sheet.5"),
                             QStringLiteral("Sheet.9")};
    EXPECT_EQ(Shown(), all);
    auto* filter = Control<QLineEdit>(QStringLiteral("txtFilter"));
    struct Case {
        const char* typed;
        QStringList shown;
    };
    for (const Case& item : std::vector<Case>{
             {"DATA_PROP", all.mid(0, 3)},       // by master, without regard to case
             {"sheet.9", {QStringLiteral("Sheet.9")}},
             {"master_test/Sheet.5", {QStringLiteral("Sheet.5")}},  // by address
             {"no such shape", {}},
             {"", all},
         }) {
        filter->clear();
        QTest::keyClicks(filter, QString::fromLatin1(item.typed));
        EXPECT_EQ(Shown(), item.shown) << item.typed;
    }

    // In the whole application, what holds the text is shown with the nodes above it, opened.
    Tick(Control<QRadioButton>(QStringLiteral("optApplication")));
    QTest::keyClicks(filter, QStringLiteral("page:Page-2/Sheet.4"));
    EXPECT_EQ(Shown(), (QStringList{QStringLiteral("Application"), kDrawing, QStringLiteral("Pages"),
                                    QStringLiteral("Page-2"), QStringLiteral("Sheet.4")}));
}

/// A drawing and the tree's scope for the filter's sweep over groups in groups.
struct FilterCase {
    const char* sample;
    const char* scope;
};

void PrintTo(const FilterCase& item, std::ostream* out) { *out << item.sample << " " << item.scope; }

class FilterOverGroups : public Habits, public ::testing::WithParamInterface<FilterCase> {
protected:
    QTreeWidget* Tree() { return Control<QTreeWidget>(QStringLiteral("tvwShapes")); }
    /// A tree built afresh in the case's scope, no node opened yet.
    void FreshTree() {
        const bool application = QLatin1String(GetParam().scope) == QLatin1String("optApplication");
        Tick(Control<QRadioButton>(application ? QStringLiteral("optActivePage")
                                               : QStringLiteral("optApplication")));
        Tick(Control<QRadioButton>(QString::fromLatin1(GetParam().scope)));
    }
    /// Opens every node that can be opened, as a person clicking each expand button does.
    void OpenEveryNode() {
        for (std::vector<QTreeWidgetItem*> closed = {nullptr}; !closed.empty();) {
            closed.clear();
            for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
                if (!(*it)->isExpanded() && ((*it)->childCount() > 0 || ui::ShapeTree::IsUnfilled(*it)))
                    closed.push_back(*it);
            }
            for (QTreeWidgetItem* node : closed)
                node->setExpanded(true);
        }
    }
    /// The shapes' nodes not hidden, each as its key and text, in the tree's order.
    QStringList ShapeNodes() {
        QStringList nodes;
        for (QTreeWidgetItemIterator it(Tree(), QTreeWidgetItemIterator::NotHidden); *it; ++it) {
            const int16_t image = ui::ShapeTree::Image(*it);
            if (image == visio::kImageShape || image == visio::kImageGroup)
                nodes << ui::ShapeTree::Key(*it) + QLatin1Char('|') + (*it)->text(0);
        }
        return nodes;
    }
};

// Typing into the filter fills every group down to its last member, the same nodes as opening
// each node by hand gives, also when a group was opened by hand before.
TEST_P(FilterOverGroups, FindsEveryShapeThatOpeningEachNodeShows) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(GetParam().sample))}));
    FreshTree();
    OpenEveryNode();
    const QStringList everyShape = ShapeNodes();
    int inGroups = 0;
    for (QTreeWidgetItemIterator it(Tree()); *it; ++it)
        inGroups += ui::ShapeTree::Image((*it)->parent()) == visio::kImageGroup;
    ASSERT_GT(inGroups, 0) << "the drawing should have shapes in groups";

    auto* filter = Control<QLineEdit>(QStringLiteral("txtFilter"));
    for (const bool groupOpenedFirst : {false, true}) {
        filter->clear();
        FreshTree();
        if (groupOpenedFirst) {
            for (QTreeWidgetItemIterator it(Tree()); *it; ++it) {
                if (ui::ShapeTree::Image(*it) == visio::kImageGroup && ui::ShapeTree::IsUnfilled(*it)) {
                    (*it)->setExpanded(true);
                    break;
                }
            }
        }
        QTest::keyClicks(filter, QStringLiteral("sheet"));  // in every shape's address
        EXPECT_EQ(ShapeNodes(), everyShape) << "a group opened first: " << groupOpenedFirst;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Habits, FilterOverGroups,
    ::testing::Values(FilterCase{"test10_nested_shapes.vsdx", "optActivePage"},
                      FilterCase{"ppbt-architecture.vsdx", "optActivePage"},
                      FilterCase{"ppbt-architecture.vsdx", "optApplication"}));

TEST_F(Habits, ContextMenusAddSeveralNodesAtOnceAndFindListItemsInTheTree) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString()))}));
    auto* tree = Control<QTreeWidget>(QStringLiteral("tvwShapes"));
    auto* destinations = Control<QTreeWidget>(QStringLiteral("lvwDestination"));
    auto* source = Control<QTreeWidget>(QStringLiteral("lvwSource"));
    const auto node = [&](int row) { return tree->topLevelItem(row); };

    ChooseFromMenu(tree, At(node(4)), QStringLiteral("mnuSetAsSource"));
    ASSERT_EQ(source->topLevelItemCount(), 1);
    EXPECT_TRUE(source->topLevelItem(0)->text(0).startsWith(QStringLiteral("Sheet.9")));
    ClickNode(node(1));
    ClickNode(node(3), Qt::ControlModifier);
    ClickNode(node(2), Qt::ControlModifier);
    ChooseFromMenu(tree, At(node(2)), QStringLiteral("mnuAddAsDestination"));
    ASSERT_EQ(destinations->topLevelItemCount(), 3);
    for (int i = 0; i < 3; ++i)  // in the tree's order
        EXPECT_TRUE(destinations->topLevelItem(i)->text(0).startsWith(QStringLiteral("Sheet.%1").arg(i + 3)))
            << destinations->topLevelItem(i)->text(0).toStdString();
    EXPECT_EQ(Window().State().destinations.size(), 3u);

    tree->clearSelection();
    ClickItem(destinations, destinations->model()->index(1, 0));
    ChooseFromMenu(destinations, At(destinations->topLevelItem(1)), QStringLiteral("mnuShowInTree"));
    EXPECT_EQ(tree->currentItem(), node(2));
    EXPECT_TRUE(node(2)->isSelected());
    ChooseFromMenu(destinations, At(destinations->topLevelItem(1)), QStringLiteral("mnuRemove"));
    EXPECT_EQ(destinations->topLevelItemCount(), 2);
    ChooseFromMenu(destinations, QPoint(5, 5), QStringLiteral("mnuClear"));
    EXPECT_EQ(destinations->topLevelItemCount(), 0);
    EXPECT_TRUE(Window().State().destinations.empty());
    ChooseFromMenu(source, At(source->topLevelItem(0)), QStringLiteral("mnuRemove"));
    EXPECT_TRUE(Window().State().source.empty());
}

TEST_F(Habits, ADroppedDrawingOpensAndTheRecentListOpensItAgain) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString()))}));
    const QString other = QDir::cleanPath(QString::fromStdString(CopySample(kOther.toStdString())));
    const QString notes = QString::fromStdString(m_folder.Path("notes.txt"));
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(notes)});
    QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(&Window(), &refused);
    EXPECT_FALSE(refused.isAccepted()) << "only drawings are taken";

    QMimeData drawing;
    drawing.setUrls({QUrl::fromLocalFile(other)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &drawing, Qt::LeftButton, {});
    QApplication::sendEvent(&Window(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &drawing, Qt::LeftButton, {});
    QApplication::sendEvent(&Window(), &drop);
    EXPECT_EQ(Title(), kOther + QStringLiteral(" — Tessaline")) << "the drawing dropped is active";
    EXPECT_EQ(Window().statusBar()->currentMessage(), QStringLiteral("Opened %1.").arg(kOther));

    Choose({QStringLiteral("File"), QStringLiteral("Close Drawing")});
    EXPECT_EQ(Program().TheDrawings().Documents().size(), 1u);
    emit Window().findChild<QMenu*>(QStringLiteral("mnuFile"))->aboutToShow();
    auto* recent = Window().findChild<QMenu*>(QStringLiteral("mnuRecentFiles"));
    QStringList items;
    for (QAction* action : recent->actions()) items << action->text();
    const QString first = QStringLiteral("1 ") + QDir::toNativeSeparators(other);
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(QString(items[0]).remove(QLatin1Char('&')), first) << "the latest first";
    EXPECT_TRUE(items[1].endsWith(kDrawing));
    Choose({QStringLiteral("File"), QStringLiteral("Recent Files"), first});
    EXPECT_EQ(Program().TheDrawings().Documents().size(), 2u);
    EXPECT_EQ(Title(), kOther + QStringLiteral(" — Tessaline"));
}

TEST_F(Habits, TheWindowComesBackWhereAndAsLargeAsItWasLeft) {
    const QStringList files = {QString::fromStdString(CopySample(kDrawing.toStdString()))};
    ASSERT_TRUE(Start(files));
    EXPECT_GE(Window().height(), Window().minimumHeight());
    EXPECT_GE(Window().minimumHeight(), ui::Twips(8655)) << "never smaller than the design";
    const QRect area = Window().screen()->availableGeometry();
    const QRect placed(area.left() + 11, area.top() + 7, Window().minimumWidth() + 90,
                       std::min(area.height() - 20, Window().minimumHeight() + 10));
    Window().setGeometry(placed);
    Window().Shapes().Panes()->setSizes({150, 220});
    const QList<int> panes = Window().Shapes().Panes()->sizes();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Window().geometry() == placed; }));
    Window().close();

    ASSERT_TRUE(Start(files));
    EXPECT_EQ(Window().geometry(), placed);
    EXPECT_EQ(Window().Shapes().Panes()->sizes(), panes);
}

TEST_F(Habits, ASecondStartHandsItsFilesToTheRunningCopyAndEnds) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample(kDrawing.toStdString()))}));
    const QString other = QString::fromStdString(CopySample(kOther.toStdString()));
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    second.setProcessEnvironment(environment);
    // Started from the folder the file is in, named as the file manager may name it.
    second.setWorkingDirectory(QString::fromStdString(m_folder.Path("")));
    second.start(QStringLiteral(TESSALINE_PROGRAM), {kOther});
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Program().TheDrawings().Documents().size() == 2; }));
    EXPECT_EQ(Title(), kOther + QStringLiteral(" — Tessaline")) << "the file handed over is active";
    EXPECT_TRUE(Window().isVisible());
    EXPECT_TRUE(Messages().empty());
}

// Copies started with runtime folders of their own (other sessions, tests side by side) each keep
// a lock and a socket of their own: a later copy hands its files to the copy of its own folder,
// never to one that started afterwards elsewhere.
TEST(HandOver, ReachesTheCopyOfItsOwnRuntimeFolder) {
    using desktop::SingleInstance;
    TempFolder folder;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const auto useRuntime = [&](const std::string& name) {
        std::filesystem::create_directories(folder.Path(name));
        std::filesystem::permissions(folder.Path(name), std::filesystem::perms::owner_all);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder.Path(name)));
    };
    const QString name = QStringLiteral("tessaline-hand-over");
    std::vector<std::string> toFirst;  // each hand-over's files, joined
    std::vector<std::string> toSecond;
    useRuntime("first");
    SingleInstance first(name);
    ASSERT_TRUE(first.Acquire());
    first.SetOnHandOver([&](const QStringList& files) {
        toFirst.push_back(files.join(QLatin1Char('|')).toStdString());
    });
    useRuntime("second");
    SingleInstance second(name);
    ASSERT_TRUE(second.Acquire()) << "another runtime folder: another copy";
    second.SetOnHandOver([&](const QStringList& files) {
        toSecond.push_back(files.join(QLatin1Char('|')).toStdString());
    });

    useRuntime("first");
    SingleInstance later(name);
    EXPECT_FALSE(later.Acquire());
    bool handed = false;
    std::thread hand([&] {
        handed = later.HandOver({QStringLiteral("/d/a.vsdx"), QStringLiteral("/d/b.vsdx")});
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return toFirst.size() + toSecond.size() > 0; }, 30000));
    hand.join();
    EXPECT_TRUE(handed);
    EXPECT_EQ(toFirst, std::vector<std::string>{"/d/a.vsdx|/d/b.vsdx"});
    EXPECT_EQ(toSecond, std::vector<std::string>{});
    if (oldRuntime.isEmpty()) qunsetenv("XDG_RUNTIME_DIR");
    else qputenv("XDG_RUNTIME_DIR", oldRuntime);
}

TEST(HandOver, OnlyAWholeMessageOfAbsolutePathsIsTaken) {
    using desktop::SingleInstance;
    const QByteArray header = QByteArrayLiteral("tessaline-open 1\n");
    EXPECT_EQ(SingleInstance::DecodeHandOver(SingleInstance::EncodeHandOver(
                  {QStringLiteral("/d/a b.vsdx"), QStringLiteral("/d/ü.vsdx")})),
              (QStringList{QStringLiteral("/d/a b.vsdx"), QStringLiteral("/d/ü.vsdx")}));
    EXPECT_EQ(SingleInstance::DecodeHandOver(SingleInstance::EncodeHandOver({})), QStringList{})
        << "no files: only come to the front";
    QByteArray tooMany = header;
    for (qsizetype i = 0; i <= SingleInstance::kMaxFiles; ++i) tooMany += "/d/x.vsdx\n";
    for (const QByteArray& message : {
             QByteArray("tessaline-open 2\n/d/a.vsdx\n\n"),  // another header
             header + "/d/a.vsdx\n",                         // not yet ended
             header + "d/a.vsdx\n\n",                        // relative
             header + "/d/a\tb.vsdx\n\n",                    // a control character
             header + "/d/a.vsdx\n\n/d/b.vsdx\n\n",          // an empty line inside
             header + "/d/\xff.vsdx\n\n",                    // not UTF-8
             tooMany + "\n",
             header + QByteArray(SingleInstance::kMaxMessageBytes, '/') + "\n\n",
         }) {
        EXPECT_EQ(SingleInstance::DecodeHandOver(message), std::nullopt) << message.left(60).toStdString();
    }
}

}  // namespace
}  // namespace tess::test
