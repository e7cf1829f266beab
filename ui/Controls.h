#pragma once

#include <QString>

class QWidget;
class QAbstractButton;

// Small helpers for building the windows' controls.
namespace tess::ui {

/// Gives a control its control name and the accessible name screen readers and scripts find it
/// by: its caption without the mnemonic marker, or the control name where it has no caption.
template <class T>
T* Named(T* control, const QString& name, const QString& caption = QString());

void NameControl(QWidget* control, const QString& name, const QString& caption);

template <class T>
T* Named(T* control, const QString& name, const QString& caption) {
    NameControl(control, name, caption);
    return control;
}

}  // namespace tess::ui
