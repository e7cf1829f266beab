#pragma once

#include <memory>

#include "platform/visio/Host.h"

// The drawings open in the running Visio, for --visio: the host the command line works on in
// place of files.
namespace tess::cli {

/// The running Visio ("Visio.Application", found through COM's running objects), attached for
/// the life of the object. When none runs, fails with the desktop program's words for it (a
/// file-like failure: exit status 3); a build without the COM host fails as a usage error.
class RunningVisio {
public:
    RunningVisio();
    ~RunningVisio();
    RunningVisio(const RunningVisio&) = delete;
    RunningVisio& operator=(const RunningVisio&) = delete;

    const visio::ApplicationPtr& Application() const { return m_application; }

private:
    struct Connection;
    std::unique_ptr<Connection> m_connection;  // outlives every object of the application
    visio::ApplicationPtr m_application;
};

}  // namespace tess::cli
