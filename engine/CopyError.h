#pragma once

#include <string>
#include <vector>

#include "engine/CopyRun.h"
#include "platform/visio/Error.h"
#include "platform/visio/Host.h"

// The copy-error path: a formula read or write the host refuses is shown in the copy error
// dialog, where the user goes on or cancels the rest of the run.
namespace tess::engine {

/// Formulas the copy refuses itself, before the host sees them: references to the copied
/// section's own rows that would name, on the destination, the cell written or a row the
/// destination does not have. Numbers past the settings errors, and their texts' ids.
inline constexpr int32_t kFormulaNamesItself = 1010;
inline constexpr int32_t kFormulaNamesMissingRow = 1011;
inline constexpr int kFormulaNamesItselfText = 1681;
inline constexpr int kFormulaNamesMissingRowText = 1682;
/// The text of the check that stops a run whose source and a destination lie one inside the
/// other when sub-shapes are to be replaced.
inline constexpr int kNestedReplaceText = 1680;
/// Texts of what a run could not do on a destination, and of the message that lists them.
inline constexpr int kKeptMemberText = 1683;
inline constexpr int kOrderKeptText = 1684;
inline constexpr int kShortfallsText = 1685;
inline constexpr int kNotGroupText = 1686;
inline constexpr int kRowsKeptText = 1687;
inline constexpr int kGeometryKeptText = 1688;
inline constexpr int kInstancesText = 1689;
inline constexpr int kMembersNamedText = 1690;
inline constexpr int kLockedMembersText = 1691;

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
/// Records, once, something asked that the run cannot do on the current destination.
void ReportShortfall(CopyRun& run, int16_t section, std::string text);

/// Reports a failed copy: sets the dialog's message and, unless the run was cancelled, shows it;
/// Cancel Run there sets the run's CopyRunCancelled. The refusal goes into the run's report.
void ShowCopyError(CopyRun& run, const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel, RefusedFormula refused = {});

}  // namespace tess::engine
