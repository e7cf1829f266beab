#include "ui/DesktopProgram.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include "app/ErrorReport.h"
#include "ui/AboutBox.h"
#include "ui/MainWindow.h"
#include "ui/Resources.h"
#include "ui/WindowHelpers.h"

namespace tess::ui {

DesktopProgram::DesktopProgram(QStringList files, ProgramServices services)
    : m_files(std::move(files)), m_services(services), m_copyErrors(m_services.prompt) {}

DesktopProgram::~DesktopProgram() = default;

bool DesktopProgram::FindWindow(const std::string&, const std::string&) {
    if (!m_instance.AnotherCopyRuns()) return false;
    m_instance.HandOver({});  // the other copy comes to the front
    return true;
}

bool DesktopProgram::HandFilesToRunningCopy() {
    if (m_files.isEmpty() || !m_instance.AnotherCopyRuns()) return false;
    QStringList files;
    for (const QString& file : m_files)
        files << QFileInfo(file).absoluteFilePath();
    return m_instance.HandOver(files);
}

visio::ApplicationPtr DesktopProgram::GetRunningVisio() {
    // A second copy says so before it asks for any file.
    if (m_instance.AnotherCopyRuns()) return nullptr;
    QStringList files = m_files;
    if (files.isEmpty()) {
        if (visio::ApplicationPtr visio = m_runningVisio.Find()) {
            m_drawings.Attach(visio);
            return visio;
        }
        files = m_services.dialogs.OpenFiles(nullptr, Res(1612));
    }
    OpenAndRemember(m_drawings, m_services, files, app::proc::Main);
    if (m_drawings.Documents().empty()) return nullptr;
    return m_drawings.App();
}

void DesktopProgram::DisplayMainWindow(app::Application& application) {
    m_window = std::make_unique<MainWindow>(m_drawings, m_services, m_copyErrors,
                                            application.ApplicationID());
    QObject::connect(m_window.get(), &MainWindow::AboutRequested, m_window.get(),
                     [this] { AboutBox::Display(m_window.get(), m_services); });
    m_window->Display();
    MainWindow* window = m_window.get();
    m_instance.MarkMainWindow(window,
                              [window](const QStringList& files) { window->OpenFiles(files); });
}

void DesktopProgram::Unload(std::string_view formName) {
    if (formName == "frmCellCopy" && m_window) m_window->close();
    else if (formName != "frmCellCopy") CloseForm(formName);
}

int RunDesktop(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessaline"));
    QApplication::setApplicationVersion(QStringLiteral(TESSALINE_VERSION));
    QApplication::setWindowIcon(AppIcon());
    QCommandLineParser parser;
    parser.setApplicationDescription(Res(101));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("files"),
                                 QStringLiteral("Visio files (.vsdx, .vssx, .vstx) to open."),
                                 QStringLiteral("[FILE...]"));
    parser.process(qt);

    Dialogs dialogs;
    MessageBoxPrompt prompt(dialogs);
    const std::unique_ptr<registry::IRegistryBackend> settings = registry::MakePlatformBackend();
    desktop::QtDesktopServices desktop;
    DesktopProgram program(parser.positionalArguments(),
                           {dialogs, prompt, registry::Registry(*settings), desktop});
    if (program.HandFilesToRunningCopy()) return 0;
    app::Startup startup(program);
    startup.Main();
    if (!startup.TheApplication() || !program.Window() || !program.Window()->isVisible()) return 0;
    return QApplication::exec();
}

}  // namespace tess::ui
