#pragma once

#include <QProcess>
#include <QString>

// The built program started as a person starts it, on a virtual X server of its own, and timed
// until its window is on the screen.
namespace tess::bench {

class VirtualScreen {
public:
    /// Starts the server; Display() is empty when it could not.
    VirtualScreen();
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    const QString& Display() const { return m_display; }
    /// Starts program and waits until it maps a top-level window whose title holds title; the
    /// seconds from the start to then, or a negative number when none came within a minute.
    /// The program is ended afterwards, whatever happened.
    double SecondsToWindow(const QString& program, const QStringList& arguments,
                           QProcessEnvironment environment, const QString& title);

private:
    QProcess m_server;
    QString m_display;
};

}  // namespace tess::bench
