#pragma once

#include <ostream>

#include "cli/Commands.h"

// check --values: every value the files store, computed again by the embedded model from the
// formulas alone and compared with what Visio stored.
namespace tess::cli {

/// Prints each disagreement (grouped by cause) and ends with "N of M values agree"; 0 when all
/// agree, 1 otherwise.
int RunCheckValues(const CheckOptions& options, std::ostream& out);

}  // namespace tess::cli
