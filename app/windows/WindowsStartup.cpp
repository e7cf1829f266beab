#include "app/windows/WindowsStartup.h"

#include "platform/visio/Error.h"

#include "platform/windows/Windows.h"
#include <commctrl.h>
// The services' member keeps the program's name; windows.h's macro would rename it here only.
#undef FindWindow

namespace tess::app {
namespace {

constexpr DWORD kIccUserExClasses = 0x200;

/// The marker's window class, registered once per process.
ATOM MarkerClass() {
    static const ATOM atom = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kMainWindowClass;
        return RegisterClassExA(&windowClass);
    }();
    return atom;
}

}  // namespace

void WindowsStartupServices::InitCommonControls() {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), kIccUserExClasses};
    if (!InitCommonControlsEx(&controls))
        Raise(static_cast<int32_t>(HRESULT_FROM_WIN32(GetLastError())),
              "The common controls could not be initialised");
}

bool TopLevelWindowExists(const std::string& className, const std::string& caption) {
    return FindWindowA(className.c_str(), caption.c_str()) != nullptr;
}

bool WindowsStartupServices::FindWindow(const std::string& className, const std::string& caption) {
    return TopLevelWindowExists(className, caption);
}

WindowsStartupServices::WindowsStartupServices(IWindows& windows, IPrompt& prompt)
    : m_windows(windows), m_prompt(prompt) {}

WindowsStartupServices::~WindowsStartupServices() = default;

visio::ApplicationPtr WindowsStartupServices::GetRunningVisio() {
    return m_visio.Attach();
}

MainWindowMarker::MainWindowMarker(const std::string& caption, void* owner) {
    if (!MarkerClass())
        Raise(static_cast<int32_t>(HRESULT_FROM_WIN32(GetLastError())),
              "The main window's class could not be registered");
    // Not WS_CHILD: FindWindow looks at top-level windows only, and owned ones are top-level.
    m_window = CreateWindowExA(0, kMainWindowClass, caption.c_str(), WS_POPUP, 0, 0, 0, 0,
                               static_cast<HWND>(owner), nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    if (!m_window)
        Raise(static_cast<int32_t>(HRESULT_FROM_WIN32(GetLastError())),
              "The main window's marker could not be created");
}

MainWindowMarker::~MainWindowMarker() {
    DestroyWindow(static_cast<HWND>(m_window));
}

}  // namespace tess::app
