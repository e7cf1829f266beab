// What a person met in a day's work with the window, each through the controls as they met it:
// a page gone from its drawing chosen as source, lists that went stale after the File menu,
// mnemonics claimed twice, a file name broken at its hyphen, and the wording of our texts.
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextLayout>
#include <map>

#include "platform/visio/Constants.h"
#include "support/ScriptedPrompt.h"
#include "ui/AboutBox.h"
#include "ui/CopyErrorDialogs.h"
#include "ui/DialogDriver.h"
#include "ui/UiFixture.h"

namespace tess::test {
namespace {

using Defects = UiFixture;

TEST_F(Defects, APageGoneFromItsDrawingIsRefusedAsSourceAndNothingElseChanges) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    Tick(Control<QRadioButton>(QStringLiteral("optApplication")));
    const QStringList drawing = {QStringLiteral("Application"),
                                 QStringLiteral("test6_shape_properties.vsdx")};
    // A page added and undone behind the window's back (in the host's own Edit menu): the tree
    // still shows it when it is picked.
    const visio::ApplicationPtr host = Program().TheDrawings().App();
    const int32_t scope = host->BeginUndoScope("Add Page");
    const std::string added = host->ActiveDocument()->Pages()->Add()->Name();
    host->EndUndoScope(scope, true);
    Click(QStringLiteral("cmdRefresh"));
    QTreeWidgetItem* page = Node(drawing + QStringList{QString::fromStdString(added)});
    ASSERT_NE(page, nullptr);
    ClickNode(Node(drawing + QStringList{QStringLiteral("Page-1")}));
    Click(QStringLiteral("cmdAddToSource"));
    const std::vector<window::ListItem> source = Window().State().source;
    const window::SectionBoxes boxes = Window().State().sections;
    host->Undo();

    ClickNode(page);
    Click(QStringLiteral("cmdAddToSource"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"'" + added +
                                                   "' no longer exists; it was not made the source."});
    ASSERT_EQ(Window().State().source.size(), 1u);
    EXPECT_EQ(Window().State().source[0].key, source[0].key) << "the source before it stays";
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwSource"))->topLevelItem(0)->text(0),
              QStringLiteral("Application\\test6_shape_properties.vsdx\\Page-1"));
    for (size_t i = 0; i < boxes.boxes.size(); ++i)
        EXPECT_EQ(Window().State().sections.boxes[i].enabled, boxes.boxes[i].enabled) << i;
    EXPECT_TRUE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());
}

TEST_F(Defects, ListItemsStayTheirShapesWhenTheFileMenuChangesTheTreeAndLeaveWithTheirDrawing) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx")),
                       QString::fromStdString(CopySample("test10_nested_shapes.vsdx"))}));
    // The Active Page scope of the last drawing opened: a member of an opened group and a shape.
    const visio::ApplicationPtr host = Program().TheDrawings().App();
    const visio::ShapesPtr shapes = host->ActivePage()->Shapes();
    const visio::ShapePtr member = shapes->Item("Sheet.7")->Shapes()->Item("Sheet.4");
    member->AddNamedRow(visio::visSectionUser, "Mark", 0);
    member->Cells("User.Mark")->SetFormula("7");
    const visio::ShapePtr destination = shapes->Item("Sheet.8");
    ClickNode(Node({QStringLiteral("Sheet.7"), QStringLiteral("Sheet.4")}));
    Click(QStringLiteral("cmdAddToSource"));
    ClickNode(Node({QStringLiteral("Sheet.8")}));
    Click(QStringLiteral("cmdAddToDest"));
    ClickTab(1);
    auto* userCells = Control<QCheckBox>(QStringLiteral("chkShapeSection_2"));
    ASSERT_TRUE(userCells->isEnabled());
    Tick(userCells);

    // Another drawing made active: the tree shows its page, the lists keep their shapes.
    Choose({QStringLiteral("File"), QStringLiteral("Active Drawing"),
            QStringLiteral("test6_shape_properties.vsdx")});
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("tvwShapes"))->topLevelItem(0)->text(0),
              QStringLiteral("data_prop_test"));
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwDestination"))->topLevelItemCount(), 1);
    Click(QStringLiteral("cmdCopy"));
    // (The two differ in kind, which the run warns of first.)
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Clone Complete.");
    EXPECT_EQ(destination->Cells("User.Mark")->Formula(), "7");

    // Its drawing closed, the items go, and the status bar says so.
    Choose({QStringLiteral("File"), QStringLiteral("Active Drawing"),
            QStringLiteral("test10_nested_shapes.vsdx")});
    TheDialogs().QueueAnswer(QMessageBox::Discard);
    Choose({QStringLiteral("File"), QStringLiteral("Close Drawing")});
    EXPECT_TRUE(Window().State().source.empty());
    EXPECT_TRUE(Window().State().destinations.empty());
    EXPECT_EQ(Control<QTreeWidget>(QStringLiteral("lvwDestination"))->topLevelItemCount(), 0);
    EXPECT_FALSE(Control<QAbstractButton>(QStringLiteral("cmdCopy"))->isEnabled());
    EXPECT_EQ(Window().statusBar()->currentMessage(),
              QStringLiteral("'test10_nested_shapes.vsdx' was closed: 2 of its objects left the "
                             "source and destination lists."));
}

