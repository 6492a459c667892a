"""Runs kelda-ctl against the preloaded virtual mouse and reads back what
went over the wire, for the kelda-ctl end-to-end checks and `make bench`."""
import json
import os
import shutil
import subprocess
import tempfile

DIST = os.environ["KELDA_DIST_DIR"]
BUILD = os.environ["KELDA_BUILD_DIR"]
CTL = os.path.join(DIST, "kelda-ctl")
VMOUSE = os.path.join(BUILD, "sim", "libkelda-virtual-mouse.so")


def cmd(*block):
    """A command report as the wire carries it: report id, block, checksum."""
    b = list(block) + [0] * (7 - len(block))
    return "send_feature 00" + bytes(b + [~sum(b) & 0xFF]).hex()


def reports(payload, length=32):
    """The data reports of a payload, zero-padded to the report length."""
    out = []
    for off in range(0, len(payload), length):
        chunk = bytes(payload[off:off + length])
        out.append("write 00" + (chunk + bytes(length - len(chunk))).hex())
    return out


def block_with(*parts, base=None):
    """A block (zeroed, or a copy of base) with (offset, bytes) parts
    written into it."""
    b = bytearray(base if base is not None else bytes(128))
    for off, values in parts:
        b[off:off + len(values)] = bytes(values)
    return b


def device_blocks(records):
    """The profile blocks the program read from the device (0x8C), by block
    number, from the data reports that answered each read."""
    blocks, current = {}, None
    for r in records:
        if r.get("iface") != "cmd":
            continue
        if r.get("op") == "send_feature":
            block = r.get("plain") or r["data"][2:]
            current = int(block[2:4], 16) if block[:2] == "8c" else None
            if current is not None:
                blocks[current] = bytearray()
        elif r.get("op") == "read" and current is not None:
            blocks[current] += bytes.fromhex(r["data"])
    return {n: b[:128] for n, b in blocks.items()}


class Rig:
    """A private data folder per family and cipher setting; the device list
    and the virtual mouse both use reports of the given length."""

    def __init__(self, length=32):
        self.root = tempfile.mkdtemp(prefix="kelda-ctl-")
        # The device lock of these runs lives here, away from other tests.
        self.runtime = os.path.join(self.root, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.folders = {}
        self.length = length

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)

    def data(self, family, encoded):
        key = (family, encoded)
        if key not in self.folders:
            d = os.path.join(self.root, "data-%d-%s" % key)
            shutil.copytree(os.path.join(DIST, "modules"), os.path.join(d, "modules"))
            path = os.path.join(d, "modules", "setting", "apConfig.bin")
            with open(path) as f:
                text = f.read()
            text = text.replace("icType=560", "icType=%d" % family)
            text = text.replace("isEncode=false", "isEncode=%s" % ("true" if encoded else "false"))
            text = text.replace("reportLength=32", "reportLength=%d" % self.length)
            with open(path, "w") as f:
                f.write(text)
            self.folders[key] = d
        return self.folders[key]

    def run(self, family, encoded, *args, timed=False):
        """kelda-ctl call ARGS with the virtual mouse preloaded; returns the
        exit status, stdout, stderr and the transcript records."""
        transcript = os.path.join(self.root, "transcript.jsonl")
        if os.path.exists(transcript):
            os.remove(transcript)
        env = dict(os.environ,
                   LD_PRELOAD=VMOUSE,
                   KELDA_VMOUSE_FAMILY=str(family),
                   KELDA_VMOUSE_ENCODED="true" if encoded else "false",
                   KELDA_VMOUSE_REPORT_LENGTH=str(self.length),
                   KELDA_VMOUSE_TRANSCRIPT=transcript,
                   KELDA_VMOUSE_SOCKET=os.path.join(self.root, "vmouse.sock"),
                   XDG_RUNTIME_DIR=self.runtime,
                   QT_QPA_PLATFORM="offscreen")
        argv = [CTL, "--data", self.data(family, encoded)] + (["--time"] if timed else []) + ["call"]
        p = subprocess.run(argv + [str(a) for a in args], env=env, capture_output=True, text=True,
                           timeout=120)
        records = []
        if os.path.exists(transcript):
            with open(transcript) as f:
                records = [json.loads(line) for line in f if line.strip()]
        return p.returncode, p.stdout.strip(), p.stderr, records


def sent(records):
    """Command and data reports on the command interface, enciphered blocks
    shown deciphered, in the fixture's "op hex" form."""
    out = []
    for r in records:
        if r.get("iface") != "cmd" or r.get("op") not in ("send_feature", "write"):
            continue
        data = "00" + r["plain"] if r.get("plain") else r["data"]
        out.append(r["op"] + " " + data)
    return out


def violations(records):
    return [r["violation"] for r in records if "violation" in r]


# The calls a profile switch makes (key matrix, report rate, DPI, lighting as
# the scene sends it on a colourful device).
LAYOUT = [0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0,
          5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2] + [0] * 24 + [0xFF, 0, 1, 0, 0xFF, 0, 2, 0]
COLOURS = json.dumps([255, 0, 0] * 8)
PROFILE = [
    ["mouseSetKeyMatrix", json.dumps(LAYOUT), "true", "[3,3,3]"],
    ["mouseSetReportRate", 1],
    ["mouseSetDpi", 6, '"3360"', json.dumps([400, 800, 1600, 3200, 6400, 12000, 16000, 16000])],
    ["mouseSetRGBColor", 0, COLOURS],
    ["mouseSetRGBEffect", 1, 2, 4],
    ["mouseSetRGBColor", 0, COLOURS],
    ["mouseSetRGBEffect", 1, 2, 4],
]
# Commands that settle 128 ms after the command report and again after the
# last data report; commands followed by 8 ms; 120 ms after each data report.
SETTLE = {553: {0x01, 0x02, 0x0B, 0x0C, 0x0D, 0x10, 0x11, 0x12, 0x13},
          560: {0x03, 0x04, 0x0C, 0x0D, 0x0F}}
SHORT = {553: {0x03, 0x04}, 560: {0x01, 0x02}}


def payload_settles(family, lines):
    """Second settle: after the last data report of each settling command."""
    extra, code, reports = 0, None, 0
    for line in lines + ["send_feature 00ff"]:
        op, data = line.split(" ", 1)
        if op == "write":
            reports += 1
            continue
        if code is not None and code in SETTLE[family] and reports:
            extra += 128
        code, reports = int(data[2:4], 16), 0
    return extra


def pauses(family, lines):
    """The pauses the protocol requires for these reports, in ms."""
    total = 0
    for line in lines:
        op, data = line.split(" ", 1)
        if op == "write":
            total += 120
        else:
            code = int(data[2:4], 16)
            total += 128 if code in SETTLE[family] else 8 if code in SHORT[family] else 0
    return total + payload_settles(family, lines)
