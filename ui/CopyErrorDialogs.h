#pragma once

#include <QDialog>
#include <QString>

#include "engine/CopyError.h"
#include "engine/WindowState.h"

class QLabel;
class QListWidget;
class QPushButton;

// The copy error dialogs: frmCopyError, shown when the host refuses a formula during a copy,
// and frmCopyErrorDetails, opened from it.
namespace tess::ui {

/// frmCopyErrorDetails: the formulas of the failed step as read from the source, and the two
/// usual causes. It reads the details each time it is opened, so it shows the latest failure.
class CopyErrorDetailsDialog : public QDialog {
    Q_OBJECT
public:
    CopyErrorDetailsDialog(const engine::CopyErrorDetails& details, QWidget* parent = nullptr);

private:
    void Form_Load(const engine::CopyErrorDetails& details);

    QListWidget* m_original = nullptr;
    QListWidget* m_modified = nullptr;
};

/// frmCopyError: the message of a refused formula, with Details, Continue and Cancel Run.
/// Closing it any other way goes on with the run, as Continue does.
class CopyErrorDialog : public QDialog {
    Q_OBJECT
public:
    CopyErrorDialog(const QString& message, const engine::CopyErrorDetails& details,
                    QWidget* parent = nullptr);
    bool CancelRunChosen() const { return m_cancelRun; }

private:
    void cmdDetails_Click();

    const engine::CopyErrorDetails& m_details;
    bool m_cancelRun = false;
};

/// The copy engine's copy error dialog in the desktop program.
class CopyErrorForms : public engine::ICopyErrorDialog {
public:
    void SetMessage(const std::string& message) override;
    Answer ShowModal(const engine::CopyErrorDetails& details) override;

private:
    QString m_message;
};

}  // namespace tess::ui
