#include "store/DataRoot.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <utility>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace DataRoot {

namespace {

const QLatin1String AppFolder("kelda-config");

bool writableDir(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isDir())
        return false;
#ifdef Q_OS_UNIX
    // access() also sees a read-only mount, which the permission bits do not.
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
#else
    return info.isWritable();
#endif
}

// Creates path with its parents; false with the system's reason.
bool makePath(const QString &path, QString *why)
{
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return true;
#ifdef Q_OS_UNIX
    // The first missing folder says why: read-only file system, permission
    // denied, a file in the way.
    QString first = QDir::cleanPath(path);
    for (;;) {
        const QString parent = QFileInfo(first).path();
        if (parent == first || QFileInfo::exists(parent))
            break;
        first = parent;
    }
    if (::mkdir(QFile::encodeName(first).constData(), 0777) != 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (QDir().mkpath(path))
        return true;
#endif
    *why = QStringLiteral("the folder could not be made");
    return false;
}

bool readFile(const QString &path, QByteArray *content, QString *why)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        *why = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    *content = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        *why = QStringLiteral("%1: %2").arg(path, in.errorString());
        return false;
    }
    return true;
}

// Written beside the target and renamed over it: a file is either old or new.
bool writeFile(const QString &path, const QByteArray &content, QString *why)
{
    if (!makePath(QFileInfo(path).path(), why)) {
        *why = QStringLiteral("%1: %2").arg(QFileInfo(path).path(), *why);
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        *why = QStringLiteral("%1: %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

// Lock files of the settings class belong to the process that made them.
bool isLockFile(const QString &name)
{
    return name.endsWith(QLatin1String(".lock")) || name.endsWith(QLatin1String(".rmlock"));
}

// Every file of an earlier installation's data folder, byte for byte, each
// read back and compared.
bool carryOver(const QString &from, const QString &to, QString *why)
{
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir base(from);
    while (it.hasNext()) {
        const QString path = it.next();
        if (isLockFile(it.fileName()))
            continue;
        const QString target = to + QLatin1Char('/') + base.relativeFilePath(path);
        QByteArray content;
        QByteArray copy;
        if (!readFile(path, &content, why) || !writeFile(target, content, why)
            || !readFile(target, &copy, why))
            return false;
        if (copy != content) {
            *why = QStringLiteral("%1 differs from %2 after copying").arg(target, path);
            return false;
        }
    }
    return true;
}

// Brings a data folder up to the shipped copy: missing files are added, the
// user's files gain new keys, the program's own files are replaced.
bool update(const QString &shipped, const QString &modules, QString *why)
{
    QDirIterator it(shipped, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    const QDir base(shipped);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = base.relativeFilePath(path);
        if (rel.startsWith(QLatin1Char('.')) || rel.contains(QLatin1String("/.")))
            continue;
        QByteArray ship;
        if (!readFile(path, &ship, why))
            return false;
        const QString target = modules + QLatin1Char('/') + rel;
        QByteArray have;
        if (!QFileInfo::exists(target)) {
            if (!writeFile(target, ship, why))
                return false;
            continue;
        }
        if (!readFile(target, &have, why))
            return false;
        const QByteArray want = isUserFile(rel) ? mergeIni(ship, have) : ship;
        if (want != have && !writeFile(target, want, why))
            return false;
    }
    return makePath(modules + QLatin1String("/macro"), why);
}

QString describe(const Root &root)
{
    return QDir::toNativeSeparators(root.folder);
}

} // namespace

Places currentPlaces()
{
    Places p;
    p.executableDir = QCoreApplication::applicationDirPath();
    p.home = QDir::homePath();
#ifdef Q_OS_UNIX
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    p.configHome = QDir::isAbsolutePath(xdg) ? xdg : p.home + QLatin1String("/.config");
#else
    p.configHome = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
#endif
    return p;
}

bool decide(const Places &places, Root *root, QString *error)
{
    const QString beside = QDir::cleanPath(places.executableDir + QLatin1String("/modules"));
    if (writableDir(beside)) {
        *root = Root{Mode::Portable, QDir::cleanPath(places.executableDir), QString(), {}};
        return true;
    }
    const QString prefix = QDir::cleanPath(places.executableDir + QLatin1String("/.."));
    const QString shared = prefix + QLatin1String("/share/kelda-config/modules");
    QString shipped;
    if (QFileInfo(shared).isDir())
        shipped = shared;
    else if (QFileInfo(beside).isDir())
        shipped = beside; // a read-only copy beside the executable
    else {
        *error = QStringLiteral("no data found: neither %1 nor %2 exists")
                     .arg(QDir::toNativeSeparators(shared), QDir::toNativeSeparators(beside));
        return false;
    }
    root->mode = Mode::Installed;
    root->folder = QDir::cleanPath(places.configHome + QLatin1Char('/') + AppFolder);
    root->shipped = shipped;
    root->legacy.clear();
    for (const QString &old : {prefix + QLatin1String("/lib/kelda-config/modules"),
                               places.home + QLatin1String("/.local/lib/kelda-config/modules")}) {
        const QString clean = QDir::cleanPath(old);
        if (!root->legacy.contains(clean))
            root->legacy.append(clean);
    }
    return true;
}

bool prepare(const Root &root, QString *error)
{
    const QString where = describe(root);
    if (root.mode == Mode::Portable) {
        if (QFileInfo(root.folder + QLatin1String("/modules")).isDir())
            return true;
        *error = QStringLiteral("the data folder %1 has no modules/ folder").arg(where);
        return false;
    }
    QString why;
    if (!makePath(root.folder, &why)) {
        *error = QStringLiteral("the data folder %1 cannot be created: %2").arg(where, why);
        return false;
    }
    // Two programs starting at once (kelda-ctl from a script, say) fill the
    // folder one after the other.
    QLockFile lock(root.folder + QLatin1String("/.prepare.lock"));
    if (!lock.tryLock(30000)) {
        *error = lock.error() == QLockFile::LockFailedError
                     ? QStringLiteral("the data folder %1 is being prepared by another program").arg(where)
                     : QStringLiteral("the data folder %1 is not writable").arg(where);
        return false;
    }
    const QString modules = root.folder + QLatin1String("/modules");
    if (!QFileInfo(modules).isDir()) {
        // Filled beside and renamed into place, so an interrupted first start
        // never leaves a half-filled folder that looks complete.
        const QString staging = root.folder + QLatin1String("/.modules.partial");
        QDir(staging).removeRecursively();
        QString from;
        for (const QString &old : root.legacy) {
            if (QFileInfo(old + QLatin1String("/setting")).isDir()) {
                from = old;
                break;
            }
        }
        if (!makePath(staging, &why) || (!from.isEmpty() && !carryOver(from, staging, &why))
            || !update(root.shipped, staging, &why)) {
            QDir(staging).removeRecursively();
            *error = QStringLiteral("the data folder %1 cannot be filled: %2").arg(where, why);
            return false;
        }
        if (!QDir().rename(staging, modules)) {
            QDir(staging).removeRecursively();
            *error = QStringLiteral("the data folder %1 cannot be filled: %2 cannot be renamed")
                         .arg(where, QDir::toNativeSeparators(staging));
            return false;
        }
        return true;
    }
    // Every save writes beside its file and renames it, so the folder of the
    // settings must take new files.
    const QString settings = modules + QLatin1String("/setting");
    QTemporaryFile probe((QFileInfo(settings).isDir() ? settings : modules) + QLatin1String("/.probe-XXXXXX"));
    if (!probe.open()) {
        *error = QStringLiteral("the data folder %1 is not writable: %2").arg(where, probe.errorString());
        return false;
    }
    probe.remove();
    if (!update(root.shipped, modules, &why)) {
        *error = QStringLiteral("the data folder %1 cannot be brought up to date: %2").arg(where, why);
        return false;
    }
    return true;
}

bool enter(const Root &root, QString *error)
{
    if (!prepare(root, error))
        return false;
    if (!QDir::setCurrent(root.folder)) {
        *error = QStringLiteral("the data folder %1 cannot be entered").arg(describe(root));
        return false;
    }
    return true;
}

bool isUserFile(const QString &path)
{
    static const QSet<QString> fixed = {
        QStringLiteral("setting/apConfig.bin"), QStringLiteral("setting/name.bin"),
        QStringLiteral("gun/gunData.bin")};
    if (fixed.contains(path) || path.startsWith(QLatin1String("macro/")))
        return true;
    // the ten profile slots p1.bin .. p10.bin (pD.bin is the factory copy)
    static const QRegularExpression slot(QStringLiteral("^setting/p([1-9]|10)\\.bin$"));
    return slot.match(path).hasMatch();
}

namespace {

using Section = std::pair<QByteArray, QList<QByteArray>>; // name (null: the head), lines

QList<Section> parseIni(const QByteArray &text)
{
    QList<Section> sections{{QByteArray(), {}}};
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = text.indexOf('\n', at);
        end = end < 0 ? text.size() : end + 1;
        const QByteArray line = text.mid(at, end - at);
        const QByteArray stripped = line.trimmed();
        if (stripped.startsWith('[') && stripped.endsWith(']') && stripped.size() >= 2)
            sections.append({stripped.mid(1, stripped.size() - 2), {line}});
        else
            sections.last().second.append(line);
        at = end;
    }
    return sections;
}

QByteArray keyOf(const QByteArray &line)
{
    const QByteArray stripped = line.trimmed();
    if (stripped.isEmpty() || stripped[0] == ';' || stripped[0] == '#' || !stripped.contains('='))
        return QByteArray();
    return stripped.left(stripped.indexOf('=')).trimmed();
}

// Sections are told apart by name, the head (lines before any section) by
// being null.
QByteArray sectionKey(const QByteArray &name)
{
    return name.isNull() ? QByteArray(1, '\0') : QByteArray("[") + name;
}

} // namespace

QByteArray mergeIni(const QByteArray &shipped, const QByteArray &user)
{
    QList<Section> out = parseIni(user);
    QHash<QByteArray, QSet<QByteArray>> userKeys;
    QHash<QByteArray, qsizetype> index;
    for (qsizetype i = 0; i < out.size(); ++i) {
        QSet<QByteArray> &keys = userKeys[sectionKey(out[i].first)];
        for (const QByteArray &line : out[i].second) {
            const QByteArray key = keyOf(line);
            if (!key.isEmpty())
                keys.insert(key);
        }
        index[sectionKey(out[i].first)] = i;
    }
    for (const Section &section : parseIni(shipped)) {
        const QByteArray name = sectionKey(section.first);
        const QSet<QByteArray> have = userKeys.value(name);
        QList<QByteArray> missing;
        for (const QByteArray &line : section.second) {
            const QByteArray key = keyOf(line);
            if (!key.isEmpty() && !have.contains(key))
                missing.append(line.endsWith('\n') ? line : line + '\n');
        }
        if (missing.isEmpty())
            continue;
        if (index.contains(name)) {
            QList<QByteArray> &lines = out[index.value(name)].second;
            // the blank lines that separate sections stay after the new keys
            QList<QByteArray> tail;
            while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
                tail.prepend(lines.takeLast());
            if (!lines.isEmpty() && !lines.last().endsWith('\n'))
                lines.last().append('\n');
            lines += missing;
            lines += tail;
        } else {
            if (!out.last().second.isEmpty() && !out.last().second.last().trimmed().isEmpty())
                out.last().second.append("\n");
            out.append({section.first, QList<QByteArray>{"[" + section.first + "]\n"} + missing});
            index[name] = out.size() - 1;
        }
    }
    QByteArray merged;
    merged.reserve(user.size() + 256);
    for (const Section &section : out)
        for (const QByteArray &line : section.second)
            merged += line;
    return merged;
}

} // namespace DataRoot
