#pragma once

#include <vector>

#include "platform/visio/Host.h"
#include "platform/windows/Windows.h"
#include <oaidl.h>
#include <ocidl.h>

namespace tess::com {

/// Visio's application event interface, EApplication.
inline constexpr GUID kApplicationEventsId = {
    0x000D0B00, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class EventSink;

/// The program's receivers of an application's events, connected to the application through a
/// sink on its event interface while there is at least one.
class ApplicationEvents {
public:
    explicit ApplicationEvents(IDispatch* application);
    ~ApplicationEvents();
    ApplicationEvents(const ApplicationEvents&) = delete;
    ApplicationEvents& operator=(const ApplicationEvents&) = delete;

    void Add(visio::IApplicationEvents* receiver, visio::IApplication& application);
    void Remove(visio::IApplicationEvents* receiver);

private:
    void Connect(visio::IApplication& application);
    void Disconnect();

    IDispatch* m_application;
    std::vector<visio::IApplicationEvents*> m_receivers;
    EventSink* m_sink = nullptr;
    IConnectionPoint* m_point = nullptr;
    DWORD m_cookie = 0;
};

}  // namespace tess::com
