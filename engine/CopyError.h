#pragma once

#include <string>

#include "engine/CopyRun.h"
#include "platform/visio/Error.h"

// The copy-error path: a formula read or write the host refuses is shown in the front end's copy
// error dialog, where the user goes on or cancels the rest of the run.
namespace tess::engine {

/// Formulas the copy refuses itself, before the host sees them: references to the copied
/// section's own rows that would name, on the destination, the cell written or a row the
/// destination does not have. Numbers past the settings errors, and their texts' ids.
inline constexpr int32_t kFormulaNamesItself = 1010;
inline constexpr int32_t kFormulaNamesMissingRow = 1011;
inline constexpr int kFormulaNamesItselfText = 1751;
inline constexpr int kFormulaNamesMissingRowText = 1752;
/// The text of the check that stops a run whose source and destinations lie one inside another
/// when sub-shapes are to be replaced.
inline constexpr int kNestedReplaceText = 1750;
/// Texts of what a run could not do on a destination, and of the message that lists them.
inline constexpr int kKeptMemberText = 1753;
inline constexpr int kOrderKeptText = 1754;
inline constexpr int kShortfallsText = 1755;
inline constexpr int kNotGroupText = 1756;
inline constexpr int kRowsKeptText = 1757;
inline constexpr int kGeometryKeptText = 1758;
inline constexpr int kInstancesText = 1759;
inline constexpr int kMembersNamedText = 1760;
inline constexpr int kLockedMembersText = 1761;
inline constexpr int kFieldsFollowTextText = 1762;
inline constexpr int kListedMemberText = 1763;

/// The message of a failed copy: error number, its description, and the section and row.
std::string CopyErrorMessage(const Error& error, const std::string& sectionLabel,
                             const std::string& rowLabel);
/// Records, once, something asked that the run cannot do on the current destination.
void ReportShortfall(CopyRun& run, int16_t section, std::string text);

/// Reports a failed copy: the refusal goes into the run's report and, unless the run was
/// cancelled, the front end shows the dialog; Cancel Run there sets the run's CopyRunCancelled.
void ShowCopyError(CopyRun& run, const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel, RefusedFormula refused = {});

}  // namespace tess::engine
