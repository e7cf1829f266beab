#pragma once

#include <QString>
#include <string_view>

#include "app/Prompt.h"

class QLabel;
class QWidget;

// What the program's dialogs ask of the desktop: a place on the screen, an icon, their
// controls laid out at the sizes they were designed at.
namespace tess::ui {

/// Centres a window on its screen by its outer size; a window larger than the screen gets a
/// negative left or top.
void CenterForm(QWidget& form);

/// Centres a dialog on the window over it (on the screen when there is none), kept on the
/// screen.
void CenterOn(QWidget& form, const QWidget* over);

/// Gives a window the program's icon; with owner, also the window at the top of its owner
/// chain (itself when it has no owner). A failure is reported through prompt.
void SetIcon(QWidget& window, bool owner, app::IPrompt& prompt);

/// Places a control at a position and size given in twips.
void Place(QWidget* control, int left, int top, int width, int height);

/// Lets a word-wrapped label grow downwards where its text needs more room than it was given.
void FitHeight(QLabel* label);

/// Closes every open window of the program with that control name; false when none was open.
bool CloseForm(std::string_view formName);

}  // namespace tess::ui
