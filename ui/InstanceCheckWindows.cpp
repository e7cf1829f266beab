#include <QWidget>

#include "app/Startup.h"
#include "app/StringTable.h"
#include "app/windows/WindowsStartup.h"
#include "ui/InstanceCheck.h"

// On Windows another copy is found as the start-up procedure has always found it: by a
// top-level window of the main window's class whose caption is the application title.
namespace tess::ui {

struct InstanceCheck::State {
    std::unique_ptr<app::MainWindowMarker> marker;
};

InstanceCheck::InstanceCheck() : m_state(std::make_unique<State>()) {}
InstanceCheck::~InstanceCheck() = default;

bool InstanceCheck::AnotherCopyRuns() {
    return app::TopLevelWindowExists(app::kMainWindowClass, app::LoadResString(101));
}

// The other copy's window is found, but it has no way to take files: a second start says so.
bool InstanceCheck::HandOver(const QStringList&) {
    return false;
}

void InstanceCheck::MarkMainWindow(QWidget* window, std::function<void(const QStringList&)>) {
    m_state->marker = std::make_unique<app::MainWindowMarker>(
        app::LoadResString(101), reinterpret_cast<void*>(window->winId()));
}

}  // namespace tess::ui
