#include "app/ErrorReport.h"
#include "host/com/ComHost.h"
#include "ui/RunningVisio.h"

// On Windows the program attaches to the running Visio through COM, in the apartment of the
// window thread, where Visio's events then arrive.
namespace tess::ui {

struct RunningVisio::State {
    com::ComApartment apartment;
};

RunningVisio::RunningVisio() : m_state(std::make_unique<State>()) {}
RunningVisio::~RunningVisio() = default;

visio::ApplicationPtr RunningVisio::Find() {
    visio::ApplicationPtr visio;
    // None running is an answer, not a failure.
    app::IgnoreFailure([&] { visio = com::GetRunningVisio(); });
    return visio;
}

}  // namespace tess::ui
