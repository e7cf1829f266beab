#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

namespace tess::formula {

/// Text held behind one pointer, with nothing allocated while empty: for the strings a drawing
/// keeps for each of its hundreds of thousands of cells and rows (formulas, string values, row
/// names), most of which are empty and many the same (every instance of a master, every copy of a
/// shape repeats its formulas). Equal texts share one immutable copy, counted: copying a text
/// costs no allocation, and a drawing holds each distinct formula once.
class CompactText {
public:
    CompactText() = default;
    CompactText(std::string_view text) { Assign(text); }  // NOLINT: converts like a string
    CompactText(const std::string& text) { Assign(text); }
    CompactText(const char* text) { Assign(text); }
    CompactText(const CompactText& other) noexcept : m_data(other.m_data) { Retain(); }
    CompactText(CompactText&& other) noexcept : m_data(other.m_data) { other.m_data = nullptr; }
    CompactText& operator=(const CompactText& other) {
        if (this != &other) CompactText(other).swap(*this);
        return *this;
    }
    CompactText& operator=(CompactText&& other) noexcept {
        CompactText(std::move(other)).swap(*this);
        return *this;
    }
    ~CompactText() { Release(); }

    std::string_view view() const {
        return m_data ? std::string_view(m_data + kHeader, Size()) : std::string_view();
    }
    operator std::string_view() const { return view(); }
    operator std::string() const { return std::string(view()); }
    std::string str() const { return std::string(view()); }
    const char* c_str() const { return m_data ? m_data + kHeader : ""; }
    bool empty() const { return m_data == nullptr; }
    size_t size() const { return m_data ? Size() : 0; }
    void clear() { CompactText().swap(*this); }
    void swap(CompactText& other) noexcept { std::swap(m_data, other.m_data); }

    friend bool operator==(const CompactText& a, const CompactText& b) {
        return a.m_data == b.m_data;  // equal texts share their copy
    }
    friend bool operator==(const CompactText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const CompactText& a, const char* b) { return a.view() == b; }
    friend bool operator==(const CompactText& a, const std::string& b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const CompactText& text) {
        return out << text.view();
    }

private:
    static constexpr size_t kHeader = 2 * sizeof(uint32_t);  // the count of holders, the length

    uint32_t Size() const;
    void Assign(std::string_view text);
    void Retain() noexcept;
    void Release() noexcept;

    char* m_data = nullptr;  // the header, the characters and a terminating zero; null when empty
};

inline std::string operator+(const std::string& a, const CompactText& b) {
    return a + std::string(b.view());
}
inline std::string operator+(const char* a, const CompactText& b) {
    return a + std::string(b.view());
}
inline std::string operator+(const CompactText& a, const std::string& b) {
    return std::string(a.view()) + b;
}
inline std::string operator+(const CompactText& a, const char* b) {
    return std::string(a.view()) + b;
}

}  // namespace tess::formula
