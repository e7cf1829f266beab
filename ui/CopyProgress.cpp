#include "ui/CopyProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/Controls.h"
#include "ui/Resources.h"

namespace tess::ui {
namespace {

QString StageText(engine::ICopyFrontEnd::Stage stage) {
    switch (stage) {
        case engine::ICopyFrontEnd::Stage::Preparing:
            return Res(1617);
        case engine::ICopyFrontEnd::Stage::SubShapes:
            return Res(1618);
        case engine::ICopyFrontEnd::Stage::Copying:
            return Res(1619);
    }
    return {};
}

}  // namespace

CopyProgress::CopyProgress(QWidget* parent, CopyErrorForms& errors, app::IPrompt& prompt)
    : m_parent(parent), m_errors(errors), m_prompt(prompt) {
    m_clock.start();
}

CopyProgress::~CopyProgress() = default;

void CopyProgress::Progress(int index, int count, Stage stage) {
    if (!m_dialog && m_clock.elapsed() >= 500) {
        m_dialog = std::make_unique<QProgressDialog>(QString(), Res(1620), 0, count, m_parent);
        NameControl(m_dialog.get(), QStringLiteral("dlgCopyProgress"), Res(1615));
        m_dialog->setWindowTitle(Res(101));
        m_dialog->setWindowModality(Qt::WindowModal);
        m_dialog->setMinimumDuration(0);
        m_dialog->setAutoClose(false);
        m_dialog->setAutoReset(false);
    }
    if (m_dialog) {
        m_dialog->setMaximum(count);
        m_dialog->setValue(index - 1);
        m_dialog->setLabelText(Res(1616).arg(index).arg(count).arg(StageText(stage)));
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (m_dialog) QCoreApplication::processEvents();  // its Cancel button
}

bool CopyProgress::GoOn() {
    if (m_dialog && m_dialog->wasCanceled()) m_cancelled = true;
    return !m_cancelled;
}

void CopyProgress::SetCopyErrorDetails(const std::vector<std::string>& formulas,
                                       const visio::ShapePtr& problemShape) {
    m_errors.SetDetails(formulas, problemShape);
}

engine::ICopyFrontEnd::CopyErrorAnswer CopyProgress::ShowCopyError(const std::string& message) {
    return m_errors.ShowModal(message) ? CopyErrorAnswer::CancelRun : CopyErrorAnswer::Continue;
}

void CopyProgress::ShowMessage(const engine::RunMessage& message) {
    m_prompt.MsgBox(message.text, message.style, message.title);
}

}  // namespace tess::ui
