#include "host/InputHookManager.h"
#include "host/linux/LinuxCapture.h"

#include <QCoreApplication>
#include <QDebug>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace linuxinput {

void keyFromKeycode(InputHookManager &manager, unsigned keycode, bool altDown, bool pressed)
{
    keys::ScanCode scan;
    if (keycode < 8 || !keys::scanCodeForLinuxKey(keycode - 8, &scan))
        return;
    const unsigned flags = (scan.extended ? keys::FlagExtended : 0u) | (altDown ? keys::FlagAltDown : 0u);
    manager.keyEvent(scan.code, scan.extended, flags, pressed);
}

void buttonFromX(InputHookManager &manager, unsigned button, bool pressed, int x, int y)
{
    unsigned message = 0;
    switch (button) {
    case 1: message = pressed ? keys::LButtonDown : keys::LButtonUp; break;
    case 2: message = pressed ? keys::MButtonDown : keys::MButtonUp; break;
    case 3: message = pressed ? keys::RButtonDown : keys::RButtonUp; break;
    default: return; // wheel and side buttons
    }
    manager.mouseMessage(message, x, y);
}

} // namespace linuxinput

FocusCapture::FocusCapture(InputHookManager &manager) : m_manager(manager)
{
    QCoreApplication::instance()->installEventFilter(this);
}

FocusCapture::~FocusCapture()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool FocusCapture::eventFilter(QObject *watched, QEvent *event)
{
    // An event comes from the platform to a window that has a platform
    // window; Qt then passes it on to widgets and to the scene's own
    // window, which must not count it again.
    const auto *window = qobject_cast<QWindow *>(watched);
    if (!window || !window->handle())
        return false;

    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Held keys repeat as release/press pairs here; the desktop-wide
        // capture sees one press and one release, and so must this.
        if (key->isAutoRepeat())
            break;
        linuxinput::keyFromKeycode(m_manager, key->nativeScanCode(),
                                   key->modifiers().testFlag(Qt::AltModifier),
                                   event->type() == QEvent::KeyPress);
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        unsigned button = 0;
        switch (mouse->button()) {
        case Qt::LeftButton: button = 1; break;
        case Qt::MiddleButton: button = 2; break;
        case Qt::RightButton: button = 3; break;
        default: return false;
        }
        const QPoint at = mouse->globalPosition().toPoint();
        linuxinput::buttonFromX(m_manager, button, event->type() == QEvent::MouseButtonPress, at.x(), at.y());
        break;
    }
    default:
        break;
    }
    return false;
}

namespace {

class LinuxInputBackend : public InputBackend
{
public:
    explicit LinuxInputBackend(InputHookManager &manager) : m_manager(manager) {}

    bool install() override
    {
        if (!QCoreApplication::instance())
            return false;
        // RECORD sees what the X server delivers. Our windows are X clients
        // only on the xcb platform; on Wayland they would be invisible to it.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            m_record = RecordCapture::start(m_manager);
            if (m_record)
                return true;
        }
        qDebug() << "input capture: no X11 display with RECORD; keys and mouse buttons are"
                    " captured only while the window has the focus";
        m_focus = std::make_unique<FocusCapture>(m_manager);
        return true;
    }

    void remove() override
    {
        m_record.reset();
        m_focus.reset();
    }

private:
    InputHookManager &m_manager;
    std::unique_ptr<RecordCapture> m_record;
    std::unique_ptr<FocusCapture> m_focus;
};

} // namespace

std::unique_ptr<InputBackend> createInputBackend(InputHookManager &manager)
{
    return std::make_unique<LinuxInputBackend>(manager);
}
