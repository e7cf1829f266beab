#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "host/com/ComHost.h"
#include "platform/windows/Windows.h"
#include <oaidl.h>

// Late-bound calls on an IDispatch, with the ownership of BSTRs, VARIANTs and SAFEARRAYs kept
// in small owners, and every failure turned into the program's error type.
namespace tess::com {

/// UTF-8 and the UTF-16 that COM speaks.
std::wstring Wide(const std::string& text);
std::string Narrow(const wchar_t* text, size_t length);

/// An owned interface pointer.
template <class T>
class Ref {
public:
    Ref() = default;
    /// Takes over a reference the caller owns.
    static Ref Adopt(T* pointer) {
        Ref ref;
        ref.m_pointer = pointer;
        return ref;
    }
    Ref(const Ref& other) : m_pointer(other.m_pointer) {
        if (m_pointer) m_pointer->AddRef();
    }
    Ref(Ref&& other) noexcept : m_pointer(other.m_pointer) { other.m_pointer = nullptr; }
    Ref& operator=(Ref other) noexcept {
        std::swap(m_pointer, other.m_pointer);
        return *this;
    }
    ~Ref() {
        if (m_pointer) m_pointer->Release();
    }
    T* get() const { return m_pointer; }
    T* operator->() const { return m_pointer; }
    explicit operator bool() const { return m_pointer != nullptr; }
    /// For an out argument: releases what is held and hands out the slot.
    T** Put() {
        *this = Ref();
        return &m_pointer;
    }

private:
    T* m_pointer = nullptr;
};

/// An owned VARIANT, cleared when it goes.
class Variant {
public:
    Variant() { VariantInit(&m_value); }
    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    ~Variant() { VariantClear(&m_value); }
    static Variant Short(int16_t value);
    static Variant Long(int32_t value);
    static Variant Double(double value);
    static Variant Bool(bool value);
    static Variant String(const std::string& text);
    static Variant Object(IDispatch* object);
    /// A reference to a caller's VARIANT or SAFEARRAY slot, for arrays passed as Visio's
    /// array arguments are, by reference.
    static Variant ByRef(VARTYPE type, void* slot);

    VARIANT* get() { return &m_value; }
    const VARIANT& value() const { return m_value; }
    bool IsEmpty() const { return m_value.vt == VT_EMPTY || m_value.vt == VT_NULL; }

    int16_t AsShort() const;
    int32_t AsLong() const;
    double AsDouble() const;
    bool AsBool() const;
    std::string AsString() const;
    /// The object the VARIANT holds; null for Nothing.
    Ref<IDispatch> AsObject() const;

private:
    Variant Converted(VARTYPE type) const;
    VARIANT m_value;
};

/// A SAFEARRAY of 16-bit integers made from a stream of triples, destroyed when it goes.
class ShortArray {
public:
    explicit ShortArray(std::span<const int16_t> values);
    ~ShortArray();
    ShortArray(const ShortArray&) = delete;
    ShortArray& operator=(const ShortArray&) = delete;
    SAFEARRAY** slot() { return &m_array; }

private:
    SAFEARRAY* m_array;
};

/// A SAFEARRAY of VARIANTs, destroyed when it goes: strings in, or filled by the callee.
class VariantArray {
public:
    VariantArray() = default;
    explicit VariantArray(std::span<const std::string> texts);
    ~VariantArray();
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;
    SAFEARRAY** slot() { return &m_array; }
    /// Each element as text (empty elements give "").
    std::vector<std::string> Strings() const;

private:
    SAFEARRAY* m_array = nullptr;
};

/// Fails with the program's error type when hr is a failure: the HRESULT's number and the
/// system's text for it.
void Check(HRESULT hr, const char* what);

/// What a connection keeps of its calls: each member's DISPID by "Kind.Member" (the same member
/// of the same kind has the same DISPID on every object of that kind, so each name crosses to
/// the host once), and how often each member was called.
struct CallBook {
    std::map<std::string, DISPID> dispids;
    CallCounts counts;
};
using CallBookPtr = std::shared_ptr<CallBook>;

/// An automation object of one kind ("Shape", "Page"...), whose member names are looked up
/// once per kind in the book it shares with the other objects of its connection.
class Dispatch {
public:
    Dispatch(Ref<IDispatch> object, const char* kind,
             CallBookPtr book = std::make_shared<CallBook>());

    /// A method call, a property read (with its arguments, as Visio's indexed properties take
    /// them) and a property write. Arguments are in the member's own order.
    Variant Call(const char* member, std::vector<Variant> args = {});
    Variant Get(const char* member, std::vector<Variant> args = {});
    void Put(const char* member, Variant value, std::vector<Variant> args = {});

    /// True when the object answers to the name; a question asked of objects of unknown kind.
    bool HasMember(const char* member);

    IDispatch* get() const { return m_object.get(); }
    const char* kind() const { return m_kind; }
    const CallBookPtr& book() const { return m_book; }

private:
    DISPID IdOf(const char* member);
    Variant Invoke(const char* member, WORD flags, std::vector<Variant>& args);

    Ref<IDispatch> m_object;
    const char* m_kind;
    CallBookPtr m_book;
};

}  // namespace tess::com
