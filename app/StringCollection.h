#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tess::app {

/// An ordered collection of strings, each optionally stored under a unique key (keys compare
/// without regard to ASCII case). The reference replacement list of a copy run is one.
class StringCollection {
public:
    struct Entry {
        std::string item;
        std::string key;
    };

    /// Appends item; a key already in use fails with err::kDuplicateKey.
    void Add(std::string item, std::string key = {});
    int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
    /// The item at a 1-based index; out of range fails with err::kSubscriptOutOfRange.
    const std::string& Item(int32_t index) const;
    bool ContainsKey(std::string_view key) const;
    void Clear() { m_items.clear(); }

    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    std::vector<Entry> m_items;
};

}  // namespace tess::app
