#pragma once

#include <memory>
#include <string>

#include "app/RunningVisio.h"
#include "app/Startup.h"

// Start-up's Windows side, kept out of the portable start-up files.
namespace tess::app {

/// Start-up's platform services on Windows: the common controls, another copy's main window
/// found by class and caption, and the running Visio through COM. The windows and the message
/// boxes are the GUI's.
class WindowsStartupServices : public IStartupServices {
public:
    WindowsStartupServices(IWindows& windows, IPrompt& prompt);
    ~WindowsStartupServices() override;
    void InitCommonControls() override;
    bool FindWindow(const std::string& className, const std::string& caption) override;
    visio::ApplicationPtr GetRunningVisio() override;
    IWindows& Windows() override { return m_windows; }
    IPrompt& Prompt() override { return m_prompt; }

private:
    IWindows& m_windows;
    IPrompt& m_prompt;
    RunningVisio m_visio;
};

/// True when a top-level window of that class with exactly that caption exists.
bool TopLevelWindowExists(const std::string& className, const std::string& caption);

/// What makes this copy's main window findable by another copy: a hidden top-level window of
/// the class kMainWindowClass whose caption is the application title, owned by the main window
/// (so that it goes with it), for as long as the object lives. The desktop program's toolkit
/// names its own window classes, so the main window cannot carry the class itself.
class MainWindowMarker {
public:
    /// owner: the main window's handle (an HWND), or null.
    MainWindowMarker(const std::string& caption, void* owner);
    ~MainWindowMarker();
    MainWindowMarker(const MainWindowMarker&) = delete;
    MainWindowMarker& operator=(const MainWindowMarker&) = delete;

private:
    void* m_window = nullptr;
};

}  // namespace tess::app
