#include "app/Startup.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>

#include "app/Guid.h"
#include "support/ScriptedPrompt.h"

namespace tess::app {
namespace {

bool IsRegistryFormGuid(const std::string& text) {
    const std::string shape = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < shape.size(); ++i) {
        const bool hex = (text[i] >= '0' && text[i] <= '9') || (text[i] >= 'A' && text[i] <= 'F');
        if (shape[i] == 'X' ? !hex : text[i] != shape[i]) return false;
    }
    return true;
}

/// A host application that only keeps its event sinks and can quit.
class QuittingHost : public visio::IApplication {
public:
    visio::DocumentsPtr Documents() override { return nullptr; }
    visio::DocumentPtr ActiveDocument() override { return nullptr; }
    visio::PagePtr ActivePage() override { return nullptr; }
    visio::WindowPtr ActiveWindow() override { return nullptr; }
    std::string Version() override { return "16.0"; }
    int32_t BeginUndoScope(const std::string&) override { return 1; }
    void EndUndoScope(int32_t, bool) override {}
    void Undo() override {}
    void Redo() override {}
    void Quit() override {
        const auto receivers = sinks;
        for (auto* sink : receivers)
            sink->BeforeQuit(*this);
    }
    void AddEventSink(visio::IApplicationEvents* sink) override { sinks.push_back(sink); }
    void RemoveEventSink(visio::IApplicationEvents* sink) override {
        sinks.erase(std::remove(sinks.begin(), sinks.end(), sink), sinks.end());
    }
    std::vector<visio::IApplicationEvents*> sinks;
};

class RecordingWindows : public IWindows {
public:
    void DisplayMainWindow(Application& application) override {
        calls.push_back("Display frmCellCopy");
        shownFor = &application;
    }
    void Unload(std::string_view form) override { calls.push_back("Unload " + std::string(form)); }
    std::vector<std::string> calls;
    Application* shownFor = nullptr;
};

class FakeServices : public IStartupServices {
public:
    void InitCommonControls() override { Raise(5, "no common controls here"); }
    bool FindWindow(const std::string& className, const std::string& caption) override {
        askedFor = className + "|" + caption;
        return otherCopyRunning;
    }
    visio::ApplicationPtr GetRunningVisio() override {
        if (!host) Raise(-2147221021, "Operation unavailable");
        return host;
    }
    IWindows& Windows() override { return windows; }
    IPrompt& Prompt() override { return prompt; }

    test::ScriptedPrompt prompt;
    bool otherCopyRunning = false;
    std::shared_ptr<QuittingHost> host;
    RecordingWindows windows;
    std::string askedFor;
};

class StartupTest : public ::testing::Test {
protected:
    FakeServices services;
    test::ScriptedPrompt& prompt = services.prompt;
    Startup startup{services};
};

TEST_F(StartupTest, ASecondCopyIsRefusedEvenWithoutAHost) {
    services.otherCopyRunning = true;
    startup.Main();
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_EQ(prompt.messages[0].text, "Tessaline is already running.");
    EXPECT_EQ(prompt.messages[0].style, Style::Report);
    EXPECT_EQ(prompt.messages[0].title, "Tessaline");
    EXPECT_EQ(services.askedFor, "ThunderRT6FormDC|Tessaline");
    EXPECT_FALSE(startup.TheApplication());
    EXPECT_TRUE(services.windows.calls.empty());
}

TEST_F(StartupTest, AStartWithoutAHostIsRefused) {
    startup.Main();
    ASSERT_EQ(prompt.Texts(),
              std::vector<std::string>{"Tessaline requires a Visio document to be open."});
    EXPECT_EQ(prompt.messages[0].style, Style::Report);
    EXPECT_FALSE(startup.TheApplication());
}

TEST_F(StartupTest, AttachesToTheHostAndQuittingItClosesEveryWindowInOrder) {
    services.host = std::make_shared<QuittingHost>();
    startup.Main();
    EXPECT_TRUE(prompt.messages.empty());
    ASSERT_TRUE(startup.TheApplication());
    EXPECT_EQ(startup.AppTitle(), "Tessaline");
    EXPECT_EQ(startup.TheApplication()->VisioApplication(), services.host);
    EXPECT_EQ(services.host->sinks.size(), 1u);
    EXPECT_EQ(services.windows.calls, std::vector<std::string>{"Display frmCellCopy"});
    EXPECT_EQ(services.windows.shownFor, startup.TheApplication());

    services.host->Quit();
    EXPECT_EQ(
        services.windows.calls,
        (std::vector<std::string>{"Display frmCellCopy", "Unload frmAbout", "Unload frmCopyError",
                                  "Unload frmCopyErrorDetails", "Unload frmCellCopy"}));
    EXPECT_FALSE(startup.TheApplication()->VisioApplication());
    EXPECT_TRUE(services.host->sinks.empty());
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(StartupTest, ApplicationIDIsOneGuidForTheLifeOfTheObject) {
    RecordingWindows windows;
    Application first(windows, prompt);
    Application second(windows, prompt);
    const std::string id = first.ApplicationID();
    EXPECT_EQ(first.ApplicationID(), id);
    EXPECT_TRUE(IsRegistryFormGuid(id)) << id;
    EXPECT_NE(second.ApplicationID(), id);
}

TEST(CreateGUIDString, GivesRegistryFormUpperCaseAndNewEachTime) {
    std::vector<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        std::string guid = CreateGUIDString();
        EXPECT_TRUE(IsRegistryFormGuid(guid)) << guid;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), guid), 0);
        seen.push_back(std::move(guid));
    }
}

#ifndef _WIN32
// A generator seeded once per process hands a forked child the parent's next GUID. (Windows has no
// fork; there the GUIDs come from CoCreateGuid.)
TEST(CreateGUIDString, AForkedProcessGetsGuidsOfItsOwn) {
    CreateGUIDString();
    int channel[2];
    ASSERT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const std::string guid = CreateGUIDString();
        const bool written =
            ::write(channel[1], guid.data(), guid.size()) == static_cast<ssize_t>(guid.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    const std::string mine = CreateGUIDString();
    std::string theirs(38, '\0');
    const ssize_t read = ::read(channel[0], theirs.data(), theirs.size());
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(read, 38);
    EXPECT_TRUE(IsRegistryFormGuid(theirs)) << theirs;
    EXPECT_NE(mine, theirs);
}
#endif

}  // namespace
}  // namespace tess::app
