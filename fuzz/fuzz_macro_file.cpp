// A macro file of arbitrary bytes, loaded as the scene loads it and its
// step texts parsed and encoded by the scene's own macro codec: the list
// stays bounded and the byte stream holds bytes only.

#include "FuzzSupport.h"

#include "ops/Transfers.h"
#include "store/MacroFiles.h"
#include "store/SettingsStore.h"

#include <QCoreApplication>
#include <QFile>
#include <QJSEngine>
#include <QJSValue>

namespace {

// A library script of the scene as plain JavaScript: its QML directives
// (.pragma, .import) are dropped and the imported names passed in.
QString libraryScript(const char *file)
{
    QFile f(QStringLiteral(KELDA_JS_DIR "/") + QLatin1String(file));
    FUZZ_CHECK(f.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            line.clear();
    }
    return lines.join(QLatin1Char('\n'));
}

// run(list): the scene's parsing of loadMacroIni's list, then its encoding.
QJSEngine &engine()
{
    static int argc = 1;
    static char name[] = "fuzz_macro_file";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QJSEngine engine;
    return engine;
}

QJSValue codec()
{
    static const QJSValue run = [] {
        const QString source =
            QStringLiteral("(function (NameList) {\n") + libraryScript("MacroCodec.js")
            + QStringLiteral("\nreturn function (list) {\n"
                             "  var m = parseMacroIni(list)\n"
                             "  return encode(m.steps, m.repeat, function (n) { return n.length })\n"
                             "} })((function () {\n")
            + libraryScript("NameList.js") + QStringLiteral("\nreturn { filler: filler } })())");
        const QJSValue f = engine().evaluate(source);
        if (f.isError())
            std::fprintf(stderr, "%s\n", qPrintable(f.toString()));
        FUZZ_CHECK(f.isCallable());
        return f;
    }();
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SettingsStore store(FuzzSupport::dataRoot());
    MacroFiles macros(store);
    const QString name = QStringLiteral("Fuzz");
    FuzzSupport::putFile(macros.path(name), data, size);
    const QStringList list = macros.load(name);
    // The steps, then the repeat count.
    FUZZ_CHECK(!list.isEmpty());
    FUZZ_CHECK(list.size() <= MacroFiles::MaxSteps + 1);

    QJSValue run = codec();
    const QJSValue encoded = run.call({engine().toScriptValue(list)});
    FUZZ_CHECK(!encoded.isError() && encoded.isArray());
    const QVariantList bytes = encoded.toVariant().toList();
    FUZZ_CHECK(bytes.size() >= 2);
    for (const QVariant &b : bytes) {
        bool ok = false;
        const int v = b.toInt(&ok);
        // Positions the encoder skips are holes (undefined).
        FUZZ_CHECK(!b.isValid() || (ok && v >= 0 && v <= 255));
    }
    Transfers::macroPayload(bytes);
    return 0;
}
