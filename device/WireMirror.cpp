#include "device/WireMirror.h"

#include <QtGlobal>

namespace {

// Event reports of the read interface: 06 07 .. stage and 06 0D state ..
constexpr uint8_t EventReportId = 0x06;
constexpr uint8_t EventKeyLayer = 0x0D;

constexpr uint8_t BlockWrite560 = 0x0C;
constexpr uint8_t KeyMatrix560 = 0x0D;
constexpr uint8_t CurrentDpi560 = 0x04;
constexpr uint8_t CurrentDpi553 = 0x0B;
constexpr uint8_t FixedColour553 = 0x0C;
constexpr uint8_t StageColours553 = 0x10;
constexpr uint8_t KeyMatrix553 = 0x12;

} // namespace

WireMirror::WireMirror()
    : m_enabled(qEnvironmentVariable("KELDA_WIRE_MIRROR") != QLatin1String("off"))
{
}

void WireMirror::connected(bool family560)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    forgetLocked();
    m_family560 = family560;
    m_active = true;
}

void WireMirror::forgetAll()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    forgetLocked();
}

void WireMirror::forgetLocked()
{
    m_entries.clear();
    ++m_epoch;
}

void WireMirror::setEnabled(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_enabled = on;
    forgetLocked();
}

bool WireMirror::enabled() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_enabled;
}

int WireMirror::size() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_entries.size());
}

// Which parameters name the target of each set command. Codes that select
// what other commands refer to are never skipped. The current DPI stage is
// sent every time: the DPI button changes it on the mouse, and its event
// may arrive only after a write was skipped. Gun data is sent every time. A
// code not listed may change anything.
WireMirror::Rule WireMirror::ruleFor(uint8_t code) const
{
    if (m_family560) {
        switch (code) {
        case 0x01: return {Kind::Mirrored, 0};        // keyboard options
        case 0x02: return {Kind::CurrentSelector, 0}; // current profile
        case 0x03: return {Kind::Mirrored, 1};        // report rate of a profile
        case CurrentDpi560: return {Kind::PassThrough, 0};
        case BlockWrite560: return {Kind::Mirrored, 1};
        case KeyMatrix560: return {Kind::Mirrored, 1};
        case 0x0F: return {Kind::Mirrored, 1};        // macro
        default: return {};
        }
    }
    switch (code) {
    case 0x01: return {Kind::Mirrored, 0};        // report rate
    case 0x02: return {Kind::CurrentSelector, 0}; // current key matrix
    case 0x03: return {Kind::Mirrored, 0};        // keyboard options
    case 0x04: return {Kind::PassThrough, 0};     // gun data
    case CurrentDpi553: return {Kind::PassThrough, 0};
    case FixedColour553: return {Kind::Mirrored, 0};
    case 0x0D: return {Kind::Mirrored, 0};        // LED effect
    // The colour type travels with the colours: one table, whatever type
    // wrote it last.
    case StageColours553: return {Kind::Mirrored, 0};
    case 0x11: return {Kind::Mirrored, 0};        // DPI table with its stage count
    case KeyMatrix553: return {Kind::Mirrored, 1};
    case 0x13: return {Kind::Mirrored, 1};        // macro
    default: return {};
    }
}

QByteArray WireMirror::keyOf(uint8_t code, const Params &params, int targetParams)
{
    QByteArray key(1, char(code));
    key.append(reinterpret_cast<const char *>(params.data()), targetParams);
    return key;
}

QByteArray WireMirror::valueOf(const Params &params, int targetParams, const uint8_t *payload, int length)
{
    QByteArray value(reinterpret_cast<const char *>(params.data()) + targetParams,
                     int(params.size()) - targetParams);
    if (payload && length > 0)
        value.append(reinterpret_cast<const char *>(payload), length);
    return value;
}

WireMirror::Ticket WireMirror::before(uint8_t code, const Params &params, const uint8_t *payload,
                                      int length) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Ticket t;
    t.epoch = m_epoch;
    if (!m_active || !m_enabled)
        return t;
    const Rule rule = ruleFor(code);
    if (rule.kind != Kind::Mirrored)
        return t;
    const auto it = m_entries.constFind(keyOf(code, params, rule.targetParams));
    t.skip = it != m_entries.constEnd() && *it == valueOf(params, rule.targetParams, payload, length);
    return t;
}

void WireMirror::after(const Ticket &ticket, uint8_t code, const Params &params,
                       const uint8_t *payload, int length, bool ok)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_active || !m_enabled)
        return;
    const Rule rule = ruleFor(code);
    switch (rule.kind) {
    case Kind::Unknown:
        forgetLocked();
        return;
    case Kind::PassThrough:
        return;
    case Kind::CurrentSelector:
        forgetSelectionDependents();
        return;
    case Kind::Mirrored:
        break;
    }
    forgetDependents(code, params);
    const QByteArray key = keyOf(code, params, rule.targetParams);
    // A cut transfer leaves the mouse's copy unknown; so does a change on
    // the mouse (an event) while the command was on its way.
    if (ok && ticket.epoch == m_epoch)
        m_entries.insert(key, valueOf(params, rule.targetParams, payload, length));
    else
        m_entries.remove(key);
}

void WireMirror::forgetCode(uint8_t code)
{
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (!it.key().isEmpty() && uint8_t(it.key().at(0)) == code)
            it = m_entries.erase(it);
        else
            ++it;
    }
}

// 560: a key matrix write forgets the block of the same profile, in case
// the firmware keeps the matrix inside it. 553: the fixed colour and the
// eight-colour table may overlap.
void WireMirror::forgetDependents(uint8_t code, const Params &params)
{
    if (m_family560) {
        if (code == KeyMatrix560)
            m_entries.remove(keyOf(BlockWrite560, params, 1));
        return;
    }
    if (code == FixedColour553)
        forgetCode(StageColours553);
    else if (code == StageColours553)
        forgetCode(FixedColour553);
}

// A new current key matrix (553), chosen by the program or on the mouse
// (key layer): the key matrix numbers may be relative to it. A new current
// profile (560) changes nothing the mirror holds: every per-profile entry
// names its profile, and the current DPI stage is not mirrored.
void WireMirror::forgetSelectionDependents()
{
    ++m_epoch;
    if (!m_family560)
        forgetCode(KeyMatrix553);
}

void WireMirror::blockRead(uint8_t block, const uint8_t *data128)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_active || !m_enabled || !m_family560 || !data128)
        return;
    const Params params{block, 0x80};
    m_entries.insert(keyOf(BlockWrite560, params, 1), valueOf(params, 1, data128, 128));
}

void WireMirror::eventReport(const uint8_t *report, int length)
{
    if (!report || length != 4 || report[0] != EventReportId)
        return;
    // A DPI stage event touches only the current stage, which is never
    // skipped.
    if (report[1] != EventKeyLayer)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    forgetSelectionDependents();
}
