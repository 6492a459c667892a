// Crash soak of the program's saves.
//
//   kelda-soak [--trials N] [--max-delay-ms MS] [--seed S] [--modules DIR]
//              [--writer PATH] [--naive --expect-torn] [--keep] [--verbose]
//
// Each trial starts kelda-soak-writer on a data folder, kills it with SIGKILL
// after a random delay and checks the folder:
// - every file holds what it held after the last step that completed, or
//   what it holds after the step that was cut short (both are known exactly:
//   the same steps run again here, to completion, on a copy of the folder as
//   it was when the writer started);
// - the macro folder as a whole is in one of those two states (a rename
//   never leaves both names or neither);
// - every file reads as INI;
// - nothing is left that the program would read: a leftover beside a file
//   is only acceptable as a lock or temporary file that no read path names.
// The next trial goes on from whatever the folder then holds.
#include "tools/soak/SoakSteps.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <thread>
#include <utility>

namespace {

using Snapshot = QMap<QString, QByteArray>; // path below the root -> content

// What QSettings and QSaveFile leave beside a file when they are killed: a
// lock file (and the marker used while breaking a stale one) and a temporary
// file with a random six-character suffix.
const QRegularExpression kLeftover(
    QStringLiteral("\\.(bin|pf|mc|ini)\\.(lock(\\.rmlock)*|[A-Za-z0-9]{6})$"));

const QStringList kDataDirs{QStringLiteral("modules/setting"), QStringLiteral("modules/macro"),
                            QStringLiteral("modules/gun"), QStringLiteral("modules/i18n"),
                            QStringLiteral("import"), QStringLiteral("export")};

Snapshot snapshot(const QString &root, QStringList *leftovers = nullptr)
{
    Snapshot out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    const QDir base(root);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = base.relativeFilePath(path);
        if (kLeftover.match(rel).hasMatch()) {
            if (leftovers)
                leftovers->append(rel);
            continue;
        }
        QFile f(path);
        out.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
    }
    return out;
}

bool restore(const QString &root, const Snapshot &content)
{
    for (const QString &dir : kDataDirs)
        QDir(root).mkpath(dir);
    for (auto it = content.cbegin(); it != content.cend(); ++it) {
        QFile f(root + QLatin1Char('/') + it.key());
        if (!f.open(QIODevice::WriteOnly) || f.write(it.value()) != it.value().size())
            return false;
    }
    return true;
}

// The program's INI files as QSettings writes them: section lines, key=value
// lines, comments and blank lines, and a final line break.
bool readsAsIni(const QString &path, const QByteArray &content, QString *why)
{
    if (!content.isEmpty() && !content.endsWith('\n')) {
        *why = QStringLiteral("last line cut off");
        return false;
    }
    const QList<QByteArray> lines = content.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#') || line.contains('='))
            continue;
        if (line.startsWith('[') && line.endsWith(']'))
            continue;
        *why = QStringLiteral("line %1 is neither a section nor a key").arg(i + 1);
        return false;
    }
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        *why = QStringLiteral("QSettings reports a format error");
        return false;
    }
    return true;
}

// The contents of the macro files: a macro is its steps, whatever its name.
QSet<QByteArray> macroContents(const Snapshot &s)
{
    QSet<QByteArray> contents;
    for (auto it = s.cbegin(); it != s.cend(); ++it) {
        if (it.key().startsWith(QLatin1String("modules/macro/")))
            contents.insert(it.value());
    }
    return contents;
}

// The macro bindings of the slots the scene offers (p1 .. p6): slot and
// macro code -> macro name, from [mouseMacroKey] of each profile file.
QMap<QString, QString> bindings(const Snapshot &s)
{
    QMap<QString, QString> out;
    for (int slot = 1; slot <= 6; ++slot) {
        const QByteArray content = s.value(QStringLiteral("modules/setting/p%1.bin").arg(slot));
        bool inSection = false;
        for (const QByteArray &raw : content.split('\n')) {
            const QByteArray line = raw.trimmed();
            if (line.startsWith('[')) {
                inSection = line == "[mouseMacroKey]";
            } else if (inSection && line.contains('=')) {
                const int eq = line.indexOf('=');
                out.insert(QStringLiteral("p%1.bin code %2").arg(slot).arg(QString::fromLatin1(line.left(eq))),
                           QString::fromLatin1(line.mid(eq + 1)));
            }
        }
    }
    return out;
}

