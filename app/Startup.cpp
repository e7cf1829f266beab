#include "app/Startup.h"

#include "app/ErrorReport.h"
#include "app/Globals.h"
#include "app/Prompt.h"
#include "app/StringTable.h"

namespace tess::app {
namespace {
constexpr std::string_view kModule = "modGeneral";
}

void Main(IStartupServices& services) {
    Trap(kModule, "Main", [&] {
        IgnoreFailure([&] { services.InitCommonControls(); });
        LoadApplicationResourceStrings();
        visio::ApplicationPtr visio;
        IgnoreFailure([&] { visio = services.GetRunningVisio(); });
        if (IsTessalineAlreadyLoaded(services)) {
            MsgBox(LoadResString(1401), kStyleReport, g_sAppTitle);
        } else if (!visio) {
            MsgBox(LoadResString(1402), kStyleReport, g_sAppTitle);
        } else {
            g_oApplication = std::make_unique<Application>(services.Windows());
            g_oApplication->Display(visio);
        }
    });
}

bool IsTessalineAlreadyLoaded(IStartupServices& services) {
    bool loaded = false;
    Trap(kModule, "IsTessalineAlreadyLoaded",
         [&] { loaded = services.FindWindow(kMainWindowClass, g_sAppTitle); });
    return loaded;
}

void LoadApplicationResourceStrings() {
    Trap(kModule, "LoadApplicationResourceStrings", [] { g_sAppTitle = LoadResString(101); });
}

}  // namespace tess::app
