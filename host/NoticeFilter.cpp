#include "host/NoticeFilter.h"

#include "host/InputHookManager.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>

#ifdef Q_OS_WIN
#include "host/win/WinNotice.h"
#endif

namespace notice {

bool warningText(const NoticeRecord &record, QString *text)
{
    if (record.tag != WarningTag)
        return false;
    QByteArray bytes(record.data, record.data ? qsizetype(record.size) : 0);
    const qsizetype end = bytes.indexOf('\0');
    if (end >= 0)
        bytes.truncate(end);
    const QString decoded = QString::fromUtf8(bytes);
    // Compared after a round trip, so that bytes that are not UTF-8 (and
    // come back as replacement characters) do not pass.
    if (quint64(decoded.toUtf8().size()) != record.declaredLength)
        return false;
    *text = decoded;
    return true;
}

void showWarning(const NoticeRecord &record, void *window)
{
    QString text;
    if (!warningText(record, &text))
        return;
    // Queued: a modal box here would run a nested event loop inside the
    // delivery of the notice, while the sender still waits for its answer.
    QPointer<QWidget> owner = static_cast<QWidget *>(window);
    QMetaObject::invokeMethod(QCoreApplication::instance(), [owner, text] {
        QMessageBox::warning(nullptr, owner ? owner->windowTitle() : QString(), text, QMessageBox::Ok);
    }, Qt::QueuedConnection);
}

} // namespace notice

NoticeFilter::NoticeFilter(InputHookManager &hooks, QObject *parent)
    : QObject(parent), m_hooks(hooks)
{
#ifdef Q_OS_WIN
    QCoreApplication::instance()->installNativeEventFilter(this);
#endif
}

NoticeFilter::~NoticeFilter()
{
#ifdef Q_OS_WIN
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
#endif
}

bool NoticeFilter::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
#ifdef Q_OS_WIN
    NoticeRecord record;
    if (eventType != "windows_generic_MSG" || !m_hooks.hasCopyDataCallback()
        || !noticeFromMessage(message, &record))
        return false;
    m_hooks.copyData(record);
    if (result)
        *result = 1;
    return true;
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
    Q_UNUSED(result);
    return false;
#endif
}

bool NoticeFilter::receive(quint32 tag, quint32 declaredLength, const QByteArray &payload)
{
    NoticeRecord record;
    record.tag = tag;
    record.declaredLength = declaredLength;
    record.data = payload.constData();
    record.size = std::size_t(payload.size());
    return m_hooks.copyData(record);
}
