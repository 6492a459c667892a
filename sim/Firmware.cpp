#include "sim/Firmware.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vmouse {

namespace {

// Pauses the program must keep on the command interface.
constexpr double DataReportGapMs = 120;
constexpr double SettleMs = 128;
// Clock readings are doubles; allow for rounding, never for a real shortfall.
constexpr double Slack = 0.01;

std::string fmt(const char *format, double a, double b = 0, double c = 0)
{
    char buf[200];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

uint8_t checksum(const uint8_t b[8])
{
    uint8_t sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uint8_t(sum + b[i]);
    return uint8_t(~sum);
}

void fillDefaultBlocks(FirmwareState &s)
{
    // Block 0 holds device-wide values: the stage count and eight colours.
    static const uint8_t colours[24] = {255, 0, 0, 255, 128, 0, 255, 255, 0, 0, 255, 0,
                                        0, 255, 255, 0, 0, 255, 128, 0, 255, 255, 255, 255};
    auto &b0 = s.profileBlocks[0];
    std::memcpy(b0.data() + 24, colours, sizeof colours);
    b0[70] = 6;
    b0[71] = 1;
    b0[72] = 3;
    b0[73] = 2;
    // Blocks 1-4: the four profiles, DPI codes twice and the stage mask.
    static const uint8_t dpi[8] = {8, 16, 32, 48, 64, 128, 0, 0};
    for (int n = 1; n < 5; ++n) {
        auto &b = s.profileBlocks[n];
        std::memcpy(b.data() + 84, dpi, 8);
        std::memcpy(b.data() + 92, dpi, 8);
        b[100] = 0x3f;
        std::memcpy(b.data() + 104, colours, sizeof colours);
    }
    for (int p = 0; p < 6; ++p) {
        s.profileReportRate[p] = 1;
        s.profileCurrentDpi[p] = 2;
    }
    s.dpiCodes = {8, 16, 32, 48, 64, 128, 0x80, 0x80};
}

} // namespace

Firmware::Firmware(Identity identity, ViolationSink sink)
    : m_id(std::move(identity)), m_sink(std::move(sink))
{
    fillDefaultBlocks(state);
}

bool Firmware::needsSettle(uint8_t code) const
{
    static const uint8_t settle553[] = {0x01, 0x02, 0x0B, 0x0C, 0x0D, 0x10, 0x11, 0x12, 0x13};
    static const uint8_t settle560[] = {0x03, 0x04, 0x0C, 0x0D, 0x0F};
    if (m_id.family == 553)
        return std::find(std::begin(settle553), std::end(settle553), code) != std::end(settle553);
    return std::find(std::begin(settle560), std::end(settle560), code) != std::end(settle560);
}

void Firmware::checkGap(double t, const char *what)
{
    if (t + Slack < m_notBefore)
        violation(m_notBeforeReason + ": " + what + fmt(" came %.1f ms early", m_notBefore - t));
}

void Firmware::resetTransfer()
{
    m_block = PendingBlock();
    m_haveResponse = false;
    m_bulkAfterResponse.clear();
    cmdInput.clear();
}

int Firmware::sendFeature(const uint8_t *data, size_t len, double t, std::string *plain)
{
    if (len != 9) {
        violation(fmt("command report of %.0f bytes, expected 9", double(len)));
        if (len < 9)
            return -1;
    }
    if (data[0] != 0x00)
        violation(fmt("command report with report id %.0f", data[0]));

    uint8_t b[8];
    std::memcpy(b, data + 1, 8);
    if (m_id.encoded) {
        decipher(b, m_id.code);
        if (plain)
            *plain = toHex(b, 8);
    }

    checkGap(t, "command report");
    m_haveResponse = false;
    m_bulkAfterResponse.clear();
    cmdInput.clear();

    if (m_block.active) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "missing data report: command 0x%02x announced %d, got %d",
                      m_block.code, m_block.reportsExpected, m_block.reportsReceived);
        violation(buf);
        m_block = PendingBlock();
    }

    if (checksum(b) != b[7]) {
        violation("bad checksum in command block " + toHex(b, 8));
        return int(len);
    }

    m_notBefore = -1e300;
    if (needsSettle(b[0])) {
        m_notBefore = t + SettleMs;
        char buf[120];
        std::snprintf(buf, sizeof buf, "missing 128 ms settle after command 0x%02x", b[0]);
        m_notBeforeReason = buf;
    }
    ++state.commands;
    execute(b, t);
    return int(len);
}

