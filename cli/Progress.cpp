#include "cli/Progress.h"

#include "cli/Console.h"

namespace tess::cli {
namespace {

const char* StageName(engine::ICopyProgress::Stage stage) {
    switch (stage) {
        case engine::ICopyProgress::Stage::Preparing:
            return "preparing";
        case engine::ICopyProgress::Stage::SubShapes:
            return "sub-shapes";
        case engine::ICopyProgress::Stage::Copying:
            return "copying";
    }
    return "";
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* stream)
    : m_stream(stream), m_terminal(IsTerminal(stream)) {}

TerminalProgress::~TerminalProgress() {
    // The run's own messages start on a clean line.
    if (m_shown) std::fputs("\r\033[K", m_stream);
}

void TerminalProgress::Progress(int index, int count, Stage stage) {
    if (!m_terminal || count < 2) return;
    std::fprintf(m_stream, "\r\033[Kdestination %d of %d: %s", index, count, StageName(stage));
    std::fflush(m_stream);
    m_shown = true;
}

}  // namespace tess::cli
