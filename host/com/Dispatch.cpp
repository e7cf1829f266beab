#include "host/com/Dispatch.h"

#include <algorithm>
#include <map>

#include "host/com/ComHost.h"
#include "platform/visio/Error.h"

namespace tess::com {
namespace {

std::string Key(const char* kind, const char* member) {
    return std::string(kind) + "." + member;
}

std::string SystemText(HRESULT hr) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length ? std::string(buffer, length) : std::string();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

/// The error a failed Invoke stands for: the callee's own code and text when it raised an
/// exception, else the HRESULT itself. Frees the EXCEPINFO's strings.
[[noreturn]] void RaiseInvokeFailure(HRESULT hr, EXCEPINFO& info, const char* member) {
    if (hr == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    int32_t number = hr;
    std::string description;
    if (hr == DISP_E_EXCEPTION) {
        if (info.scode != 0) number = info.scode;
        else if (info.wCode != 0) number = info.wCode;
        if (info.bstrDescription)
            description = Narrow(info.bstrDescription, SysStringLen(info.bstrDescription));
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    if (description.empty()) description = SystemText(number);
    if (description.empty()) description = std::string("The call of ") + member + " failed";
    Raise(number, description);
}

}  // namespace

uint64_t CallCounts::Total() const {
    uint64_t total = 0;
    for (const auto& [member, count] : calls)
        total += count;
    return total;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Narrow(const wchar_t* text, size_t length) {
    if (!text || length == 0) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) {
        std::string description = SystemText(hr);
        Raise(hr, description.empty() ? std::string(what) + " failed" : description);
    }
}

// --- Variant ---------------------------------------------------------------------------------

Variant::Variant(const Variant& other) {
    VariantInit(&m_value);
    Check(VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)), "Copying a value");
}

Variant& Variant::operator=(const Variant& other) {
    if (this != &other) Check(VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value)), "Copying a value");
    return *this;
}

Variant Variant::Short(int16_t value) {
    Variant v;
    v.m_value.vt = VT_I2;
    v.m_value.iVal = value;
    return v;
}

Variant Variant::Long(int32_t value) {
    Variant v;
    v.m_value.vt = VT_I4;
    v.m_value.lVal = value;
    return v;
}

Variant Variant::Double(double value) {
    Variant v;
    v.m_value.vt = VT_R8;
    v.m_value.dblVal = value;
    return v;
}

Variant Variant::Bool(bool value) {
    Variant v;
    v.m_value.vt = VT_BOOL;
    v.m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant Variant::String(const std::string& text) {
    const std::wstring wide = Wide(text);
    Variant v;
    v.m_value.vt = VT_BSTR;
    v.m_value.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!v.m_value.bstrVal) Raise(static_cast<int32_t>(E_OUTOFMEMORY), "Out of memory");
    return v;
}

Variant Variant::Object(IDispatch* object) {
    Variant v;
    v.m_value.vt = VT_DISPATCH;
    v.m_value.pdispVal = object;
    if (object) object->AddRef();
    return v;
}

Variant Variant::ByRef(VARTYPE type, void* slot) {
    Variant v;
    v.m_value.vt = static_cast<VARTYPE>(type | VT_BYREF);
    v.m_value.byref = slot;
    return v;
}

Variant Variant::Converted(VARTYPE type) const {
    Variant converted;
    Check(VariantChangeType(&converted.m_value, const_cast<VARIANT*>(&m_value), 0, type),
          "Converting a result");
    return converted;
}

int16_t Variant::AsShort() const {
    return Converted(VT_I2).m_value.iVal;
}
int32_t Variant::AsLong() const {
    return Converted(VT_I4).m_value.lVal;
}
double Variant::AsDouble() const {
    return Converted(VT_R8).m_value.dblVal;
}
bool Variant::AsBool() const {
    return Converted(VT_I4).m_value.lVal != 0;  // Visio's booleans are integers, True -1
}
std::string Variant::AsString() const {
    if (IsEmpty()) return {};
    const Variant text = Converted(VT_BSTR);
    return Narrow(text.m_value.bstrVal, SysStringLen(text.m_value.bstrVal));
}
Ref<IDispatch> Variant::AsObject() const {
    if (IsEmpty()) return {};
    const Variant object = Converted(VT_DISPATCH);
    IDispatch* pointer = object.m_value.pdispVal;
    if (pointer) pointer->AddRef();
    return Ref<IDispatch>::Adopt(pointer);
}

