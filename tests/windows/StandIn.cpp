// A stand-in Visio for the tests: a program of its own that serves the embedded model through
// IDispatch with Visio's member names, registered as the running "Visio.Application", with the
// drawing files named on its command line open. It answers
// only what the COM host calls, plus a few members of its own (StandIn...) through which tests
// read the model's state and inject failures. Quit raises BeforeQuit on the connected sinks.
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "host/embedded/Objects.h"
#include "host/vsdx/Vsdx.h"
#include "support/ModelDump.h"
#include "tests/windows/StandIn.h"

#include <ocidl.h>
#include <olectl.h>

// COM interfaces have no virtual destructor: objects delete themselves in Release.
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

namespace tess::test {
namespace {

using namespace visio;

/// Asked of an object handed back by a client, to find the model object behind it.
constexpr GUID kStandInObjectId = {
    0x5a8e3c42, 0x7d2b, 0x4f6e, {0x9b, 0x1a, 0x3c, 0x5d, 0x7e, 0x8f, 0x90, 0xa1}};
constexpr GUID kEventsId = {
    0x000D0B00, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::shared_ptr<embedded::EmbeddedApplication> g_application;
std::vector<IDispatch*> g_sinks;  // connected event sinks, referenced

std::wstring Wide(const std::string& text) {
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}
std::string Narrow(BSTR text) {
    const int length = static_cast<int>(SysStringLen(text));
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, length, narrow.data(), n, nullptr, nullptr);
    return narrow;
}

enum class Kind {
    Application, Documents, Document, Pages, Page, Masters, Master, Shapes, Shape, Cell,
    Characters, Window, Selection
};

/// Member names by kind; a DISPID is the position in the one list of all names, plus one.
const std::map<Kind, std::set<std::string>>& MemberNames() {
    static const std::map<Kind, std::set<std::string>> names = {
        {Kind::Application,
         {"Documents", "ActiveDocument", "ActivePage", "ActiveWindow", "Version", "BeginUndoScope",
          "EndUndoScope", "Undo", "Redo", "Quit", "StandInDump", "StandInInjectFailure",
          "StandInHostCalls", "StandInAddMaster"}},
        {Kind::Documents, {"Count", "Item", "Add"}},
        {Kind::Document, {"Name", "Pages", "Masters", "DocumentSheet"}},
        {Kind::Pages, {"Count", "Item", "Add"}},
        {Kind::Page, {"Name", "ID", "Shapes", "PageSheet", "Document", "DrawRectangle", "Drop"}},
        {Kind::Masters, {"Count", "Item"}},
        {Kind::Master,
         {"Name", "NameU", "ID", "UniqueID", "Shapes", "PageSheet", "Document", "Open", "Close",
          "Drop"}},
        {Kind::Shapes, {"Count", "Item", "ItemFromID"}},
        {Kind::Shape,
         {"Name", "NameU", "NameID", "ID", "UniqueID", "Type", "ForeignType", "Shapes", "Parent",
          "ContainingPage", "ContainingMaster", "MasterShape", "Document", "SectionExists", "RowExists",
          "CellsSRCExists", "AddSection", "DeleteSection", "RowCount", "RowsCellCount",
          "GeometryCount", "RowType", "AddRow", "AddRows", "AddNamedRow", "DeleteRow", "CellsSRC", "Cells",
          "GetFormulas", "SetFormulas", "Characters", "Data1", "Data2", "Data3", "OneD",
          "ConvertToGroup", "Duplicate", "Delete", "DrawRectangle", "OpenDrawWindow", "Copy"}},
        {Kind::Cell, {"Formula", "ResultIU", "ResultStr", "RowName", "Name", "Section", "Row", "Column"}},
        {Kind::Characters,
         {"Begin", "End", "CharCount", "RunBegin", "RunEnd", "CharPropsRow", "ParaPropsRow",
          "CharProps", "ParaProps", "IsField", "FieldCategory", "FieldCode", "FieldFormat",
          "FieldFormula", "AddField", "AddCustomField", "Text"}},
        {Kind::Window, {"Document", "Selection", "DeselectAll", "Select", "Paste", "Close"}},
        {Kind::Selection, {"Count", "Item"}},
    };
    return names;
}

const std::vector<std::string>& AllNames() {
    static const std::vector<std::string> all = [] {
        std::set<std::string> unique;
        for (const auto& [kind, names] : MemberNames())
            unique.insert(names.begin(), names.end());
        return std::vector<std::string>(unique.begin(), unique.end());
    }();
    return all;
}

/// A call's arguments in the member's own order.
class Args {
public:
    explicit Args(DISPPARAMS* params) {
        for (UINT i = params->cArgs; i-- > 0;) {
            VARIANT* arg = &params->rgvarg[i];
            if (arg->vt == (VT_BYREF | VT_VARIANT)) arg = arg->pvarVal;
            m_args.push_back(arg);
        }
    }
    size_t Count() const { return m_args.size(); }
    VARIANT* At(size_t i) const {
        if (i >= m_args.size()) Raise(static_cast<int32_t>(DISP_E_BADPARAMCOUNT), "Argument missing");
        return m_args[i];
    }
    VARIANT Converted(size_t i, VARTYPE type) const {
        VARIANT out;
        VariantInit(&out);
        if (FAILED(VariantChangeType(&out, At(i), 0, type)))
            Raise(static_cast<int32_t>(DISP_E_TYPEMISMATCH), "Type mismatch");
        return out;
    }
    int16_t Short(size_t i) const { return Converted(i, VT_I2).iVal; }
    int32_t Long(size_t i) const { return Converted(i, VT_I4).lVal; }
    double Double(size_t i) const { return Converted(i, VT_R8).dblVal; }
    bool Bool(size_t i) const { return Converted(i, VT_I4).lVal != 0; }
    bool IsText(size_t i) const { return At(i)->vt == VT_BSTR; }
    std::string String(size_t i) const {
        VARIANT text = Converted(i, VT_BSTR);
        std::string narrow = Narrow(text.bstrVal);
        VariantClear(&text);
        return narrow;
    }
    ObjectPtr Object(size_t i) const;
    /// An array argument, by value or by reference.
    SAFEARRAY* Array(size_t i, VARTYPE element) const {
        VARIANT* arg = At(i);
        if (arg->vt == (VT_ARRAY | element)) return arg->parray;
        if (arg->vt == (VT_BYREF | VT_ARRAY | element)) return *arg->pparray;
        Raise(static_cast<int32_t>(DISP_E_TYPEMISMATCH), "Type mismatch");
    }
    std::vector<int16_t> Shorts(size_t i) const {
        SAFEARRAY* array = Array(i, VT_I2);
        std::vector<int16_t> values(array ? array->rgsabound[0].cElements : 0);
        for (LONG k = 0; k < static_cast<LONG>(values.size()); ++k) {
            LONG index = k + array->rgsabound[0].lLbound;
            SafeArrayGetElement(array, &index, &values[static_cast<size_t>(k)]);
        }
        return values;
    }
    std::vector<std::string> Strings(size_t i) const {
        SAFEARRAY* array = Array(i, VT_VARIANT);
        std::vector<std::string> texts;
        for (ULONG k = 0; array && k < array->rgsabound[0].cElements; ++k) {
            LONG index = static_cast<LONG>(k) + array->rgsabound[0].lLbound;
            VARIANT element;
            VariantInit(&element);
            SafeArrayGetElement(array, &index, &element);
            VARIANT text;
            VariantInit(&text);
            VariantChangeType(&text, &element, 0, VT_BSTR);
            texts.push_back(text.vt == VT_BSTR ? Narrow(text.bstrVal) : std::string());
            VariantClear(&text);
            VariantClear(&element);
        }
        return texts;
    }
    /// The slot of an out array argument: a reference to a SAFEARRAY of VARIANTs.
    SAFEARRAY** OutArray(size_t i) const {
        VARIANT* arg = At(i);
        if (arg->vt != (VT_BYREF | VT_ARRAY | VT_VARIANT))
            Raise(static_cast<int32_t>(DISP_E_TYPEMISMATCH), "Type mismatch");
        return arg->pparray;
    }

private:
    std::vector<VARIANT*> m_args;
};

class DispObject;
class ConnectionPoint;

void Return(VARIANT* result, int16_t value) {
    result->vt = VT_I2;
    result->iVal = value;
}
void Return(VARIANT* result, int32_t value) {
    result->vt = VT_I4;
    result->lVal = value;
}
void Return(VARIANT* result, double value) {
    result->vt = VT_R8;
    result->dblVal = value;
}
void Return(VARIANT* result, bool value) {
    Return(result, static_cast<int16_t>(value ? -1 : 0));  // Visio's booleans are integers
}
void Return(VARIANT* result, const std::string& text) {
    const std::wstring wide = Wide(text);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}
void Return(VARIANT* result, Kind kind, ObjectPtr object);

/// The application's one outgoing interface, the application events.
class ConnectionPoint final : public IConnectionPoint {
public:
    explicit ConnectionPoint(IConnectionPointContainer* container) : m_container(container) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return m_container->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return m_container->Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override {
        *iid = kEventsId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** c) override {
        *c = m_container;
        m_container->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        IDispatch* events = nullptr;
        if (FAILED(sink->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&events))))
            return CONNECT_E_CANNOTCONNECT;
        g_sinks.push_back(events);
        *cookie = static_cast<DWORD>(g_sinks.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        if (cookie == 0 || cookie > g_sinks.size() || !g_sinks[cookie - 1]) return CONNECT_E_NOCONNECTION;
        g_sinks[cookie - 1]->Release();
        g_sinks[cookie - 1] = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    IConnectionPointContainer* m_container;
};

/// One model object served through IDispatch.
class DispObject final : public IDispatch, public IConnectionPointContainer {
public:
    DispObject(Kind kind, ObjectPtr object) : m_kind(kind), m_object(std::move(object)) {}

