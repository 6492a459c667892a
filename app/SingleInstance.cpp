#include "app/SingleInstance.h"

#include "device/DeviceLock.h"
#include "store/DataRoot.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace {

// Longest socket path the system takes (sun_path holds 108 bytes).
constexpr int MaxSocketPath = 100;

QString userName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user;
}

QString lockDir()
{
    const QString own = DeviceLock::runtimeFolder();
    if (!own.isEmpty())
        return own;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

QString lockPathFor(const QString &id)
{
    return lockDir() + QLatin1Char('/') + id + QStringLiteral(".lock");
}

QByteArray frame(quint32 tag, quint32 declaredLength, const QByteArray &payload)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << tag << declaredLength << quint32(payload.size());
    out.append(payload);
    return out;
}

QByteArray answer(bool done, const QByteArray &text)
{
    QByteArray out(1, done ? '\1' : '\0');
    QDataStream stream(&out, QIODevice::Append);
    stream << quint32(text.size());
    out.append(text);
    return out;
}

// Connects, trying again until the time-out: the first instance may have
// taken its lock but not yet be listening.
bool connectWithin(QLocalSocket &socket, const QString &serverName, const QElapsedTimer &clock,
                   int timeoutMs)
{
    auto left = [&] { return qMax(0, timeoutMs - int(clock.elapsed())); };
    for (;;) {
        socket.connectToServer(serverName);
        if (socket.waitForConnected(left()))
            return true;
        if (left() <= 0)
            return false;
        QThread::msleep(ulong(qMin(50, left())));
    }
}

bool readExactly(QLocalSocket &socket, qint64 count, QByteArray *out, const QElapsedTimer &clock,
                 int timeoutMs)
{
    while (socket.bytesAvailable() < count) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return false;
    }
    *out = socket.read(count);
    return true;
}

} // namespace

QString SingleInstance::idForDataFolder(const QString &dataFolder)
{
    // The folder may not exist yet (a first start creates it): its nearest
    // existing parent is resolved, so the id stays the same once it exists.
    QString existing = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath());
    QString rest;
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).path();
        if (parent == existing)
            break;
        rest.prepend(QLatin1Char('/') + QFileInfo(existing).fileName());
        existing = parent;
    }
    const QString canonical = QFileInfo(existing).canonicalFilePath();
    const QString folder = (canonical.isEmpty() ? existing : canonical) + rest;
    const QByteArray key = (folder + QLatin1Char('\n') + userName()).toUtf8();
    return QStringLiteral("kelda-config-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

QString SingleInstance::defaultId()
{
    DataRoot::Root root;
    QString error;
    if (DataRoot::decide(DataRoot::currentPlaces(), &root, &error))
        return idForDataFolder(root.folder);
    return idForDataFolder(QCoreApplication::applicationDirPath());
}

QString SingleInstance::serverNameFor(const QString &id)
{
    const QString path = lockDir() + QLatin1Char('/') + id + QStringLiteral(".sock");
    return path.size() <= MaxSocketPath ? path : id;
}

bool SingleInstance::instanceAlive(const QString &id)
{
    QLockFile lock(lockPathFor(id));
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    return true;
#endif
}

SingleInstance::SingleInstance(const QString &id, QObject *parent)
    : QObject(parent), m_id(id.isEmpty() ? defaultId() : id)
{
    m_lock = std::make_unique<QLockFile>(lockPathFor(m_id));
    m_lock->setStaleLockTime(0);
    m_primary = m_lock->tryLock(0);
    if (!m_primary)
        return;

    m_server = new QLocalServer(this);
    // The folder is the user's alone; the socket itself admits only the user
    // as well, for the case that the folder is the shared temp folder.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left behind by an instance that crashed would block listen().
    // We hold the lock, so no live instance owns it.
    QLocalServer::removeServer(serverName());
    if (!m_server->listen(serverName()))
        qDebug() << "single instance: cannot listen on" << serverName() << m_server->errorString();
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock && m_primary)
        m_lock->unlock();
}

