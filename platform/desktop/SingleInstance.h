#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace tess::desktop {

/// One copy of the desktop program per user and display: the first copy holds a lock file and
/// listens on a local socket of the same name; a later copy finds the lock held, and its knock
/// on the socket brings the first copy's window to the front.
class SingleInstance {
public:
    /// name: what the lock and the socket are called (tests give their own).
    explicit SingleInstance(QString name = DefaultName());
    ~SingleInstance();

    /// Takes the lock unless another copy holds it; true when this copy now holds it. A lock
    /// left behind by a copy that crashed is taken over.
    bool Acquire();
    /// True once Acquire succeeded.
    bool Held() const { return m_held; }
    /// Tells the copy holding the lock that another one was started.
    void KnockOnFirst() const;
    /// Called in the holding copy when a later copy knocks.
    void SetOnKnock(std::function<void()> onKnock) { m_onKnock = std::move(onKnock); }

    /// The per-user name: the user's id, and the display the copy runs on.
    static QString DefaultName();

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void()> m_onKnock;
    bool m_held = false;
};

}  // namespace tess::desktop