    const ObjectPtr& object() const { return m_object; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
        } else if (iid == kStandInObjectId) {
            *object = this;
        } else if (iid == IID_IConnectionPointContainer && m_kind == Kind::Application) {
            *object = static_cast<IConnectionPointContainer*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
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
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        const auto& mine = MemberNames().at(m_kind);
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            const int n = WideCharToMultiByte(CP_UTF8, 0, names[i], -1, nullptr, 0, nullptr, nullptr);
            std::string name(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
            WideCharToMultiByte(CP_UTF8, 0, names[i], -1, name.data(), n, nullptr, nullptr);
            if (i > 0 || !mine.count(name)) {
                hr = DISP_E_UNKNOWNNAME;
                continue;
            }
            const auto& all = AllNames();
            ids[i] = static_cast<DISPID>(std::find(all.begin(), all.end(), name) - all.begin() + 1);
        }
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT*) override {
        const auto& all = AllNames();
        if (id < 1 || static_cast<size_t>(id) > all.size()) return DISP_E_MEMBERNOTFOUND;
        VARIANT ignored;
        VariantInit(&ignored);
        try {
            const Args args(params);
            Serve(all[static_cast<size_t>(id - 1)], args, (flags & DISPATCH_PROPERTYPUT) != 0,
                  result ? result : &ignored);
            VariantClear(&ignored);
            return S_OK;
        } catch (const Error& error) {
            return Fail(exception, error.Number() < 0 ? error.Number() : E_FAIL, error.Description());
        } catch (const std::exception& error) {
            return Fail(exception, E_FAIL, error.what());
        }
    }

