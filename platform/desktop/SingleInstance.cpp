#include "platform/desktop/SingleInstance.h"

#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tess::desktop {

SingleInstance::SingleInstance(QString name) : m_name(std::move(name)) {}

SingleInstance::~SingleInstance() {
    if (m_server) m_server->close();
    if (m_lock) m_lock->unlock();
}

QString SingleInstance::DefaultName() {
    QString user;
#ifndef _WIN32
    user = QString::number(getuid());
#else
    user = qEnvironmentVariable("USERNAME");
#endif
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY", qEnvironmentVariable("DISPLAY"));
    display.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char(':'), QLatin1Char('_'));
    return QStringLiteral("tessaline-%1%2").arg(user, display);
}

bool SingleInstance::Acquire() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QDir().mkpath(folder);
    m_lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + m_name + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);  // only a dead holder's lock is stale
    if (!m_lock->tryLock(0)) return false;
    m_held = true;
    m_server = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(m_name);  // a socket left by a copy that crashed
    if (m_server->listen(m_name)) {
        QObject::connect(m_server.get(), &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                socket->deleteLater();
                if (m_onKnock) m_onKnock();
            }
        });
    }
    return true;
}

void SingleInstance::KnockOnFirst() const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    socket.waitForConnected(500);
}

}  // namespace tess::desktop
