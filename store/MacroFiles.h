#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class FileChooser;
class SettingsStore;

// One macro per file, modules/macro/<name>.bin:
//   [config] index, total (number of steps), repeat, did (-1)
//   [macro]  0 .. total-1, one step text each ("1,A": type, comma, information)
// plus the macro bindings the profiles keep for them (mouseMacroKey/<code>).
//
// A macro name becomes a file name, so a name that could leave the macro
// folder or that no file system accepts is refused: the operation fails
// (false or an empty list) and writes a debug line.
class MacroFiles
{
public:
    explicit MacroFiles(SettingsStore &store);

    static QString fileFilter();
    static bool isValidName(const QString &name);

    QString dir() const;
    QString path(const QString &name) const;

    // Creates the file or rewrites its config section; steps are kept.
    bool create(const QString &name, const QVariant &macroIndex);
    // Replaces steps and repeat count of an existing macro; false when the
    // file is missing (nothing is created then).
    bool save(const QString &name, const QStringList &steps, const QVariant &repeat);
    // The step texts followed by the repeat count; empty when missing.
    QStringList load(const QString &name) const;
    bool remove(const QString &name);

    // Renames the macro in the bindings of profile slots 0..5, then renames
    // the file. False, with nothing changed, when the old file is missing;
    // false from the rename itself when the new name is taken. The bindings
    // are on disk before the old name goes, so a crash never leaves a button
    // bound to a name without a file.
    bool rename(const QString &oldName, const QString &newName);

    // Gives every button of profile slots 0..5 that is bound to the macro its
    // factory assignment back. Entries that are absent or too short to be a
    // macro binding are left alone.
    void unbind(const QString &name);

    // Import: copies a chosen file to the macro's file unless that exists
    // already (the old macro is kept). True whenever a file was chosen,
    // except one that is refused (not a regular file, or larger than
    // DataFile::MaxImportBytes): nothing is written then.
    bool importFrom(const QString &name, FileChooser &chooser);
    // Export: writes a byte-for-byte copy of the macro's file to a chosen
    // file. True when a copy was written.
    bool exportTo(const QString &name, FileChooser &chooser);

    // The slots whose bindings follow renames and deletions: the six the
    // scene offers.
    static constexpr int BoundSlots = 6;

    // Most steps read from one file, whatever its total says. A macro fits
    // one 128-byte payload, so real files hold well under a hundred; a
    // damaged total must not make loading loop and allocate without end.
    static constexpr int MaxSteps = 4096;

private:
    bool checkName(const char *operation, const QString &name) const;

    SettingsStore &m_store;
};
