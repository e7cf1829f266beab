#include "ui/WindowHelpers.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "app/ErrorReport.h"
#include "ui/Resources.h"

namespace tess::ui {

void CenterForm(QWidget& form) {
    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize outer = form.frameGeometry().size();
    form.move(area.x() + area.width() / 2 - outer.width() / 2,
              area.y() + area.height() / 2 - outer.height() / 2);
}

void CenterOn(QWidget& form, const QWidget* over) {
    if (!over) return CenterForm(form);
    const QWidget* window = over->window();
    const QSize outer = form.frameGeometry().size();
    QRect place(QPoint(), outer);
    place.moveCenter(window->frameGeometry().center());
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        place.moveLeft(std::clamp(place.left(), area.left(),
                                  std::max(area.left(), area.right() - outer.width())));
        place.moveTop(std::clamp(place.top(), area.top(),
                                 std::max(area.top(), area.bottom() - outer.height())));
    }
    form.move(place.topLeft());
}

void SetIcon(QWidget& window, bool owner, app::IPrompt& prompt) {
    app::Trap(prompt, app::proc::SetIcon, [&] {
        const QIcon icon = AppIcon();
        if (owner) {
            QWidget* top = window.window();
            while (top->parentWidget())
                top = top->parentWidget()->window();
            top->setWindowIcon(icon);
        }
        window.setWindowIcon(icon);
    });
}

void Place(QWidget* control, int left, int top, int width, int height) {
    control->setGeometry(Twips(left), Twips(top), Twips(width), Twips(height));
}

void FitHeight(QLabel* label) {
    const int needed = label->heightForWidth(label->width());
    if (needed > label->height()) label->resize(label->width(), needed);
}

bool CloseForm(std::string_view formName) {
    const QString name = QString::fromUtf8(formName.data(), static_cast<qsizetype>(formName.size()));
    bool closed = false;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() != name || !window->isVisible()) continue;
        window->close();
        closed = true;
    }
    return closed;
}

}  // namespace tess::ui
