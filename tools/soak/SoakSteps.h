#pragma once

#include "store/SettingsStore.h"

#include <QString>

#include <memory>

// The saves of the program, one per step, on a data folder (the folder that
// holds modules/, plus import/ with the files offered to imports and export/
// that receives exports). Step n does the same thing to the same files every
// time it runs on the same folder content, so a second run of the steps on a
// copy of the starting content tells exactly what each file may hold after
// step n was cut short.
class SoakSteps
{
public:
    enum Kind {
        SetData,        // setData / setDataList on a slot, then the flush
        SetGlobalData,  // setGlobalData, then the flush
        NameList,       // updataNameList
        MacroCreate,    // createMacroIni
        MacroSave,      // saveMacroIni
        MacroRename,    // modifyMacroNameUpdateProfile, then the flush
        MacroImportDelete, // loadMacroFile, or deleteMacroIni + unbind
        ProfileImport,  // loadProfile
        ProfileReset,   // resetProfile
        ProfileCopy,    // copyProfile
        Export,         // saveProfile and saveMacroFile
        ResetApconfig,  // resetApconfig
        GunSave,        // mouseSaveGundata
        GunModify,      // modifyGundata
        KindCount,
        // Only with naiveReplace: the global file replaced the way a plain
        // "delete, then write" does it. Never part of the real sequence; it
        // shows that the checker sees a save that can be torn.
        NaiveReplace = KindCount,
    };

    // naiveReplace turns every step into the NaiveReplace step.
    explicit SoakSteps(const QString &root, bool naiveReplace = false);
    ~SoakSteps();

    Kind kind(qint64 n) const;
    static const char *kindName(Kind kind);

    // Runs step n to completion: every change is on disk when it returns.
    void run(qint64 n);

    // Names of the macros the steps use.
    static QString macroName(qint64 n);
    static constexpr int MacroPool = 5;
    static constexpr int ImportProfiles = 3;
    static constexpr int ImportMacros = 2;

    // Creates import/ with the files the import steps offer, made from the
    // shipped profile and deterministic step texts. Returns false when the
    // shipped files are not in root/modules.
    static bool prepareImports(const QString &root);

private:
    void flush(qint64 n);

    QString m_root;
    bool m_naive;
    std::unique_ptr<SettingsStore> m_store;
};