    static HRESULT Fail(EXCEPINFO* exception, HRESULT code, const std::string& description) {
        if (exception) {
            *exception = {};
            exception->scode = code;
            exception->bstrDescription = SysAllocString(Wide(description).c_str());
            exception->bstrSource = SysAllocString(L"Visio stand-in");
        }
        return DISP_E_EXCEPTION;
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
        if (iid != kEventsId) {
            *point = nullptr;
            return CONNECT_E_NOCONNECTION;
        }
        *point = &m_point;
        m_point.AddRef();
        return S_OK;
    }

private:
    template <class T>
    T& As() {
        auto typed = std::dynamic_pointer_cast<T>(m_object);
        if (!typed) Raise(static_cast<int32_t>(E_NOINTERFACE), "Wrong object");
        return *typed;
    }
    void Serve(const std::string& name, const Args& a, bool put, VARIANT* r);
    void ServeApplication(const std::string& name, const Args& a, VARIANT* r);
    void ServeShape(const std::string& name, const Args& a, bool put, VARIANT* r);
    void ServeCharacters(const std::string& name, const Args& a, bool put, VARIANT* r);

    ULONG m_references = 1;
    Kind m_kind;
    ObjectPtr m_object;
    ConnectionPoint m_point{this};
};

ObjectPtr Args::Object(size_t i) const {
    VARIANT* arg = At(i);
    IUnknown* unknown = arg->vt == VT_DISPATCH ? arg->pdispVal
                        : arg->vt == VT_UNKNOWN ? arg->punkVal
                                                : nullptr;
    DispObject* object = nullptr;
    if (!unknown ||
        FAILED(unknown->QueryInterface(kStandInObjectId, reinterpret_cast<void**>(&object))))
        Raise(static_cast<int32_t>(DISP_E_TYPEMISMATCH), "Not an object of this application");
    ObjectPtr model = object->object();
    object->Release();
    return model;
}

void Return(VARIANT* result, Kind kind, ObjectPtr object) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object ? new DispObject(kind, std::move(object)) : nullptr;
}

void FireBeforeQuit(IDispatch* application) {
    for (IDispatch* sink : std::vector<IDispatch*>(g_sinks)) {
        if (!sink) continue;
        sink->AddRef();
        OLECHAR name[] = L"BeforeQuit";
        LPOLESTR names[] = {name};
        DISPID id = DISPID_UNKNOWN;
        if (SUCCEEDED(sink->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
            VARIANT arg;
            arg.vt = VT_DISPATCH;
            arg.pdispVal = application;
            DISPPARAMS params{&arg, nullptr, 1, 0};
            sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                         nullptr, nullptr);
        }
        sink->Release();
    }
}

void DispObject::ServeApplication(const std::string& n, const Args& a, VARIANT* r) {
    auto& app = *g_application;
    if (n == "Documents") return Return(r, Kind::Documents, app.Documents());
    if (n == "ActiveDocument") return Return(r, Kind::Document, app.ActiveDocument());
    if (n == "ActivePage") return Return(r, Kind::Page, app.ActivePage());
    if (n == "ActiveWindow") return Return(r, Kind::Window, app.ActiveWindow());
    if (n == "Version") return Return(r, app.Version());
    if (n == "BeginUndoScope") return Return(r, app.BeginUndoScope(a.String(0)));
    if (n == "EndUndoScope") return app.EndUndoScope(a.Long(0), a.Bool(1));
    if (n == "Undo") return app.Undo();
    if (n == "Redo") return app.Redo();
    if (n == "Quit") {
        FireBeforeQuit(this);
        PostQuitMessage(0);
        return;
    }
    if (n == "StandInDump") return Return(r, DumpModel(app.TheModel()));
    if (n == "StandInInjectFailure") {
        if (a.Long(0) == 0) return app.TheModel().Calls().ClearInjectedFailure();
        return app.TheModel().Calls().InjectFailure(static_cast<uint64_t>(a.Long(0)));
    }
    if (n == "StandInAddMaster") {
        // A document's masters come from files; a test makes one in the drawing it built.
        const DocumentPtr document = app.Documents()->Item(a.String(0));
        app.TheModel().Shapes().AddMaster(embedded::DocumentOf(document), a.String(1));
        return;
    }
    if (n == "StandInHostCalls") return Return(r, static_cast<int32_t>(app.TheModel().Calls().TotalCalls()));
}

void DispObject::ServeShape(const std::string& n, const Args& a, bool put, VARIANT* r) {
    auto& s = As<IShape>();
    if (n == "Name") return put ? s.SetName(a.String(0)) : Return(r, s.Name());
    if (n == "NameU") return put ? s.SetNameU(a.String(0)) : Return(r, s.NameU());
    if (n == "NameID") return Return(r, s.NameID());
    if (n == "ID") return Return(r, s.ID());
    if (n == "UniqueID") return Return(r, s.UniqueID(a.Short(0)));
    if (n == "Type") return Return(r, s.Type());
    if (n == "ForeignType") return Return(r, s.ForeignType());
    if (n == "Shapes") return Return(r, Kind::Shapes, s.Shapes());
    if (n == "Parent") {
        const ObjectPtr parent = s.Parent();
        const Kind kind = std::dynamic_pointer_cast<IShape>(parent)      ? Kind::Shape
                          : std::dynamic_pointer_cast<IMaster>(parent)   ? Kind::Master
                          : std::dynamic_pointer_cast<IDocument>(parent) ? Kind::Document
                                                                         : Kind::Page;
        return Return(r, kind, parent);
    }
    if (n == "ContainingPage") return Return(r, Kind::Page, s.ContainingPage());
    if (n == "ContainingMaster") return Return(r, Kind::Master, s.ContainingMaster());
    if (n == "MasterShape") return Return(r, Kind::Shape, s.MasterShape());
    if (n == "Document") return Return(r, Kind::Document, s.Document());
    if (n == "SectionExists") return Return(r, s.SectionExists(a.Short(0), a.Short(1)));
    if (n == "RowExists") return Return(r, s.RowExists(a.Short(0), a.Short(1), a.Short(2)));
    if (n == "CellsSRCExists")
        return Return(r, s.CellsSRCExists(a.Short(0), a.Short(1), a.Short(2), a.Short(3)));
    if (n == "AddSection") return Return(r, s.AddSection(a.Short(0)));
    if (n == "DeleteSection") return s.DeleteSection(a.Short(0));
    if (n == "RowCount") return Return(r, s.RowCount(a.Short(0)));
    if (n == "RowsCellCount") return Return(r, s.RowsCellCount(a.Short(0), a.Short(1)));
    if (n == "GeometryCount") return Return(r, s.GeometryCount());
    if (n == "RowType")
        return put ? s.SetRowType(a.Short(0), a.Short(1), a.Short(2))
                   : Return(r, s.RowType(a.Short(0), a.Short(1)));
    if (n == "AddRow") return Return(r, s.AddRow(a.Short(0), a.Short(1), a.Short(2)));
    if (n == "AddRows")
        return Return(r, s.AddRows(a.Short(0), a.Short(1), a.Short(2), a.Short(3)));
    if (n == "AddNamedRow") return Return(r, s.AddNamedRow(a.Short(0), a.String(1), a.Short(2)));
    if (n == "DeleteRow") return s.DeleteRow(a.Short(0), a.Short(1));
    if (n == "CellsSRC") return Return(r, Kind::Cell, s.CellsSRC(a.Short(0), a.Short(1), a.Short(2)));
    if (n == "Cells") return Return(r, Kind::Cell, s.Cells(a.String(0)));
    if (n == "GetFormulas") {
        const std::vector<std::string> formulas = s.GetFormulas(a.Shorts(0));
        SAFEARRAY** slot = a.OutArray(1);
        SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(formulas.size()));
        for (LONG k = 0; k < static_cast<LONG>(formulas.size()); ++k) {
            VARIANT text;
            VariantInit(&text);
            Return(&text, formulas[static_cast<size_t>(k)]);
            SafeArrayPutElement(array, &k, &text);
            VariantClear(&text);
        }
        if (*slot) SafeArrayDestroy(*slot);
        *slot = array;
        return;
    }
    if (n == "SetFormulas") {
        const std::vector<std::string> formulas = a.Strings(1);
        return Return(r, s.SetFormulas(a.Shorts(0), formulas, a.Short(2)));
    }
    if (n == "Characters") return Return(r, Kind::Characters, s.Characters());
    if (n == "Data1") return put ? s.SetData1(a.String(0)) : Return(r, s.Data1());
    if (n == "Data2") return put ? s.SetData2(a.String(0)) : Return(r, s.Data2());
    if (n == "Data3") return put ? s.SetData3(a.String(0)) : Return(r, s.Data3());
    if (n == "OneD") return put ? s.SetOneD(a.Bool(0)) : Return(r, s.OneD());
    if (n == "ConvertToGroup") return s.ConvertToGroup();
    if (n == "Duplicate") return Return(r, Kind::Shape, s.Duplicate());
    if (n == "Delete") return s.Delete();
    if (n == "DrawRectangle")
        return Return(r, Kind::Shape, s.DrawRectangle(a.Double(0), a.Double(1), a.Double(2), a.Double(3)));
    if (n == "OpenDrawWindow") return Return(r, Kind::Window, s.OpenDrawWindow());
    if (n == "Copy") return s.Copy();
}

