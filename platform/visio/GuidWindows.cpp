#include "platform/visio/Guid.h"

#include <objbase.h>

#include "platform/visio/Error.h"

namespace tess::visio {

std::string NewGuidString() {
    // The system's generator, which Visio itself uses for the GUIDs it writes.
    GUID guid;
    const HRESULT result = CoCreateGuid(&guid);
    if (FAILED(result)) throw Error(static_cast<int32_t>(result), "No GUID could be made.");
    wchar_t text[39];
    StringFromGUID2(guid, text, 39);
    return std::string(text, text + 38);  // the form is ASCII only
}

}  // namespace tess::visio
