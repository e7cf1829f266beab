#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace tess::desktop {

/// One copy of the desktop program per user and display: the first copy holds a lock file in the
/// user's runtime folder and listens on a local socket beside it, which only the same user may
/// reach; a later copy finds the lock held and hands the first its files over the socket (none:
/// the first comes to the front), then ends.
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
    /// Hands files (absolute paths) to the copy holding the lock; true when it took them. Waits
    /// for a copy still starting to listen and to answer.
    bool HandOver(const QStringList& files) const;
    /// Called in the holding copy with the files a later copy handed over (none for a copy
    /// started without files). What came before the handler was set is handed to it at once.
    void SetOnHandOver(std::function<void(const QStringList&)> onHandOver);
    /// The socket's full name, for tests.
    QString ServerName() const { return m_server ? m_server->fullServerName() : QString(); }

    /// The per-user name: the user's id, and the display the copy runs on.
    static QString DefaultName();

    /// What a later copy sends: a header line, one line per file, an empty line.
    static QByteArray EncodeHandOver(const QStringList& files);
    /// The files of a complete message; nullopt for anything else: a wrong header, text that is
    /// not UTF-8, too many files or bytes, a path that is not absolute or holds control
    /// characters, or a message not yet complete.
    static std::optional<QStringList> DecodeHandOver(const QByteArray& message);
    /// The most a message may hold.
    static constexpr qsizetype kMaxMessageBytes = 256 * 1024;
    static constexpr qsizetype kMaxFiles = 256;

private:
    /// A file of this name in the user's runtime folder.
    QString PathOf(const QString& suffix) const;
    QString SocketName() const;
    bool Connect(QLocalSocket& socket, const QDeadlineTimer& deadline) const;
    void Receive(QLocalSocket* socket);

    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<void(const QStringList&)> m_onHandOver;
    std::vector<QStringList> m_pending;  // handed over before there was a handler
    bool m_held = false;
};

}  // namespace tess::desktop
