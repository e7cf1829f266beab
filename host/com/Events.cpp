#include "host/com/Events.h"

#include "host/com/Dispatch.h"

namespace tess::com {
namespace {

/// The DISPID the sink answers BeforeQuit to when the application has no type library to say
/// which one it calls.
constexpr DISPID kBeforeQuitFallback = 1;

/// BeforeQuit's DISPID in the application's own type library, where it has one.
DISPID BeforeQuitId(IDispatch* application) {
    Ref<ITypeInfo> info;
    Ref<ITypeLib> library;
    Ref<ITypeInfo> events;
    UINT index = 0;
    OLECHAR name[] = L"BeforeQuit";
    LPOLESTR names[] = {name};
    MEMBERID id = kBeforeQuitFallback;
    if (SUCCEEDED(application->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put())) && info &&
        SUCCEEDED(info->GetContainingTypeLib(library.Put(), &index)) &&
        SUCCEEDED(library->GetTypeInfoOfGuid(kApplicationEventsId, events.Put())) &&
        SUCCEEDED(events->GetIDsOfNames(names, 1, &id))) {
        return id;
    }
    return kBeforeQuitFallback;
}

}  // namespace

// COM interfaces have no virtual destructor: objects delete themselves in Release.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

/// The COM object the application calls its events on. It outlives a disconnection that
/// happens inside one of its calls, and forgets its owner then.
class EventSink final : public IDispatch {
public:
    EventSink(std::vector<visio::IApplicationEvents*>* receivers, visio::IApplication* application,
              DISPID beforeQuit)
        : m_receivers(receivers), m_application(application), m_beforeQuit(beforeQuit) {}

    void Forget() {
        m_receivers = nullptr;
        m_application = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        // Both the plain IDispatch and the event interface's own IID: the application may ask
        // for either.
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kApplicationEventsId) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (count == 1 && lstrcmpiW(names[0], L"BeforeQuit") == 0) {
            ids[0] = m_beforeQuit;
            return S_OK;
        }
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id != m_beforeQuit) return S_OK;  // events the program does not follow
        AddRef();
        if (m_receivers) {
            const auto receivers = *m_receivers;
            for (visio::IApplicationEvents* receiver : receivers) {
                if (!m_application) break;  // a receiver let go of the application
                try {
                    receiver->BeforeQuit(*m_application);
                } catch (...) {
                    // An event handler's failure is its own to report; the caller is Visio.
                }
            }
        }
        Release();
        return S_OK;
    }

private:
    ULONG m_references = 1;
    std::vector<visio::IApplicationEvents*>* m_receivers;
    visio::IApplication* m_application;
    DISPID m_beforeQuit;
};

ApplicationEvents::ApplicationEvents(IDispatch* application) : m_application(application) {}

ApplicationEvents::~ApplicationEvents() {
    Disconnect();
}

void ApplicationEvents::Add(visio::IApplicationEvents* receiver, visio::IApplication& application) {
    if (m_receivers.empty()) Connect(application);
    m_receivers.push_back(receiver);
}

void ApplicationEvents::Remove(visio::IApplicationEvents* receiver) {
    std::erase(m_receivers, receiver);
    if (m_receivers.empty()) Disconnect();
}

void ApplicationEvents::Connect(visio::IApplication& application) {
    Ref<IConnectionPointContainer> container;
    Check(m_application->QueryInterface(IID_IConnectionPointContainer,
                                        reinterpret_cast<void**>(container.Put())),
          "Asking Visio for its events");
    Ref<IConnectionPoint> point;
    Check(container->FindConnectionPoint(kApplicationEventsId, point.Put()),
          "Finding Visio's application events");
    auto* sink = new EventSink(&m_receivers, &application, BeforeQuitId(m_application));
    DWORD cookie = 0;
    const HRESULT hr = point->Advise(sink, &cookie);
    if (FAILED(hr)) {
        sink->Forget();
        sink->Release();
        Check(hr, "Connecting to Visio's events");
    }
    m_sink = sink;
    m_point = point.get();
    m_point->AddRef();
    m_cookie = cookie;
}

void ApplicationEvents::Disconnect() {
    if (!m_sink) return;
    m_point->Unadvise(m_cookie);  // fails harmlessly when the application has gone
    m_point->Release();
    m_sink->Forget();
    m_sink->Release();
    m_sink = nullptr;
    m_point = nullptr;
    m_cookie = 0;
}

}  // namespace tess::com
