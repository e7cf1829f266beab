#pragma once

#include <string>

#include "app/Application.h"
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
};

/// The window class the main window carries, by which a second copy of the program finds it.
inline constexpr const char* kMainWindowClass = "ThunderRT6FormDC";

/// The program's entry: refuses a second copy and a start without a host, else creates
/// g_oApplication and shows the main window.
void Main(IStartupServices& services);
/// True when another copy of the program has its main window open.
bool IsTessalineAlreadyLoaded(IStartupServices& services);
/// Sets g_sAppTitle to string 101.
void LoadApplicationResourceStrings();

}  // namespace tess::app
