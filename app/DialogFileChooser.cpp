#include "app/DialogFileChooser.h"

#include <QFileDialog>

QString DialogFileChooser::choose(const FileRequest &request)
{
    if (request.kind == FileRequest::Save)
        return QFileDialog::getSaveFileName(m_parent, request.caption, request.directory,
                                            request.filter);
    return QFileDialog::getOpenFileName(m_parent, request.caption, request.directory,
                                        request.filter);
}
