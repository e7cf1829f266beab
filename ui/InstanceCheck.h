#pragma once

#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

// How a copy of the desktop program finds out that another copy runs, hands it its files, and
// how its own main window makes it findable. The platform decides: a per-user lock and local
// socket, or on Windows a top-level window of the main window's class and caption.
namespace tess::ui {

class InstanceCheck {
public:
    InstanceCheck();
    ~InstanceCheck();

    /// True when another copy runs.
    bool AnotherCopyRuns();
    /// Hands files (absolute paths) to the other copy, which opens them and comes to the front;
    /// with none it only comes to the front. False when it could not be reached or refused.
    bool HandOver(const QStringList& files);
    /// Makes this copy findable for as long as its main window lives; files handed over by a
    /// later copy go to open.
    void MarkMainWindow(QWidget* window, std::function<void(const QStringList&)> open);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace tess::ui
