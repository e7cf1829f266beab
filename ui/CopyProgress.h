#pragma once

#include <QElapsedTimer>
#include <memory>

#include "app/Prompt.h"
#include "engine/CopyRequest.h"
#include "engine/CopyRun.h"
#include "ui/CopyErrorDialogs.h"

class QProgressDialog;
class QWidget;

namespace tess::ui {

/// A copy run in the desktop program: where it is, in a progress dialog with Cancel once the run
/// has taken half a second (Cancel stops the run before the next destination; the window stays
/// painted meanwhile); its copy errors in the copy error dialogs, which name the destination
/// and cell refused and open over the window; its messages in message boxes. The progress
/// dialog steps aside while a copy error dialog asks, and is gone before any message.
class CopyProgress : public engine::ICopyFrontEnd {
public:
    /// request: the copy being run, whose destinations the copy errors name.
    CopyProgress(QWidget* parent, CopyErrorForms& errors, app::IPrompt& prompt,
                 const engine::CopyRequest& request);
    ~CopyProgress() override;

    void Progress(int index, int count, Stage stage) override;
    bool GoOn() override;
    void SetCopyErrorDetails(const std::vector<std::string>& formulas,
                             const visio::ShapePtr& problemShape) override;
    void SetCopyErrorCells(const std::vector<std::string>& cellNames) override;
    void SetRefusal(const engine::RefusedFormula& refused) override;
    CopyErrorAnswer ShowCopyError(const std::string& message) override;
    void ShowMessage(const engine::RunMessage& message) override;

private:
    QWidget* m_parent;
    CopyErrorForms& m_errors;
    app::IPrompt& m_prompt;
    const engine::CopyRequest& m_request;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
    int m_index = 0;  // the destination the run is at, from 1
    int m_count = 0;
    RefusalPlace m_place;
    bool m_cancelled = false;
};

}  // namespace tess::ui
