#pragma once

#include <string>
#include <vector>

#include "engine/CopyRun.h"
#include "platform/visio/Error.h"
#include "platform/visio/Host.h"

// The copy-error path: a formula read or write the host refuses is shown in the copy error
// dialog, where the user goes on or cancels the rest of the run.
namespace tess::engine {

/// The copy error dialog (modal). The GUI shows its window, the command line reports on standard
/// error, tests answer from a script.
class ICopyErrorDialog {
public:
    enum class Answer { Continue, CancelRun };
    virtual ~ICopyErrorDialog() = default;
    /// Sets the message the dialog shows.
    virtual void SetMessage(const std::string& message) = 0;
    /// Shows the dialog until the user answers; its Details button shows details.
    virtual Answer ShowModal(const CopyErrorDetails& details) = 0;
};

/// Makes dialog the one copy errors go to; null restores the default, which shows the message
/// through the prompt and goes on.
void SetCopyErrorDialog(ICopyErrorDialog* dialog);

/// Hands the details dialog the formulas of the failed step as read, and its destination.
void SetOriginalFormulas(CopyWindow& window, const std::vector<std::string>& formulas);
void SetProblemShape(CopyWindow& window, const visio::ShapePtr& shape);

/// The message of a failed copy: error number, its description, and the section and row.
std::string CopyErrorMessage(const Error& error, const std::string& sectionLabel,
                             const std::string& rowLabel);
/// Reports a failed copy: sets the dialog's message and, unless the run was cancelled, shows it;
/// Cancel Run there sets the run's CopyRunCancelled. The refusal goes into the run's report.
void ShowCopyError(CopyRun& run, const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel, RefusedFormula refused = {});

}  // namespace tess::engine