TEST_F(Defects, TheRowListsShowWholeNamesStandClearAndTheArrowsOnlyWhereAMoveIsPossible) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    const std::string longName = "msvSDContainerNoHighlightWhenSelectedOrHovered";
    const visio::ShapePtr source = Program().TheDrawings().App()->Documents()->Item(int16_t{1})
                                       ->Pages()->Item("Page-1")->Shapes()->Item("Sheet.1");
    for (const std::string& name : {longName, std::string("Second"), std::string("Third")}) {
        source->AddNamedRow(visio::visSectionUser, name, 0);
        source->Cells("User." + name)->SetFormula("1");
    }
    auto* up = Control<QAbstractButton>(QStringLiteral("UpDown1_Up"));
    auto* down = Control<QAbstractButton>(QStringLiteral("UpDown1_Down"));
    ClickTab(3);
    EXPECT_FALSE(up->isEnabled()) << "nothing listed";
    EXPECT_FALSE(down->isEnabled()) << "nothing listed";

    ClickTab(0);
    Tick(Control<QRadioButton>(QStringLiteral("optApplication")));
    ClickNode(Node({QStringLiteral("Application"), QStringLiteral("test6_shape_properties.vsdx"),
                    QStringLiteral("Page-1"), QStringLiteral("Sheet.1")}));
    Click(QStringLiteral("cmdAddToSource"));
    ClickTab(1);
    Tick(Control<QCheckBox>(QStringLiteral("chkShapeSection_2")));

    // The Rows tab shows the one section chosen, its rows each clear of the next and as tall
    // as a check box needs.
    ClickTab(2);
    auto* rowsSection = Control<QComboBox>(QStringLiteral("cboRowsSection"));
    EXPECT_EQ(rowsSection->currentIndex(), 0) << "the section offered is not shown";
    auto* rows = Control<QListWidget>(QStringLiteral("lstRows"));
    ASSERT_GE(rows->count(), 3);
    QStyleOptionButton option;
    option.initFrom(rows);
    const int indicator = rows->style()->pixelMetric(QStyle::PM_IndicatorHeight, &option, rows);
    for (int i = 0; i + 1 < rows->count(); ++i) {
        const QRect row = rows->visualItemRect(rows->item(i));
        const QRect next = rows->visualItemRect(rows->item(i + 1));
        EXPECT_GE(row.height(), std::max(indicator, rows->fontMetrics().height())) << i;
        EXPECT_GE(next.top() - row.bottom() - 1, 2) << "row " << i << " touches the next";
    }

    // The Row Order tab: the same section, every name readable whole, and the arrows enabled
    // only for a selected row that can go that way.
    ClickTab(3);
    EXPECT_EQ(Control<QComboBox>(QStringLiteral("cboOrderSection"))->currentIndex(), 0);
    auto* next = Control<QListWidget>(QStringLiteral("lstNewOrder"));
    ASSERT_EQ(next->count(), 3);
    for (auto* list : {Control<QListWidget>(QStringLiteral("lstCurrentOrder")), next}) {
        QListWidgetItem* item = list->findItems(QString::fromStdString("User." + longName),
                                                Qt::MatchExactly).value(0);
        ASSERT_NE(item, nullptr) << list->objectName().toStdString();
        const int needed = list->fontMetrics().horizontalAdvance(item->text());
        // (The list lays its items out once the events waiting are handled.)
        const auto room = [&] {
            return list->viewport()->width() + list->horizontalScrollBar()->maximum();
        };
        EXPECT_TRUE(QTest::qWaitFor([&] { return room() >= needed; }, 1000))
            << "the name cannot be scrolled into view: " << room() << " < " << needed;
        EXPECT_GE(list->visualItemRect(item).width(), needed) << "the name is cut short";
        EXPECT_EQ(item->toolTip(), item->text());
    }
    EXPECT_FALSE(up->isEnabled()) << "no row selected";
    EXPECT_FALSE(down->isEnabled()) << "no row selected";
    ClickItem(next, next->model()->index(0, 0));
    EXPECT_FALSE(up->isEnabled()) << "the first row selected";
    EXPECT_TRUE(down->isEnabled());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(next->currentRow(), 1);
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_TRUE(up->isEnabled());
    EXPECT_FALSE(down->isEnabled()) << "the last row selected";
    EXPECT_EQ(next->item(2)->text(), QString::fromStdString("User." + longName));
}

