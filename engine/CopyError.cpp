#include "engine/CopyError.h"

#include "app/Prompt.h"

namespace tess::engine {
namespace {

/// Without a window: the message goes to the prompt and the run goes on.
class PromptCopyErrorDialog : public ICopyErrorDialog {
public:
    void SetMessage(const std::string& message) override { m_message = message; }
    Answer ShowModal(const CopyErrorDetails&) override {
        app::MsgBox(m_message, app::kStyleWarning, "Tessaline Copy Error");
        return Answer::Continue;
    }

private:
    std::string m_message;
};

ICopyErrorDialog* g_dialog = nullptr;

ICopyErrorDialog& Dialog() {
    static PromptCopyErrorDialog fallback;
    return g_dialog ? *g_dialog : fallback;
}

/// The runtime's text for an error number: its own for the numbers it knows, else what the host
/// said about the failure.
std::string RuntimeDescription(const Error& error) {
    const std::string known = err::DescriptionOf(error.Number());
    return known.empty() ? error.Description() : known;
}

}  // namespace

void SetCopyErrorDialog(ICopyErrorDialog* dialog) {
    g_dialog = dialog;
}

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

void SetOriginalFormulas(CopyWindow& window, const std::vector<std::string>& formulas) {
    window.errorDetails.formulas = formulas;
    window.errorDetails.hasFormulas = true;
}

void SetProblemShape(CopyWindow& window, const visio::ShapePtr& shape) {
    window.errorDetails.problemShape = shape;
}

void ReportShortfall(CopyRun& run, int16_t section, std::string text) {
    std::vector<Shortfall>& shortfalls = run.Current().shortfalls;
    for (const Shortfall& known : shortfalls) {
        if (known.section == section && known.text == text) return;
    }
    shortfalls.push_back({section, std::move(text)});
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
    ICopyErrorDialog& dialog = Dialog();
    dialog.SetMessage(CopyErrorMessage(error, sectionLabel, rowLabel));
    if (run.CopyRunCancelled) return;
    if (dialog.ShowModal(run.window.errorDetails) == ICopyErrorDialog::Answer::CancelRun)
        run.CopyRunCancelled = true;
}

}  // namespace tess::engine
