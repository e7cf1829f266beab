#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "app/Prompt.h"

class QWidget;

// Message boxes and file dialogs of the desktop program. Tests queue the answers in advance;
// a question with a queued answer is recorded and answered without being shown.
namespace tess::ui {

struct AskedQuestion {
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

class Dialogs {
public:
    /// Asks with a message box; returns the button pressed (or the queued answer).
    static QMessageBox::StandardButton Ask(QWidget* parent, const QString& text,
                                           const QString& title, QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton);
    /// The files chosen in an Open dialog for Visio files; empty when cancelled.
    static QStringList OpenFiles(QWidget* parent, const QString& title);
    /// The file chosen in a Save dialog; empty when cancelled.
    static QString SaveFile(QWidget* parent, const QString& title, const QString& suggested);

    // For tests. Scripted, a question nothing was queued for takes its default button, and an
    // Open or Save dialog nothing was queued for is cancelled: nothing waits for a person.
    static void SetScripted(bool scripted);
    static void QueueAnswer(QMessageBox::StandardButton answer);
    static void QueueFiles(const QStringList& files);
    /// The questions asked so far, oldest first.
    static const std::vector<AskedQuestion>& Asked();
    static void Reset();
    /// True when answers or files are queued that nothing asked for yet.
    static bool AnswersLeft();
};

/// Message boxes of the program (app::MsgBox) as Qt message boxes: the style's buttons and
/// icon, the title given.
class MessageBoxPrompt : public app::IPrompt {
public:
    int16_t MsgBox(const std::string& text, int16_t style, const std::string& title) override;
};

/// The Visio files a file dialog offers.
QString VisioFileFilter();

}  // namespace tess::ui
