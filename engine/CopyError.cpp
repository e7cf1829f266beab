#include "engine/CopyError.h"

#include "app/Globals.h"
#include "app/Prompt.h"

namespace tess::engine {
namespace {

/// Without a window: the message goes to the prompt and the run goes on.
class PromptCopyErrorDialog : public ICopyErrorDialog {
public:
    void SetMessage(const std::string& message) override { m_message = message; }
    Answer ShowModal() override {
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

CopyErrorDetails& ErrorDetails() {
    static CopyErrorDetails details;
    return details;
}

void SetOriginalFormulas(const std::vector<std::string>& formulas) {
    ErrorDetails().formulas = formulas;
    ErrorDetails().hasFormulas = true;
}

void SetProblemShape(const visio::ShapePtr& shape) {
    ErrorDetails().problemShape = shape;
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

void ShowCopyError(const Error& error, const std::string& sectionLabel,
                   const std::string& rowLabel) {
    ICopyErrorDialog& dialog = Dialog();
    dialog.SetMessage(CopyErrorMessage(error, sectionLabel, rowLabel));
    if (app::CopyRunCancelled) return;
    if (dialog.ShowModal() == ICopyErrorDialog::Answer::CancelRun) app::CopyRunCancelled = true;
}

}  // namespace tess::engine
