#pragma once

#include <QByteArray>
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

// Reads a whole file; false when it cannot be read.
bool read(const QString &path, QByteArray *content);

} // namespace SafeFile
