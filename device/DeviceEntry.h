#pragma once

#include <QList>
#include <QString>

// One entry of the device list kept in the global settings file.
struct DeviceEntry
{
    int type = -1;          // 0 keyboard, 1 mouse
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;  // command interface
    quint16 usage = 0;
    quint16 usagePage2 = 0; // read interface
    quint16 usage2 = 0;
    int reportLength = 32;
    bool isEncode = false;
    QString sCode = QStringLiteral("482916");
    QString path;           // filled by discovery; empty when absent
    QString path2;
};

using DeviceList = QList<DeviceEntry>;
