#pragma once

#include <memory>

#include "platform/visio/Host.h"

// The Visio the desktop program works beside. On Windows it is the running "Visio.Application",
// reached through COM; elsewhere no Visio runs, and the program works on the drawings it opens.
namespace tess::ui {

class RunningVisio {
public:
    RunningVisio();
    ~RunningVisio();
    RunningVisio(const RunningVisio&) = delete;
    RunningVisio& operator=(const RunningVisio&) = delete;

    /// The running Visio; null when none runs.
    visio::ApplicationPtr Find();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

}  // namespace tess::ui
