#!/usr/bin/env python3
"""Latency from an OSC command's arrival to its packet on the wire.

Starts `qz7cont --headless --osc 0` on a stand-in recorder at 127.0.0.91 that
answers every request with a valid status frame (so ticks keep the 20 ms
pace), sends /qz7/play at random moments from loopback and measures how long
until 3E 00 34 01 73 reaches the recorder. Loopback only.

    bench/osc_latency.py build/qz7cont [COUNT]
"""
import os, random, re, select, socket, statistics, subprocess, sys, time

def osc(path):
    b = path.encode() + b"\0"
    b += b"\0" * (-len(b) % 4)
    return b + b",\0\0\0"

def status_frame():
    d = bytearray(30)
    d[0:4] = bytes([0x3E, 26, 0x37, 0x60])
    d[5] = 0x20  # STOP
    return bytes(d) + bytes([sum(d) & 0xFF])

def main():
    binary = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    rec = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    rec.bind(("127.0.0.91", 20000))
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    panel = subprocess.Popen([binary, "--headless", "--osc", "0", "--devices", "127.0.0.91"],
                             stderr=subprocess.PIPE, env=env, text=True)
    port = None
    while port is None:
        m = re.search(r"listening on [0-9.]+:(\d+)", panel.stderr.readline())
        if m: port = int(m.group(1))
    client = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    client.bind(("127.0.0.1", 0))
    play = bytes([0x3E, 0x00, 0x34, 0x01, 0x73])
    reply = status_frame()
    latencies = []
    def serve(until, want_play=False):
        while True:
            left = until - time.monotonic()
            if left <= 0: return None
            if not select.select([rec], [], [], left)[0]: return None
            data, sender = rec.recvfrom(8192)
            now = time.monotonic()
            rec.sendto(reply, sender)
            if want_play and data == play: return now
    serve(time.monotonic() + 1.0)  # link start and the first status turns
    for _ in range(count):
        serve(time.monotonic() + random.uniform(0.03, 0.09))
        sent = time.monotonic()
        client.sendto(osc("/qz7/play"), ("127.0.0.1", port))
        arrived = serve(sent + 1.0, want_play=True)
        if arrived is not None: latencies.append((arrived - sent) * 1000)
    panel.terminate(); panel.wait(5)
    latencies.sort()
    q = lambda p: latencies[min(len(latencies) - 1, int(p * len(latencies)))]
    print(f"{len(latencies)}/{count} commands reached the recorder; ms from OSC send to packet: "
          f"min {latencies[0]:.2f}  median {statistics.median(latencies):.2f}  p90 {q(0.9):.2f}  "
          f"p99 {q(0.99):.2f}  max {latencies[-1]:.2f}")

main()
