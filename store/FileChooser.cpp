#include "store/FileChooser.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace {

FileChooser *g_installed = nullptr;

FileRequest makeRequest(FileRequest::Kind kind, const char *caption, const QString &filter)
{
    FileRequest r;
    r.kind = kind;
    r.caption = QCoreApplication::translate("myQQuickView", caption);
    r.directory = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    r.filter = filter;
    return r;
}

} // namespace

FileRequest FileRequest::open(const QString &filter)
{
    return makeRequest(Open, "Open File", filter);
}

FileRequest FileRequest::save(const QString &filter)
{
    return makeRequest(Save, "Save File", filter);
}

FileChooser::~FileChooser() = default;

FileChooser *FileChooser::installed()
{
    return g_installed;
}

FileChooser *FileChooser::install(FileChooser *chooser)
{
    FileChooser *previous = g_installed;
    g_installed = chooser;
    return previous;
}
