#pragma once

#include <QElapsedTimer>
#include <memory>

#include "app/Prompt.h"
#include "engine/CopyRun.h"
#include "ui/CopyErrorDialogs.h"

class QProgressDialog;
class QWidget;

namespace tess::ui {

/// A copy run in the desktop program: where it is, in a progress dialog with Cancel once the run
/// has taken half a second (Cancel stops the run before the next destination; the window stays
/// painted meanwhile); its copy errors in the copy error dialogs; its messages in message boxes.
class CopyProgress : public engine::ICopyFrontEnd {
public:
    CopyProgress(QWidget* parent, CopyErrorForms& errors, app::IPrompt& prompt);
    ~CopyProgress() override;

    void Progress(int index, int count, Stage stage) override;
    bool GoOn() override;
    void SetCopyErrorDetails(const std::vector<std::string>& formulas,
                             const visio::ShapePtr& problemShape) override;
    CopyErrorAnswer ShowCopyError(const std::string& message) override;
    void ShowMessage(const engine::RunMessage& message) override;

private:
    QWidget* m_parent;
    CopyErrorForms& m_errors;
    app::IPrompt& m_prompt;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

}  // namespace tess::ui
