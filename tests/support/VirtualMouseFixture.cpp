#include "support/VirtualMouseFixture.h"

#include "device/Pause.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

PauseRecorder::PauseRecorder(bool install) : m_installed(install)
{
    if (!install)
        return;
    vmouse::setVirtualTime(true);
    Pause::setHandler([this](int ms) {
        {
            QMutexLocker lock(&m_mutex);
            m_pauses.append(ms);
        }
        vmouse::advanceClock(ms);
    });
}

PauseRecorder::~PauseRecorder()
{
    if (!m_installed)
        return;
    Pause::setHandler({});
    vmouse::setVirtualTime(false);
}

QList<int> PauseRecorder::pauses() const
{
    QMutexLocker lock(&m_mutex);
    return m_pauses;
}

int PauseRecorder::total() const
{
    int sum = 0;
    for (int p : pauses())
        sum += p;
    return sum;
}

void PauseRecorder::clear()
{
    QMutexLocker lock(&m_mutex);
    m_pauses.clear();
}

void TestOwner::add(const QString &event)
{
    QMutexLocker lock(&m_mutex);
    m_events.append(event);
}

void TestOwner::deviceDpiStage(int stage)
{
    add(QStringLiteral("dpi %1").arg(stage));
}

void TestOwner::deviceKeyLayer(bool on)
{
    add(QStringLiteral("layer %1").arg(on ? 1 : 0));
}

void TestOwner::deviceRemoved()
{
    add(QStringLiteral("removed"));
}

void TestOwner::deviceAccessDenied(const QString &node)
{
    add(QStringLiteral("denied ") + node);
}

QStringList TestOwner::events() const
{
    QMutexLocker lock(&m_mutex);
    return m_events;
}

void TestOwner::clear()
{
    QMutexLocker lock(&m_mutex);
    m_events.clear();
}

bool TestOwner::waitForEvents(int count, int timeoutMs) const
{
    QDeadlineTimer deadline(timeoutMs);
    while (events().size() < count && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return events().size() >= count;
}

DeviceEntry HidFixture::entryFor(const vmouse::Config &config)
{
    DeviceEntry e;
    e.type = 1;
    e.vid = 0x04d9;
    e.pid = 0xa1ee;
    e.usagePage = 0xff00;
    e.usage = 0xff00;
    e.usagePage2 = 0xff01;
    e.usage2 = 0xff01;
    e.reportLength = config.reportLength;
    e.isEncode = config.encoded;
    e.sCode = QString::fromStdString(config.code);
    e.path = QString::fromStdString(vmouse::commandPath());
    e.path2 = QString::fromStdString(vmouse::readPath());
    return e;
}

HidFixture::HidFixture(const vmouse::Config &config, bool realPauses) : pauses(!realPauses)
{
    vmouse::configure(config);
    hid.owner = &owner;
    hid.devices = {entryFor(config)};
    hid.selectDevice(0);
    hid.channelFree = true;
}

HidFixture::~HidFixture()
{
    hid.stopReadLoop();
    hid.readLoopFuture.waitForFinished();
}

static QStringList collect(const QString &dev, bool plain)
{
    QStringList out;
    for (const vmouse::Record &r : vmouse::transcript()) {
        if (r.iface != "cmd" || r.op == "open" || r.op == "close" || QString::fromStdString(r.dev) != dev)
            continue;
        QStringList parts{QString::fromStdString(r.op)};
        if (plain && !r.plain.empty())
            parts << QStringLiteral("00") + QString::fromStdString(r.plain);
        else if (!r.data.empty())
            parts << QString::fromStdString(r.data);
        if (r.ret < 0)
            parts << QStringLiteral("failed");
        out.append(parts.join(QLatin1Char(' ')));
    }
    return out;
}

QStringList wire(const QString &dev)
{
    return collect(dev, false);
}

QStringList plainWire(const QString &dev)
{
    return collect(dev, true);
}

QStringList ifaceOps(const QString &iface, const QString &dev)
{
    QStringList out;
    for (const vmouse::Record &r : vmouse::transcript())
        if (QString::fromStdString(r.iface) == iface && QString::fromStdString(r.dev) == dev)
            out.append(QString::fromStdString(r.op) + QLatin1Char(' ') + QString::number(r.ret));
    return out;
}

QString commandHex(std::initializer_list<int> block)
{
    uchar b[8] = {};
    int i = 0;
    for (int v : block)
        b[i++] = uchar(v);
    uchar sum = 0;
    for (int k = 0; k < 7; ++k)
        sum = uchar(sum + b[k]);
    b[7] = uchar(~sum);
    return QStringLiteral("00") + QString::fromLatin1(QByteArray(reinterpret_cast<char *>(b), 8).toHex());
}

QString dataHex(const QByteArray &payload, int reportLength)
{
    QByteArray report(reportLength + 1, '\0');
    std::copy_n(payload.constData(), std::min<qsizetype>(payload.size(), reportLength), report.data() + 1);
    return QString::fromLatin1(report.toHex());
}
