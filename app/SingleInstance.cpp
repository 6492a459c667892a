#include "app/SingleInstance.h"

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

namespace {

constexpr quint32 MaxPayload = 1 << 20; // notices are short texts

QString userName()
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("USERNAME");
    return user;
}

QString lockDir()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir;
}

} // namespace

QString SingleInstance::defaultId()
{
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).absoluteFilePath();
    const QByteArray key = (exe + QLatin1Char('\n') + userName()).toUtf8();
    return QStringLiteral("kelda-config-")
        + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::SingleInstance(const QString &id, QObject *parent)
    : QObject(parent), m_id(id.isEmpty() ? defaultId() : id)
{
    m_lock = std::make_unique<QLockFile>(lockDir() + QLatin1Char('/') + m_id + QStringLiteral(".lock"));
    m_lock->setStaleLockTime(0);
    m_primary = m_lock->tryLock(0);
    if (!m_primary)
        return;

    m_server = new QLocalServer(this);
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

QString SingleInstance::serverName() const
{
    return m_id;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readFrames(socket); });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        readFrames(socket);
    }
}

void SingleInstance::readFrames(QLocalSocket *socket)
{
    for (;;) {
        if (socket->bytesAvailable() < 12)
            return;
        const QByteArray head = socket->peek(12);
        QDataStream in(head);
        quint32 tag = 0, declared = 0, size = 0;
        in >> tag >> declared >> size;
        if (size > MaxPayload) {
            qDebug() << "single instance: frame of" << size << "bytes refused";
            socket->abort();
            return;
        }
        if (socket->bytesAvailable() < 12 + qint64(size))
            return;
        socket->read(12);
        const QByteArray payload = socket->read(size);
        socket->write(QByteArray(1, '\1'));
        socket->flush();
        if (tag == LaunchTag)
            emit messageReceived(QString::fromUtf8(payload));
        else
            emit noticeReceived(tag, declared, payload);
    }
}

bool SingleInstance::sendFrame(const QString &serverName, quint32 tag, quint32 declaredLength,
                               const QByteArray &payload, int timeoutMs, bool *handled)
{
    QElapsedTimer clock;
    clock.start();
    auto left = [&] { return qMax(0, timeoutMs - int(clock.elapsed())); };

    // The first instance may have taken its lock but not yet be listening;
    // keep trying until the time-out.
    QLocalSocket socket;
    for (;;) {
        socket.connectToServer(serverName);
        if (socket.waitForConnected(left()))
            break;
        if (left() <= 0)
            return false;
        QThread::msleep(qMin(50, left()));
    }
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    out << tag << declaredLength << quint32(payload.size());
    frame.append(payload);
    socket.write(frame);
    if (!socket.waitForBytesWritten(left()))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(left()))
            return false;
    }
    const char answer = socket.read(1).at(0);
    if (handled)
        *handled = answer == 1;
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::sendMessage(const QString &message, int timeoutMs)
{
    const QByteArray text = message.toUtf8();
    return sendFrame(serverName(), LaunchTag, quint32(text.size()), text, timeoutMs);
}
