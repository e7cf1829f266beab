#pragma once

#include <string>
#include <string_view>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

namespace tess::app {

class Application;

/// The program's windows as start-up and shut-down reach them; the GUI implements it.
class IWindows {
public:
    virtual ~IWindows() = default;
    /// Loads and shows the main window, which works through application.
    virtual void DisplayMainWindow(Application& application) = 0;
    /// Unloads a window by its form name; one that is not loaded is left alone.
    virtual void Unload(std::string_view formName) = 0;
};

/// The one host connection of a run: holds the host application with its events connected,
/// and closes every window of the program when the host is about to quit.
class Application : private visio::IApplicationEvents {
public:
    /// prompt: where the connection's failures are reported.
    Application(IWindows& windows, IPrompt& prompt);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// The attached host application; null before Display and after CleanUp.
    visio::ApplicationPtr VisioApplication() const { return m_visio; }
    /// Attaches to the host application and shows the main window.
    void Display(const visio::ApplicationPtr& visio);
    /// Detaches from the host and unloads every window of the program.
    void CleanUp();
    /// A GUID that names this run's application object; the same on every read.
    const std::string& ApplicationID();

private:
    void BeforeQuit(visio::IApplication& application) override;
    void SetVisioApplication(const visio::ApplicationPtr& visio);

    IWindows& m_windows;
    IPrompt& m_prompt;
    visio::ApplicationPtr m_visio;
    std::string m_applicationId;
};

}  // namespace tess::app
