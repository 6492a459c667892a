// Performs the program's saves on a data folder, one step after the other,
// until it is killed:
//
//   kelda-soak-writer ROOT JOURNAL FIRST [--naive]
//
// ROOT holds modules/ (and import/, export/). Steps FIRST, FIRST+1, ... run
// in order; after each step has reached the disk its number is appended to
// JOURNAL as one line. "ready" on stdout says the stores are open and the
// first step starts. kelda-soak starts this and kills it at random moments.
#include "tools/soak/SoakSteps.h"

#include <QCoreApplication>
#include <QFile>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The stores' debug lines are expected: the steps run into missing macros on
// purpose. Warnings still show.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "kelda-soak-writer: %s\n", qPrintable(message));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietDebug);
    // Never outlive the driver, whatever happens to it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    QCoreApplication app(argc, argv);

    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: kelda-soak-writer ROOT JOURNAL FIRST [--naive]\n");
        return 2;
    }
    bool ok = false;
    const qint64 first = args.at(2).toLongLong(&ok);
    if (!ok || first < 0) {
        std::fprintf(stderr, "kelda-soak-writer: bad first step %s\n", qPrintable(args.at(2)));
        return 2;
    }
    const int journal = ::open(QFile::encodeName(args.at(1)).constData(),
                               O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (journal < 0) {
        std::perror("kelda-soak-writer: journal");
        return 2;
    }

    SoakSteps steps(args.at(0), args.contains(QStringLiteral("--naive")));
    std::fputs("ready\n", stdout);
    std::fflush(stdout);

    // A bound, so a writer nobody kills still ends.
    for (qint64 n = first; n < first + 1000000; ++n) {
        steps.run(n);
        const std::string line = std::to_string(n) + "\n";
        if (::write(journal, line.data(), line.size()) != ssize_t(line.size()))
            return 3;
    }
    return 0;
}
