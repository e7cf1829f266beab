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
        if (m_state->another) m_state->instance.KnockOnFirst();
    }
    return m_state->another;
}

void InstanceCheck::MarkMainWindow(QWidget* window) {
    m_state->instance.SetOnKnock([window] {
        window->showNormal();
        window->raise();
        window->activateWindow();
    });
}

}  // namespace tess::ui
