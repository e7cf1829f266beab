#pragma once

#include <QDialog>
#include <QString>

#include <string>
#include <vector>

#include "app/Prompt.h"
#include "platform/visio/Host.h"

class QLabel;
class QListWidget;
class QPushButton;

// The copy error dialogs: frmCopyError, shown when the host refuses a formula during a copy,
// and frmCopyErrorDetails, opened from it.
namespace tess::ui {

/// What frmCopyErrorDetails shows: the formulas of the failed step as read from the source, and
/// the destination of that step; the last failure wins.
struct CopyErrorDetails {
    std::vector<std::string> formulas;
    bool hasFormulas = false;  // false until the first failure stores a list
    visio::ShapePtr problemShape;
};

/// frmCopyErrorDetails: the formulas of the failed step as read from the source, and the two
/// usual causes. It reads the details each time it is opened, so it shows the latest failure.
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

/// frmCopyError: the message of a refused formula, with Details, Continue and Cancel Run.
/// Closing it any other way goes on with the run, as Continue does.
class CopyErrorDialog : public QDialog {
    Q_OBJECT
public:
    CopyErrorDialog(const QString& message, const CopyErrorDetails& details, app::IPrompt& prompt,
                    QWidget* parent = nullptr);
    bool CancelRunChosen() const { return m_cancelRun; }

private:
    void cmdDetails_Click();

    const CopyErrorDetails& m_details;
    app::IPrompt& m_prompt;
    bool m_cancelRun = false;
};

/// The copy error dialogs of the program: one details store for the program's life, and the
/// dialog shown for each refusal.
class CopyErrorForms {
public:
    explicit CopyErrorForms(app::IPrompt& prompt) : m_prompt(prompt) {}

    /// SetOriginalFormulas and SetProblemShape: what the details show from now on.
    void SetDetails(const std::vector<std::string>& formulas, const visio::ShapePtr& problemShape);
    /// Shows frmCopyError modally with the message; true when the user chose Cancel Run.
    bool ShowModal(const std::string& message);

private:
    app::IPrompt& m_prompt;
    CopyErrorDetails m_details;
};

}  // namespace tess::ui
