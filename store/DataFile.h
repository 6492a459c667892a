#pragma once

#include <QByteArray>
#include <QString>

// File operations on the per-call data files (macros, name lists, gun data)
// and on export targets, made safe against the settings class's cache.
//
// QSettings keeps one cache entry per file path for the whole process, also
// after the last store on that path is gone, and re-reads a file only when
// its size or modification time differ from what it saw last. A file that is
// deleted and then replaced by another of the same size within the same
// millisecond would therefore be read from the stale cache. Every change made
// here outside the settings class leaves that cache in a state that cannot
// be mistaken for the new file.
namespace DataFile {

// True for a name that can be used as a file stem inside a data folder: not
// empty, no path separator, no "..", no control character and none of the
// characters some file system refuses (: * ? " < > |), and short enough for
// the file name to fit in 255 bytes together with its suffix.
bool isSafeStem(const QString &stem);

// Makes the settings class forget what it cached for path, when no store on
// path is open. Only needed where path changes outside the settings class.
void forgetCached(const QString &path);

// Puts content in place of path (written beside it and renamed over it).
bool write(const QString &path, const QByteArray &content);

// Replaces target by a byte-for-byte copy of source; a missing or unreadable
// source leaves target as it was.
bool copy(const QString &source, const QString &target);

bool remove(const QString &path);

// Renames from to to; fails when to exists.
bool rename(const QString &from, const QString &to);

// Largest file an import takes. Profiles and macros are a few kilobytes; a
// file of many megabytes is no export of this program, and copying and then
// parsing it would stall the window for seconds.
constexpr qint64 MaxImportBytes = 1024 * 1024;

// True when source may be imported: not a pipe, device or folder (a read
// could block or never end) and at most MaxImportBytes long. A missing
// source passes; the copy then fails and keeps its target.
// Otherwise writes a debug line naming the operation and why.
bool importable(const char *operation, const QString &source);

} // namespace DataFile
