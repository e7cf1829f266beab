#include "host/vsdx/FileAccess.h"

namespace tess::vsdx {

std::filesystem::path PathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::string NameOf(const std::filesystem::path& path) {
    const std::u8string name = path.u8string();
    return std::string(name.begin(), name.end());
}

std::string WriteTargetOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(PathOf(path), error)) return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(PathOf(path), error);
    return error ? path : NameOf(target);
}

}  // namespace tess::vsdx
