#pragma once

#include <string>

namespace tess::app {

/// A new GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, 38 chars.
std::string CreateGUIDString();

}  // namespace tess::app
