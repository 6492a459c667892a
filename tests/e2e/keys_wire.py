#!/usr/bin/env python3
"""Commands the program sent to the virtual mouse, read from its transcript.

Prints one line per command on the command interface, oldest first:
    <code> <p1>..<p6> <payload>
all in lower-case hex, the six parameters as one 12-digit word and the
payload as the data reports that followed the command, report IDs removed
(empty when there were none). An enciphered device's commands are shown as
the mouse deciphered them.
"""
import json
import sys


def commands(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line:
                continue
            r = json.loads(line)
            if r.get("iface") != "cmd" or r.get("ret", -1) < 0:
                continue
            if r["op"] == "send_feature":
                block = r.get("plain") or r["data"][2:]
                out.append([block[0:2], block[2:14], ""])
            elif r["op"] == "write" and out:
                out[-1][2] += r["data"][2:]
    return out


if __name__ == "__main__":
    for code, params, payload in commands(sys.argv[1]):
        print(code, params, payload if payload else "-")
