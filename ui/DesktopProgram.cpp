#include "ui/DesktopProgram.h"

#include <QApplication>
#include <QCommandLineParser>

#include "app/ErrorReport.h"
#include "app/Globals.h"
#include "engine/CopyError.h"
#include "ui/AboutBox.h"
#include "ui/Dialogs.h"
#include "ui/MainWindow.h"
#include "ui/Resources.h"
#include "ui/WindowHelpers.h"

namespace tess::ui {

DesktopProgram::DesktopProgram(QStringList files) : m_files(std::move(files)) {}

DesktopProgram::~DesktopProgram() {
    if (m_window) engine::SetCopyErrorDialog(nullptr);
}

bool DesktopProgram::FindWindow(const std::string&, const std::string&) {
    return m_instance.AnotherCopyRuns();
}

visio::ApplicationPtr DesktopProgram::GetRunningVisio() {
    // A second copy says so before it asks for any file.
    if (m_instance.AnotherCopyRuns()) return nullptr;
    QStringList files = m_files;
    if (files.isEmpty()) files = Dialogs::OpenFiles(nullptr, Res(1612));
    for (const QString& file : files)
        app::Trap("modGeneral", "Main", [&] { m_drawings.Open(file.toStdString()); });
    if (m_drawings.Documents().empty()) return nullptr;
    return m_drawings.App();
}

void DesktopProgram::DisplayMainWindow() {
    m_window = std::make_unique<MainWindow>(m_drawings, app::g_oApplication->ApplicationID());
    engine::SetCopyErrorDialog(&m_copyErrors);
    QObject::connect(m_window.get(), &MainWindow::AboutRequested, m_window.get(),
                     [window = m_window.get()] { AboutBox::Display(window); });
    m_window->Display();
    m_instance.MarkMainWindow(m_window.get());
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

    MessageBoxPrompt prompt;
    app::SetPrompt(&prompt);
    int status = 0;
    {
        DesktopProgram program(parser.positionalArguments());
        app::Main(program);
        if (app::g_oApplication && program.Window() && program.Window()->isVisible())
            status = QApplication::exec();
        app::g_oApplication.reset();
    }
    app::SetPrompt(nullptr);
    return status;
}

}  // namespace tess::ui
