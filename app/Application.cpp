#include "app/Application.h"

#include "app/ErrorReport.h"
#include "app/Globals.h"
#include "app/Guid.h"
#include "app/StringTable.h"

namespace tess::app {
namespace {
constexpr std::string_view kModule = "Addon";
}

Application::Application(IWindows& windows) : m_windows(windows) {}

Application::~Application() {
    IgnoreFailure([&] { SetVisioApplication(nullptr); });
}

void Application::Display(const visio::ApplicationPtr& visio) {
    Trap(kModule, "Display", [&] {
        LoadApplicationResourceStrings();
        if (!visio) return;
        SetVisioApplication(visio);
        m_windows.DisplayMainWindow();
    });
}

void Application::CleanUp() {
    Trap(kModule, "CleanUp", [&] {
        SetVisioApplication(nullptr);
        for (const char* form :
             {"frmAbout", "frmCopyError", "frmCopyErrorDetails", "frmCellCopy"}) {
            m_windows.Unload(form);
        }
        SetVisioApplication(nullptr);
    });
}

const std::string& Application::ApplicationID() {
    if (m_sApplicationID.empty()) m_sApplicationID = CreateGUIDString();
    return m_sApplicationID;
}

void Application::LoadApplicationResourceStrings() {
    Trap(kModule, "LoadApplicationResourceStrings", [] { g_sAppTitle = LoadResString(101); });
}

void Application::BeforeQuit(visio::IApplication&) {
    m_ovAppVisio_BeforeQuit();
}

void Application::m_ovAppVisio_BeforeQuit() {
    CleanUp();
}

// Setting the reference connects to the new object's events and disconnects from the old's.
void Application::SetVisioApplication(const visio::ApplicationPtr& visio) {
    if (m_ovAppVisio == visio) return;
    if (m_ovAppVisio) {
        auto previous = std::move(m_ovAppVisio);
        m_ovAppVisio = nullptr;
        previous->RemoveEventSink(this);
    }
    if (visio) {
        visio->AddEventSink(this);
        m_ovAppVisio = visio;
    }
}

}  // namespace tess::app
