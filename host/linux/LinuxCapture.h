#pragma once

// The two ways input is captured on Linux: the X11 RECORD extension for the
// whole display, or, where there is no X11 display with RECORD, Qt's own
// events while one of the program's windows has the focus. Both see X
// keycodes (evdev code + 8; Qt reports the same number as the native scan
// code on X11 and Wayland) and hand the manager what the Windows hook would
// have reported for the same key.

#include <QObject>

#include <memory>

class InputHookManager;

namespace linuxinput {

// One key event given by its X keycode.
void keyFromKeycode(InputHookManager &manager, unsigned keycode, bool altDown, bool pressed);
// One event of X button 1 (left), 2 (middle) or 3 (right); others are not reported.
void buttonFromX(InputHookManager &manager, unsigned button, bool pressed, int x, int y);

} // namespace linuxinput

// Records key and button events of the whole X display on its own thread,
// without grabbing anything. Events reach the manager on the GUI thread,
// as queued calls in the order the server delivered them.
class RecordCapture
{
public:
    // Null when there is no X display or it lacks RECORD.
    static std::unique_ptr<RecordCapture> start(InputHookManager &manager);
    ~RecordCapture();

    struct Private;

private:
    explicit RecordCapture(std::unique_ptr<Private> d);
    std::unique_ptr<Private> d;
};

// Watches the application's own events: keys and buttons while one of its
// windows has the focus.
class FocusCapture : public QObject
{
public:
    explicit FocusCapture(InputHookManager &manager);
    ~FocusCapture() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    InputHookManager &m_manager;
};
