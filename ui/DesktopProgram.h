#pragma once

#include <QStringList>
#include <memory>

#include "app/Startup.h"
#include "platform/desktop/DesktopServices.h"
#include "platform/registry/Registry.h"
#include "ui/CopyErrorDialogs.h"
#include "ui/Dialogs.h"
#include "ui/Drawings.h"
#include "ui/InstanceCheck.h"
#include "app/RunningVisio.h"

// The desktop program's start-up: the running Visio where there is one, else the drawings the
// user opens stand for it; the program's windows are Qt's.
namespace tess::ui {

class MainWindow;

/// What the program's windows work with besides the drawings: how they ask the user, where the
/// options are kept, the desktop's handlers. The program makes the real ones, tests their own.
struct ProgramServices {
    Dialogs& dialogs;
    app::IPrompt& prompt;  // the program's messages, shown through dialogs
    registry::Registry settings;
    desktop::IDesktopServices& desktop;
};

class DesktopProgram : public app::IStartupServices, public app::IWindows {
public:
    /// files: the drawings to open; none means the running Visio, or, when none runs, asking
    /// with an Open dialog.
    DesktopProgram(QStringList files, ProgramServices services);
    ~DesktopProgram() override;

    void InitCommonControls() override {}
    /// True when another copy of the program runs.
    bool FindWindow(const std::string& className, const std::string& caption) override;
    /// The drawings opened (the files given, else the running Visio's, else those chosen in an
    /// Open dialog); null when none could be opened, or when another copy runs (which says so
    /// instead).
    visio::ApplicationPtr GetRunningVisio() override;
    app::IWindows& Windows() override { return *this; }
    app::IPrompt& Prompt() override { return m_services.prompt; }

    void DisplayMainWindow(app::Application& application) override;
    void Unload(std::string_view formName) override;

    /// A second start with files: hands them to the copy that runs, which opens them and comes
    /// to the front. True when it took them (this copy then ends); false when no copy runs, or
    /// when there are no files, which start-up then handles.
    bool HandFilesToRunningCopy();

    MainWindow* Window() const { return m_window.get(); }
    Drawings& TheDrawings() { return m_drawings; }

private:
    QStringList m_files;
    ProgramServices m_services;
    InstanceCheck m_instance;
    app::RunningVisio m_runningVisio;  // before the drawings, which may hold Visio until they go
    Drawings m_drawings;
    CopyErrorForms m_copyErrors;
    std::unique_ptr<MainWindow> m_window;
};

/// The desktop program: start-up, then the main window until it closes. Returns the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace tess::ui
