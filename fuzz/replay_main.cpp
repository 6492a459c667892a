// Runs a fuzz target once on each file named on the command line (folders
// are read file by file, in name order), the way libFuzzer replays a corpus.
// Built with the ordinary compiler, it keeps the seeds and every input that
// once broke a target as a regression test.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

static int runFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "replay: cannot read %s\n", qPrintable(path));
        return -1;
    }
    const QByteArray bytes = f.readAll();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                           size_t(bytes.size()));
    return 1;
}

int main(int argc, char **argv)
{
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (QFileInfo(arg).isDir()) {
            const QFileInfoList files = QDir(arg).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo &file : files) {
                const int r = runFile(file.filePath());
                if (r < 0)
                    return 1;
                runs += r;
            }
        } else {
            const int r = runFile(arg);
            if (r < 0)
                return 1;
            runs += r;
        }
    }
    std::printf("replay: %d inputs\n", runs);
    return runs > 0 ? 0 : 1;
}
