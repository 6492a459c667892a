// kelda-ctl's arguments: the first byte picks a parameter type, the rest is
// the JSON text. A value that converts has the parameter's type, reaches a
// slot of that type unchanged and prints as JSON that converts back to it;
// one that does not convert comes with a message.

#include "FuzzSupport.h"

#include "app/SlotCaller.h"

#include <QObject>

namespace {

class Sink : public QObject
{
    Q_OBJECT
public slots:
    int takeInt(int v) { return v; }
    uint takeUInt(uint v) { return v; }
    uchar takeUChar(uchar v) { return v; }
    bool takeBool(bool v) { return v; }
    QString takeString(QString v) { return v; }
    QStringList takeStringList(QStringList v) { return v; }
    QVariantList takeVariantList(QVariantList v) { return v; }
    QVariant takeVariant(QVariant v) { return v; }
    void takeDouble(double) {}
};

const QMetaType::Type kTypes[] = {QMetaType::Int,         QMetaType::UInt,
                                  QMetaType::UChar,       QMetaType::Bool,
                                  QMetaType::QString,     QMetaType::QStringList,
                                  QMetaType::QVariantList, QMetaType::QVariant,
                                  QMetaType::Double};
const char *const kSlots[] = {"takeInt",       "takeUInt",       "takeUChar",
                              "takeBool",      "takeString",     "takeStringList",
                              "takeVariantList", "takeVariant",  "takeDouble"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const size_t pick = data[0] % std::size(kTypes);
    const QMetaType type(kTypes[pick]);
    const QByteArray json(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QVariant value;
    QString error;
    const bool ok = SlotCaller::convertArgument(json, type, &value, &error);
    if (!ok) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(type.id() == QMetaType::QVariant || value.metaType() == type);

    static Sink sink;
    QMetaMethod slot;
    FUZZ_CHECK(SlotCaller::findSlot(Sink::staticMetaObject, QLatin1String(kSlots[pick]), 1, &slot,
                                    &error));
    QList<QVariant> args{value};
    QVariant result;
    FUZZ_CHECK(SlotCaller::invoke(&sink, slot, args, &result));
    if (type.id() != QMetaType::QVariant)
        FUZZ_CHECK(result == value);

    // What kelda-ctl prints for a result of this type is accepted back as
    // the same value (no slot returns uchar, so that type is left out).
    const QByteArray printed = SlotCaller::resultJson(result);
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::QString:
    case QMetaType::QStringList: {
        QVariant again;
        FUZZ_CHECK(SlotCaller::convertArgument(printed, type, &again, &error));
        FUZZ_CHECK(again == value);
        break;
    }
    default:
        break;
    }
    return 0;
}

#include "fuzz_slot_args.moc"
