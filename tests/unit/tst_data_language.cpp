// Language strings: the shipped files against the list of what the scene
// uses, reading rules, and the tray texts of the "other" section.

#include "app/myQQuickView.h"
#include "store/DpiSwitchMessages.h"
#include "store/LanguageStrings.h"
#include "unit/data/DataTestEnv.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

using namespace DataTestEnv;

namespace {

struct Section
{
    QString name;
    int count;
};

QList<Section> requiredSections()
{
    QList<Section> out;
    QFile f(fixture("lang_sections.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).section('#', 0, 0).simplified();
        if (line.isEmpty())
            continue;
        const QStringList parts = line.split(' ');
        out.append({parts.value(0), parts.value(1).toInt()});
    }
    return out;
}

void resetTrayTexts()
{
    for (QString &s : dpiSwitchMessages)
        s = QStringLiteral("DPI Switch to");
}

QStringList trayTexts()
{
    return QStringList(std::begin(dpiSwitchMessages), std::end(dpiSwitchMessages));
}

} // namespace

class tst_DataLanguage : public QObject
{
    Q_OBJECT

private slots:
    void init() { resetTrayTexts(); }

    void shippedFilesHoldEverySectionTheSceneUses_data()
    {
        QTest::addColumn<QString>("language");
        const QStringList files =
            QDir(KELDA_SOURCE_DIR "/modules/i18n").entryList({"*.ini"}, QDir::Files, QDir::Name);
        QCOMPARE(files, (QStringList{"ChineseSimplified.ini", "English.ini", "French.ini"}));
        for (const QString &f : files)
            QTest::newRow(qPrintable(f)) << QFileInfo(f).completeBaseName();
    }
    void shippedFilesHoldEverySectionTheSceneUses()
    {
        QFETCH(QString, language);
        const QList<Section> sections = requiredSections();
        QCOMPARE(sections.size(), 11);
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        for (const Section &s : sections) {
            const QStringList texts = view.getLangStrings(s.name, language);
            QVERIFY2(texts.size() >= s.count,
                     qPrintable(QString("%1: section %2 has %3 texts, the scene uses %4")
                                    .arg(language, s.name).arg(texts.size()).arg(s.count)));
            for (int i = 0; i < s.count; ++i)
                QVERIFY2(!texts.at(i).isEmpty(),
                         qPrintable(QString("%1: %2/%3 is empty").arg(language, s.name).arg(i)));
        }
    }

    // Texts that only survive the INI syntax when written with care.
    void awkwardTextsReadBackExactly_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::newRow("trailing space") << "keyMatrix" << 0 << "Key ";
        QTest::newRow("backslash key") << "keyCode" << 45 << "\\";
        QTest::newRow("second backslash key") << "keyCode" << 46 << "\\";
        QTest::newRow("equals key") << "keyCode" << 42 << "=";
        QTest::newRow("semicolon key") << "keyCode" << 47 << ";";
        QTest::newRow("comma key") << "keyCode" << 50 << ",";
        QTest::newRow("right arrow") << "keyCode" << 75 << QString::fromUtf8("►");
        QTest::newRow("left control") << "keyCode" << 120 << "LCtrl";
        QTest::newRow("left mouse button") << "keyCode" << 128 << "MS-L";
        QTest::newRow("fifth mouse button") << "keyCode" << 132 << "MS-B5";
        QTest::newRow("slash text") << "keyAssigment" << 32 << "Play/Pause";
    }
    void awkwardTextsReadBackExactly()
    {
        QFETCH(QString, section);
        QFETCH(int, index);
        QFETCH(QString, text);
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        QCOMPARE(view.getLangStrings(section, "English").value(index), text);
    }

    void translationsAreReadAsUtf8()
    {
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        QCOMPARE(view.getLangStrings("main", "ChineseSimplified").value(10), QString::fromUtf8("保存"));
        QCOMPARE(view.getLangStrings("main", "French").value(6),
                 QString::fromUtf8("Rétablir les réglages d'usine"));
        QCOMPARE(view.getLangStrings("keyCode", "ChineseSimplified").value(128),
                 QString::fromUtf8("鼠标左键"));
        QCOMPARE(view.getLangStrings("main", "English").value(12), QString("Not connected"));
    }

