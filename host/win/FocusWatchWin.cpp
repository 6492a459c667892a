#include "host/FocusWatch.h"
#include "host/win/WinForegroundHook.h"

#include <QDebug>

namespace {

class WinFocusWatch : public FocusWatch
{
public:
    explicit WinFocusWatch(QObject *parent) : FocusWatch(parent)
    {
        if (!m_hook.install(&WinFocusWatch::forward, this))
            m_reason = tr("Windows refused to report which window has the focus.");
        // The window focused before the program started counts too.
        std::string exe, cls;
        if (m_hook.installed() && ForegroundHook::describe(GetForegroundWindow(), &exe, &cls))
            QMetaObject::invokeMethod(this, [this, exe, cls] { forward(exe, cls, this); }, Qt::QueuedConnection);
    }

    bool available() const override { return m_hook.installed(); }
    QString unavailableReason() const override { return m_reason; }

private:
    static void forward(const std::string &exe, const std::string &cls, void *self)
    {
        emit static_cast<WinFocusWatch *>(self)->focusChanged(QString::fromStdString(exe),
                                                              QString::fromStdString(cls));
    }

    ForegroundHook m_hook;
    QString m_reason;
};

} // namespace

FocusWatch *FocusWatch::create(QObject *parent)
{
    auto *watch = new WinFocusWatch(parent);
    if (!watch->available())
        qDebug().noquote() << "per-program profiles are off:" << watch->unavailableReason();
    return watch;
}
