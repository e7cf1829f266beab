#include "cli/FrontEnd.h"

#include <iostream>

#include "cli/Console.h"
#include "cli/Session.h"

namespace tess::cli {
namespace {

const char* StageName(engine::ICopyFrontEnd::Stage stage) {
    switch (stage) {
        case engine::ICopyFrontEnd::Stage::Preparing:
            return "preparing";
        case engine::ICopyFrontEnd::Stage::SubShapes:
            return "sub-shapes";
        case engine::ICopyFrontEnd::Stage::Copying:
            return "copying";
    }
    return "";
}

}  // namespace

CopyFrontEnd::CopyFrontEnd(std::FILE* stream, bool cancelOnError)
    : m_stream(stream),
      m_terminal(IsTerminal(stream)),
      m_cancelOnError(cancelOnError) {}

CopyFrontEnd::~CopyFrontEnd() {
    ClearLine();
}

// What comes after the progress line starts on a clean line.
void CopyFrontEnd::ClearLine() {
    if (m_shown) std::fputs("\r\033[K", m_stream);
    m_shown = false;
}

void CopyFrontEnd::Progress(int index, int count, Stage stage) {
    if (!m_terminal || count < 2) return;
    std::fprintf(m_stream, "\r\033[Kdestination %d of %d: %s", index, count, StageName(stage));
    std::fflush(m_stream);
    m_shown = true;
}

void CopyFrontEnd::SetCopyErrorDetails(const std::vector<std::string>& formulas,
                                       const visio::ShapePtr&) {
    m_formulas = formulas;
}

engine::ICopyFrontEnd::CopyErrorAnswer CopyFrontEnd::ShowCopyError(const std::string& message) {
    PrintMessage(app::kTitle, message);
    // The formulas only when there are several, as the details dialog shows them.
    if (m_formulas.size() > 1) {
        for (const std::string& formula : m_formulas)
            std::cerr << "    " << formula << '\n';
    }
    return m_cancelOnError ? CopyErrorAnswer::CancelRun : CopyErrorAnswer::Continue;
}

void CopyFrontEnd::ShowMessage(const engine::RunMessage& message) {
    PrintMessage(message.title, message.text);
}

}  // namespace tess::cli
