"""Event-loop latency of a running kelda-config, seen from outside.

The program's single-instance socket answers every frame with one byte from
its GUI event loop, so the round trip of an empty launch message is how long
the loop takes to get to a new event. Usage:

    fault_probe.py SOCKET SECONDS [INTERVAL_MS]

Prints "count p50 p95 max" in milliseconds; a frame not answered within 5 s
counts as 5000 ms.
"""
import socket
import struct
import sys
import time


def round_trip(path):
    start = time.monotonic()
    s = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    s.settimeout(5)
    try:
        s.connect(path)
        # tag 0 (a launch message), declared length 0, no payload
        s.sendall(struct.pack(">III", 0, 0, 0))
        if not s.recv(1):
            return 5000.0
    except OSError:
        return 5000.0
    finally:
        s.close()
    return (time.monotonic() - start) * 1000


def main():
    path, seconds = sys.argv[1], float(sys.argv[2])
    interval = float(sys.argv[3]) / 1000 if len(sys.argv) > 3 else 0.02
    samples = []
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        samples.append(round_trip(path))
        time.sleep(interval)
    samples.sort()
    n = len(samples)
    pick = lambda p: samples[min(n - 1, int(p * n))]
    print("%d %.1f %.1f %.1f" % (n, pick(0.5), pick(0.95), samples[-1]))


if __name__ == "__main__":
    main()
