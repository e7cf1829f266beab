#pragma once

#include <memory>

#include "platform/visio/Host.h"

// The running Visio, for the programs that work beside it: the desktop program at start-up and
// the command line with --visio.
namespace tess::app {

/// The running "Visio.Application", found through COM's running objects, attached on first use
/// and held for the life of the object. Only the Windows build can reach one.
class RunningVisio {
public:
    /// True for a build that can attach to a running Visio.
    static bool Reachable();

    RunningVisio();
    ~RunningVisio();
    RunningVisio(const RunningVisio&) = delete;
    RunningVisio& operator=(const RunningVisio&) = delete;

    /// The running Visio; fails with the words the programs use for it (string 1402) when none
    /// runs or this build cannot reach one.
    visio::ApplicationPtr Attach();
    /// The running Visio; null when none runs.
    visio::ApplicationPtr Find();

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;
};

}  // namespace tess::app
