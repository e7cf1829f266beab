#include "platform/visio/Guid.h"

#include <uuid/uuid.h>

namespace tess::visio {

std::string NewGuidString() {
    // Random (version 4) GUIDs from the operating system's generator, drawn afresh for each GUID,
    // so that no two processes (a forked one included) hand out the same one.
    uuid_t guid;
    uuid_generate_random(guid);
    char text[37];
    uuid_unparse_upper(guid, text);
    return "{" + std::string(text) + "}";
}

}  // namespace tess::visio
