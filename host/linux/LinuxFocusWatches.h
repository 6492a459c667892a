#pragma once

#include "host/FocusWatch.h"

// The focus watches of the Linux desktops, one per way a desktop tells
// which window has the focus. FocusWatch::create picks one by what the
// session offers; each returns null where its way is not offered at all.
namespace focuswatch {

// X11: the window manager's _NET_ACTIVE_WINDOW. Never null: without a
// display it is unavailable with the reason.
FocusWatch *createX11(QObject *parent);
// KDE Plasma (KWin on the session bus): a KWin script reports each
// activation to this program over D-Bus.
FocusWatch *createKWin(QObject *parent);
// GNOME Shell: the focus extension shipped with this program. Not null once
// the shell is on the bus: without the extension it is unavailable, with
// the reason saying how to turn it on.
FocusWatch *createGnome(QObject *parent);
// wlroots compositors: zwlr_foreign_toplevel_manager_v1.
FocusWatch *createWlr(QObject *parent);

// The executable's name (without folder) of a process, or empty.
QString exeNameOf(uint pid);

// A watch that never reports, for a desktop that offers no way.
class UnavailableFocusWatch : public FocusWatch
{
public:
    UnavailableFocusWatch(const QString &reason, QObject *parent) : FocusWatch(parent), m_reason(reason) {}
    bool available() const override { return false; }
    QString unavailableReason() const override { return m_reason; }

private:
    QString m_reason;
};

} // namespace focuswatch