void SingleInstance::refuse(QLocalSocket *socket, const QByteArray &why)
{
    qDebug().noquote() << "single instance:" << QString::fromUtf8(why);
    socket->setProperty("kelda_closed", true);
    socket->write(answer(false, why));
    socket->flush();
    socket->disconnectFromServer();
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (m_connections >= MaxConnections) {
            refuse(socket, "too many connections");
            socket->abort();
            socket->deleteLater();
            continue;
        }
        ++m_connections;
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        // A client that brings no complete frame in time is cut off, so that
        // none can hold a connection (and its slot among the few) for ever.
        auto *idle = new QTimer(socket);
        idle->setObjectName(QStringLiteral("idle"));
        idle->setSingleShot(true);
        idle->setInterval(IdleTimeoutMs);
        connect(idle, &QTimer::timeout, socket, [socket] {
            qDebug() << "single instance: a client said nothing for" << IdleTimeoutMs << "ms";
            socket->abort();
            socket->deleteLater();
        });
        idle->start();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrames(socket); });
        readFrames(socket);
    }
}

void SingleInstance::readFrames(QLocalSocket *socket)
{
    auto *idle = socket->findChild<QTimer *>(QStringLiteral("idle"));
    for (;;) {
        // After a refusal, or while a call runs, nothing more is read.
        if (socket->property("kelda_closed").toBool() || socket->property("kelda_call").toBool()) {
            socket->readAll();
            return;
        }
        if (socket->bytesAvailable() < 12)
            return;
        const QByteArray head = socket->peek(12);
        QDataStream in(head);
        quint32 tag = 0, declared = 0, size = 0;
        in >> tag >> declared >> size;
        if (size >= MaxPayload) {
            refuse(socket, QByteArray("frame of ") + QByteArray::number(size)
                               + " bytes refused: messages must be shorter than 1 MiB");
            return;
        }
        if (socket->bytesAvailable() < 12 + qint64(size))
            return;
        socket->read(12);
        const QByteArray payload = socket->read(size);
        if (idle)
            idle->start();
        if (tag == CallTag) {
            if (idle)
                idle->stop();
            socket->setProperty("kelda_call", true);
            const quint64 callId = m_nextCall++;
            m_calls.insert(callId, socket);
            emit callReceived(callId, payload);
            return;
        }
        socket->write(QByteArray(1, '\1'));
        socket->flush();
        if (tag == LaunchTag)
            emit messageReceived(QString::fromUtf8(payload));
        else
            emit noticeReceived(tag, declared, payload);
    }
}

void SingleInstance::answerCall(quint64 callId, bool done, const QByteArray &text)
{
    const QPointer<QLocalSocket> socket = m_calls.take(callId);
    if (!socket || socket->state() != QLocalSocket::ConnectedState)
        return;
    socket->setProperty("kelda_closed", true);
    socket->write(answer(done, text));
    socket->flush();
    socket->disconnectFromServer();
}

bool SingleInstance::sendFrame(const QString &serverName, quint32 tag, quint32 declaredLength,
                               const QByteArray &payload, int timeoutMs, bool *handled)
{
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    if (!connectWithin(socket, serverName, clock, timeoutMs))
        return false;
    socket.write(frame(tag, declaredLength, payload));
    if (!socket.waitForBytesWritten(qMax(0, timeoutMs - int(clock.elapsed()))))
        return false;
    QByteArray status;
    if (!readExactly(socket, 1, &status, clock, timeoutMs))
        return false;
    // Status 0 is a refusal, followed by its reason.
    if (status.at(0) == 0)
        return false;
    if (handled)
        *handled = status.at(0) == 1;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::call(const QString &serverName, const QByteArray &payload, int connectTimeoutMs,
                          int answerTimeoutMs, bool *done, QByteArray *text, QString *error)
{
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    if (!connectWithin(socket, serverName, clock, connectTimeoutMs)) {
        *error = QStringLiteral("the running kelda-config does not answer");
        return false;
    }
    clock.restart();
    socket.write(frame(CallTag, quint32(payload.size()), payload));
    QByteArray head;
    if (!socket.waitForBytesWritten(answerTimeoutMs)
        || !readExactly(socket, 5, &head, clock, answerTimeoutMs)) {
        *error = QStringLiteral("the running kelda-config hung up or gave no answer within %1 s")
                     .arg(answerTimeoutMs / 1000);
        return false;
    }
    QDataStream in(head.mid(1));
    quint32 size = 0;
    in >> size;
    if (size >= MaxPayload || !readExactly(socket, size, text, clock, answerTimeoutMs)) {
        *error = QStringLiteral("the running kelda-config sent a broken answer");
        return false;
    }
    *done = head.at(0) == 1;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    const QByteArray text = message.toUtf8();
    return sendFrame(serverName(), LaunchTag, quint32(text.size()), text, timeoutMs);
}
