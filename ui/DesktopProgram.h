#pragma once

#include <QStringList>
#include <memory>

#include "app/Startup.h"
#include "ui/CopyErrorDialogs.h"
#include "ui/Drawings.h"
#include "ui/InstanceCheck.h"

// The desktop program's start-up: the drawings the user opens stand for the running Visio, and
// the program's windows are Qt's.
namespace tess::ui {

class MainWindow;

class DesktopProgram : public app::IStartupServices, public app::IWindows {
public:
    /// files: the drawings to open; none means asking with an Open dialog.
    explicit DesktopProgram(QStringList files);
    ~DesktopProgram() override;

    void InitCommonControls() override {}
    /// True when another copy of the program runs.
    bool FindWindow(const std::string& className, const std::string& caption) override;
    /// The drawings opened (the files given, else those chosen in an Open dialog); null when
    /// none could be opened, or when another copy runs (which says so instead).
    visio::ApplicationPtr GetRunningVisio() override;
    app::IWindows& Windows() override { return *this; }

    void DisplayMainWindow() override;
    void Unload(std::string_view formName) override;

    MainWindow* Window() const { return m_window.get(); }
    Drawings& TheDrawings() { return m_drawings; }

private:
    QStringList m_files;
    InstanceCheck m_instance;
    Drawings m_drawings;
    std::unique_ptr<MainWindow> m_window;
    CopyErrorForms m_copyErrors;
};

/// The desktop program: start-up, then the main window until it closes. Returns the exit status.
int RunDesktop(int argc, char** argv);

}  // namespace tess::ui
