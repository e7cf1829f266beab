#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/visio/Host.h"

// The host object model over the running Visio's automation interface: late-bound IDispatch
// calls, each member's DISPID looked up once per object type and process. Windows only.
namespace tess::com {

/// COM for the calling thread, single-threaded apartment, for the life of the object: the
/// events of the attached application arrive on this thread while it pumps messages.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialized = false;
};

/// The running object of the ProgID "Visio.Application"; fails with the HRESULT of the
/// look-up (MK_E_UNAVAILABLE when none runs).
visio::ApplicationPtr GetRunningVisio();

/// What the host has called since the last reset: per "Object.Member", and the name look-ups.
struct CallCounts {
    std::map<std::string, uint64_t> calls;
    uint64_t nameLookups = 0;
    uint64_t Total() const;
};
const CallCounts& Calls();
void ResetCalls();

}  // namespace tess::com
