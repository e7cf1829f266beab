#include "platform/registry/FileRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>
#include <sstream>

namespace tess::registry {
namespace {

/// Key paths and value names compare without regard to case, as in the registry.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

/// Key paths without separators at either end or doubled.
std::string CleanPath(const std::string& path) {
    std::string clean;
    for (char c : path) {
        if (c == '\\' && (clean.empty() || clean.back() == '\\')) continue;
        clean += c;
    }
    if (!clean.empty() && clean.back() == '\\') clean.pop_back();
    return clean;
}

/// A text as one field of a line: a JSON string, which escapes tabs, line breaks and NULs.
std::string Escape(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

/// A field read back; nullopt for one that is no JSON string.
std::optional<std::string> Unescape(const std::string& field) {
    const nlohmann::json parsed = nlohmann::json::parse(field, nullptr, false);
    if (!parsed.is_string()) return std::nullopt;
    return parsed.get<std::string>();
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

std::vector<FileRegistry::Key> FileRegistry::Load() const {
    std::vector<Key> keys;
    std::ifstream in(m_path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        const auto fields = Fields(line);
        if (fields.size() != 3) continue;
        if (fields[0] == "key") {
            if (const auto path = Unescape(fields[2])) {
                keys.push_back({static_cast<uint32_t>(std::strtoul(fields[1].c_str(), nullptr, 16)),
                                *path,
                                {}});
            }
        } else if (fields[0] == "value" && !keys.empty()) {
            const auto name = Unescape(fields[1]);
            const auto data = Unescape(fields[2]);
            if (name && data) keys.back().values.emplace_back(*name, *data);
        }
    }
    return keys;
}

bool FileRegistry::Save(const std::vector<Key>& keys) const {
    std::ostringstream out;
    out << "# Tessaline settings: keys and their string values, tab-separated, texts as JSON "
           "strings\n";
    for (const Key& key : keys) {
        char root[16];
        std::snprintf(root, sizeof root, "%08x", key.root);
        out << "key\t" << root << '\t' << Escape(key.path) << '\n';
        for (const auto& [name, data] : key.values)
            out << "value\t" << Escape(name) << '\t' << Escape(data) << '\n';
    }
    std::error_code error;
    const std::filesystem::path target(m_path);
    if (target.has_parent_path()) std::filesystem::create_directories(target.parent_path(), error);
    std::random_device random;
    std::string name(1, '.');
    name += target.filename().string();
    name += '.';
    name += std::to_string(random());
    name += ".tmp";
    const std::filesystem::path temporary = target.parent_path() / name;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << out.str();
        file.flush();
        if (!file) {
            file.close();
            std::filesystem::remove(temporary, error);
            return false;
        }
    }
    std::filesystem::rename(temporary, target, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

FileRegistry::Key* FileRegistry::Find(std::vector<Key>& keys, uint32_t root,
                                      const std::string& path) {
    const std::string clean = CleanPath(path);
    for (Key& key : keys) {
        if (key.root == root && SameName(key.path, clean)) return &key;
    }
    return nullptr;
}

bool FileRegistry::CreateKey(uint32_t root, const std::string& path) {
    std::vector<Key> keys = Load();
    const std::string clean = CleanPath(path);
    if (clean.empty()) return false;
    bool added = false;
    // Every key on the way is made too, as the registry does.
    for (size_t end = clean.find('\\');; end = clean.find('\\', end + 1)) {
        const std::string prefix = clean.substr(0, end);
        if (!Find(keys, root, prefix)) {
            keys.push_back({root, prefix, {}});
            added = true;
        }
        if (end == std::string::npos) break;
    }
    return !added || Save(keys);
}

bool FileRegistry::OpenKey(uint32_t root, const std::string& path) {
    std::vector<Key> keys = Load();
    return Find(keys, root, path) != nullptr;
}

std::optional<std::string> FileRegistry::ReadValue(uint32_t root, const std::string& path,
                                                   const std::string& name) {
    std::vector<Key> keys = Load();
    const Key* key = Find(keys, root, path);
    if (!key) return std::nullopt;
    for (const auto& [stored, data] : key->values) {
        if (SameName(stored, name)) return data;
    }
    return std::nullopt;
}

bool FileRegistry::WriteValue(uint32_t root, const std::string& path, const std::string& name,
                              const std::string& data) {
    std::vector<Key> keys = Load();
    Key* key = Find(keys, root, path);
    if (!key) return false;
    for (auto& [stored, value] : key->values) {
        if (SameName(stored, name)) {
            value = data;
            return Save(keys);
        }
    }
    key->values.emplace_back(name, data);
    return Save(keys);
}

std::vector<std::pair<std::string, std::string>> FileRegistry::Values(uint32_t root,
                                                                      const std::string& path) {
    std::vector<Key> keys = Load();
    const Key* key = Find(keys, root, path);
    return key ? key->values : std::vector<std::pair<std::string, std::string>>();
}

std::string DefaultSettingsPath() {
    std::filesystem::path folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        folder = std::filesystem::path(home) / ".config";
    } else {
        folder = std::filesystem::temp_directory_path();
    }
    return (folder / "tessaline" / "settings.tsv").string();
}

}  // namespace tess::registry
