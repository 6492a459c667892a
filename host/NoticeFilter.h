#pragma once

// Another process can make the program show a warning box. On Windows the
// notice is a WM_COPYDATA message (dwData 0x250F, UTF-8 text, cbData its
// length); elsewhere the same three fields arrive over the single-instance
// socket. Either way the notice goes to the input-hook manager's copy-data
// callback, and the notice counts as handled whenever one is registered.

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QObject>
#include <QString>

class InputHookManager;
struct NoticeRecord;

namespace notice {

constexpr quint32 WarningTag = 0x250F;

// The text of a warning notice; false for another tag, or when the declared
// length is not the UTF-8 length of the text (which ends at the first NUL
// or at the end of the bytes that came, whichever is first).
bool warningText(const NoticeRecord &record, QString *text);

// The copy-data callback: a warning box captioned with the title of the
// window passed as context (a QWidget). The box opens from the event loop,
// after the sender has had its answer.
void showWarning(const NoticeRecord &record, void *window);

} // namespace notice

class NoticeFilter : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // On Windows it installs itself as the application's native event filter.
    explicit NoticeFilter(InputHookManager &hooks, QObject *parent = nullptr);
    ~NoticeFilter() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

public slots:
    // A notice from the single-instance socket; true when it was handled.
    bool receive(quint32 tag, quint32 declaredLength, const QByteArray &payload);

private:
    InputHookManager &m_hooks;
};
