// Another copy of the program as start-up sees it: a process whose main window is open. It
// shows the main window's marker and waits to be ended.
#include <cstdio>

#include "app/windows/WindowsStartup.h"
#include "tests/windows/StandIn.h"

int main() {
    tess::app::MainWindowMarker marker("Tessaline", nullptr);
    std::printf("%s\n", tess::test::kStandInReady);
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
