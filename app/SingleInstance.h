#pragma once

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QLocalSocket;

// Makes sure one instance runs per data folder and user. The first instance
// holds a lock file and listens on a local socket; a later launch finds the
// lock taken and hands its message over that socket. Lock and socket live in
// the user's private runtime folder, and the socket admits only the user.
//
// Every message on the socket is one frame: tag (u32), declared length (u32),
// payload length (u32), payload; integers big-endian. Tag 0 is a message from
// a second launch, CallTag a slot call handed over by kelda-ctl; other tags
// are notices from other programs. The receiver answers a launch message or
// a notice with one byte, 1 when it handled it. A call is answered once it
// has run, with a status byte (1 done, 0 refused), the length of the text
// (u32) and the text. A frame of MaxPayload bytes or more is refused with a
// status byte 0 and an error text, and the connection is closed; so is a
// connection that brings no complete frame within IdleTimeoutMs.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr quint32 LaunchTag = 0;
    static constexpr quint32 CallTag = 0x4B43544C; // "KCTL"
    static constexpr quint32 MaxPayload = 1 << 20;
    static constexpr int IdleTimeoutMs = 5000;
    static constexpr int MaxConnections = 8;

    // id defaults to one derived from the program's data folder (the one
    // DataRoot decides) and the user, so copies with different data folders
    // or of different users are independent.
    explicit SingleInstance(const QString &id = QString(), QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString defaultId();
    static QString idForDataFolder(const QString &dataFolder);
    QString id() const { return m_id; }
    QString serverName() const { return serverNameFor(m_id); }
    static QString serverNameFor(const QString &id);

    // True when another instance with this id is running.
    bool isRunning() const { return !m_primary; }
    // True when a live process holds the lock of the instance with this id.
    static bool instanceAlive(const QString &id);

    // Sends a launch message to the running instance; false on time-out.
    bool sendMessage(const QString &message, int timeoutMs);

    // Sends one frame to the instance with the given id; false when it could
    // not be delivered, was refused or was not answered within the time-out.
    static bool sendFrame(const QString &serverName, quint32 tag, quint32 declaredLength,
                          const QByteArray &payload, int timeoutMs, bool *handled = nullptr);

    // Hands a call to the instance and waits for its answer. False when
    // nobody answered within the time-out (error says why); otherwise done
    // tells the status byte and text the answer.
    static bool call(const QString &serverName, const QByteArray &payload, int connectTimeoutMs,
                     int answerTimeoutMs, bool *done, QByteArray *text, QString *error);

    // Answers the call with this number (from callReceived); a call whose
    // client went away is dropped.
    void answerCall(quint64 callId, bool done, const QByteArray &text);

signals:
    void messageReceived(QString message);
    void noticeReceived(quint32 tag, quint32 declaredLength, QByteArray payload);
    void callReceived(quint64 callId, QByteArray payload);

private:
    void onNewConnection();
    void readFrames(QLocalSocket *socket);
    static void refuse(QLocalSocket *socket, const QByteArray &why);

    QString m_id;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    int m_connections = 0;
    quint64 m_nextCall = 1;
    QHash<quint64, QPointer<QLocalSocket>> m_calls;
};