bool macroExists(const Snapshot &s, const QString &name)
{
    return s.contains(QStringLiteral("modules/macro/") + name + QStringLiteral(".bin"));
}

std::optional<QByteArray> lookup(const Snapshot &s, const QString &path)
{
    auto it = s.constFind(path);
    if (it == s.cend())
        return std::nullopt;
    return *it;
}

qint64 lastJournalStep(const QString &journal, qint64 none)
{
    QFile f(journal);
    if (!f.open(QIODevice::ReadOnly))
        return none;
    // Only whole lines count: what follows the last line break was cut short.
    QList<QByteArray> lines = f.readAll().split('\n');
    lines.removeLast();
    bool ok = false;
    const qint64 last = lines.isEmpty() ? none : lines.last().toLongLong(&ok);
    return ok ? last : none;
}

struct Options
{
    int trials = 1000;
    int maxDelayUs = 40000;
    quint64 seed = 1;
    QString modules;
    QString writer;
    bool naive = false;
    bool expectTorn = false;
    bool keep = false;
    bool verbose = false;
};

bool parse(const QStringList &args, Options *o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--trials") && hasValue)
            o->trials = args.at(++i).toInt();
        else if (a == QLatin1String("--max-delay-ms") && hasValue)
            o->maxDelayUs = args.at(++i).toInt() * 1000;
        else if (a == QLatin1String("--seed") && hasValue)
            o->seed = args.at(++i).toULongLong();
        else if (a == QLatin1String("--modules") && hasValue)
            o->modules = args.at(++i);
        else if (a == QLatin1String("--writer") && hasValue)
            o->writer = args.at(++i);
        else if (a == QLatin1String("--naive"))
            o->naive = true;
        else if (a == QLatin1String("--expect-torn"))
            o->expectTorn = true;
        else if (a == QLatin1String("--keep"))
            o->keep = true;
        else if (a == QLatin1String("--verbose"))
            o->verbose = true;
        else
            return false;
    }
    return o->trials > 0 && o->maxDelayUs >= 0;
}

class Soak
{
public:
    explicit Soak(const Options &o) : m_o(o), m_rng(o.seed) {}

    bool setUp();
    int run();

private:
    // Starts the writer at step first; false when it did not come up.
    bool startWriter(QProcess &writer, qint64 first);
    // Waits until the writer has completed kProgressSteps steps; false when
    // it stalls for kProgressSeconds or ends.
    bool madeProgress(QProcess &writer, qint64 first);
    static constexpr int kProgressSteps = 20;
    static constexpr int kProgressSeconds = 10;
    void check(int trial, qint64 first, qint64 done);
    // Records a fault of one file (or of the folder as a whole) in this trial.
    void corrupt(int trial, SoakSteps::Kind kind, const QString &path, const QString &what);

    Options m_o;
    std::mt19937_64 m_rng;
    QTemporaryDir m_scratch;
    QString m_data;
    QString m_journal;
    Snapshot m_reference; // the data folder when the current writer started
    int m_corruptions = 0;   // damaged files, counted once per trial
    int m_damagedTrials = 0;
    int m_reported = 0;
    QSet<QString> m_damaged; // in the current trial
    qint64 m_steps = 0;
    int m_failures = 0; // the writer hung or ended by itself
    int m_tempLeftovers = 0;
    int m_lockLeftovers = 0;
    QSet<QString> m_locks; // lock files present after the last trial
    QMap<QString, int> m_inFlight;
};

bool Soak::setUp()
{
    if (!m_scratch.isValid())
        return false;
    m_scratch.setAutoRemove(!m_o.keep);
    m_data = m_scratch.path() + QStringLiteral("/data");
    m_journal = m_scratch.path() + QStringLiteral("/journal");
    for (const QString &dir : {QStringLiteral("setting"), QStringLiteral("macro"),
                               QStringLiteral("gun"), QStringLiteral("i18n")}) {
        const QString from = m_o.modules + QLatin1Char('/') + dir;
        const QString to = m_data + QStringLiteral("/modules/") + dir;
        QDir().mkpath(to);
        for (const QString &name : QDir(from).entryList(QDir::Files)) {
            if (!QFile::copy(from + QLatin1Char('/') + name, to + QLatin1Char('/') + name))
                return false;
        }
    }
    if (!SoakSteps::prepareImports(m_data)) {
        std::fprintf(stderr, "kelda-soak: no shipped profile under %s\n", qPrintable(m_o.modules));
        return false;
    }
    m_reference = snapshot(m_data);
    return true;
}

