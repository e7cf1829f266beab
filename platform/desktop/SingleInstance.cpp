#include "platform/desktop/SingleInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QThread>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace tess::desktop {
namespace {

const QByteArray kHeader = QByteArrayLiteral("tessaline-open 1\n");
const QByteArray kAccepted = QByteArrayLiteral("ok\n");
// How long a later copy tries to reach a first that holds the lock but may not listen yet, and how
// often.
constexpr int kConnectMs = 5000;
constexpr int kRetryMs = 20;
// How long it waits for the first to take its files: the first answers from its event loop, which
// only runs once its own start (opening its drawings) is over.
constexpr int kAnswerMs = 30000;

bool HasControlCharacters(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) return true;
    return false;
}

}  // namespace

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

QString SingleInstance::PathOf(const QString& suffix) const {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) folder = QDir::tempPath();
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + m_name + suffix;
}

QString SingleInstance::SocketName() const {
#ifdef _WIN32
    return m_name;  // a pipe: its name is per user already
#else
    // Beside the lock, so that the socket is the lock holder's: a bare name would be a socket in
    // the temporary folder, which a copy with another runtime folder removes and takes over.
    return PathOf(QStringLiteral(".socket"));
#endif
}

bool SingleInstance::Acquire() {
    m_lock = std::make_unique<QLockFile>(PathOf(QStringLiteral(".lock")));
    m_lock->setStaleLockTime(0);  // only a dead holder's lock is stale
    if (!m_lock->tryLock(0)) return false;
    m_held = true;
    m_server = std::make_unique<QLocalServer>();
    // Files handed over are opened: only the user's own programs may hand any.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString socketName = SocketName();
    QLocalServer::removeServer(socketName);  // a socket left by a copy that crashed
    if (m_server->listen(socketName)) {
        QObject::connect(m_server.get(), &QLocalServer::newConnection, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection())
                Receive(socket);
        });
    }
    return true;
}

void SingleInstance::Receive(QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto buffer = std::make_shared<QByteArray>();
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket, buffer] {
        *buffer += socket->readAll();
        if (buffer->size() > kMaxMessageBytes) {
            socket->abort();
            return;
        }
        if (!buffer->endsWith("\n\n")) return;  // more to come: only the end has an empty line
        const std::optional<QStringList> files = DecodeHandOver(*buffer);
        if (!files) {
            socket->abort();
            return;
        }
        socket->write(kAccepted);
        socket->flush();
        if (m_onHandOver)
            m_onHandOver(*files);
        else
            m_pending.push_back(*files);
    });
}

void SingleInstance::SetOnHandOver(std::function<void(const QStringList&)> onHandOver) {
    m_onHandOver = std::move(onHandOver);
    const std::vector<QStringList> pending = std::move(m_pending);
    m_pending.clear();
    for (const QStringList& files : pending)
        m_onHandOver(files);
}

bool SingleInstance::HandOver(const QStringList& files) const {
    QLocalSocket socket;
    if (!Connect(socket, QDeadlineTimer(kConnectMs))) return false;
    const QDeadlineTimer deadline(kAnswerMs);
    socket.write(EncodeHandOver(files));
    if (!socket.waitForBytesWritten(deadline.remainingTime())) return false;
    QByteArray answer;
    while (answer.size() < kAccepted.size() && socket.waitForReadyRead(deadline.remainingTime()))
        answer += socket.readAll();
    return answer.startsWith(kAccepted);
}

bool SingleInstance::Connect(QLocalSocket& socket, const QDeadlineTimer& deadline) const {
    // A first copy started at the same moment may hold the lock and not listen yet.
    const QString socketName = SocketName();
    while (true) {
        socket.connectToServer(socketName);
        if (socket.waitForConnected(deadline.remainingTime())) return true;
        socket.abort();
        if (deadline.hasExpired()) return false;
        QThread::msleep(kRetryMs);
    }
}

QByteArray SingleInstance::EncodeHandOver(const QStringList& files) {
    QByteArray message = kHeader;
    for (const QString& file : files)
        message += file.toUtf8() + '\n';
    return message + '\n';
}

std::optional<QStringList> SingleInstance::DecodeHandOver(const QByteArray& message) {
    if (message.size() > kMaxMessageBytes || !message.startsWith(kHeader) ||
        !message.endsWith('\n'))
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(message.mid(kHeader.size()));
    if (utf8.hasError()) return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    // The text ends in the empty line and its line feed: two empty pieces, or one without files.
    if (lines.size() < 2 || !lines.takeLast().isEmpty() || !lines.takeLast().isEmpty())
        return std::nullopt;
    if (lines.size() > kMaxFiles) return std::nullopt;
    for (const QString& file : lines) {
        if (file.isEmpty() || HasControlCharacters(file) || QDir::isRelativePath(file))
            return std::nullopt;
    }
    return lines;
}

}  // namespace tess::desktop
