// The copy error dialogs answered during real copy runs from the window, the details they show,
// the About box with its links, the Help menu, the program's icons and the window helpers.
#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>
#include <memory>

#include "platform/desktop/DesktopServices.h"
#include "platform/visio/Constants.h"
#include "support/ScriptedPrompt.h"
#include "ui/AboutBox.h"
#include "ui/CopyErrorDialogs.h"
#include "ui/DialogDriver.h"
#include "ui/Layout.h"
#include "ui/Resources.h"
#include "ui/UiFixture.h"
#include "ui/WindowHelpers.h"

namespace tess::test {
namespace {

using namespace visio;

const QString kCauseRow = QStringLiteral(
    "A reference is made to a section or row that does not exist in the destination shape.");
const QString kCauseShape =
    QStringLiteral("A reference to a shape in the formula cannot be resolved.");

/// The text of a label, or of a read-only text box standing in for one.
QString LabelText(QWidget& window, const QString& name) {
    if (auto* box = window.findChild<QTextEdit*>(name)) return box->toPlainText();
    auto* label = window.findChild<QLabel*>(name);
    EXPECT_NE(label, nullptr) << name.toStdString();
    return label ? label->text() : QString();
}

class CopyErrors : public UiFixture {
protected:
    /// Sheet.1 gets a row of its own and two formulas that name it; copying Scratch and Line
    /// Format to shapes that lack the row has each of them refused once per destination.
    void StartWithRefusals() {
        ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
        const ApplicationPtr application = Program().TheDrawings().App();
        const ShapePtr source = Shape("Page-1", "Sheet.1");
        source->AddNamedRow(visSectionUser, "Only", 0);
        source->Cells("User.Only")->SetFormula("1");
        source->AddSection(visSectionScratch);
        source->AddRow(visSectionScratch, visRowLast, 0);
        source->CellsSRC(visSectionScratch, 0, 0)->SetFormula("User.Only*2");
        source->Cells("LinePattern")->SetFormula("User.Only");
        Control<QRadioButton>(QStringLiteral("optApplication"))->click();
        MakeSource(Node(Path({QStringLiteral("Page-1"), QStringLiteral("Sheet.1")})));
        AddDestination(Node(Path({QStringLiteral("Page-1"), QStringLiteral("Sheet.5")})));
        AddDestination(Node(Path({QStringLiteral("Page-2"), QStringLiteral("Sheet.4")})));
        for (const int box : {9, 13}) {
            auto* check = Control<QCheckBox>(QStringLiteral("chkShapeSection_%1").arg(box));
            ASSERT_TRUE(check->isEnabled()) << box;
            check->setChecked(true);
        }
    }
    static QStringList Path(const QStringList& below) {
        return QStringList{QStringLiteral("Application"),
                           QStringLiteral("test6_shape_properties.vsdx")} + below;
    }
    ShapePtr Shape(const std::string& page, const std::string& shape) {
        return Program().TheDrawings().App()->Documents()->Item(int16_t{1})->Pages()->Item(page)
            ->Shapes()->Item(shape);
    }
    void Continue(DialogDriver& driver, int times) {
        for (int i = 0; i < times; ++i)
            driver.Then(QStringLiteral("frmCopyError"),
                        [](QDialog& dialog) { ClickIn(dialog, QStringLiteral("cmdOK")); });
    }
};

TEST_F(CopyErrors, ContinueDetailsAndCancelRunAnswerARealCopy) {
    StartWithRefusals();
    auto driver = std::make_unique<DialogDriver>();
    QStringList shown;
    driver->Then(QStringLiteral("frmCopyError"), [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Tessaline Copy Error"));
        shown << LabelText(dialog, QStringLiteral("lblMsg"));
        // Details twice, then Continue: the dialog waits for each Details to close.
        ClickIn(dialog, QStringLiteral("cmdDetails"));
        ClickIn(dialog, QStringLiteral("cmdDetails"));
        EXPECT_TRUE(dialog.isVisible());
        ClickIn(dialog, QStringLiteral("cmdOK"));
    });
    for (int time = 0; time < 2; ++time) {
        driver->Then(QStringLiteral("frmCopyErrorDetails"), [&](QDialog& details) {
            EXPECT_EQ(details.windowTitle(), QStringLiteral("Copy Error Details"));
            const QStringList formulas = Items(details, QStringLiteral("lstOriginal"));
            EXPECT_TRUE(formulas.contains(QStringLiteral("Scratch.X1 = User.Only*2")))
                << formulas.join(QLatin1Char('|')).toStdString();
            EXPECT_EQ(Items(details, QStringLiteral("lstModified")), (QStringList{kCauseRow, kCauseShape}));
            ClickIn(details, QStringLiteral("cmdOK"));
        });
    }
    Continue(*driver, 3);  // Line Format on Sheet.5, then both on Sheet.4
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver->Done());
    driver.reset();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("ERROR: "))) << shown[0].toStdString();
    EXPECT_TRUE(shown[0].endsWith(QStringLiteral("There was an error copying the cells\nin section:  'Scratch'")))
        << shown[0].toStdString();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
    const ShapePtr second = Shape("Page-2", "Sheet.4");
    EXPECT_EQ(second->RowCount(visSectionScratch), 1) << "the run went on to the second shape";

    // Undone, and again with Cancel Run at the first refusal: nothing more is shown or copied.
    Window().findChild<QAction*>(QStringLiteral("mnuUndo"))->trigger();
    ASSERT_EQ(second->RowCount(visSectionScratch), 0);
    TheDialogs().Reset();
    TheDialogs().SetScripted(true);
    DialogDriver cancelling;
    cancelling.Then(QStringLiteral("frmCopyError"),
                    [](QDialog& dialog) { ClickIn(dialog, QStringLiteral("cmdCancel")); });
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(cancelling.Done());
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_EQ(second->RowCount(visSectionScratch), 0) << "the cancelled run reached Sheet.4";
    EXPECT_NE(Shape("Page-1", "Sheet.5")->Cells("LinePattern")->Formula(), "User.Only");
}

