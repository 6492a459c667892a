#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// Makes sure one instance runs per executable and user. The first instance
// holds a lock file and listens on a local socket; a later launch finds the
// lock taken and hands its message over that socket.
//
// Every message on the socket is one frame: tag (u32), declared length (u32),
// payload length (u32), payload; integers big-endian. Tag 0 is a message from
// a second launch; other tags are notices from other programs. The receiver
// answers each frame with one byte, 1 when it handled it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 LaunchTag = 0;

    // id defaults to one derived from the absolute executable path and the
    // user, so copies in different folders or of different users are
    // independent.
    explicit SingleInstance(const QString &id = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString defaultId();
    QString id() const { return m_id; }
    QString serverName() const;

    // True when another instance with this id is running.
    bool isRunning() const { return !m_primary; }

    // Sends a launch message to the running instance; false on time-out.
    bool sendMessage(const QString &message, int timeoutMs);

    // Sends one frame to the instance with the given id; false when it could
    // not be delivered or was not answered within the time-out.
    static bool sendFrame(const QString &serverName, quint32 tag, quint32 declaredLength,
                          const QByteArray &payload, int timeoutMs, bool *handled = nullptr);

signals:
    void messageReceived(QString message);
    void noticeReceived(quint32 tag, quint32 declaredLength, QByteArray payload);

private:
    void onNewConnection();
    void readFrames(QLocalSocket *socket);

    QString m_id;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
