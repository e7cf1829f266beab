#include "cli/Session.h"

#include <iostream>

#include "app/Globals.h"
#include "cli/Console.h"

namespace tess::cli {

std::string AsLines(std::string text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            lines += text[i];
        }
    }
    return lines;
}

Session::Session(const std::vector<std::string>& files, bool cancelOnError, bool toSaveInPlace)
    : m_workspace(files, toSaveInPlace), m_cancelOnError(cancelOnError) {
    app::SetPrompt(this);
    engine::SetCopyErrorDialog(this);
    app::g_oApplication = std::make_unique<app::Application>(static_cast<app::IWindows&>(*this));
    app::g_oApplication->Display(m_workspace.AppPtr());
}

Session::~Session() {
    app::g_oApplication.reset();
    engine::SetCopyErrorDialog(nullptr);
    app::SetPrompt(nullptr);
}

namespace {

/// Standard error at the start of a clean line: on a terminal a progress line may stand there.
std::ostream& MessageLine() {
    static const bool terminal = IsTerminal(stderr);
    if (terminal) std::cerr << "\r\033[K";
    return std::cerr;
}

}  // namespace

int16_t Session::MsgBox(const std::string& text, int16_t style, const std::string& title) {
    m_messages.push_back(text);
    MessageLine() << title << ": " << AsLines(text) << '\n';
    return (style & app::vbYesNo) == app::vbYesNo ? app::vbNo : app::vbOK;
}

engine::ICopyErrorDialog::Answer Session::ShowModal(const engine::CopyErrorDetails& details) {
    MessageLine() << "Tessaline: " << AsLines(m_copyError) << '\n';
    // The details list the formulas only when there are several, as the details dialog does.
    if (details.formulas.size() > 1) {
        for (const std::string& formula : details.formulas)
            std::cerr << "    " << formula << '\n';
    }
    return m_cancelOnError ? Answer::CancelRun : Answer::Continue;
}

}  // namespace tess::cli