void DispObject::ServeCharacters(const std::string& n, const Args& a, bool put, VARIANT* r) {
    auto& c = As<ICharacters>();
    if (n == "Begin") return put ? c.SetBegin(a.Long(0)) : Return(r, c.Begin());
    if (n == "End") return put ? c.SetEnd(a.Long(0)) : Return(r, c.End());
    if (n == "CharCount") return Return(r, c.CharCount());
    if (n == "RunBegin") return Return(r, c.RunBegin(a.Short(0)));
    if (n == "RunEnd") return Return(r, c.RunEnd(a.Short(0)));
    if (n == "CharPropsRow") return Return(r, c.CharPropsRow(a.Short(0)));
    if (n == "ParaPropsRow") return Return(r, c.ParaPropsRow(a.Short(0)));
    if (n == "CharProps") return c.SetCharProps(a.Short(0), a.Short(1));
    if (n == "ParaProps") return c.SetParaProps(a.Short(0), a.Short(1));
    if (n == "IsField") return Return(r, c.IsField());
    if (n == "FieldCategory") return Return(r, c.FieldCategory());
    if (n == "FieldCode") return Return(r, c.FieldCode());
    if (n == "FieldFormat") return Return(r, c.FieldFormat());
    if (n == "FieldFormula") return Return(r, c.FieldFormula());
    if (n == "AddField") return c.AddField(a.Short(0), a.Short(1), a.Short(2));
    if (n == "AddCustomField") return c.AddCustomField(a.String(0), a.Short(1));
    if (n == "Text") return put ? c.SetText(a.String(0)) : Return(r, c.Text());
}

