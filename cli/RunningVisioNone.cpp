#include "cli/RunningVisio.h"

#include "cli/Workspace.h"

namespace tess::cli {

struct RunningVisio::Connection {};

RunningVisio::RunningVisio() {
    UsageError("--visio attaches to the running Visio, which only the Windows build of "
               "tessaline-cli can do; this build works on files");
}

RunningVisio::~RunningVisio() = default;

}  // namespace tess::cli
