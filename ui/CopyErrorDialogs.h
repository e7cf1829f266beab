#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

class QLabel;
class QListWidget;
class QTextEdit;
class QPushButton;

// The copy error dialogs: frmCopyError, shown when the host refuses a formula during a copy,
// and frmCopyErrorDetails, opened from it.
namespace tess::ui {

/// What frmCopyErrorDetails shows: the formulas of the failed step as read from the source, the
/// cells they came from, and the destination of that step; the last failure wins.
struct CopyErrorDetails {
    std::vector<std::string> formulas;
    std::vector<std::string> cellNames;  // beside formulas, when the step knew its cells
    bool hasFormulas = false;            // false until the first failure stores a list
    visio::ShapePtr problemShape;
};

/// Where a refusal happened, in words for the line above the dialog's message: the destination
/// (which of how many, and its path) and the refused cell with its formula. Empty parts are
/// left out.
struct RefusalPlace {
    QString destination;
    QString refused;
};

/// frmCopyErrorDetails: the formulas of the failed step as read from the source, each with the
/// cell it came from, and the two usual causes. It reads the details each time it is opened, so
/// it shows the latest failure.
class CopyErrorDetailsDialog : public QDialog {
    Q_OBJECT
public:
    /// prompt: where a failure to fill the lists is reported.
    CopyErrorDetailsDialog(const CopyErrorDetails& details, app::IPrompt& prompt,
                           QWidget* parent = nullptr);

private:
    void Form_Load(const CopyErrorDetails& details);

    QListWidget* m_original = nullptr;
    QListWidget* m_modified = nullptr;
};

/// frmCopyError: the message of a refused formula, with Details, Continue and Cancel Run, and
/// above it which destination and which cell were refused. The message is shown whole: long
/// formulas wrap anywhere, and scroll when they are longer than the screen has room for.
/// Closing it any other way goes on with the run, as Continue does.
class CopyErrorDialog : public QDialog {
    Q_OBJECT
public:
    CopyErrorDialog(const QString& message, const RefusalPlace& place,
                    const CopyErrorDetails& details, app::IPrompt& prompt,
                    QWidget* parent = nullptr);
    bool CancelRunChosen() const { return m_cancelRun; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void cmdDetails_Click();

    const CopyErrorDetails& m_details;
    app::IPrompt& m_prompt;
    QTextEdit* m_where = nullptr;
    QTextEdit* m_message = nullptr;
    bool m_cancelRun = false;
};

/// The copy error dialogs of the program: one details store for the program's life, and the
/// dialog shown for each refusal.
class CopyErrorForms {
public:
    explicit CopyErrorForms(app::IPrompt& prompt) : m_prompt(prompt) {}

    /// SetOriginalFormulas and SetProblemShape: what the details show from now on.
    void SetDetails(const std::vector<std::string>& formulas, const visio::ShapePtr& problemShape);
    /// The cells of the formulas just stored.
    void SetCells(const std::vector<std::string>& cellNames);
    /// Shows frmCopyError modally with the message, centred on over; true when the user chose
    /// Cancel Run.
    bool ShowModal(const std::string& message, const RefusalPlace& place, QWidget* over);

private:
    app::IPrompt& m_prompt;
    CopyErrorDetails m_details;
};

/// The text of a formula as the details list it: with its cell's name in front when known.
QString FormulaLine(const std::string& formula, const std::string& cellName);

}  // namespace tess::ui
