#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/visio/Host.h"

// The host object model over the running Visio's automation interface: late-bound IDispatch
// calls, each member's DISPID looked up once per object type and connection. Windows only.
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

/// What the host has called through one connection: per "Object.Member", and the name look-ups.
struct CallCounts {
    std::map<std::string, uint64_t> calls;
    uint64_t nameLookups = 0;
    uint64_t Total() const;
};

struct CallBook;

/// The running Visio, attached for the life of the object in a single-threaded apartment of
/// the calling thread. The objects it hands out count their calls here and look each member's
/// DISPID up once per object kind.
class VisioConnection {
public:
    ~VisioConnection();
    VisioConnection(const VisioConnection&) = delete;
    VisioConnection& operator=(const VisioConnection&) = delete;

    const visio::ApplicationPtr& Application() const { return m_application; }
    /// The calls made through this connection since it was made or they were last reset.
    CallCounts& Calls();

private:
    friend std::unique_ptr<VisioConnection> AttachToRunningVisio();
    VisioConnection();

    ComApartment m_apartment;
    std::shared_ptr<CallBook> m_book;
    visio::ApplicationPtr m_application;  // released before the apartment ends
};

/// Attaches to the running object of the ProgID "Visio.Application"; fails with the HRESULT of
/// the look-up (MK_E_UNAVAILABLE when none runs). The one way the program reaches Visio.
std::unique_ptr<VisioConnection> AttachToRunningVisio();

}  // namespace tess::com
