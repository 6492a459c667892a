#include "device/DeviceLock.h"

#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QThread>

#include <map>
#include <mutex>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int RetryPause = 50;

struct Claim
{
    int fd = -1;
    int holders = 0;
};

std::mutex claimsMutex;
std::map<QString, Claim> claims;

#ifdef Q_OS_UNIX
// The folder exists (or is made) as a plain folder of this user with no
// access for anyone else.
bool privateFolder(const QByteArray &path, QString *error)
{
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        *error = QStringLiteral("cannot create %1: %2").arg(QString::fromLocal8Bit(path),
                                                            QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    struct stat st = {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) {
        *error = QStringLiteral("%1 is not a folder of this user").arg(QString::fromLocal8Bit(path));
        return false;
    }
    if ((st.st_mode & 0077) && ::chmod(path.constData(), 0700) != 0) {
        *error = QStringLiteral("cannot make %1 private").arg(QString::fromLocal8Bit(path));
        return false;
    }
    return true;
}

// One attempt: true when this process holds the file's lock afterwards.
bool tryClaim(const QString &node)
{
    std::lock_guard<std::mutex> guard(claimsMutex);
    auto it = claims.find(node);
    if (it != claims.end()) {
        ++it->second.holders;
        return true;
    }
    QString error;
    const QString folder = DeviceLock::runtimeFolder(&error);
    if (folder.isEmpty()) {
        qDebug().noquote() << "device lock:" << error;
        return false;
    }
    const QByteArray file = QFile::encodeName(folder + QLatin1Char('/') + DeviceLock::lockFileFor(node));
    const int fd = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        qDebug().noquote() << "device lock: cannot open" << QString::fromLocal8Bit(file);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    claims[node] = Claim{fd, 1};
    return true;
}

void dropClaim(const QString &node)
{
    std::lock_guard<std::mutex> guard(claimsMutex);
    auto it = claims.find(node);
    if (it == claims.end() || --it->second.holders > 0)
        return;
    // Closing the descriptor ends the lock; the file stays, so that two
    // processes always lock the same inode.
    ::close(it->second.fd);
    claims.erase(it);
}
#else
bool tryClaim(const QString &) { return true; }
void dropClaim(const QString &) {}
#endif

} // namespace

DeviceLock::~DeviceLock()
{
    release();
}

bool DeviceLock::acquire(const QString &nodePath, int waitMs)
{
    if (nodePath.isEmpty())
        return false;
    if (m_node == nodePath)
        return true;
    release();
    QDeadlineTimer deadline(qMax(0, waitMs));
    for (;;) {
        if (tryClaim(nodePath)) {
            m_node = nodePath;
            return true;
        }
        if (deadline.hasExpired())
            return false;
        QThread::msleep(ulong(qMin<qint64>(RetryPause, qMax<qint64>(1, deadline.remainingTime()))));
    }
}

void DeviceLock::release()
{
    if (m_node.isEmpty())
        return;
    dropClaim(m_node);
    m_node.clear();
}

QString DeviceLock::runtimeFolder(QString *error)
{
    QString dummy;
    if (!error)
        error = &dummy;
#ifdef Q_OS_UNIX
    // A script started without a session (cron, ssh) has no XDG_RUNTIME_DIR;
    // it still has to meet the session's program, whose folder is then the
    // user's standard runtime folder.
    QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    if (xdg.isEmpty()) {
        const QByteArray standard = "/run/user/" + QByteArray::number(uint(::getuid()));
        struct stat st = {};
        if (::stat(standard.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid())
            xdg = standard;
    }
    if (!xdg.isEmpty()) {
        const QByteArray path = xdg + "/kelda-config";
        if (privateFolder(path, error))
            return QFile::decodeName(path);
    }
    const QByteArray fallback = QFile::encodeName(QDir::tempPath())
                                + "/kelda-config-" + QByteArray::number(uint(::getuid()));
    if (privateFolder(fallback, error))
        return QFile::decodeName(fallback);
    return QString();
#else
    return QDir::tempPath();
#endif
}

QString DeviceLock::lockFileFor(const QString &nodePath)
{
    QString name = nodePath;
    for (QChar &c : name) {
        const bool plain = (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
                           || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
                           || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')
                           || c == QLatin1Char('-') || c == QLatin1Char('_');
        if (!plain)
            c = QLatin1Char('_');
    }
    return QStringLiteral("device%1.lock").arg(name);
}
