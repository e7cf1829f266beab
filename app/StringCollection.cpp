#include "app/StringCollection.h"

#include <algorithm>
#include <utility>

#include "platform/visio/Error.h"

namespace tess::app {
namespace {

bool SameKey(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

void StringCollection::Add(std::string item, std::string key) {
    if (!key.empty() && ContainsKey(key)) {
        Raise(err::kDuplicateKey);
    }
    m_items.push_back({std::move(item), std::move(key)});
}

const std::string& StringCollection::Item(int32_t index) const {
    if (index < 1 || index > Count()) {
        Raise(err::kSubscriptOutOfRange);
    }
    return m_items[static_cast<size_t>(index - 1)].item;
}

bool StringCollection::ContainsKey(std::string_view key) const {
    return std::any_of(m_items.begin(), m_items.end(),
                       [&](const Entry& entry) { return SameKey(entry.key, key); });
}

}  // namespace tess::app
