#pragma once

#include <QDialog>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>
#include <vector>

namespace tess::test {

/// Answers the program's own modal windows from a script, as a person at the screen would: each
/// step waits until the window of its name is the active modal one, then acts on it (the action
/// may open another modal window, which the next step answers). A window of the program's that
/// no step expects fails the test and is closed, so nothing waits for a person. Each window
/// answered is saved as a picture in the build folder's screenshots/dialogs (or the
/// folder TESSALINE_UI_SHOTS names).
class DialogDriver : public QObject {
public:
    using Action = std::function<void(QDialog&)>;
    DialogDriver();
    void Then(const QString& formName, Action action);
    /// True when every step has run.
    bool Done() const { return m_steps.empty(); }

private:
    void Poll();

    struct Step {
        QString formName;
        Action action;
    };
    std::deque<Step> m_steps;
    QTimer m_timer;
    std::vector<QDialog*> m_acting;  // the windows whose actions are running, innermost last
    int m_shots = 0;
};

/// Clicks a button of a window by its control name; fails the test when there is none.
void ClickIn(QWidget& window, const QString& buttonName);
/// The texts of a list of a window, by the list's control name.
QStringList Items(QWidget& window, const QString& listName);

}  // namespace tess::test
