#include "platform/registry/Registry.h"

#include "platform/visio/Error.h"

namespace tess::registry {
namespace {

constexpr size_t kQueryBufferBytes = 1024;  // a value is read into 1024 characters
constexpr size_t kEnumBufferChars = 255;    // names and data are enumerated into 255 each

[[noreturn]] void KeyMissing() {
    Raise(regerr::kKeyMissing, "Registry Key does not exist");
}
[[noreturn]] void ItemMissing() {
    Raise(regerr::kItemMissing, "Item does not exist for this registry key");
}
[[noreturn]] void CannotCreate() {
    Raise(regerr::kCannotCreate, "Unable to create the registry key");
}

std::string UpToFirstNul(const std::string& text) {
    return text.substr(0, text.find('\0'));
}

}  // namespace

void Registry::CreateRegistryKey(uint32_t root, const std::string& path) {
    if (!m_backend.CreateKey(root, path)) CannotCreate();
}

RegistryKey Registry::OpenRegistryKey(uint32_t root, const std::string& path) {
    if (!m_backend.OpenKey(root, path)) KeyMissing();
    return {root, path};
}

std::string Registry::QueryKeyString(const RegistryKey& key, const std::string& name) {
    const auto data = m_backend.ReadValue(key.root, key.path, name);
    // The stored text and its terminating NUL must fit the buffer.
    if (!data || data->size() + 1 > kQueryBufferBytes) ItemMissing();
    return UpToFirstNul(*data);
}

void Registry::SetKeyString(const RegistryKey& key, const std::string& name,
                            const std::string& text) {
    if (!m_backend.WriteValue(key.root, key.path, name, text.empty() ? std::string(1, ' ') : text))
        ItemMissing();
}

std::string Registry::GetRegistryString(uint32_t root, const std::string& path,
                                        const std::string& name) {
    return QueryKeyString(OpenRegistryKey(root, path), name);
}

void Registry::SetRegistryString(uint32_t root, const std::string& path, const std::string& name,
                                 const std::string& text) {
    SetKeyString(OpenRegistryKey(root, path), name, text);
}

std::vector<std::string> Registry::EnumRegistryValues(uint32_t root, const std::string& path) {
    std::vector<std::string> items;
    const RegistryKey key = OpenRegistryKey(root, path);
    for (const auto& [name, data] : m_backend.Values(key.root, key.path)) {
        // A name or data that does not fit its buffer ends the enumeration there.
        if (name.size() + 1 > kEnumBufferChars || data.size() + 1 > kEnumBufferChars) break;
        items.push_back(UpToFirstNul(name) + "\\\\" + UpToFirstNul(data));
    }
    return items;
}

void Registry::CreateRegistryValue(uint32_t root, const std::string& path, const std::string& name,
                                   const std::string& defaultText) {
    // Each step that fails is answered by creating the key, and the next step follows.
    const auto step = [&](auto&& body) {
        try {
            body();
        } catch (const Error&) {
            CreateRegistryKey(root, path);
        }
    };
    step([&] {
        if (!m_backend.OpenKey(root, path)) CreateRegistryKey(root, path);
    });
    step([&] { OpenRegistryKey(root, path); });
    std::vector<std::string> items;
    step([&] { items = EnumRegistryValues(root, path); });
    bool present = false;
    for (const std::string& item : items) {
        if (item.find(name) != std::string::npos) present = true;
    }
    if (!present) step([&] { SetRegistryString(root, path, name, defaultText); });
}

}  // namespace tess::registry