/// The letters underlined in what a window shows now, each with the texts that claim it: its
/// menu bar, its tabs and its visible controls.
std::map<QString, QStringList> Mnemonics(QWidget& window) {
    std::map<QString, QStringList> letters;
    const auto add = [&](const QString& text) {
        const QString key = QKeySequence::mnemonic(text).toString();
        if (!key.isEmpty()) letters[key.toUpper()] << text;
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window)) continue;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) add(button->text());
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) add(label->text());
        if (auto* frame = qobject_cast<QGroupBox*>(widget)) add(frame->title());
        if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
        }
        if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
            for (QAction* action : bar->actions()) add(action->text());
        }
    }
    return letters;
}

void ExpectUnique(const std::map<QString, QStringList>& letters, const std::string& where) {
    for (const auto& [letter, texts] : letters)
        EXPECT_EQ(texts.size(), 1) << where << ": " << letter.toStdString() << " is claimed by "
                                   << texts.join(QStringLiteral(", ")).toStdString();
}

TEST_F(Defects, EveryMnemonicOfEachTabDialogAndMenuIsUnique) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    QTabBar* tabs = Window().TabStrip()->tabBar();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        ClickTab(tab);
        const std::map<QString, QStringList> letters = Mnemonics(Window());
        EXPECT_GT(letters.size(), 8u) << "the menu bar, the six tabs and Copy at least";
        ExpectUnique(letters, tabs->tabText(tab).toStdString());
    }
    for (QMenu* menu : Window().findChildren<QMenu*>()) {
        emit menu->aboutToShow();  // the drawing and page menus are filled as they open
        std::map<QString, QStringList> letters;
        for (QAction* action : menu->actions()) {
            const QString key = QKeySequence::mnemonic(action->text()).toString();
            if (!key.isEmpty()) letters[key.toUpper()] << action->text();
        }
        ExpectUnique(letters, menu->objectName().toStdString());
    }
    ScriptedPrompt prompt;
    const ui::CopyErrorDetails details;
    ui::AboutBox about(m_desktop);
    ui::CopyErrorDialog error(QStringLiteral("message"), {}, details, prompt);
    ui::CopyErrorDetailsDialog list(details, prompt);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&about, &error, &list})
        ExpectUnique(Mnemonics(*dialog), dialog->objectName().toStdString());
}

TEST_F(Defects, TheSavePromptKeepsAHyphenatedFileNameOnOneLine) {
    const std::string name = "north-building-floor-3-revision-b.vsdx";
    const std::string file = m_folder.Path(name);
    QFile::copy(QString::fromStdString(CopySample("test6_shape_properties.vsdx")),
                QString::fromStdString(file));
    ASSERT_TRUE(Start({QString::fromStdString(file)}));
    auto& drawings = Program().TheDrawings();
    drawings.Model().Shapes().AddPage(drawings.Documents().front());
    TheDialogs().SetScripted(false);
    DialogDriver driver;
    driver.Then(QStringLiteral("msgBox"), [&](QDialog& box) {
        auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        // The lines the label breaks its text into, at its width.
        const QString shown = label->text();
        QTextLayout layout(shown, label->font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
            line.setLineWidth(label->contentsRect().width());
        layout.endLayout();
        EXPECT_GT(layout.lineCount(), 1) << "the prompt wraps at this width";
        const qsizetype start = shown.indexOf(QLatin1Char('\'')) + 1;
        const qsizetype end = shown.lastIndexOf(QLatin1Char('\'')) - 1;
        EXPECT_EQ(end - start + 1, static_cast<qsizetype>(name.size()));
        EXPECT_EQ(layout.lineForTextPosition(static_cast<int>(start)).lineNumber(),
                  layout.lineForTextPosition(static_cast<int>(end)).lineNumber())
            << "the name is broken across lines";
        box.done(QMessageBox::Discard);
    });
    Window().close();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(Window().isVisible());
}

TEST(OurTexts, SubShapesAreWrittenOneWayWhereverTheTextsAreOurs) {
    // The string table's own texts (desktop program, ids from 1600) and the help; the captions
    // quoted from the options' design keep their wording.
    const QString quoted = QStringLiteral("Copy all sub shapes in source");
    QStringList texts;
    QFile table(QStringLiteral(TESSALINE_SOURCE_DIR "/resources/strings.tsv"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly | QIODevice::Text));
    for (const QString& line : QString::fromUtf8(table.readAll()).split(QLatin1Char('\n'))) {
        if (line.section(QLatin1Char('\t'), 0, 0).toInt() >= 1600)
            texts << line.section(QLatin1Char('\t'), 1).remove(quoted);
    }
    const QDir help(QStringLiteral(TESSALINE_SOURCE_DIR "/resources/help"));
    for (const QString& page : help.entryList({QStringLiteral("*.html")})) {
        QFile file(help.filePath(page));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        texts << QString::fromUtf8(file.readAll()).remove(quoted);
    }
    ASSERT_GT(texts.size(), 60);
    const QRegularExpression other(QStringLiteral("sub ?shape"), QRegularExpression::CaseInsensitiveOption);
    for (const QString& text : texts) EXPECT_FALSE(text.contains(other)) << text.left(200).toStdString();
}

}  // namespace
}  // namespace tess::test
