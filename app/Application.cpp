#include "app/Application.h"

#include "app/ErrorReport.h"
#include "app/Guid.h"

namespace tess::app {

Application::Application(IWindows& windows, IPrompt& prompt)
    : m_windows(windows), m_prompt(prompt) {}

Application::~Application() {
    IgnoreFailure([&] { SetVisioApplication(nullptr); });
}

void Application::Display(const visio::ApplicationPtr& visio) {
    Trap(m_prompt, proc::Display, [&] {
        if (!visio) return;
        SetVisioApplication(visio);
        m_windows.DisplayMainWindow(*this);
    });
}

void Application::CleanUp() {
    Trap(m_prompt, proc::CleanUp, [&] {
        SetVisioApplication(nullptr);
        for (const char* form :
             {"frmAbout", "frmCopyError", "frmCopyErrorDetails", "frmCellCopy"}) {
            m_windows.Unload(form);
        }
        SetVisioApplication(nullptr);
    });
}

const std::string& Application::ApplicationID() {
    if (m_applicationId.empty()) m_applicationId = CreateGUIDString();
    return m_applicationId;
}

// The host's BeforeQuit event.
void Application::BeforeQuit(visio::IApplication&) {
    CleanUp();
}

// Setting the reference connects to the new object's events and disconnects from the old's.
void Application::SetVisioApplication(const visio::ApplicationPtr& visio) {
    if (m_visio == visio) return;
    if (m_visio) {
        auto previous = std::move(m_visio);
        m_visio = nullptr;
        previous->RemoveEventSink(this);
    }
    if (visio) {
        visio->AddEventSink(this);
        m_visio = visio;
    }
}

}  // namespace tess::app
