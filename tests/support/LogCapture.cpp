#include "support/LogCapture.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace {
LogCapture *active = nullptr;
}

LogCapture::LogCapture(bool echo) : m_echo(echo)
{
    active = this;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    active = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &msg)
{
    LogCapture *self = active;
    if (!self)
        return;
    std::function<void(const QString &)> callback;
    {
        QMutexLocker lock(&self->m_mutex);
        self->m_lines.append(msg);
        callback = self->m_onLine;
    }
    if (callback)
        callback(msg);
    if ((self->m_echo || type >= QtCriticalMsg) && self->m_previous)
        self->m_previous(type, context, msg);
}

void LogCapture::setOnLine(std::function<void(const QString &)> callback)
{
    QMutexLocker lock(&m_mutex);
    m_onLine = std::move(callback);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

int LogCapture::count(const QString &text) const
{
    return int(lines().count(text));
}

int LogCapture::countContaining(const QString &text) const
{
    int n = 0;
    for (const QString &l : lines())
        n += l.contains(text) ? 1 : 0;
    return n;
}

void LogCapture::clear()
{
    QMutexLocker lock(&m_mutex);
    m_lines.clear();
}

bool LogCapture::waitFor(const QString &text, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (countContaining(text) > 0)
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    return countContaining(text) > 0;
}
