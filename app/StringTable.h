#pragma once

#include <string>

namespace tess::app {

/// The text of a string-table entry. An id the table lacks fails with error 326.
const std::string& LoadResString(int id);

}  // namespace tess::app
