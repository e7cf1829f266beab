#pragma once

#include <memory>

class QWidget;

// How a copy of the desktop program finds out that another copy runs, and how its own main
// window makes it findable. The platform decides: a per-user lock and local socket, or on
// Windows a top-level window of the main window's class and caption.
namespace tess::ui {

class InstanceCheck {
public:
    InstanceCheck();
    ~InstanceCheck();

    /// True when another copy runs (that copy is asked to come to the front).
    bool AnotherCopyRuns();
    /// Makes this copy findable for as long as its main window lives.
    void MarkMainWindow(QWidget* window);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace tess::ui
