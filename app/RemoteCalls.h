#pragma once

#include <QByteArray>
#include <QObject>

class SingleInstance;
class Widget;

// Runs the slot calls that kelda-ctl hands to the running program. A call is
// {"slot": NAME, "args": [JSON values]}; it is checked against the view's
// slot table exactly as kelda-ctl checks its command line, and runs on the
// GUI thread once no device operation is under way, as if the scene had
// made it. setCurrentProfile goes through the scene's own profile change, so
// the window shows the new profile.
//
// The answer of a call that ran is {"result": ..., "ms": N, "connected": B};
// a profile switch that waits for the user to save or discard the window's
// unsaved edits adds "waiting": true;
// a call that is not well formed is refused with a message and changes
// nothing.
class RemoteCalls : public QObject
{
    Q_OBJECT
public:
    RemoteCalls(Widget &window, SingleInstance &instance, QObject *parent = nullptr);

private:
    void receive(quint64 callId, const QByteArray &payload);

    Widget &m_window;
    SingleInstance &m_instance;
};
