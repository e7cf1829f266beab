#include "app/Startup.h"

#include "app/ErrorReport.h"
#include "app/StringTable.h"

namespace tess::app {

void Startup::Main() {
    IPrompt& prompt = m_services.Prompt();
    Trap(prompt, proc::Main, [&] {
        IgnoreFailure([&] { m_services.InitCommonControls(); });
        LoadApplicationResourceStrings();
        visio::ApplicationPtr visio;
        IgnoreFailure([&] { visio = m_services.GetRunningVisio(); });
        if (IsTessalineAlreadyLoaded()) {
            prompt.MsgBox(LoadResString(1401), Style::Report, m_appTitle);
        } else if (!visio) {
            prompt.MsgBox(LoadResString(1402), Style::Report, m_appTitle);
        } else {
            m_application = std::make_unique<Application>(m_services.Windows(), prompt);
            m_application->Display(visio);
        }
    });
}

bool Startup::IsTessalineAlreadyLoaded() {
    bool loaded = false;
    Trap(m_services.Prompt(), proc::IsTessalineAlreadyLoaded,
         [&] { loaded = m_services.FindWindow(kMainWindowClass, m_appTitle); });
    return loaded;
}

void Startup::LoadApplicationResourceStrings() {
    Trap(m_services.Prompt(), proc::LoadApplicationResourceStrings,
         [&] { m_appTitle = LoadResString(101); });
}

}  // namespace tess::app