bool Soak::startWriter(QProcess &writer, qint64 first)
{
    QFile::remove(m_journal);
    QStringList args{m_data, m_journal, QString::number(first)};
    if (m_o.naive)
        args << QStringLiteral("--naive");
    writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    writer.start(m_o.writer, args);
    if (!writer.waitForStarted(10000))
        return false;
    QByteArray out;
    while (!out.contains('\n')) {
        if (!writer.waitForReadyRead(10000))
            return false;
        out += writer.readAllStandardOutput();
    }
    return out.startsWith("ready");
}

bool Soak::madeProgress(QProcess &writer, qint64 first)
{
    QElapsedTimer timer;
    timer.start();
    while (lastJournalStep(m_journal, first - 1) < first + kProgressSteps - 1) {
        if (timer.elapsed() > kProgressSeconds * 1000)
            return false;
        if (writer.waitForFinished(10))
            return false;
    }
    return true;
}

void Soak::corrupt(int trial, SoakSteps::Kind kind, const QString &path, const QString &what)
{
    m_damaged.insert(path);
    if (m_o.verbose || ++m_reported <= 20)
        std::printf("trial %d, killed during %s: %s %s\n", trial, SoakSteps::kindName(kind),
                    qPrintable(path), qPrintable(what));
}

void Soak::check(int trial, qint64 first, qint64 done)
{
    // Both states a file may be in: after step `done` and after step done+1.
    const QString replay = m_scratch.path() + QStringLiteral("/replay%1").arg(trial);
    restore(replay, m_reference);
    Snapshot before, after;
    SoakSteps::Kind inFlight;
    {
        SoakSteps steps(replay, m_o.naive);
        for (qint64 n = first; n <= done; ++n)
            steps.run(n);
        before = snapshot(replay);
        steps.run(done + 1);
        after = snapshot(replay);
        inFlight = steps.kind(done + 1);
    }
    QDir(replay).removeRecursively();
    m_inFlight[QString::fromLatin1(SoakSteps::kindName(inFlight))]++;

    QStringList leftovers;
    const Snapshot actual = snapshot(m_data, &leftovers);

    QSet<QString> paths;
    for (const Snapshot *s : {&std::as_const(before), &std::as_const(after), &actual}) {
        for (auto it = s->cbegin(); it != s->cend(); ++it)
            paths.insert(it.key());
    }
    for (const QString &path : paths) {
        const auto now = lookup(actual, path);
        if (now == lookup(before, path) || now == lookup(after, path))
            continue;
        if (!now)
            corrupt(trial, inFlight, path, QStringLiteral("is missing"));
        else if (!lookup(before, path) && !lookup(after, path))
            corrupt(trial, inFlight, path, QStringLiteral("should not exist"));
        else
            corrupt(trial, inFlight, path, QStringLiteral("holds neither its old nor its new content"));
    }
    // A macro is never lost: whatever held it before and after the step
    // still holds it, under one name or the other.
    const QSet<QByteArray> kept = macroContents(actual);
    for (const QByteArray &macro : macroContents(before) & macroContents(after)) {
        if (!kept.contains(macro))
            corrupt(trial, inFlight, QStringLiteral("modules/macro"),
                    QStringLiteral("a macro present before and after the step is gone"));
    }
    // A button bound to a macro that exists before and after the step finds
    // its macro at every moment in between.
    const QMap<QString, QString> was = bindings(before), will = bindings(after);
    const QMap<QString, QString> is = bindings(actual);
    for (auto it = is.cbegin(); it != is.cend(); ++it) {
        if (macroExists(before, was.value(it.key())) && macroExists(after, will.value(it.key()))
            && !macroExists(actual, it.value()))
            corrupt(trial, inFlight, QStringLiteral("modules/setting"),
                    it.key() + QStringLiteral(" is bound to \"") + it.value()
                        + QStringLiteral("\", which does not exist"));
    }
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        QString why;
        if (!readsAsIni(m_data + QLatin1Char('/') + it.key(), it.value(), &why))
            corrupt(trial, inFlight, it.key(), QStringLiteral("does not read as INI: ") + why);
    }

    // Leftovers are never read; temporary files are cleared away so they do
    // not pile up, lock files stay for the next writer to break.
    QSet<QString> locks;
    for (const QString &rel : leftovers) {
        if (rel.contains(QLatin1String(".lock"))) {
            locks.insert(rel);
            if (m_locks.contains(rel))
                continue;
            ++m_lockLeftovers;
        } else {
            ++m_tempLeftovers;
            QFile::remove(m_data + QLatin1Char('/') + rel);
        }
        if (m_o.verbose)
            std::printf("trial %d: left over %s\n", trial, qPrintable(rel));
    }
    m_locks = locks;

    // A damaged folder is put back to the state after the last completed
    // step, so that one fault is counted once and the soak goes on from a
    // sound state.
    if (m_damaged.isEmpty()) {
        m_reference = actual;
        return;
    }
    ++m_damagedTrials;
    m_corruptions += int(m_damaged.size());
    m_damaged.clear();
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        if (!before.contains(it.key()))
            QFile::remove(m_data + QLatin1Char('/') + it.key());
    }
    restore(m_data, before);
    m_reference = before;
}

