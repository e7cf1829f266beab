// The desktop program on Windows, beside the stand-in Visio in a process of its own: start-up
// attaches to it (or says why not), a copy made with the window's controls lands in Visio's
// drawing as one undo step, refused formulas go through the copy-error dialogs, Visio's quitting
// closes the window, and the options go to the registry and come back. The program itself,
// started from its ZIP, does the same across processes.
#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTest>
#include <QTextEdit>

#include "app/ErrorReport.h"
#include "app/windows/WindowsStartup.h"
#include "platform/visio/Constants.h"
#include "tests/windows/BesideVisio.h"
#include "ui/DialogDriver.h"
#include "window/Settings.h"
// Last: <windows.h> makes macros of names the program's headers use.
#include "tests/windows/StandInProcess.h"

namespace tess::test {
namespace {

using namespace visio;

TEST_F(BesideVisio, StartAttachesToTheRunningVisioAndASecondCopyIsRefused) {
    ASSERT_TRUE(Start({}));
    EXPECT_TRUE(Program().TheDrawings().Attached());
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(Node({QStringLiteral("Sheet.3")}), nullptr) << "Visio's active page is listed";
    // Visio opens, saves and chooses its drawings; the recipes stay.
    for (const char* name : {"mnuOpen", "mnuSave", "mnuSaveAs", "mnuCloseDrawing"})
        EXPECT_FALSE(Action(Window(), name)->isVisible()) << name;
    for (const char* name : {"mnuRecentFiles", "mnuActiveDrawing", "mnuActivePage"})
        EXPECT_FALSE(Window().findChild<QMenu*>(QString::fromLatin1(name))->menuAction()->isVisible())
            << name;
    EXPECT_FALSE(Window().acceptDrops());
    EXPECT_TRUE(Action(Window(), "mnuLoadRecipe")->isVisible());
    EXPECT_EQ(Window().windowTitle().toStdString(),
              m_visio->ActiveDocument()->Name() + " — Tessaline");

    // The main window is found by its class and caption, as another copy looks for it.
    EXPECT_TRUE(app::TopLevelWindowExists(app::kMainWindowClass, "Tessaline"));
    ui::DesktopProgram second({}, Services());
    app::Startup secondStart(second);
    secondStart.Main();
    EXPECT_FALSE(secondStart.TheApplication());
    EXPECT_FALSE(second.Window());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Tessaline is already running."});
}

TEST_F(BesideVisio, ACopyFromTheWindowReachesBothShapesAsOneUndoStep) {
    ASSERT_TRUE(Start({}));
    Choose({kUserBox, kScratchBox});
    Click(QStringLiteral("cmdCopy"));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
    for (const std::string shape : {"Sheet.2", "Sheet.3"}) {
        EXPECT_EQ(Shape(shape)->Cells("User.Size")->Formula(), "Width*2") << shape;
        // What named the source names the destination.
        EXPECT_EQ(ScratchX(shape, 0), shape + "!Height/2");
        EXPECT_EQ(ScratchX(shape, 1), "User.Size+1 in") << shape;
    }

    // Edit > Undo is Visio's: the run was one undo scope, so both shapes lose all of it at once.
    Action(Window(), "mnuUndo")->trigger();
    for (const std::string shape : {"Sheet.2", "Sheet.3"}) {
        EXPECT_FALSE(Shape(shape)->SectionExists(visSectionUser, 1)) << shape;
        EXPECT_FALSE(Shape(shape)->SectionExists(visSectionScratch, 1)) << shape;
    }
    EXPECT_TRUE(Shape("Sheet.1")->SectionExists(visSectionScratch, 1));
    Action(Window(), "mnuRedo")->trigger();
    EXPECT_EQ(ScratchX("Sheet.3", 1), "User.Size+1 in");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
}

TEST_F(BesideVisio, ARefusedFormulaGoesThroughTheCopyErrorDialogs) {
    ASSERT_TRUE(Start({}));
    Choose({kScratchBox});  // without the User row that Scratch's second row names
    DialogDriver driver;
    QString shown;
    driver.Then(QStringLiteral("frmCopyError"), [&](QDialog& dialog) {
        auto* message = dialog.findChild<QTextEdit*>(QStringLiteral("lblMsg"));
        ASSERT_NE(message, nullptr);
        shown = message->toPlainText();
        ClickIn(dialog, QStringLiteral("cmdDetails"));
        ClickIn(dialog, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyErrorDetails"), [](QDialog& details) {
        const QStringList formulas = Items(details, QStringLiteral("lstOriginal"));
        EXPECT_TRUE(formulas.contains(QStringLiteral("Scratch.X2 = User.Size+1 in")))
            << formulas.join(QLatin1Char('|')).toStdString();
        ClickIn(details, QStringLiteral("cmdOK"));
    });
    driver.Then(QStringLiteral("frmCopyError"),
                [](QDialog& dialog) { ClickIn(dialog, QStringLiteral("cmdOK")); });
    Click(QStringLiteral("cmdCopy"));
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(shown.endsWith(QStringLiteral("in section:  'Scratch'"))) << shown.toStdString();
    EXPECT_EQ(Messages(), std::vector<std::string>{"Clone Complete."});
    // The run went on past each refusal: the row before it is written, the refused one not.
    for (const std::string shape : {"Sheet.2", "Sheet.3"}) {
        EXPECT_EQ(ScratchX(shape, 0), shape + "!Height/2");
        EXPECT_NE(ScratchX(shape, 1), "User.Size+1 in") << shape;
    }
}

TEST_F(BesideVisio, VisioQuittingClosesTheWindow) {
    ASSERT_TRUE(Start({}));
    ASSERT_TRUE(Window().isVisible());
    // The stand-in may end before its answer to Quit has left it: what counts is BeforeQuit.
    app::IgnoreFailure([&] { m_visio->Quit(); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Window().isVisible(); }, 10000));
    EXPECT_FALSE(TheStartup().TheApplication()->VisioApplication());
    EXPECT_TRUE(m_standIn->WaitForExit(10000));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
}

/// What the registry holds, read with the system's own call rather than the program's.
std::string Stored(const char* name) {
    char data[64] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_CURRENT_USER, window::kSettingsKey, name, RRF_RT_REG_SZ, nullptr, data,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return data;
}

TEST_F(BesideVisio, TheOptionsGoToTheRegistryAndComeBack) {
    RegDeleteTreeA(HKEY_CURRENT_USER, window::kSettingsKey);
    const auto store = registry::MakePlatformBackend();
    const ui::ProgramServices services{m_dialogs, m_prompt, registry::Registry(*store), m_desktop};
    const QStringList changed = {QStringLiteral("optCopySubShapes"),
                                 QStringLiteral("chkCopyShapeText"),
                                 QStringLiteral("chkCopyHelpString")};
    {
        ui::DesktopProgram program({}, services);
        app::Startup startup(program);
        startup.Main();
        ASSERT_TRUE(program.Window());
        for (const QString& name : changed) {
            auto* button = program.Window()->findChild<QAbstractButton*>(name);
            ASSERT_TRUE(button && button->isEnabled() && !button->isChecked()) << name.toStdString();
            button->click();
        }
        program.Window()->findChild<QAbstractButton*>(QStringLiteral("cmdClose"))->click();
        EXPECT_FALSE(program.Window()->isVisible());
    }
    EXPECT_EQ(Stored("SubShape"), "2");
    EXPECT_EQ(Stored("CopyShapeText"), "1");
    EXPECT_EQ(Stored("CopyHelpString"), "1");
    EXPECT_EQ(Stored("CopyType"), "0");

    ui::DesktopProgram again({}, services);
    app::Startup startup(again);
    startup.Main();
    ASSERT_TRUE(again.Window());
    for (const QString& name : changed)
        EXPECT_TRUE(again.Window()->findChild<QAbstractButton*>(name)->isChecked())
            << name.toStdString();
    again.Window()->close();
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    RegDeleteTreeA(HKEY_CURRENT_USER, window::kSettingsKey);
}

/// No Visio runs: the program asks for drawing files and works on them, as elsewhere.
using WithoutVisio = UiFixture;

TEST_F(WithoutVisio, NothingOpenedSaysSoAndEnds) {
    TheDialogs().QueueFiles({});  // the Open dialog cancelled
    EXPECT_FALSE(Start({}));
    EXPECT_EQ(Messages(),
              std::vector<std::string>{"Tessaline requires a Visio document to be open."});
}

TEST_F(WithoutVisio, DrawingFilesAreOpenedAndTheFileMenuIsComplete) {
    TheDialogs().QueueFiles({QString::fromStdString(CopySample("test6_shape_properties.vsdx"))});
    ASSERT_TRUE(Start({}));
    EXPECT_FALSE(Program().TheDrawings().Attached());
    EXPECT_EQ(Program().TheDrawings().Documents().size(), 1u);
    for (const char* name : {"mnuOpen", "mnuSave", "mnuSaveAs", "mnuCloseDrawing"})
        EXPECT_TRUE(Action(Window(), name)->isVisible()) << name;
}

/// The program started from the unpacked ZIP, a process of its own beside the stand-in: it
/// attaches, shows its main window (found as a second copy finds it) and ends when Visio quits.
TEST(PackagedProgram, StartsBesideVisioAndEndsWhenVisioQuits) {
    com::ComApartment apartment;
    StandInProcess visio;
    StandInProcess program(TESSALINE_PACKAGED_DESKTOP, {});
    const auto markerOfProgram = [&] {
        const HWND marker = FindWindowA(app::kMainWindowClass, "Tessaline");
        DWORD owner = 0;
        if (marker) GetWindowThreadProcessId(marker, &owner);
        return marker && owner == program.Id();
    };
    EXPECT_TRUE(QTest::qWaitFor(markerOfProgram, 60000)) << "no main window appeared";
    app::IgnoreFailure([] { com::AttachToRunningVisio()->Application()->Quit(); });
    ASSERT_TRUE(program.WaitForExit(20000)) << "the program did not end when Visio quit";
    EXPECT_EQ(program.ExitCode(), 0u);
}

}  // namespace
}  // namespace tess::test
