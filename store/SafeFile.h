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

} // namespace SafeFile
