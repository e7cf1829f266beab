#pragma once

#include <string>
#include <string_view>

#include "platform/visio/Host.h"

namespace tess::app {

/// The program's windows as start-up and shut-down reach them; the GUI implements it.
class IWindows {
public:
    virtual ~IWindows() = default;
    /// Loads and shows the main window.
    virtual void DisplayMainWindow() = 0;
    /// Unloads a window by its form name; one that is not loaded is left alone.
    virtual void Unload(std::string_view formName) = 0;
};

/// The one host connection of a run: holds the host application with its events connected,
/// and closes every window of the program when the host is about to quit.
class Application : private visio::IApplicationEvents {
public:
    explicit Application(IWindows& windows);
    ~Application() override;
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    /// The attached host application; null before Display and after CleanUp.
    visio::ApplicationPtr VisioApplication() const { return m_ovAppVisio; }
    /// Attaches to the host application and shows the main window.
    void Display(const visio::ApplicationPtr& visio);
    /// Detaches from the host and unloads every window of the program.
    void CleanUp();
    /// A GUID that names this run's application object; the same on every read.
    const std::string& ApplicationID();

private:
    void LoadApplicationResourceStrings();
    void BeforeQuit(visio::IApplication& application) override;
    void m_ovAppVisio_BeforeQuit();
    void SetVisioApplication(const visio::ApplicationPtr& visio);

    IWindows& m_windows;
    visio::ApplicationPtr m_ovAppVisio;
    std::string m_sApplicationID;
};

}  // namespace tess::app