TEST_F(CopyErrors, UnloadClosesTheOpenDialogsAndTheRunGoesOn) {
    StartWithRefusals();
    DialogDriver driver;
    driver.Then(QStringLiteral("frmCopyError"),
                [](QDialog& dialog) { ClickIn(dialog, QStringLiteral("cmdDetails")); });
    driver.Then(QStringLiteral("frmCopyErrorDetails"), [&](QDialog&) {
        Program().Unload("frmCopyError");
        Program().Unload("frmCopyErrorDetails");
    });
    Continue(driver, 3);
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
}

TEST_F(CopyErrors, TheProgressStepsAsideForEachQuestionAndIsGoneBeforeTheRunsLastWord) {
    StartWithRefusals();
    TheDialogs().SetScripted(false);
    const auto progress = [&]() -> QProgressDialog* {
        return Window().findChild<QProgressDialog*>();
    };
    DialogDriver driver;
    // The first refusal keeps the person a while: the rest of the run has its progress dialog.
    driver.Then(QStringLiteral("frmCopyError"), [](QDialog& dialog) {
        QTest::qWait(600);
        ClickIn(dialog, QStringLiteral("cmdOK"));
    });
    int asideCount = 0;
    for (int refusal = 2; refusal <= 4; ++refusal) {
        driver.Then(QStringLiteral("frmCopyError"), [&](QDialog& dialog) {
            if (QProgressDialog* shown = progress()) {
                ++asideCount;
                EXPECT_FALSE(shown->isVisible()) << "the progress is shown behind the question";
            }
            ClickIn(dialog, QStringLiteral("cmdOK"));
        });
    }
    driver.Then(QStringLiteral("msgBox"), [&](QDialog& box) {
        EXPECT_EQ(static_cast<QMessageBox&>(box).text(), QStringLiteral("Clone Complete."));
        QProgressDialog* shown = progress();
        EXPECT_TRUE(!shown || !shown->isVisible()) << "the progress is shown behind the last word";
        QTest::mouseClick(static_cast<QMessageBox&>(box).button(QMessageBox::Ok), Qt::LeftButton);
    });
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done());
    EXPECT_GE(asideCount, 1) << "no question came while the progress dialog was up";
}

