#pragma once

#include "store/FileChooser.h"

#include <QPointer>
#include <QWidget>

// Asks the user through the framework's modal file dialogs.
class DialogFileChooser : public FileChooser
{
public:
    explicit DialogFileChooser(QWidget *parent) : m_parent(parent) {}
    QString choose(const FileRequest &request) override;

private:
    QPointer<QWidget> m_parent;
};
