#include "ui/Layout.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextEdit>

namespace tess::test {
namespace {

std::string Named(const QWidget& control, const std::string& why) {
    return control.objectName().toStdString() + ": " + why;
}

std::string Needs(const QSize& needed, const QSize& has) {
    return "needs " + std::to_string(needed.width()) + "x" + std::to_string(needed.height()) +
           ", has " + std::to_string(has.width()) + "x" + std::to_string(has.height());
}

}  // namespace

std::string CutText(const QWidget& control) {
    const QSize has = control.size();
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        if (label->text().isEmpty() || !label->pixmap().isNull()) return {};
        const QSize needed = label->wordWrap()
                                 ? QSize(label->minimumSizeHint().width(),
                                         label->heightForWidth(has.width()))
                                 : label->sizeHint();
        if (needed.width() > has.width() || needed.height() > has.height())
            return Named(control, Needs(needed, has));
        return {};
    }
    if (const auto* box = qobject_cast<const QTextEdit*>(&control)) {
        // It may scroll up and down, not sideways.
        if (box->document()->idealWidth() > box->viewport()->width() + 1)
            return Named(control, "a line is wider than the box");
        const bool taller = box->document()->size().height() > box->viewport()->height() + 1;
        if (taller && !box->verticalScrollBar()->isVisible())
            return Named(control, "taller than the box and cannot scroll");
        return {};
    }
    if (const auto* frame = qobject_cast<const QGroupBox*>(&control)) {
        const int title = frame->fontMetrics().horizontalAdvance(frame->title());
        return title > has.width() ? Named(control, "title wider than the frame") : std::string();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        if (button->text().isEmpty()) return {};
        const QSize needed = button->sizeHint();
        if (needed.width() > has.width() + 1 || button->minimumSizeHint().height() > has.height())
            return Named(control, Needs(needed, has));
    }
    return {};
}

std::vector<std::string> CutTexts(const QWidget& window) {
    std::vector<std::string> cut;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        if (!control->isVisible() || control->objectName().startsWith(QLatin1String("qt_"))) continue;
        if (std::string why = CutText(*control); !why.empty()) cut.push_back(why);
    }
    return cut;
}

}  // namespace tess::test
