#include "tools/soak/SoakSteps.h"

#include "store/FileChooser.h"
#include "store/GunData.h"
#include "store/MacroFiles.h"
#include "store/NameLists.h"
#include "store/Profiles.h"
#include "store/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

#include <unistd.h>

#include <iterator>

namespace {

// splitmix64: a different, well spread number for every step.
quint64 mix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Answers every file request with one fixed file, as a user would.
class FixedChooser : public FileChooser
{
public:
    explicit FixedChooser(QString answer) : m_answer(std::move(answer)) {}
    QString choose(const FileRequest &) override { return m_answer; }

private:
    QString m_answer;
};

QStringList stepTexts(qint64 n, int count)
{
    QStringList steps;
    for (int i = 0; i < count; ++i) {
        switch ((n + i) % 3) {
        case 0: steps << QStringLiteral("1,%1").arg(QChar('A' + int((n + i) % 26))); break;
        case 1: steps << QStringLiteral("0,%1").arg(10 + (n * 7 + i) % 990); break;
        default: steps << QStringLiteral("2,%1").arg(QChar('A' + int((n + i) % 26))); break;
        }
    }
    return steps;
}

} // namespace

SoakSteps::SoakSteps(const QString &root, bool naiveReplace)
    : m_root(root), m_naive(naiveReplace), m_store(std::make_unique<SettingsStore>(root))
{
}

SoakSteps::~SoakSteps() = default;

SoakSteps::Kind SoakSteps::kind(qint64 n) const
{
    if (m_naive)
        return NaiveReplace;
    // Macro steps often find nothing to do (a rename needs its macro to
    // exist and its target not to), so they come up more often.
    static const Kind table[] = {
        SetData,     SetGlobalData, NameList,     MacroCreate,   MacroCreate,
        MacroSave,   MacroSave,     MacroRename,  MacroRename,   MacroRename,
        MacroImportDelete, ProfileImport, ProfileReset, ProfileCopy, Export,
        ResetApconfig, GunSave,     GunModify,
    };
    return table[mix(quint64(n)) % std::size(table)];
}

const char *SoakSteps::kindName(Kind kind)
{
    switch (kind) {
    case SetData: return "setData+flush";
    case SetGlobalData: return "setGlobalData+flush";
    case NameList: return "updataNameList";
    case MacroCreate: return "createMacroIni";
    case MacroSave: return "saveMacroIni";
    case MacroRename: return "modifyMacroNameUpdateProfile";
    case MacroImportDelete: return "loadMacroFile/deleteMacroIni";
    case ProfileImport: return "loadProfile";
    case ProfileReset: return "resetProfile";
    case ProfileCopy: return "copyProfile";
    case Export: return "saveProfile+saveMacroFile";
    case ResetApconfig: return "resetApconfig";
    case GunSave: return "mouseSaveGundata";
    case GunModify: return "modifyGundata";
    case NaiveReplace: return "naive delete-then-write";
    }
    return "?";
}

QString SoakSteps::macroName(qint64 n)
{
    return QStringLiteral("Soak_") + QString::number(n % MacroPool);
}

void SoakSteps::flush(qint64 n)
{
    // The program's stores flush on their next pass through the event loop
    // and all at once when the view closes; the steps take both ways.
    if (n % 2)
        QCoreApplication::sendPostedEvents();
    else
        m_store->syncAll();
}

