#pragma once

#include <cstdio>

#include "engine/CopyRun.h"

namespace tess::cli {

/// Shows where a run with several destinations is, on one line of a terminal updated in place.
/// Says nothing when the stream is not a terminal (a script reading it wants no such lines) or
/// when there is only one destination.
class TerminalProgress : public engine::ICopyProgress {
public:
    explicit TerminalProgress(std::FILE* stream);
    ~TerminalProgress() override;
    void Progress(int index, int count, Stage stage) override;
    bool GoOn() override { return true; }

private:
    std::FILE* m_stream;
    bool m_terminal;
    bool m_shown = false;
};

}  // namespace tess::cli