void DispObject::Serve(const std::string& n, const Args& a, bool put, VARIANT* r) {
    switch (m_kind) {
    case Kind::Application: return ServeApplication(n, a, r);
    case Kind::Shape: return ServeShape(n, a, put, r);
    case Kind::Characters: return ServeCharacters(n, a, put, r);
    case Kind::Documents: {
        auto& d = As<IDocuments>();
        if (n == "Count") return Return(r, d.Count());
        if (n == "Item")
            return Return(r, Kind::Document, a.IsText(0) ? d.Item(a.String(0)) : d.Item(a.Short(0)));
        if (n == "Add") return Return(r, Kind::Document, d.Add(a.String(0)));
        return;
    }
    case Kind::Document: {
        auto& d = As<IDocument>();
        if (n == "Name") return Return(r, d.Name());
        if (n == "Pages") return Return(r, Kind::Pages, d.Pages());
        if (n == "Masters") return Return(r, Kind::Masters, d.Masters());
        if (n == "DocumentSheet") return Return(r, Kind::Shape, d.DocumentSheet());
        return;
    }
    case Kind::Pages: {
        auto& p = As<IPages>();
        if (n == "Count") return Return(r, p.Count());
        if (n == "Item") return Return(r, Kind::Page, a.IsText(0) ? p.Item(a.String(0)) : p.Item(a.Short(0)));
        if (n == "Add") return Return(r, Kind::Page, p.Add());
        return;
    }
    case Kind::Page: {
        auto& p = As<IPage>();
        if (n == "Name") return Return(r, p.Name());
        if (n == "ID") return Return(r, p.ID());
        if (n == "Shapes") return Return(r, Kind::Shapes, p.Shapes());
        if (n == "PageSheet") return Return(r, Kind::Shape, p.PageSheet());
        if (n == "Document") return Return(r, Kind::Document, p.Document());
        if (n == "DrawRectangle")
            return Return(r, Kind::Shape, p.DrawRectangle(a.Double(0), a.Double(1), a.Double(2), a.Double(3)));
        if (n == "Drop") {
            const ObjectPtr what = a.Object(0);
            if (auto master = std::dynamic_pointer_cast<IMaster>(what))
                return Return(r, Kind::Shape, p.Drop(master, a.Double(1), a.Double(2)));
            return Return(r, Kind::Shape,
                          p.Drop(std::dynamic_pointer_cast<IShape>(what), a.Double(1), a.Double(2)));
        }
        return;
    }
    case Kind::Masters: {
        auto& m = As<IMasters>();
        if (n == "Count") return Return(r, m.Count());
        if (n == "Item") return Return(r, Kind::Master, a.IsText(0) ? m.Item(a.String(0)) : m.Item(a.Short(0)));
        return;
    }
    case Kind::Master: {
        auto& m = As<IMaster>();
        if (n == "Name") return Return(r, m.Name());
        if (n == "NameU") return Return(r, m.NameU());
        if (n == "ID") return Return(r, m.ID());
        if (n == "UniqueID") return Return(r, m.UniqueID());
        if (n == "Shapes") return Return(r, Kind::Shapes, m.Shapes());
        if (n == "PageSheet") return Return(r, Kind::Shape, m.PageSheet());
        if (n == "Document") return Return(r, Kind::Document, m.Document());
        if (n == "Open") return Return(r, Kind::Master, m.Open());
        if (n == "Close") return m.Close();
        if (n == "Drop")
            return Return(r, Kind::Shape, m.Drop(std::dynamic_pointer_cast<IShape>(a.Object(0)),
                                                 a.Double(1), a.Double(2)));
        return;
    }
    case Kind::Shapes: {
        auto& s = As<IShapes>();
        if (n == "Count") return Return(r, s.Count());
        if (n == "Item") return Return(r, Kind::Shape, a.IsText(0) ? s.Item(a.String(0)) : s.Item(a.Short(0)));
        if (n == "ItemFromID") return Return(r, Kind::Shape, s.ItemFromID(a.Long(0)));
        return;
    }
    case Kind::Cell: {
        auto& c = As<ICell>();
        if (n == "Formula") return put ? c.SetFormula(a.String(0)) : Return(r, c.Formula());
        if (n == "ResultIU") return put ? c.SetResultIU(a.Double(0)) : Return(r, c.ResultIU());
        if (n == "ResultStr") return Return(r, c.ResultStr(a.Short(0)));
        if (n == "RowName") return put ? c.SetRowName(a.String(0)) : Return(r, c.RowName());
        if (n == "Name") return Return(r, c.Name());
        if (n == "Section") return Return(r, c.Section());
        if (n == "Row") return Return(r, c.Row());
        if (n == "Column") return Return(r, c.Column());
        return;
    }
    case Kind::Window: {
        auto& w = As<IWindow>();
        if (n == "Document") return Return(r, Kind::Document, w.Document());
        if (n == "Selection") return Return(r, Kind::Selection, w.Selection());
        if (n == "DeselectAll") return w.DeselectAll();
        if (n == "Select") return w.Select(std::dynamic_pointer_cast<IShape>(a.Object(0)), a.Short(1));
        if (n == "Paste") return w.Paste();
        if (n == "Close") return w.Close();
        return;
    }
    case Kind::Selection: {
        auto& s = As<ISelection>();
        if (n == "Count") return Return(r, s.Count());
        if (n == "Item") return Return(r, Kind::Shape, s.Item(a.Short(0)));
        return;
    }
    }
}

