#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The one place that decides where the program keeps its data. Every data
// path of the program is relative ("./modules/..."), so the folder chosen
// here becomes the current directory of kelda-config and kelda-ctl, and the
// single-instance id is derived from it.
//
// - Portable: a writable modules/ folder sits beside the executable (the
//   build's dist/, an unpacked archive, Windows). It is used in place.
// - Installed: the program's files are read-only and shared; the shipped
//   data lies in <prefix>/share/kelda-config/modules (prefix = the parent of
//   the executable's folder), or in a read-only modules/ beside the
//   executable. Each user's data folder is $XDG_CONFIG_HOME/kelda-config
//   (~/.config/kelda-config), filled from the shipped copy on first start,
//   or carried over byte for byte from an earlier per-user installation
//   (<prefix>/lib/kelda-config/modules, ~/.local/lib/kelda-config/modules),
//   which is left in place. Every later start adds the keys a new release
//   ships to the user's files and replaces the program's own files (factory
//   copies, languages, images); the user's values are never changed.
namespace DataRoot {

enum class Mode { Portable, Installed };

// What the decision depends on, so tests can point it anywhere.
struct Places
{
    QString executableDir;
    QString configHome; // $XDG_CONFIG_HOME when absolute, else ~/.config
    QString home;
};

struct Root
{
    Mode mode = Mode::Portable;
    QString folder;     // holds modules/; made current
    QString shipped;    // the shipped modules/ of an installed program
    QStringList legacy; // modules/ of earlier installations, most specific first
};

Places currentPlaces();

// False (error says why) when the executable has no data at all.
bool decide(const Places &places, Root *root, QString *error);

// Makes the data folder ready (installed: created, filled, brought up to
// date). False when it cannot be made or written; error then names the
// folder and the reason, and no file of the user was changed or lost.
bool prepare(const Root &root, QString *error);

// prepare(), then the data folder becomes the current directory.
bool enter(const Root &root, QString *error);

// True for the files the user changes through the program (settings, names,
// profile slots, gun data, macros); path is relative to modules/.
bool isUserFile(const QString &path);

// The user's file with every key of the shipped file that it lacks: new
// keys go at the end of their section, new sections at the end; every line
// the user's file holds stays as it is.
QByteArray mergeIni(const QByteArray &shipped, const QByteArray &user);

} // namespace DataRoot
