#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The built program started as a person starts it, on an X display, and timed until its window
// is on the screen.
namespace tess::bench {

/// Starts program on display and waits until it maps a top-level window whose title holds
/// title; the seconds from the start to then, or a negative number when none came within a
/// minute. The program is ended afterwards, whatever happened.
double SecondsToWindow(const QString& display, const QString& program,
                       const QStringList& arguments, QProcessEnvironment environment,
                       const QString& title);

}  // namespace tess::bench
