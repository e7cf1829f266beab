#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The settings store: string values under keys of a hierarchical store, the Windows registry on
// Windows and a file under the user's configuration folder elsewhere. The operations keep the
// registry's rules whatever the back end: the error numbers and texts, the 1024-character read
// limit, the empty text stored as one space, enumeration in a stable order.
namespace tess::registry {

inline constexpr uint32_t HKEY_CURRENT_USER = 0x80000001u;

namespace regerr {
inline constexpr int32_t kKeyMissing = 1000;    // "Registry Key does not exist"
inline constexpr int32_t kItemMissing = 1001;   // "Item does not exist for this registry key"
inline constexpr int32_t kCannotCreate = 1002;  // "Unable to create the registry key"
}  // namespace regerr

/// What a back end stores: keys by root and path ("Software\\Maker\\Program"), each holding
/// named string values in a stable order.
class IRegistryBackend {
public:
    virtual ~IRegistryBackend() = default;
    /// Creates the key with any missing parents, or finds it; false when it cannot.
    virtual bool CreateKey(uint32_t root, const std::string& path) = 0;
    /// Whether the key exists and can be opened for reading and writing.
    virtual bool OpenKey(uint32_t root, const std::string& path) = 0;
    /// The stored data of a value, as stored; nullopt when the key or the value is missing.
    virtual std::optional<std::string> ReadValue(uint32_t root, const std::string& path,
                                                 const std::string& name) = 0;
    /// Stores a string value (replacing one of the same name in its place); false on failure.
    virtual bool WriteValue(uint32_t root, const std::string& path, const std::string& name,
                            const std::string& data) = 0;
    /// The values of a key, name and data, in enumeration order; empty when the key is missing.
    virtual std::vector<std::pair<std::string, std::string>> Values(uint32_t root,
                                                                    const std::string& path) = 0;
};

/// The platform's own back end: the registry on Windows, the settings file in the user's
/// configuration folder elsewhere.
std::unique_ptr<IRegistryBackend> MakePlatformBackend();

/// An open key: the root and path it was opened with.
struct RegistryKey {
    uint32_t root = 0;
    std::string path;
};

/// The store's operations over one back end, which whoever keeps settings is handed.
class Registry {
public:
    explicit Registry(IRegistryBackend& backend) : m_backend(backend) {}

    void CreateRegistryKey(uint32_t root, const std::string& path);
    void CreateRegistryValue(uint32_t root, const std::string& path, const std::string& name,
                             const std::string& defaultText);
    std::string GetRegistryString(uint32_t root, const std::string& path, const std::string& name);
    void SetRegistryString(uint32_t root, const std::string& path, const std::string& name,
                           const std::string& text);
    /// Items "name\\data" (the two joined by two backslashes), in enumeration order.
    std::vector<std::string> EnumRegistryValues(uint32_t root, const std::string& path);

    RegistryKey OpenRegistryKey(uint32_t root, const std::string& path);
    std::string QueryKeyString(const RegistryKey& key, const std::string& name);
    void SetKeyString(const RegistryKey& key, const std::string& name, const std::string& text);

private:
    IRegistryBackend& m_backend;
};

}  // namespace tess::registry
