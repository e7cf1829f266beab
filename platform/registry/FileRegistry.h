#pragma once

#include <string>

#include "platform/registry/Registry.h"

namespace tess::registry {

/// The settings store as one text file: keys and their values in the order they were made.
/// Every operation reads the file afresh and every change rewrites it whole, through a
/// temporary file renamed over it, so that a crash never leaves half a file.
class FileRegistry : public IRegistryBackend {
public:
    explicit FileRegistry(std::string path) : m_path(std::move(path)) {}

    bool CreateKey(uint32_t root, const std::string& path) override;
    bool OpenKey(uint32_t root, const std::string& path) override;
    std::optional<std::string> ReadValue(uint32_t root, const std::string& path,
                                         const std::string& name) override;
    bool WriteValue(uint32_t root, const std::string& path, const std::string& name,
                    const std::string& data) override;
    std::vector<std::pair<std::string, std::string>> Values(uint32_t root,
                                                            const std::string& path) override;

    const std::string& Path() const { return m_path; }

private:
    struct Key {
        uint32_t root = 0;
        std::string path;
        std::vector<std::pair<std::string, std::string>> values;
    };

    std::vector<Key> Load() const;
    bool Save(const std::vector<Key>& keys) const;
    static Key* Find(std::vector<Key>& keys, uint32_t root, const std::string& path);

    std::string m_path;
};

/// Where the settings file lives: the user's configuration folder ($XDG_CONFIG_HOME, else
/// ~/.config), in a folder of the program's own.
std::string DefaultSettingsPath();

}  // namespace tess::registry
