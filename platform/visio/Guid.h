#pragma once

#include <string>

namespace tess::visio {

/// A new random GUID in registry form: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string NewGuidString();

}  // namespace tess::visio