int Soak::run()
{
    std::uniform_int_distribution<int> delay(0, m_o.maxDelayUs);
    qint64 next = 0;
    for (int trial = 0; trial < m_o.trials; ++trial) {
        QProcess writer;
        if (!startWriter(writer, next)) {
            ++m_failures;
            std::printf("trial %d: the writer did not come up: %s\n", trial,
                        qPrintable(writer.errorString()));
            writer.kill();
            writer.waitForFinished(5000);
            break;
        }
        // What the killed writers left (lock files above all) must not hold
        // a save up: every tenth writer has to get through a run of steps
        // before it is killed. The settings class waits 30 s for a lock it
        // cannot prove dead.
        if (trial % 10 == 9 && !madeProgress(writer, next)) {
            ++m_failures;
            std::printf("trial %d: the writer got through %lld of %d steps in %d s\n", trial,
                        static_cast<long long>(lastJournalStep(m_journal, next - 1) - next + 1),
                        kProgressSteps, kProgressSeconds);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(m_rng)));
        const bool endedByItself = writer.waitForFinished(0);
        writer.kill();
        writer.waitForFinished(10000);
        if (endedByItself) {
            ++m_failures;
            std::printf("trial %d: the writer ended by itself (exit %d)\n", trial,
                        writer.exitCode());
        }
        const qint64 done = lastJournalStep(m_journal, next - 1);
        m_steps += done - next + 1;
        check(trial, next, done);
        // The step that was cut short may have been completed in part; the
        // next writer carries on from what is on disk with a fresh number.
        next = done + 2;
    }

    std::printf("soak: %d trials, %d corruptions (in %d trials)\n", m_o.trials, m_corruptions,
                m_damagedTrials);
    std::printf("  steps completed: %lld; killed during:", static_cast<long long>(m_steps));
    for (auto it = m_inFlight.cbegin(); it != m_inFlight.cend(); ++it)
        std::printf(" %s %d,", qPrintable(it.key()), it.value());
    std::printf("\n  left over, never read by the program: %d temporary files, %d lock files\n",
                m_tempLeftovers, m_lockLeftovers);
    if (m_failures)
        std::printf("  the writer failed %d times\n", m_failures);
    std::fflush(stdout);
    if (m_failures)
        return 1;
    if (m_o.expectTorn)
        return m_corruptions > 0 ? 0 : 1;
    return m_corruptions == 0 ? 0 : 1;
}

bool g_verbose = false;

// The stores' debug lines ("saveMacroFile: cannot export ...") are expected
// here: the steps run into missing macros on purpose.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg || g_verbose)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietDebug);
    QCoreApplication app(argc, argv);
    Options o;
    o.modules = QStringLiteral(KELDA_DIST_DIR "/modules");
    o.writer = QCoreApplication::applicationDirPath() + QStringLiteral("/kelda-soak-writer");
    if (!parse(app.arguments().mid(1), &o)) {
        std::fprintf(stderr,
                     "usage: kelda-soak [--trials N] [--max-delay-ms MS] [--seed S] "
                     "[--modules DIR] [--writer PATH] [--naive --expect-torn] [--keep] "
                     "[--verbose]\n");
        return 2;
    }
    g_verbose = o.verbose;
    Soak soak(o);
    if (!soak.setUp())
        return 2;
    return soak.run();
}
