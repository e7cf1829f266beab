#include "engine/CopyError.h"

namespace tess::engine {
namespace {

/// The runtime's text for an error number: its own for the numbers it knows, else what the host
/// said about the failure.
std::string RuntimeDescription(const Error& error) {
    const std::string known = err::DescriptionOf(error.Number());
    return known.empty() ? error.Description() : known;
}

}  // namespace

size_t CopyReport::RefusalCount() const {
    size_t count = 0;
    for (const DestinationReport& destination : destinations)
        count += destination.refused.size();
    return count;
}

size_t CopyReport::ShortfallCount() const {
    size_t count = 0;
    for (const DestinationReport& destination : destinations)
        count += destination.shortfalls.size();
    return count;
}

void ReportShortfall(CopyRun& run, int16_t section, std::string text) {
    std::vector<Shortfall>& shortfalls = run.Current().shortfalls;
    for (const Shortfall& known : shortfalls) {
        if (known.section == section && known.text == text) return;
    }
    shortfalls.push_back({section, std::move(text)});
}

app::Answer CopyRun::MsgBox(const std::string& text, app::Style style, const std::string& title) {
    const RunMessage message{text, style, title};
    report.messages.push_back(message);
    frontEnd.ShowMessage(message);
    return app::Answer::Ok;
}

std::string CopyErrorMessage(const Error& error, const std::string& sectionLabel,
                             const std::string& rowLabel) {
    std::string message = "ERROR: " + std::to_string(error.Number()) + "\r";
    message += RuntimeDescription(error) + "\r\r";
    message += "There was an error copying the cells\r";
    message += "in section:  '" + sectionLabel + "'";
    if (!rowLabel.empty()) message += " row:  '" + rowLabel + "'";
    return message;
}

void ShowCopyError(CopyRun& run, const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel, RefusedFormula refused) {
    refused.sectionLabel = sectionLabel;
    refused.rowLabel = rowLabel;
    refused.errorNumber = error.Number();
    refused.errorText = error.Description();
    run.Current().refused.push_back(std::move(refused));
    if (run.CopyRunCancelled) return;
    run.frontEnd.SetRefusal(run.Current().refused.back());
    if (run.frontEnd.ShowCopyError(CopyErrorMessage(error, sectionLabel, rowLabel)) ==
        ICopyFrontEnd::CopyErrorAnswer::CancelRun)
        run.CopyRunCancelled = true;
}

}  // namespace tess::engine
