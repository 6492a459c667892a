#pragma once

#include <QObject>
#include <QString>

// Tells which program owns the focused window, whenever that changes: its
// executable name (without folder) and its window class, either of which
// may be empty. One implementation per OS; where the desktop gives no way to
// learn the focused window, available() is false and unavailableReason()
// says why in one plain sentence.
class FocusWatch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    static FocusWatch *create(QObject *parent);

    virtual bool available() const = 0;
    virtual QString unavailableReason() const = 0;

signals:
    void focusChanged(const QString &exeName, const QString &windowClass);
};
