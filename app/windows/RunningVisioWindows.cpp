#include "app/RunningVisio.h"
#include "app/StringTable.h"
#include "host/com/ComHost.h"

// On Windows the programs attach to the running Visio through COM, in the apartment of the
// thread that attaches, where Visio's events then arrive.
namespace tess::app {

struct RunningVisio::Connection {
    std::unique_ptr<com::VisioConnection> visio;
    visio::ApplicationPtr application;  // released first, while the connection holds COM
};

bool RunningVisio::Reachable() { return true; }

RunningVisio::RunningVisio() : m_connection(std::make_unique<Connection>()) {}
RunningVisio::~RunningVisio() = default;

visio::ApplicationPtr RunningVisio::Attach() {
    if (!m_connection->application) {
        try {
            m_connection->visio = com::AttachToRunningVisio();
        } catch (const Error& error) {
            // Nothing registered as Visio, or nothing running.
            Raise(error.Number(), LoadResString(1402));
        }
        m_connection->application = m_connection->visio->Application();
    }
    return m_connection->application;
}

}  // namespace tess::app