// --- Arrays ----------------------------------------------------------------------------------

ShortArray::ShortArray(std::span<const int16_t> values) {
    m_array = SafeArrayCreateVector(VT_I2, 0, static_cast<ULONG>(values.size()));
    if (!m_array) Raise(static_cast<int32_t>(E_OUTOFMEMORY), "Out of memory");
    if (!values.empty()) {
        void* data = nullptr;
        Check(SafeArrayAccessData(m_array, &data), "Filling an array");
        std::copy(values.begin(), values.end(), static_cast<int16_t*>(data));
        SafeArrayUnaccessData(m_array);
    }
}

ShortArray::~ShortArray() {
    if (m_array) SafeArrayDestroy(m_array);
}

VariantArray::VariantArray(std::span<const std::string> texts) {
    m_array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(texts.size()));
    if (!m_array) Raise(static_cast<int32_t>(E_OUTOFMEMORY), "Out of memory");
    for (LONG i = 0; i < static_cast<LONG>(texts.size()); ++i) {
        Variant text = Variant::String(texts[static_cast<size_t>(i)]);
        Check(SafeArrayPutElement(m_array, &i, text.get()), "Filling an array");  // copies
    }
}

VariantArray::~VariantArray() {
    if (m_array) SafeArrayDestroy(m_array);
}

std::vector<std::string> VariantArray::Strings() const {
    std::vector<std::string> texts;
    if (!m_array) return texts;
    if (SafeArrayGetDim(m_array) != 1) Raise(err::kTypeMismatch, err::DescriptionOf(err::kTypeMismatch));
    LONG lower = 0, upper = -1;
    Check(SafeArrayGetLBound(m_array, 1, &lower), "Reading an array");
    Check(SafeArrayGetUBound(m_array, 1, &upper), "Reading an array");
    for (LONG i = lower; i <= upper; ++i) {
        Variant element;
        Check(SafeArrayGetElement(m_array, &i, element.get()), "Reading an array");
        texts.push_back(element.AsString());
    }
    return texts;
}

// --- Dispatch --------------------------------------------------------------------------------

Dispatch::Dispatch(Ref<IDispatch> object, const char* kind, CallBookPtr book)
    : m_object(std::move(object)), m_kind(kind), m_book(std::move(book)) {
    if (!m_object) Raise(err::kObjectNotSet, err::DescriptionOf(err::kObjectNotSet));
}

DISPID Dispatch::IdOf(const char* member) {
    const std::string key = Key(m_kind, member);
    if (const auto found = m_book->dispids.find(key); found != m_book->dispids.end())
        return found->second;
    std::wstring name = Wide(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    ++m_book->counts.nameLookups;
    Check(m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), member);
    m_book->dispids.emplace(key, id);
    return id;
}

bool Dispatch::HasMember(const char* member) {
    std::wstring name = Wide(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    ++m_book->counts.nameLookups;
    return SUCCEEDED(m_object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

Variant Dispatch::Invoke(const char* member, WORD flags, std::vector<Variant>& args) {
    const DISPID id = IdOf(member);
    ++m_book->counts.calls[Key(m_kind, member)];
    // DISPPARAMS holds the arguments last first.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->value());  // a shallow view; args keeps ownership
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID putId = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    EXCEPINFO info{};
    UINT badArgument = 0;
    const HRESULT hr = m_object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                        flags == DISPATCH_PROPERTYPUT ? nullptr : result.get(),
                                        &info, &badArgument);
    if (FAILED(hr)) RaiseInvokeFailure(hr, info, member);
    return result;
}

Variant Dispatch::Call(const char* member, std::vector<Variant> args) {
    return Invoke(member, DISPATCH_METHOD, args);
}

Variant Dispatch::Get(const char* member, std::vector<Variant> args) {
    return Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args);
}

void Dispatch::Put(const char* member, Variant value, std::vector<Variant> args) {
    // The value is the last argument, named DISPID_PROPERTYPUT; it is first in DISPPARAMS.
    args.push_back(std::move(value));
    Invoke(member, DISPATCH_PROPERTYPUT, args);
}

}  // namespace tess::com
