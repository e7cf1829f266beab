#include "app/RunningVisio.h"

#include "app/ErrorReport.h"

namespace tess::app {

visio::ApplicationPtr RunningVisio::Find() {
    // None running is an answer, not a failure.
    visio::ApplicationPtr application;
    IgnoreFailure([&] { application = Attach(); });
    return application;
}

}  // namespace tess::app
