#include "cli/RunningVisio.h"

#include "app/StringTable.h"
#include "host/com/ComHost.h"

namespace tess::cli {

struct RunningVisio::Apartment {
    com::ComApartment com;
};

RunningVisio::RunningVisio() : m_apartment(std::make_unique<Apartment>()) {
    try {
        m_application = com::GetRunningVisio();
    } catch (const Error& error) {
        // Nothing registered as Visio, or nothing running: as the desktop program says it.
        Raise(error.Number(), app::LoadResString(1402));
    }
}

RunningVisio::~RunningVisio() {
    m_application.reset();  // released inside the apartment
}

}  // namespace tess::cli
