#include "ui/Controls.h"

#include <QRegularExpression>
#include <QWidget>

namespace tess::ui {

void NameControl(QWidget* control, const QString& name, const QString& caption) {
    control->setObjectName(name);
    QString accessible = caption;
    accessible.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    control->setAccessibleName(accessible.isEmpty() ? name : accessible);
}

}  // namespace tess::ui