/// Makes "Visio.Application" name the stand-in's class. Wine does not merge the user's classes
/// into HKEY_CLASSES_ROOT, so the machine's are written too.
void RegisterProgId() {
    wchar_t clsid[64] = {};
    StringFromGUID2(kStandInClassId, clsid, 64);
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(root, L"Software\\Classes\\Visio.Application\\CLSID", 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            continue;
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid),
                       static_cast<DWORD>((lstrlenW(clsid) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

}  // namespace
}  // namespace tess::test

int main(int argc, char** argv) {
    using namespace tess::test;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
    RegisterProgId();
    g_application = std::make_shared<tess::embedded::EmbeddedApplication>();
    for (int i = 1; i < argc; ++i) {
        try {
            tess::vsdx::OpenDocument(g_application->TheModel(), argv[i]);
        } catch (const tess::Error& error) {
            std::fprintf(stderr, "stand-in: %s\n", error.Description().c_str());
            return 4;
        }
    }
    auto* application = new DispObject(Kind::Application, g_application);
    DWORD registration = 0;
    if (FAILED(RegisterActiveObject(static_cast<IDispatch*>(application), kStandInClassId,
                                    ACTIVEOBJECT_STRONG, &registration)))
        return 3;
    std::printf("%s\n", kStandInReady);
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RevokeActiveObject(registration, nullptr);
    for (IDispatch* sink : g_sinks)
        if (sink) sink->Release();
    application->Release();
    CoUninitialize();
    return 0;
}