int Firmware::getFeature(uint8_t *data, size_t len, std::string *plain)
{
    if (muted || len < 2)
        return -1;
    if (haveForcedResponse) {
        // Garbage in place of the answer: the bytes as given, as long as
        // given (up to what was asked for); a pending block read is lost.
        haveForcedResponse = false;
        const size_t n = std::min(len, forcedResponse.size());
        std::copy_n(forcedResponse.begin(), n, data);
        m_haveResponse = false;
        m_bulkAfterResponse.clear();
        return int(n);
    }
    uint8_t block[8] = {};
    if (m_haveResponse)
        std::memcpy(block, m_response, 8);
    if (plain && m_id.encoded)
        *plain = toHex(block, 8);
    if (m_id.encoded)
        encipher(block, m_id.code);
    if (corruptNext) {
        corruptNext = false;
        block[1] ^= 0x5a;
    }
    uint8_t report[9] = {0x00};
    std::memcpy(report + 1, block, 8);
    const size_t n = std::min<size_t>(len, 9);
    std::memcpy(data, report, n);
    if (m_haveResponse && !m_bulkAfterResponse.empty()) {
        // A block read: the data follows the response as input reports of
        // the device's report length on the command interface.
        // The payload is cut at the report length; a faulty report length
        // (nextBlockReportLength) changes only the size of each report.
        const size_t r = size_t(m_id.reportLength);
        const size_t sent = nextBlockReportLength > 0 ? size_t(nextBlockReportLength) : r;
        nextBlockReportLength = 0;
        for (size_t off = 0; off < m_bulkAfterResponse.size(); off += r) {
            std::vector<uint8_t> chunk(sent, 0);
            std::copy_n(m_bulkAfterResponse.begin() + long(off),
                        std::min({r, sent, m_bulkAfterResponse.size() - off}), chunk.begin());
            queueInput(cmdInput, std::move(chunk));
        }
        m_bulkAfterResponse.clear();
    }
    m_haveResponse = false;
    return int(n);
}

int Firmware::write(const uint8_t *data, size_t len, double t)
{
    const size_t expectedLen = size_t(m_id.reportLength) + 1;
    if (!m_block.active) {
        violation("unannounced data report " + toHex(data, std::min<size_t>(len, 16)));
        return int(len);
    }
    if (len != expectedLen)
        violation(fmt("data report of %.0f bytes, expected %.0f", double(len), double(expectedLen)));
    if (len > 0 && data[0] != 0x00)
        violation(fmt("data report with report id %.0f", data[0]));

    if (m_block.reportsReceived == 0) {
        checkGap(t, "first data report");
    } else if (t + Slack < m_block.lastT + DataReportGapMs) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "data report %d of command 0x%02x came %.1f ms after the previous one (at least 120 ms)",
                      m_block.reportsReceived + 1, m_block.code, t - m_block.lastT);
        violation(buf);
    }
    m_block.lastT = t;
    ++m_block.reportsReceived;

    // The device takes at most one report length of payload from each report.
    const int remaining = m_block.expected - int(m_block.data.size());
    const int take = std::min({remaining, m_id.reportLength, int(len) - 1});
    if (take > 0)
        m_block.data.insert(m_block.data.end(), data + 1, data + 1 + take);
    if (m_block.reportsReceived >= m_block.reportsExpected) {
        const uint8_t code = m_block.code;
        finishBlock();
        if (needsSettle(code)) {
            m_notBefore = t + DataReportGapMs + SettleMs;
            char buf[120];
            std::snprintf(buf, sizeof buf, "missing 128 ms settle after the data of command 0x%02x", code);
            m_notBeforeReason = buf;
        } else {
            m_notBefore = t + DataReportGapMs;
            m_notBeforeReason = "missing 120 ms pause after the last data report";
        }
    } else {
        m_notBefore = -1e300;
    }
    return int(len);
}

void Firmware::beginBlock(const uint8_t b[8], int length, double t)
{
    m_block = PendingBlock();
    if (length <= 0)
        return;
    m_block.active = true;
    m_block.code = b[0];
    m_block.param1 = b[1];
    m_block.expected = length;
    m_block.reportsExpected = (length + m_id.reportLength - 1) / m_id.reportLength;
    m_block.lastT = t;
}

