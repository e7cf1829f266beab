#include "host/vsdx/FileAccess.h"

#include <filesystem>

#include "platform/visio/FileNames.h"

namespace tess::vsdx {

std::string WriteTargetOf(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(PathOf(path), error)) return path;
    const std::filesystem::path target = std::filesystem::weakly_canonical(PathOf(path), error);
    return error ? path : NameOf(target);
}

}  // namespace tess::vsdx
