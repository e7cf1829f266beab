#include "ui/CopyProgress.h"

#include <QCoreApplication>
#include <QProgressBar>
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

CopyProgress::CopyProgress(QWidget* parent, CopyErrorForms& errors, app::IPrompt& prompt,
                           const engine::CopyRequest& request)
    : m_parent(parent), m_errors(errors), m_prompt(prompt), m_request(request) {
    m_clock.start();
}

CopyProgress::~CopyProgress() = default;

void CopyProgress::Progress(int index, int count, Stage stage) {
    m_index = index;
    m_count = count;
    if (!m_dialog && m_clock.elapsed() >= 500) {
        m_dialog = std::make_unique<QProgressDialog>(QString(), Res(1620), 0, count, m_parent);
        NameControl(m_dialog.get(), QStringLiteral("dlgCopyProgress"), Res(1615));
        if (auto* bar = m_dialog->findChild<QProgressBar*>())
            NameControl(bar, QStringLiteral("barCopyProgress"), Res(1692));
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

void CopyProgress::SetCopyErrorCells(const std::vector<std::string>& cellNames) {
    m_errors.SetCells(cellNames);
}

void CopyProgress::SetRefusal(const engine::RefusedFormula& refused) {
    m_place = {};
    const size_t at = static_cast<size_t>(m_index - 1);
    if (m_index >= 1 && at < m_request.destinations.size()) {
        m_place.destination = Res(1616).arg(m_index).arg(m_count).arg(
            QString::fromStdString(m_request.destinations[at].text));
    }
    if (!refused.cellName.empty())
        m_place.refused = Res(1690).arg(FormulaLine(refused.formula, refused.cellName));
}

engine::ICopyFrontEnd::CopyErrorAnswer CopyProgress::ShowCopyError(const std::string& message) {
    // The progress steps aside while the question is asked, and comes back for the rest of
    // the run.
    const bool shown = m_dialog && m_dialog->isVisible();
    if (shown) m_dialog->hide();
    const bool cancelRun = m_errors.ShowModal(message, m_place, m_parent);
    m_place = {};
    if (shown && !cancelRun) m_dialog->show();
    return cancelRun ? CopyErrorAnswer::CancelRun : CopyErrorAnswer::Continue;
}

void CopyProgress::ShowMessage(const engine::RunMessage& message) {
    // A message ends the run or stops it: the progress is over by then.
    m_dialog.reset();
    m_prompt.MsgBox(message.text, message.style, message.title);
}

}  // namespace tess::ui
