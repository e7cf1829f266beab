// The settings store on Windows: the registry itself, through the ANSI registry calls.
// Registry.h comes first: <windows.h> makes HKEY_CURRENT_USER a macro, which would rewrite the
// header's own constant of that name.
#include "platform/registry/Registry.h"

#include "platform/windows/Windows.h"

namespace tess::registry {
namespace {

HKEY RootKey(uint32_t root) {
    // Predefined roots are sign-extended handle values.
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

/// A key open with full access, closed when it goes.
class OpenKeyHandle {
public:
    OpenKeyHandle(uint32_t root, const std::string& path) {
        if (RegOpenKeyExA(RootKey(root), path.c_str(), 0, KEY_ALL_ACCESS, &m_key) != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~OpenKeyHandle() {
        if (m_key) RegCloseKey(m_key);
    }
    OpenKeyHandle(const OpenKeyHandle&) = delete;
    OpenKeyHandle& operator=(const OpenKeyHandle&) = delete;
    explicit operator bool() const { return m_key != nullptr; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

std::string WithoutTerminator(std::string data) {
    while (!data.empty() && data.back() == '\0')
        data.pop_back();
    return data;
}

class WindowsRegistry : public IRegistryBackend {
public:
    bool CreateKey(uint32_t root, const std::string& path) override {
        HKEY key = nullptr;
        const LONG result =
            RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (result != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    bool OpenKey(uint32_t root, const std::string& path) override {
        return static_cast<bool>(OpenKeyHandle(root, path));
    }

    std::optional<std::string> ReadValue(uint32_t root, const std::string& path,
                                         const std::string& name) override {
        const OpenKeyHandle key(root, path);
        if (!key) return std::nullopt;
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, &size) !=
            ERROR_SUCCESS)
            return std::nullopt;
        std::string data(size, '\0');
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(size);
        return WithoutTerminator(std::move(data));
    }

    bool WriteValue(uint32_t root, const std::string& path, const std::string& name,
                    const std::string& data) override {
        const OpenKeyHandle key(root, path);
        if (!key) return false;
        return RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(data.c_str()),
                              static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    }

    std::vector<std::pair<std::string, std::string>> Values(uint32_t root,
                                                            const std::string& path) override {
        std::vector<std::pair<std::string, std::string>> values;
        const OpenKeyHandle key(root, path);
        if (!key) return values;
        DWORD longestName = 0, longestData = 0;
        if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, &longestName, &longestData, nullptr,
                             nullptr) != ERROR_SUCCESS) {
            return values;
        }
        for (DWORD index = 0;; ++index) {
            std::string name(longestName + 1, '\0');
            std::string data(longestData + 1, '\0');
            DWORD nameSize = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            if (RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr, nullptr,
                              reinterpret_cast<BYTE*>(data.data()), &dataSize) != ERROR_SUCCESS) {
                break;
            }
            name.resize(nameSize);
            data.resize(dataSize);
            values.emplace_back(std::move(name), WithoutTerminator(std::move(data)));
        }
        return values;
    }
};

}  // namespace

std::unique_ptr<IRegistryBackend> MakePlatformBackend() {
    return std::make_unique<WindowsRegistry>();
}

}  // namespace tess::registry