TEST_F(CopyErrors, TheDialogShowsTheWholeFormulaWhereItWasRefusedAndOpensOverTheWindow) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    const ShapePtr source = Shape("Page-1", "Sheet.1");
    source->AddNamedRow(visSectionUser, "Only", 0);
    source->Cells("User.Only")->SetFormula("1");
    std::string formula = "User.Only";
    for (int i = 0; i < 40; ++i) formula += "+User.Only";
    source->AddSection(visSectionScratch);
    source->AddRow(visSectionScratch, visRowLast, 0);
    source->CellsSRC(visSectionScratch, 0, 0)->SetFormula(formula);
    Tick(Control<QRadioButton>(QStringLiteral("optApplication")));
    ClickNode(Node(Path({QStringLiteral("Page-1"), QStringLiteral("Sheet.1")})));
    Click(QStringLiteral("cmdAddToSource"));
    ClickNode(Node(Path({QStringLiteral("Page-1"), QStringLiteral("Sheet.5")})));
    Click(QStringLiteral("cmdAddToDest"));
    ClickTab(1);
    Tick(Control<QCheckBox>(QStringLiteral("chkShapeSection_9")));
    Window().move(0, 0);  // away from the screen's centre

    DialogDriver driver;
    driver.Then(QStringLiteral("frmCopyError"), [&](QDialog& dialog) {
        EXPECT_EQ(LabelText(dialog, QStringLiteral("lblWhere")).toStdString(),
                  "Destination 1 of 1: Application\\test6_shape_properties.vsdx\\Page-1\\Sheet.5\n"
                  "Refused: Scratch.X1 = " + formula);
        auto* message = dialog.findChild<QWidget*>(QStringLiteral("lblMsg"));
        ASSERT_NE(message, nullptr);
        EXPECT_TRUE(LabelText(dialog, QStringLiteral("lblMsg")).contains(QString::fromStdString(formula)));
        EXPECT_EQ(CutText(*message), "");
        EXPECT_EQ(CutTexts(dialog), std::vector<std::string>{});
        const QPoint offCentre = dialog.frameGeometry().center() - Window().frameGeometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 2) << "not centred on the window";
        ClickIn(dialog, QStringLiteral("cmdDetails"));
        ClickIn(dialog, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyErrorDetails"), [&](QDialog& details) {
        const QStringList formulas = Items(details, QStringLiteral("lstOriginal"));
        ASSERT_GE(formulas.size(), 2);
        EXPECT_EQ(formulas[0].toStdString(), "Scratch.X1 = " + formula);
        EXPECT_TRUE(formulas[1].startsWith(QStringLiteral("Scratch.Y1 = "))) << formulas[1].toStdString();
        EXPECT_EQ(CutTexts(details), std::vector<std::string>{});
        ClickIn(details, QStringLiteral("cmdOK"));
    });
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done()) << (Messages().empty() ? "" : Messages().front());
}

TEST(CopyErrorDetails, FormulasShowFromAnUpperIndexAboveZeroAndTheCausesAlways) {
    ui::CopyErrorDetails details;
    ScriptedPrompt prompt;
    const auto shows = [&](const QString& list) {
        ui::CopyErrorDetailsDialog dialog(details, prompt);
        return Items(dialog, list);
    };
    EXPECT_TRUE(shows(QStringLiteral("lstOriginal")).isEmpty()) << "nothing ever stored";
    EXPECT_EQ(shows(QStringLiteral("lstModified")), (QStringList{kCauseRow, kCauseShape}));
    details.formulas = {"Width*2"};
    details.hasFormulas = true;
    EXPECT_TRUE(shows(QStringLiteral("lstOriginal")).isEmpty()) << "upper index 0";
    details.formulas = {"Width*2", "Height", "User.Only"};
    EXPECT_EQ(shows(QStringLiteral("lstOriginal")),
              (QStringList{QStringLiteral("Width*2"), QStringLiteral("Height"),
                           QStringLiteral("User.Only")}));
}

