#include "formula/CompactText.h"

#include <cstring>
#include <stdexcept>

namespace tess::formula {

uint32_t CompactText::Size() const {
    uint32_t size = 0;
    std::memcpy(&size, m_data, sizeof size);
    return size;
}

void CompactText::Assign(std::string_view text) {
    if (text.empty()) return;
    if (text.size() > UINT32_MAX - sizeof(uint32_t) - 1) throw std::length_error("text too long");
    const auto size = static_cast<uint32_t>(text.size());
    m_data = new char[sizeof size + size + 1];
    std::memcpy(m_data, &size, sizeof size);
    std::memcpy(m_data + sizeof size, text.data(), size);
    m_data[sizeof size + size] = '\0';
}

}  // namespace tess::formula
