#pragma once

#include <QString>

// The exclusive claim of one process on the mouse. Two processes that both
// drive the command interface interleave their feature reports: one reads
// the answer to the other's query, or cuts the other's block write. So a
// process takes an advisory lock (flock) on a per-user lock file named after
// the command node before it sends anything, and keeps it while connected.
//
// The lock file lives in the user's own folder (runtimeFolder()); the lock
// belongs to the open file, so it goes away with the process, crash and
// kill -9 included. Within one process every DeviceLock of one node shares a
// single descriptor, counted, so that holders in one program never block
// each other. On systems without flock every claim succeeds.
class DeviceLock
{
public:
    DeviceLock() = default;
    ~DeviceLock();
    DeviceLock(const DeviceLock &) = delete;
    DeviceLock &operator=(const DeviceLock &) = delete;

    // Claims the node at nodePath, waiting up to waitMs for another process
    // to let go. Holding another node releases it first. True when held.
    bool acquire(const QString &nodePath, int waitMs = 0);
    void release();
    bool held() const { return !m_node.isEmpty(); }
    QString node() const { return m_node; }

    // The user's private folder for the lock files and the program's local
    // socket: $XDG_RUNTIME_DIR/kelda-config (without the variable, the
    // standard /run/user/<uid>), else /tmp/kelda-config-<uid>, created with
    // mode 0700. A folder that another user owns, or that is
    // not a plain folder, is refused (empty result, error says why).
    static QString runtimeFolder(QString *error = nullptr);
    // The lock file of a node: its path with every character other than
    // letters, digits, '.', '-' and '_' replaced by '_'.
    static QString lockFileFor(const QString &nodePath);

private:
    QString m_node;
};