using AboutAndHelp = UiFixture;

TEST_F(AboutAndHelp, TheAboutBoxShowsItsTextsAndOpensExactlyItsLinks) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    RecordingDesktop& desktop = m_desktop;
    auto driver = std::make_unique<DialogDriver>();
    driver->Then(QStringLiteral("frmAbout"), [&](QDialog& box) {
        EXPECT_EQ(box.windowTitle(), ui::Res(201));
        EXPECT_GE(box.width(), ui::Twips(7590)) << "never narrower than the design";
        // The texts share one left edge; each part follows the one above closely without
        // touching it; the links keep a margin from the right edge.
        const auto at = [&](const char* name) {
            auto* part = box.findChild<QWidget*>(QLatin1String(name));
            EXPECT_NE(part, nullptr) << name;
            return part ? QRect(part->mapTo(&box, QPoint()), part->size()) : QRect();
        };
        const int line = box.fontMetrics().height();
        const std::vector<const char*> parts = {
            "lblTitle",  "lblDescription", "Frame2", "lblMarketingMessage1", "lblMarketingMessage2",
            "Frame3",    "lblDisclaimer",  "Frame1", "cmdOK"};
        for (size_t i = 0; i < parts.size(); ++i) {
            if (QString::fromLatin1(parts[i]).startsWith(QLatin1String("lbl"))) {
                EXPECT_EQ(at(parts[i]).left(), at("lblTitle").left()) << parts[i];
            }
            if (i == 0) continue;
            const int gap = at(parts[i]).top() - at(parts[i - 1]).bottom() - 1;
            EXPECT_GE(gap, 2) << parts[i] << " touches " << parts[i - 1];
            EXPECT_LE(gap, 2 * line) << "an empty band above " << parts[i];
        }
        for (const char* link : {"lblMarketingMessageLink1", "lblMarketingMessageLink2"})
            EXPECT_LE(at(link).right() + ui::Twips(90), box.width()) << link << " at the edge";
        EXPECT_EQ(CutTexts(box), std::vector<std::string>{});
        EXPECT_EQ(LabelText(box, QStringLiteral("lblTitle")),
                  QStringLiteral("Tessaline 2003 (Build %1)").arg(QStringLiteral(TESSALINE_VERSION)));
        EXPECT_EQ(LabelText(box, QStringLiteral("lblDescription")), ui::Res(203));
        EXPECT_EQ(LabelText(box, QStringLiteral("lblDisclaimer")), ui::Res(206));
        EXPECT_EQ(LabelText(box, QStringLiteral("lblMarketingMessage1")), ui::Res(1503));
        EXPECT_EQ(LabelText(box, QStringLiteral("lblMarketingMessage2")), ui::Res(1504));
        auto* picture = box.findChild<QLabel*>(QStringLiteral("pctAboutSplash"));
        ASSERT_NE(picture, nullptr);
        EXPECT_FALSE(picture->pixmap().isNull());
        auto* link1 = box.findChild<QLabel*>(QStringLiteral("lblMarketingMessageLink1"));
        auto* link2 = box.findChild<QLabel*>(QStringLiteral("lblMarketingMessageLink2"));
        ASSERT_TRUE(link1 && link2);
        for (QLabel* link : {link1, link2}) {
            EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
            EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
            // Each line ends in its link, on one line, inside the box.
            EXPECT_LE(link->geometry().right(), box.width());
        }
        QTest::mouseClick(link1, Qt::LeftButton);
        link2->setFocus();
        QTest::keyClick(link2, Qt::Key_Space);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link1);
        ASSERT_NE(accessible, nullptr);
        EXPECT_EQ(accessible->role(), QAccessible::Link);
        ASSERT_NE(accessible->actionInterface(), nullptr);
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        ClickIn(box, QStringLiteral("cmdOK"));
    });
    Window().findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_TRUE(driver->Done());
    driver.reset();
    EXPECT_EQ(desktop.opened, (QStringList{QStringLiteral("http://") + ui::Res(1501),
                                           QStringLiteral("http://") + ui::Res(1502),
                                           QStringLiteral("http://") + ui::Res(1501)}));
    EXPECT_EQ(ui::Res(1501), QStringLiteral("consulting.tessaline.example"));

    // Unload closes it as the program ends.
    DialogDriver unloading;
    unloading.Then(QStringLiteral("frmAbout"), [&](QDialog&) { Program().Unload("frmAbout"); });
    Window().findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
    EXPECT_TRUE(unloading.Done());
}

