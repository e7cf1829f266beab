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

/// The program's one way to ask the user: message boxes, Open and Save dialogs.
class Dialogs {
public:
    /// Asks with a message box; returns the button pressed (or the queued answer).
    QMessageBox::StandardButton Ask(QWidget* parent, const QString& text, const QString& title,
                                    QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton);
    /// The files chosen in an Open dialog; empty when cancelled. The filter defaults to Visio
    /// files.
    QStringList OpenFiles(QWidget* parent, const QString& title, const QString& filter = {});
    /// The file chosen in a Save dialog; empty when cancelled.
    QString SaveFile(QWidget* parent, const QString& title, const QString& suggested,
                     const QString& filter = {});

    // For tests. Scripted, a question nothing was queued for takes its default button, and an
    // Open or Save dialog nothing was queued for is cancelled: nothing waits for a person.
    void SetScripted(bool scripted) { m_scripted = scripted; }
    void QueueAnswer(QMessageBox::StandardButton answer) { m_answers.push_back(answer); }
    void QueueFiles(const QStringList& files) { m_files.push_back(files); }
    /// The questions asked so far, oldest first.
    const std::vector<AskedQuestion>& Asked() const { return m_asked; }
    /// True when answers or files are queued that nothing asked for yet.
    bool AnswersLeft() const { return !m_answers.empty() || !m_files.empty(); }
    /// Forgets what was asked and queued; scripted stays as it was.
    void Reset();

private:
    QStringList NextFiles();

    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<QStringList> m_files;
    std::vector<AskedQuestion> m_asked;
    bool m_scripted = false;
};

/// The program's messages (app::IPrompt) as message boxes: the style's buttons and icon, the
/// title given.
class MessageBoxPrompt : public app::IPrompt {
public:
    explicit MessageBoxPrompt(Dialogs& dialogs) : m_dialogs(dialogs) {}
    app::Answer MsgBox(const std::string& text, app::Style style,
                       const std::string& title) override;

private:
    Dialogs& m_dialogs;
};

/// The Visio files a file dialog offers.
QString VisioFileFilter();

/// A message as its box shows it: a name in quotes ('60489-plan.vsdx') is kept on one line,
/// its hyphens and blanks made ones that do not break a line.
QString KeepNamesWhole(const QString& text);

}  // namespace tess::ui
