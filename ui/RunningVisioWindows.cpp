#include "app/ErrorReport.h"
#include "host/com/ComHost.h"
#include "ui/RunningVisio.h"

// On Windows the program attaches to the running Visio through COM, in the apartment of the
// window thread, where Visio's events then arrive.
namespace tess::ui {

struct RunningVisio::State {
    std::unique_ptr<com::VisioConnection> visio;
};

RunningVisio::RunningVisio() : m_state(std::make_unique<State>()) {}
RunningVisio::~RunningVisio() = default;

visio::ApplicationPtr RunningVisio::Find() {
    // None running is an answer, not a failure.
    if (!m_state->visio) app::IgnoreFailure([&] { m_state->visio = com::AttachToRunningVisio(); });
    return m_state->visio ? m_state->visio->Application() : nullptr;
}

}  // namespace tess::ui
