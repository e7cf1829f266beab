#include "app/RunningVisio.h"

#include "app/StringTable.h"
#include "platform/visio/Error.h"

// Visio runs on Windows only: elsewhere the programs work on the drawings they open.
namespace tess::app {

struct RunningVisio::Connection {};

bool RunningVisio::Reachable() { return false; }

RunningVisio::RunningVisio() = default;
RunningVisio::~RunningVisio() = default;

visio::ApplicationPtr RunningVisio::Attach() {
    Raise(err::kObjectNotSet, LoadResString(1402));
}

}  // namespace tess::app
