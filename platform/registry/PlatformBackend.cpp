// The settings store where there is no Windows registry: the settings file.
#include "platform/registry/FileRegistry.h"

namespace tess::registry {

std::unique_ptr<IRegistryBackend> MakePlatformBackend() {
    return std::make_unique<FileRegistry>(DefaultSettingsPath());
}

}  // namespace tess::registry