TEST(AboutBox, TheBuildTextIsMajorMinorRevisionAndThePlaceholderIsReplaced) {
    EXPECT_EQ(ui::BuildText(QStringLiteral("2.1.7")), QStringLiteral("Build 2.1.7"));
    EXPECT_EQ(ui::BuildText(QStringLiteral("2.1")), QStringLiteral("Build 2.1.0"));
    EXPECT_EQ(ui::ReplacePlaceHolder(QStringLiteral("A %s B %s"), QStringLiteral("%s!"),
                                     QStringLiteral("%s"), -1),
              QStringLiteral("A %s! B %s!"));
    EXPECT_EQ(ui::ReplacePlaceHolder(QStringLiteral("A %s B %s"), QStringLiteral("x"),
                                     QStringLiteral("%s"), 1),
              QStringLiteral("A x B %s"));
}

TEST_F(AboutAndHelp, HelpContentsOpensTheHelpBesideTheProgram) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    RecordingDesktop& desktop = m_desktop;
    Window().findChild<QAction*>(QStringLiteral("mnuContent"))->trigger();
    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_TRUE(desktop.opened[0].endsWith(QStringLiteral("/help/index.html")));
    QFile page(desktop.opened[0]);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QByteArray text = page.readAll();
    EXPECT_TRUE(text.contains("<title>Tessaline Help"));
    for (const char* linked : {"tools.html", "copy.html", "command-line.html", "menus.html"}) {
        EXPECT_TRUE(text.contains(linked)) << linked;
        EXPECT_TRUE(QFile::exists(QFileInfo(desktop.opened[0]).dir().filePath(QLatin1String(linked)))) << linked;
    }
}

TEST_F(AboutAndHelp, TheProgramAndTreeIconsAreItsOwnDrawings) {
    ASSERT_TRUE(Start({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))}));
    for (const char* name : {"tessaline", "application", "drawing", "stencil", "page", "master",
                             "group", "shape", "help", "about", "about-splash"}) {
        EXPECT_TRUE(QFile::exists(QStringLiteral(":/tessaline/icons/%1.svg").arg(QLatin1String(name)))) << name;
        EXPECT_FALSE(ui::OwnIcon(name).isNull()) << name << " cannot be drawn";
    }
    EXPECT_EQ(Window().windowIcon().pixmap(32).toImage(), ui::AppIcon().pixmap(32).toImage());
    EXPECT_EQ(ui::NodeIcon(7).pixmap(16).toImage(), ui::OwnIcon("shape").pixmap(16).toImage());
    EXPECT_FALSE(Window().findChild<QAction*>(QStringLiteral("mnuContent"))->icon().isNull());
}

TEST(WindowHelpers, CenterFormCentresByTheOuterSizeAndGoesNegativeWhenTooLarge) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QWidget small;
    small.resize(200, 100);
    ui::CenterForm(small);
    EXPECT_EQ(small.pos(), QPoint(screen.x() + screen.width() / 2 - 100,
                                  screen.y() + screen.height() / 2 - 50));
    QWidget large;
    large.resize(screen.width() + 400, screen.height() + 300);
    ui::CenterForm(large);
    EXPECT_LT(large.x(), screen.x());
    EXPECT_LT(large.y(), screen.y());
}

}  // namespace
}  // namespace tess::test
