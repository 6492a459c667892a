#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Whole-file replacement that never leaves a user's file half written or
// missing: the new content goes into a temporary file beside the target, is
// flushed to disk and then renamed over the target in one step.
namespace SafeFile {

// Writes content to path. False when anything failed; the old file is then
// untouched.
bool write(const QString &path, const QByteArray &content);

// Replaces target by a byte-for-byte copy of source. A missing or unreadable
// source leaves target exactly as it was and returns false.
bool copyOver(const QString &source, const QString &target);

// QSettings keeps one cache per file name for the whole process and re-reads
// a file only when its size or modification time changed. After a file was
// exchanged, this gives it a modification time strictly after oldTime, so a
// replacement of the same size written within the same millisecond is seen.
void stampAfter(const QString &path, const QDateTime &oldTime);

// Modification time of a file in UTC; invalid when it does not exist.
QDateTime modifiedTime(const QString &path);

// Reads a whole file; false when it cannot be read.
bool read(const QString &path, QByteArray *content);

// The settings class guards every write of a file with a lock file beside it
// ("p1.bin.lock", and "p1.bin.lock.rmlock" while it breaks a stale one). A
// process killed after creating one but before writing its process id into
// it leaves a lock nobody can prove dead, and every later write of that file
// waits until the lock is 30 s old. This removes such unsigned lock files in
// dir; signed ones are left to the settings class, which breaks them at once
// when their process is gone. Returns the number removed.
int clearUnsignedLocks(const QString &dir);

} // namespace SafeFile
