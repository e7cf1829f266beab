#include "formula/CompactText.h"

#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <unordered_set>

namespace tess::formula {
namespace {

// A shared text begins with the count of its holders, then its length. Every text lives in the
// pool while it has holders, so that an equal text assigned later shares it. The count only
// reaches zero under the pool's lock, so the pool never hands out a text being freed.

std::atomic<uint32_t>& HoldersOf(char* data) {
    return *std::launder(reinterpret_cast<std::atomic<uint32_t>*>(data));
}

std::string_view TextOf(const char* data) {
    uint32_t size = 0;
    std::memcpy(&size, data + sizeof(uint32_t), sizeof size);
    return {data + 2 * sizeof(uint32_t), size};
}

struct TextHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    size_t operator()(const char* data) const { return (*this)(TextOf(data)); }
};

struct TextEqual {
    using is_transparent = void;
    static std::string_view Of(std::string_view text) { return text; }
    static std::string_view Of(const char* data) { return TextOf(data); }
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
        return Of(a) == Of(b);
    }
};

struct Pool {
    std::mutex mutex;
    std::unordered_set<const char*, TextHash, TextEqual> texts;
};

/// Never destroyed: texts held by objects of static storage may outlive any static pool.
Pool& ThePool() {
    static Pool* const pool = new Pool;
    return *pool;
}

}  // namespace

uint32_t CompactText::Size() const {
    return static_cast<uint32_t>(TextOf(m_data).size());
}

void CompactText::Assign(std::string_view text) {
    if (text.empty()) return;
    if (text.size() > UINT32_MAX - kHeader - 1) throw std::length_error("text too long");
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> lock(pool.mutex);
    if (const auto found = pool.texts.find(text); found != pool.texts.end()) {
        m_data = const_cast<char*>(*found);
        HoldersOf(m_data).fetch_add(1, std::memory_order_relaxed);
        return;
    }
    const auto size = static_cast<uint32_t>(text.size());
    char* data = new char[kHeader + size + 1];
    new (data) std::atomic<uint32_t>(1);
    std::memcpy(data + sizeof(uint32_t), &size, sizeof size);
    std::memcpy(data + kHeader, text.data(), size);
    data[kHeader + size] = '\0';
    pool.texts.insert(data);
    m_data = data;
}

void CompactText::Retain() noexcept {
    if (m_data) HoldersOf(m_data).fetch_add(1, std::memory_order_relaxed);
}

void CompactText::Release() noexcept {
    if (!m_data) return;
    std::atomic<uint32_t>& holders = HoldersOf(m_data);
    // Not the last holder: no lock needed, since the count cannot reach zero here.
    for (uint32_t count = holders.load(std::memory_order_relaxed); count > 1;) {
        if (holders.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel)) return;
    }
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> lock(pool.mutex);
    if (holders.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    pool.texts.erase(m_data);
    holders.~atomic();
    delete[] m_data;
    m_data = nullptr;
}

}  // namespace tess::formula
