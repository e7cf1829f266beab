// Start-up on Windows: another copy found by its main window's class and caption (1401), no
// running Visio (1402), and the program's windows closed when Visio quits.
#include <gtest/gtest.h>

#include "app/windows/WindowsStartup.h"
#include "host/com/ComHost.h"
#include "support/ScriptedPrompt.h"
#include "tests/windows/StandInProcess.h"

namespace tess::test {
namespace {

class RecordingWindows : public app::IWindows {
public:
    void DisplayMainWindow(app::Application&) override { calls.push_back("Display frmCellCopy"); }
    void Unload(std::string_view form) override { calls.push_back("Unload " + std::string(form)); }
    std::vector<std::string> calls;
};

class WindowsStartup : public ::testing::Test {
protected:
    com::ComApartment apartment;
    ScriptedPrompt prompt;
    RecordingWindows windows;
    app::WindowsStartupServices services{windows, prompt};
    app::Startup startup{services};
};

TEST_F(WindowsStartup, WithoutVisioTheProgramSaysSoAndEnds) {
    startup.Main();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Tessaline requires a Visio document to be open.");
    EXPECT_EQ(prompt.messages[0].style, app::Style::Report);
    EXPECT_EQ(prompt.messages[0].title, "Tessaline");
    EXPECT_FALSE(startup.TheApplication());
    EXPECT_TRUE(windows.calls.empty());
}

TEST_F(WindowsStartup, ASecondCopyFindsTheFirstsMainWindow) {
    startup.LoadApplicationResourceStrings();
    EXPECT_FALSE(startup.IsTessalineAlreadyLoaded());
    {
        StandInProcess firstCopy("tessaline_second_copy.exe");
        EXPECT_TRUE(startup.IsTessalineAlreadyLoaded());
        startup.Main();  // no Visio either: the other copy is what it reports
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{"Tessaline is already running."});
        EXPECT_FALSE(startup.TheApplication());
    }
    // Only that class and that caption count.
    app::MainWindowMarker other("Not Tessaline", nullptr);
    EXPECT_FALSE(startup.IsTessalineAlreadyLoaded());
}

TEST_F(WindowsStartup, WhenVisioQuitsEveryWindowOfTheProgramCloses) {
    StandInProcess visio;
    startup.Main();
    ASSERT_TRUE(startup.TheApplication());
    ASSERT_TRUE(startup.TheApplication()->VisioApplication());
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(windows.calls, std::vector<std::string>{"Display frmCellCopy"});

    com::AttachToRunningVisio()->Application()->Quit();
    PumpMessages(200);
    EXPECT_EQ(windows.calls,
              (std::vector<std::string>{"Display frmCellCopy", "Unload frmAbout",
                                        "Unload frmCopyError", "Unload frmCopyErrorDetails",
                                        "Unload frmCellCopy"}));
    EXPECT_FALSE(startup.TheApplication()->VisioApplication());
    EXPECT_TRUE(visio.WaitForExit(10000));
    EXPECT_TRUE(prompt.messages.empty());  // no error report on the way
}

}  // namespace
}  // namespace tess::test
