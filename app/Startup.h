#pragma once

#include <memory>
#include <string>

#include "app/Application.h"
#include "app/Prompt.h"
#include "platform/visio/Host.h"

namespace tess::app {

/// What start-up needs from the platform; the desktop program and the tests implement it.
class IStartupServices {
public:
    virtual ~IStartupServices() = default;
    /// Prepares the platform's common controls.
    virtual void InitCommonControls() = 0;
    /// True when a top-level window of that class with exactly that caption exists.
    virtual bool FindWindow(const std::string& className, const std::string& caption) = 0;
    /// The running host application; null (or a failure) when none runs.
    virtual visio::ApplicationPtr GetRunningVisio() = 0;
    virtual IWindows& Windows() = 0;
    /// Where start-up's messages and failures go.
    virtual IPrompt& Prompt() = 0;
};

/// The window class the main window carries, by which a second copy of the program finds it.
inline constexpr const char* kMainWindowClass = "ThunderRT6FormDC";

/// The program's start: refuses a second copy and a start without a host, else makes the one
/// host connection and shows the main window. Owns the application title and the connection
/// for the life of the program.
class Startup {
public:
    explicit Startup(IStartupServices& services) : m_services(services) {}

    /// The program's entry.
    void Main();
    /// True when another copy of the program has its main window open.
    bool IsTessalineAlreadyLoaded();
    /// Loads the application title, string 101.
    void LoadApplicationResourceStrings();

    const std::string& AppTitle() const { return m_appTitle; }
    /// The host connection Main made; null when start-up ended without one.
    Application* TheApplication() const { return m_application.get(); }

private:
    IStartupServices& m_services;
    std::string m_appTitle;
    std::unique_ptr<Application> m_application;
};

}  // namespace tess::app
