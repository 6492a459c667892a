"""Runs kelda-ctl against the preloaded virtual mouse and reads back what
went over the wire, for the kelda-ctl end-to-end checks."""
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
    """A private data folder per family and cipher setting."""

    def __init__(self):
        self.root = tempfile.mkdtemp(prefix="kelda-ctl-")
        self.folders = {}

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
                   KELDA_VMOUSE_TRANSCRIPT=transcript,
                   KELDA_VMOUSE_SOCKET=os.path.join(self.root, "vmouse.sock"),
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
