#include "cli/RunningVisio.h"

#include "app/StringTable.h"
#include "host/com/ComHost.h"

namespace tess::cli {

struct RunningVisio::Connection {
    std::unique_ptr<com::VisioConnection> visio;
};

RunningVisio::RunningVisio() : m_connection(std::make_unique<Connection>()) {
    try {
        m_connection->visio = com::AttachToRunningVisio();
    } catch (const Error& error) {
        // Nothing registered as Visio, or nothing running: as the desktop program says it.
        Raise(error.Number(), app::LoadResString(1402));
    }
    m_application = m_connection->visio->Application();
}

RunningVisio::~RunningVisio() {
    m_application.reset();  // released while the connection holds the apartment
}

}  // namespace tess::cli