    void gapInSectionGivesEmptyText()
    {
        TempData data;
        QVERIFY(writeAll(data.modules() + "/i18n/Test.ini",
                         "[main]\ntotal=3\n0=first\n2=third\n\n[empty]\ntotal=0\n0=x\n"));
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getLangStrings("main", "Test"), (QStringList{"first", "", "third"}));
        QCOMPARE(view.getLangStrings("empty", "Test"), QStringList());
        QCOMPARE(view.getLangStrings("absent", "Test"), QStringList());
        QCOMPARE(view.getLangStrings("main", "NoSuchLanguage"), QStringList());
        QCOMPARE(trayTexts(), QStringList(8, "DPI Switch to"));
    }

    void languageCodeCannotLeaveTheFolder()
    {
        TempData data;
        QVERIFY(writeAll(data.outside() + "/Evil.ini", "[main]\ntotal=1\n0=evil\n"));
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getLangStrings("main", "../../outside/Evil"), QStringList());
        QCOMPARE(view.getLangStrings("main", ""), QStringList());
    }

    void otherSetsTheTrayTexts()
    {
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        const QStringList texts = view.getLangStrings("other", "ChineseSimplified");
        QCOMPARE(texts.size(), 8);
        QCOMPARE(trayTexts(), texts);
        QCOMPARE(dpiSwitchMessages[0], QString::fromUtf8("DPI已切换到第1档"));
    }

    void frenchGetsFixedTrayTextsAndStillTheFileTexts()
    {
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        const QStringList texts = view.getLangStrings("other", "French");
        QCOMPARE(texts.value(0), QString::fromUtf8("DPI réglé sur le niveau 1"));
        QCOMPARE(dpiSwitchMessages[0], QString("DPI switch to the 1st segment"));
        QCOMPARE(dpiSwitchMessages[1], QString("DPI switch to the 2st segment"));
        QCOMPARE(dpiSwitchMessages[7], QString("DPI switch to the 8st segment"));

        // The fixed texts do not depend on the file.
        TempData data;
        QVERIFY(writeAll(data.modules() + "/i18n/French.ini", "[other]\ntotal=1\n0=x\n"));
        resetTrayTexts();
        myQQuickView other(nullptr, data.root());
        QCOMPARE(other.getLangStrings("other", "French"), QStringList{"x"});
        QCOMPARE(dpiSwitchMessages[5], QString("DPI switch to the 6st segment"));
    }

    void onlyExactlyOtherTouchesTheTrayTexts()
    {
        myQQuickView view(nullptr, KELDA_SOURCE_DIR);
        for (const char *type : {"Other", "OTHER", "main", "keyCode"}) {
            view.getLangStrings(type, "English");
            QCOMPARE(trayTexts(), QStringList(8, "DPI Switch to"));
        }
    }

    // Stages without a text keep what they had instead of showing nothing.
    void shortOtherSectionKeepsPreviousTexts()
    {
        TempData data;
        QVERIFY(writeAll(data.modules() + "/i18n/Short.ini",
                         "[other]\ntotal=3\n0=one\n1=two\n2=three\n"));
        myQQuickView view(nullptr, data.root());
        view.getLangStrings("other", "English");
        const QStringList english = trayTexts();
        QCOMPARE(view.getLangStrings("other", "Short"), (QStringList{"one", "two", "three"}));
        QCOMPARE(trayTexts(), (QStringList{"one", "two", "three"} + english.mid(3)));
    }

    // A fresh data folder takes the desktop's language where a file speaks it.
    void desktopLanguagePicksAShippedFile_data()
    {
        QTest::addColumn<QStringList>("desktop");
        QTest::addColumn<QStringList>("available");
        QTest::addColumn<QString>("language");
        const QStringList shipped = LanguageStrings(KELDA_SOURCE_DIR).available();
        QTest::newRow("French desktop") << QStringList{"fr-FR"} << shipped << "French";
        QTest::newRow("Canadian French") << QStringList{"fr-CA", "fr"} << shipped << "French";
        QTest::newRow("mainland Chinese") << QStringList{"zh-CN"} << shipped << "ChineseSimplified";
        QTest::newRow("simplified script") << QStringList{"zh-Hans-SG"} << shipped << "ChineseSimplified";
        QTest::newRow("traditional Chinese") << QStringList{"zh-TW"} << shipped << "English";
        QTest::newRow("German desktop") << QStringList{"de-DE"} << shipped << "English";
        QTest::newRow("plain C locale") << QStringList{"C"} << shipped << "English";
        QTest::newRow("nothing asked") << QStringList{} << shipped << "English";
        QTest::newRow("first spoken wins") << QStringList{"de-DE", "fr-FR", "en-US"} << shipped << "French";
        QTest::newRow("English before French") << QStringList{"en-GB", "fr-FR"} << shipped << "English";
        QTest::newRow("file missing") << QStringList{"fr-FR"} << QStringList{"English"} << "English";
    }

    void desktopLanguagePicksAShippedFile()
    {
        QFETCH(QStringList, desktop);
        QFETCH(QStringList, available);
        QFETCH(QString, language);
        QCOMPARE(LanguageStrings::forDesktop(desktop, available), language);
    }
};

QTEST_MAIN(tst_DataLanguage)
#include "tst_data_language.moc"
