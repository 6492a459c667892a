// kelda-ctl: the program's device operations and data operations from the
// command line, through the very view the GUI uses (without its scene).
//
//   kelda-ctl [--data DIR] list
//   kelda-ctl [--data DIR] [--time] call SLOT [JSON-ARG ...]
//
// When kelda-config runs for the same user and data folder, the call is
// handed to it over its local socket and runs there, on its GUI thread, as
// the scene would make it; otherwise kelda-ctl opens the mouse itself. Either
// way only one process drives the mouse: kelda-ctl waits for the device lock
// of another process (another kelda-ctl, or a kelda-config of another data
// folder) up to LockWait.
//
// Exit status: 0 when the slot ran (also with no device: the operation then
// fails silently as in the GUI, and stderr says so), 1 when the mouse stayed
// in use by another program or the running program did not answer, 2 for
// bad input. A data folder that cannot be made or written is status 1.
// Status 3: setCurrentProfile was handed to a running kelda-config whose
// window holds unsaved edits; the switch is made there once the user saves
// or discards them.
#include "app/SingleInstance.h"
#include "app/SlotCaller.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "store/DataRoot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <hidapi.h>

#include <cstdio>

namespace {

constexpr int Busy = 1;
constexpr int BadInput = 2;
constexpr int Waiting = 3;
// How long a direct call waits for another process to let go of the mouse.
constexpr int LockWait = 60000;
// A running program that has its lock but does not listen yet gets this long.
constexpr int ConnectWait = 5000;
// The longest call (a whole profile written to the mouse) takes seconds;
// this bounds a program that stopped answering.
constexpr int AnswerWait = 120000;

const char Usage[] =
    "usage: kelda-ctl [--data DIR] list\n"
    "       kelda-ctl [--data DIR] [--time] call SLOT [JSON-ARG ...]\n"
    "\n"
    "  list   print every slot of the view with its signature\n"
    "  call   connect the mouse as the program does at start-up, call SLOT with\n"
    "         the arguments (one JSON value each) and print its result as JSON;\n"
    "         when kelda-config runs on the same data folder, it makes the call\n"
    "\n"
    "  --data DIR   folder that holds modules/ (default: the program's data\n"
    "               folder, as kelda-config uses it)\n"
    "  --time       say on stderr how long the slot itself took\n"
    "\n"
    "exit status: 0 done, 1 mouse or program busy, 2 bad input, 3 the running\n"
    "kelda-config has unsaved changes: setCurrentProfile waits for the user\n"
    "\n"
    "example: kelda-ctl call mouseSetDpi 4 '\"3360\"' '[400,800,1600,3200,0,0,0,0]'\n";

int fail(const QString &message, bool withUsage = false, int status = BadInput)
{
    std::fprintf(stderr, "kelda-ctl: %s\n", qPrintable(message));
    if (withUsage)
        std::fputs(Usage, stderr);
    return status;
}

struct Command
{
    QString dataDir;
    bool timed = false;
    QString verb;
    QString slot;
    QList<QByteArray> args;
};

// Parsed before Qt starts, from the raw arguments, so that no Qt option
// handling can take a JSON argument away.
bool parse(int argc, char *argv[], Command *cmd, QString *error)
{
    int i = 1;
    while (i < argc && argv[i][0] == '-' && argv[i][1] == '-') {
        const QByteArray opt(argv[i]);
        if (opt == "--data") {
            if (i + 1 >= argc) {
                *error = QStringLiteral("--data needs a folder");
                return false;
            }
            cmd->dataDir = QString::fromLocal8Bit(argv[i + 1]);
            i += 2;
        } else if (opt == "--time") {
            cmd->timed = true;
            ++i;
        } else if (opt == "--help") {
            cmd->verb = QStringLiteral("help");
            return true;
        } else {
            *error = QStringLiteral("unknown option %1").arg(QString::fromLocal8Bit(opt));
            return false;
        }
    }
    if (i >= argc) {
        *error = QStringLiteral("no command given");
        return false;
    }
    cmd->verb = QString::fromLocal8Bit(argv[i++]);
    if (cmd->verb == QLatin1String("list")) {
        if (i < argc) {
            *error = QStringLiteral("list takes no arguments");
            return false;
        }
        return true;
    }
    if (cmd->verb != QLatin1String("call")) {
        *error = QStringLiteral("unknown command '%1'").arg(cmd->verb);
        return false;
    }
    if (i >= argc) {
        *error = QStringLiteral("call needs a slot name");
        return false;
    }
    cmd->slot = QString::fromLocal8Bit(argv[i++]);
    for (; i < argc; ++i)
        cmd->args.append(QByteArray(argv[i]));
    return true;
}

// The call made by the running program: the same checks, output and exit
// status as a call made here.
int callInstance(const QString &serverName, const Command &cmd)
{
    QJsonArray args;
    for (const QByteArray &text : cmd.args) {
        // Each argument already parsed as one JSON value.
        args.append(QJsonDocument::fromJson("[" + text + "]").array().at(0));
    }
    const QJsonObject call{{QStringLiteral("slot"), cmd.slot}, {QStringLiteral("args"), args}};
    bool done = false;
    QByteArray text;
    QString error;
    if (!SingleInstance::call(serverName, QJsonDocument(call).toJson(QJsonDocument::Compact),
                              ConnectWait, AnswerWait, &done, &text, &error))
        return fail(error, false, Busy);
    if (!done)
        return fail(QString::fromUtf8(text));
    const QJsonObject answer = QJsonDocument::fromJson(text).object();
    if (!answer.value(QStringLiteral("connected")).toBool())
        std::fprintf(stderr, "kelda-ctl: no device connected\n");
    if (cmd.timed)
        std::fprintf(stderr, "kelda-ctl: %s took %lld ms (in the running kelda-config)\n",
                     qPrintable(cmd.slot), qlonglong(answer.value(QStringLiteral("ms")).toDouble()));
    if (answer.value(QStringLiteral("waiting")).toBool()) {
        std::fprintf(stderr, "kelda-ctl: the window has unsaved changes; the profile switch waits "
                             "until they are saved or discarded there\n");
        return Waiting;
    }
    // The result is printed as the program wrote it, the last member of the
    // answer.
    const int at = int(text.indexOf("\"result\":"));
    const QByteArray result = at < 0 ? QByteArray("null") : text.mid(at + 9).chopped(1);
    std::printf("%s\n", result.constData());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    Command cmd;
    QString error;
    if (!parse(argc, argv, &cmd, &error))
        return fail(error, true);
    if (cmd.verb == QLatin1String("help")) {
        std::fputs(Usage, stdout);
        return 0;
    }

    if (!cmd.dataDir.isEmpty() && !QFileInfo(cmd.dataDir + QStringLiteral("/modules")).isDir())
        return fail(QStringLiteral("no modules/ folder in %1").arg(cmd.dataDir));

    const QMetaObject &contract = myQQuickView::staticMetaObject;
    if (cmd.verb == QLatin1String("list")) {
        for (const QMetaMethod &m : SlotCaller::contractSlots(contract))
            std::printf("%s\n", qPrintable(SlotCaller::signatureText(m)));
        return 0;
    }

    // Every argument is checked before anything talks to the mouse.
    QMetaMethod slot;
    if (!SlotCaller::findSlot(contract, cmd.slot, int(cmd.args.size()), &slot, &error))
        return fail(error);
    QList<QVariant> args;
    for (int i = 0; i < cmd.args.size(); ++i) {
        QVariant v;
        if (!SlotCaller::convertArgument(cmd.args.at(i), slot.parameterMetaType(i), &v, &error)) {
            const QByteArray name = slot.parameterNames().value(i);
            return fail(QStringLiteral("argument %1%2 of %3: %4")
                            .arg(i + 1)
                            .arg(name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(QString::fromLatin1(name)))
                            .arg(cmd.slot, error));
        }
        args.append(v);
    }

    // The view needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("kelda-ctl"));

    // Data paths are relative, as in the GUI: the data folder becomes current.
    // Without --data it is the GUI's own, decided by the same rule.
    DataRoot::Root root{DataRoot::Mode::Portable, cmd.dataDir, QString(), {}};
    if (cmd.dataDir.isEmpty() && !DataRoot::decide(DataRoot::currentPlaces(), &root, &error))
        return fail(error, false, Busy);

    // A running program of this data folder makes the call itself: a second
    // process on the mouse would interleave its reports with the program's.
    const QString id = SingleInstance::idForDataFolder(root.folder);
    if (SingleInstance::instanceAlive(id))
        return callInstance(SingleInstance::serverNameFor(id), cmd);
    if (!DataRoot::enter(root, &error))
        return fail(error, false, Busy);

    hid_init();
    QVariant result;
    bool invoked = false;
    bool busy = false;
    {
        Widget window(nullptr, /*loadScene*/ false);
        window.lockWaitMs = LockWait;
        window.checkDevice();
        busy = window.mouseBusy;
        if (!busy) {
            if (!deviceConnected)
                std::fprintf(stderr, "kelda-ctl: no device connected\n");
            QElapsedTimer clock;
            clock.start();
            invoked = SlotCaller::invoke(window.view(), slot, args, &result);
            if (cmd.timed)
                std::fprintf(stderr, "kelda-ctl: %s took %lld ms\n", qPrintable(cmd.slot),
                             clock.elapsed());
        }
    }
    hid_exit();
    if (busy)
        return fail(QStringLiteral("another program is using the mouse (waited %1 s)").arg(LockWait / 1000),
                    false, Busy);
    if (!invoked)
        return fail(QStringLiteral("%1 could not be called").arg(cmd.slot));
    std::printf("%s\n", SlotCaller::resultJson(result).constData());
    return 0;
}