void Firmware::finishBlock()
{
    const PendingBlock blk = m_block;
    m_block = PendingBlock();
    const std::vector<uint8_t> &d = blk.data;
    if (m_id.family == 553) {
        switch (blk.code) {
        case 0x10:
            if (m_id.colourful) {
                state.stageColourType = blk.param1;
                state.stageColours = d;
            }
            break;
        case 0x11:
            state.dpiStageCount = blk.param1;
            std::copy_n(d.begin(), std::min<size_t>(8, d.size()), state.dpiCodes.begin());
            break;
        case 0x12:
            state.keyMatrices[blk.param1] = d;
            break;
        case 0x13:
            state.macros[blk.param1] = d;
            break;
        }
        return;
    }
    switch (blk.code) {
    case 0x0C:
        if (blk.param1 < 5)
            std::copy_n(d.begin(), std::min<size_t>(128, d.size()), state.profileBlocks[blk.param1].begin());
        break;
    case 0x0D:
        state.keyMatrices[blk.param1] = d;
        break;
    case 0x0F:
        state.macros[blk.param1] = d;
        break;
    }
}

void Firmware::respond(std::initializer_list<uint8_t> values)
{
    std::memset(m_response, 0, 8);
    int i = 0;
    for (uint8_t v : values)
        m_response[i++] = v;
    m_response[7] = checksum(m_response);
    m_haveResponse = true;
}

void Firmware::execute(const uint8_t b[8], double t)
{
    FirmwareState &s = state;
    if (m_id.family == 553) {
        switch (b[0]) {
        case 0x01: s.reportRate = b[1]; return;
        case 0x02: s.currentKeyMatrix = b[1]; return;
        case 0x03: s.options553 = {b[1], b[2], b[3], b[4]}; return;
        case 0x04: s.gunData = {b[2], b[3], b[4], b[5]}; return;
        case 0x0B: s.currentDpi = b[1]; return;
        case 0x0C:
            if (m_id.colourful)
                s.fixedColour = {b[1], b[2], b[3]};
            return;
        case 0x0D:
            s.ledEffect = b[1];
            s.ledOption1 = b[2];
            s.ledOption2 = b[3];
            return;
        case 0x10:
        case 0x11:
        case 0x12:
        case 0x13:
            beginBlock(b, b[2], t);
            return;
        case 0x82: respond({0x82, s.currentDpi}); return;
        case 0x83: respond({0x83, s.options553[0], s.options553[1], s.options553[2], s.options553[3]}); return;
        }
    } else {
        switch (b[0]) {
        case 0x01: s.options560 = {b[1], b[2]}; return;
        case 0x02: s.currentProfile = b[1]; return;
        case 0x03:
            if (b[1] < s.profileReportRate.size())
                s.profileReportRate[b[1]] = b[2];
            return;
        case 0x04:
            if (b[1] < s.profileCurrentDpi.size())
                s.profileCurrentDpi[b[1]] = b[2];
            return;
        case 0x0C:
        case 0x0D:
        case 0x0F:
            beginBlock(b, b[2], t);
            return;
        case 0x81: respond({0x81, s.options560[0], s.options560[1]}); return;
        case 0x82: respond({0x82, s.currentProfile}); return;
        case 0x84:
            respond({0x84, b[1], b[1] < s.profileCurrentDpi.size() ? s.profileCurrentDpi[b[1]] : uint8_t(0)});
            return;
        case 0x8C:
            respond({0x8C, b[1]});
            m_bulkAfterResponse.assign(128, 0);
            if (b[1] < 5)
                std::copy(s.profileBlocks[b[1]].begin(), s.profileBlocks[b[1]].end(), m_bulkAfterResponse.begin());
            return;
        }
    }
    ++s.ignoredCommands;
}

void Firmware::queueInput(std::deque<std::vector<uint8_t>> &queue, std::vector<uint8_t> report)
{
    if (&queue == &cmdInput && dropCount > 0) {
        --dropCount;
        return;
    }
    if (corruptNext && !report.empty()) {
        corruptNext = false;
        report[0] ^= 0x5a;
    }
    queue.push_back(std::move(report));
}

void Firmware::pressDpi(int stage)
{
    const uint8_t st = uint8_t(stage);
    if (m_id.family == 553)
        state.currentDpi = st;
    else if (state.currentProfile < state.profileCurrentDpi.size())
        state.profileCurrentDpi[state.currentProfile] = st;
    queueInput(readInput, {0x06, 0x07, 0x00, st});
}

void Firmware::setLayer(bool on)
{
    state.keyLayer = on;
    queueInput(readInput, {0x06, 0x0D, uint8_t(on ? 1 : 0), 0x00});
}

} // namespace vmouse
