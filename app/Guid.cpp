#include "app/Guid.h"

#include "platform/visio/Guid.h"

namespace tess::app {

std::string CreateGUIDString() {
    return visio::NewGuidString();
}

}  // namespace tess::app
