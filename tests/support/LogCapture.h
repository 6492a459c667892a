#pragma once

#include <QMutex>
#include <QStringList>

#include <functional>

// Collects the program's debug lines (qDebug and friends) while it lives,
// from any thread, and keeps them out of the test output unless asked.
class LogCapture
{
public:
    explicit LogCapture(bool echo = false);
    ~LogCapture();

    QStringList lines() const;
    int count(const QString &text) const;          // lines equal to text
    int countContaining(const QString &text) const;
    void clear();
    // Runs the event loop until a line containing text appears.
    bool waitFor(const QString &text, int timeoutMs = 5000) const;

    // Called for every line, on the thread that wrote it.
    void setOnLine(std::function<void(const QString &)> callback);

private:
    std::function<void(const QString &)> m_onLine;
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &msg);

    mutable QMutex m_mutex;
    QStringList m_lines;
    bool m_echo;
    QtMessageHandler m_previous = nullptr;
};
