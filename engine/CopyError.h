#pragma once

#include <string>

#include "engine/CopyRun.h"
#include "platform/visio/Error.h"

// The copy-error path: a formula read or write the host refuses is shown in the front end's copy
// error dialog, where the user goes on or cancels the rest of the run.
namespace tess::engine {

/// The message of a failed copy: error number, its description, and the section and row.
std::string CopyErrorMessage(const Error& error, const std::string& sectionLabel,
                             const std::string& rowLabel);
/// Reports a failed copy: the refusal goes into the run's report and, unless the run was
/// cancelled, the front end shows the dialog; Cancel Run there sets the run's CopyRunCancelled.
void ShowCopyError(CopyRun& run, const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel, RefusedFormula refused = {});

}  // namespace tess::engine
