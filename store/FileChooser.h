#pragma once

#include <QString>

// What import and export ask the user for: one file to read or to write.
struct FileRequest
{
    enum Kind { Open, Save };

    Kind kind = Open;
    QString caption;
    QString directory;
    QString filter;

    // "Open File" / "Save File" with the given filter, starting in the
    // user's desktop folder.
    static FileRequest open(const QString &filter);
    static FileRequest save(const QString &filter);
};

// The one place where import and export get a file name from the user. The
// program answers with the framework's file dialogs; tests install a chooser
// of their own that answers for the user. An empty answer means cancelled.
class FileChooser
{
public:
    virtual ~FileChooser();
    virtual QString choose(const FileRequest &request) = 0;

    // The chooser that replaces the dialogs, or null when none is installed.
    static FileChooser *installed();
    // Installs chooser (null restores the dialogs); returns the previous one.
    static FileChooser *install(FileChooser *chooser);
};
