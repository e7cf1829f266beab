#include "ui/InstanceCheck.h"

#include <QWidget>

#include "platform/desktop/SingleInstance.h"

namespace tess::ui {

struct InstanceCheck::State {
    desktop::SingleInstance instance;
    bool tried = false;
    bool another = false;
};

InstanceCheck::InstanceCheck() : m_state(std::make_unique<State>()) {}
InstanceCheck::~InstanceCheck() = default;

bool InstanceCheck::AnotherCopyRuns() {
    if (!m_state->tried) {
        m_state->tried = true;
        m_state->another = !m_state->instance.Acquire();
    }
    return m_state->another;
}

bool InstanceCheck::HandOver(const QStringList& files) {
    return AnotherCopyRuns() && m_state->instance.HandOver(files);
}

void InstanceCheck::MarkMainWindow(QWidget* window, std::function<void(const QStringList&)> open) {
    m_state->instance.SetOnHandOver([window, open = std::move(open)](const QStringList& files) {
        if (!files.isEmpty()) open(files);
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

}  // namespace tess::ui
