#pragma once

#include <QElapsedTimer>
#include <memory>

#include "engine/CopyRun.h"

class QProgressDialog;
class QWidget;

namespace tess::ui {

/// Shows where a copy run is, in a progress dialog with Cancel once the run has taken half a
/// second; Cancel stops the run before the next destination. Keeps the window painted.
class CopyProgress : public engine::ICopyProgress {
public:
    explicit CopyProgress(QWidget* parent);
    ~CopyProgress() override;

    void Progress(int index, int count, Stage stage) override;
    bool GoOn() override;

private:
    QWidget* m_parent;
    QElapsedTimer m_clock;
    std::unique_ptr<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

}  // namespace tess::ui
