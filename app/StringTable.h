#pragma once

#include <string>
#include <string_view>

namespace tess::app {

/// The text of a string-table entry. An id the table lacks fails with error 326.
const std::string& LoadResString(int id);
/// The text of an entry with its "%1" replaced by argument.
std::string FormatResString(int id, std::string_view argument);

}  // namespace tess::app
