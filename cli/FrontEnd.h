#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/CopyRun.h"

namespace tess::cli {

/// A copy run on the command line. Where a run with several destinations is shows on one line
/// of a terminal, updated in place (nothing when the stream is not a terminal: a script reading
/// it wants no such lines). Copy errors are printed, with their formulas when there are several,
/// and answered as --on-error says; the run's messages are printed.
class CopyFrontEnd : public engine::ICopyFrontEnd {
public:
    CopyFrontEnd(std::FILE* stream, bool cancelOnError);
    ~CopyFrontEnd() override;

    void Progress(int index, int count, Stage stage) override;
    bool GoOn() override { return true; }
    void SetCopyErrorDetails(const std::vector<std::string>& formulas,
                             const visio::ShapePtr& problemShape) override;
    CopyErrorAnswer ShowCopyError(const std::string& message) override;
    void ShowMessage(const engine::RunMessage& message) override;

private:
    void ClearLine();

    std::FILE* m_stream;
    bool m_terminal;
    bool m_cancelOnError;
    bool m_shown = false;
    std::vector<std::string> m_formulas;
};

}  // namespace tess::cli
