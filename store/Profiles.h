#pragma once

#include <QString>

class FileChooser;
class SettingsStore;

// The ten profile slots as whole files: which one is current, export to and
// import from "*.pf" files, reset to the factory profile, copy between slots.
// Every exchange of a slot's file goes through the store's slot replacement:
// the held store is flushed and released, the new content is written beside
// the file and renamed over it, and a fresh store opens on the result. A
// replacement whose source cannot be read leaves the slot as it was.
class Profiles
{
public:
    explicit Profiles(SettingsStore &store) : m_store(store) {}

    static QString fileFilter();

    // Makes slot index current; false (and nothing changed) outside 0..9.
    bool select(int index);

    // Asks for a target and writes a byte-for-byte copy of the slot's file
    // there, including changes not yet flushed. True when a copy was written.
    bool exportTo(int index, FileChooser &chooser);

    // Asks for a source; false when cancelled, for an index outside 0..9 or
    // when the chosen file is refused (not a regular file, or larger than
    // DataFile::MaxImportBytes), true when a file was chosen and taken,
    // whether or not it could be read.
    bool importFrom(int index, FileChooser &chooser);

    bool reset(int index);
    // Copies slot src over slot dest; a copy onto itself changes nothing.
    bool copy(int dest, int src);

private:
    bool replaceSlot(int index, const QString &source);

    SettingsStore &m_store;
};
