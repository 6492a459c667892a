#include "store/DpiSwitchMessages.h"

QString dpiSwitchMessages[8] = {
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
    QStringLiteral("DPI Switch to"), QStringLiteral("DPI Switch to"),
};