void SoakSteps::run(qint64 n)
{
    const quint64 r = mix(quint64(n) ^ 0x5A5A5A5Aull);
    const int slot = int(n % SettingsStore::SlotCount);
    SettingsStore &store = *m_store;

    switch (kind(n)) {
    case SetData: {
        Profiles(store).select(slot);
        store.setData(QStringLiteral("soak/gen"), n);
        QVariantList dpi;
        for (int i = 0; i < 8; ++i)
            dpi << int(100 + (r >> (i * 4)) % 16 * 100);
        store.setDataList(QStringLiteral("mouse/dpiValueArray"), dpi);
        // A macro button bound to one of the soak macros, so that renames
        // and deletions have bindings to follow.
        const int code = 1 + int(r % 3);
        store.setDataList(QStringLiteral("mouseKeyMatrix/") + QString::number(8 + code),
                          {4, 0, code, 0});
        store.setData(QStringLiteral("mouseMacroKey/") + QString::number(code),
                      macroName(qint64(r >> 8)));
        flush(n);
        break;
    }
    case SetGlobalData:
        store.setGlobalData(QStringLiteral("soak/gen"), n);
        store.setGlobalData(QStringLiteral("mouse/profileNo"), int(r % 6));
        store.setGlobalData(QStringLiteral("common/language"),
                            (r >> 8) % 2 ? QStringLiteral("English") : QStringLiteral("French"));
        flush(n);
        break;
    case NameList: {
        QStringList names;
        const int count = int((r >> 8) % 13);
        for (int i = 0; i < count; ++i)
            names << QStringLiteral("Soak name %1-%2").arg(n).arg(i);
        NameLists(m_root).update(uint(r % 4), names);
        break;
    }
    case MacroCreate:
        MacroFiles(store).create(macroName(n), int(n % 100));
        break;
    case MacroSave:
        MacroFiles(store).save(macroName(n), stepTexts(n, int(r % 61)), int(1 + n % 9));
        break;
    case MacroRename:
        MacroFiles(store).rename(macroName(n), macroName(qint64(r >> 8)));
        m_store->syncAll();
        break;
    case MacroImportDelete: {
        MacroFiles macros(store);
        const QString name = macroName(n);
        if (QFile::exists(macros.path(name))) {
            macros.remove(name);
            macros.unbind(name);
            m_store->syncAll();
        } else {
            FixedChooser chooser(m_root + QStringLiteral("/import/macro%1.mc").arg(r % ImportMacros));
            macros.importFrom(name, chooser);
        }
        break;
    }
    case ProfileImport: {
        FixedChooser chooser(m_root
                             + QStringLiteral("/import/profile%1.pf").arg(r % ImportProfiles));
        Profiles(store).importFrom(slot, chooser);
        break;
    }
    case ProfileReset:
        Profiles(store).reset(slot);
        break;
    case ProfileCopy:
        Profiles(store).copy(slot, int((r >> 8) % SettingsStore::SlotCount));
        break;
    case Export: {
        FixedChooser profileTarget(m_root + QStringLiteral("/export/profile%1.pf").arg(r % 2));
        Profiles(store).exportTo(slot, profileTarget);
        FixedChooser macroTarget(m_root + QStringLiteral("/export/macro%1.mc").arg((r >> 8) % 2));
        MacroFiles(store).exportTo(macroName(n), macroTarget);
        break;
    }
    case ResetApconfig:
        store.resetGlobal();
        break;
    case GunSave: {
        const QVariantList entry{QStringLiteral("Gun %1").arg(n), QStringLiteral("L-Click"),
                                 int(5 + r % 20), 0, int((r >> 8) % 30), int((r >> 16) % 4)};
        GunData::Command command{};
        GunData(store).save(int(n % 6), entry, &command);
        break;
    }
    case GunModify: {
        const QString name = QStringLiteral("Renamed %1").arg(r % 3);
        if ((r >> 8) % 2) {
            GunData(store).modify(1, {name, QStringLiteral("L-Click"), 10, 0, int(n % 30), 0,
                                      QStringLiteral("Renamed %1").arg((r >> 16) % 3)});
        } else {
            GunData(store).modify(0, {name});
        }
        break;
    }
    case NaiveReplace: {
        // Delete, then write the new content in two pieces that each reach
        // the disk: what a save without a temporary file does.
        QByteArray content;
        SafeFile::read(store.factoryGlobalPath(), &content);
        content += "\n[soak]\nnaive=" + QByteArray::number(n) + "\n";
        store.replaceGlobalFile([&](const QString &path) {
            QFile::remove(path);
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly))
                return false;
            const qint64 half = content.size() / 2;
            out.write(content.left(half));
            out.flush();
            ::fdatasync(out.handle());
            out.write(content.mid(half));
            return out.flush();
        });
        break;
    }
    }
}

bool SoakSteps::prepareImports(const QString &root)
{
    const QString shipped = root + QStringLiteral("/modules/setting/pD.bin");
    if (!QFile::exists(shipped))
        return false;
    QDir(root).mkpath(QStringLiteral("import"));
    QDir(root).mkpath(QStringLiteral("export"));
    for (int k = 0; k < ImportProfiles; ++k) {
        const QString pf = root + QStringLiteral("/import/profile%1.pf").arg(k);
        if (!SafeFile::copyOver(shipped, pf))
            return false;
        QSettings file(pf, QSettings::IniFormat);
        file.setValue(QStringLiteral("soak/imported"), k);
        file.setValue(QStringLiteral("mouse/lod"), 10 + k);
    }
    for (int k = 0; k < ImportMacros; ++k) {
        QSettings file(root + QStringLiteral("/import/macro%1.mc").arg(k), QSettings::IniFormat);
        const QStringList steps = stepTexts(k, 4 + 10 * k);
        file.setValue(QStringLiteral("config/index"), k);
        file.setValue(QStringLiteral("config/total"), int(steps.size()));
        file.setValue(QStringLiteral("config/repeat"), 1 + k);
        file.setValue(QStringLiteral("config/did"), -1);
        for (int i = 0; i < steps.size(); ++i)
            file.setValue(QStringLiteral("macro/") + QString::number(i), steps.at(i));
    }
    return true;
}
