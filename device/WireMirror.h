#pragma once

#include <QByteArray>
#include <QHash>

#include <array>
#include <cstdint>
#include <mutex>

// What the connected mouse holds, as far as this connection knows it: the
// profile blocks read from it, and every block, key matrix, macro and single
// setting written to it since. A write whose bytes the mouse already holds
// for the same target need not go out again; a profile switch, which sends
// every setting of the new profile, then sends only what differs.
//
// Each entry is keyed by the command code and the parameters that name its
// target (the block, matrix or macro number, the profile of a per-profile
// setting); the remaining parameters and the payload are its value. The
// firmware family decides what a code means, so the mirror follows the
// family of the connected mouse, not the family of the method that sent it.
//
// When in doubt it forgets: a transfer that failed or may have been cut
// forgets its entry; a command that changes what other entries refer to
// (the current key matrix) forgets those; a change made on the mouse itself
// (key layer) forgets what it touches, and the current DPI stage, which the
// mouse's button changes, always goes out; removal,
// reconnection and the loss of the device lock forget everything. Queries
// and commands it does not know always go out.
//
// Thread-safe: the read loop reports events from its own thread.
class WireMirror
{
public:
    using Params = std::array<uint8_t, 6>;

    // KELDA_WIRE_MIRROR=off starts it disabled, so that a comparison run
    // can send everything.
    WireMirror();

    // A new connection to a mouse of this family: nothing is known yet.
    void connected(bool family560);
    // Everything unknown (removal, another process may take the mouse).
    void forgetAll();
    // Off: every write goes out and nothing is remembered. On by default.
    void setEnabled(bool on);
    bool enabled() const;

    // Taken before a set command goes out. skip: the mouse holds exactly
    // these bytes for this target already, so nothing need be sent.
    struct Ticket
    {
        bool skip = false;
        uint64_t epoch = 0;
    };
    Ticket before(uint8_t code, const Params &params, const uint8_t *payload, int length) const;
    // After the command was sent (ok) or failed somewhere on the way.
    void after(const Ticket &ticket, uint8_t code, const Params &params, const uint8_t *payload,
               int length, bool ok);

    // A 560 block read that brought its whole block.
    void blockRead(uint8_t block, const uint8_t *data128);
    // An event report from the read interface (any length, any content).
    void eventReport(const uint8_t *report, int length);

    // Entries held now (for tests).
    int size() const;

private:
    enum class Kind { Unknown, Mirrored, PassThrough, CurrentSelector };
    struct Rule
    {
        Kind kind = Kind::Unknown;
        int targetParams = 0; // leading parameters that name the target
    };
    Rule ruleFor(uint8_t code) const;
    static QByteArray keyOf(uint8_t code, const Params &params, int targetParams);
    static QByteArray valueOf(const Params &params, int targetParams, const uint8_t *payload, int length);
    // Entries whose meaning a sent command of this code changes.
    void forgetDependents(uint8_t code, const Params &params);
    void forgetCode(uint8_t code);
    void forgetSelectionDependents();
    void forgetLocked();

    mutable std::mutex m_mutex;
    bool m_active = false; // a connection of a known family
    bool m_enabled = true;
    bool m_family560 = false;
    // Bumped by every change that does not come from a write of ours, so a
    // write that raced with such a change is not recorded as held.
    uint64_t m_epoch = 0;
    QHash<QByteArray, QByteArray> m_entries;
};
