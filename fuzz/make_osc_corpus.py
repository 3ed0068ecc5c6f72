#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_osc_dispatch into corpus/osc/.

Each seed is the mode byte of the target followed by OSC messages (as a
client sends them) cut by the "|||" separator: every command the remote
control takes, in each argument form, some it refuses, subscriptions, and a
few conversations. Run from anywhere; it rewrites the folder.
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SEPARATOR = b"|||"


def osc_string(text):
    b = text.encode("latin-1")
    return b + bytes(4 - len(b) % 4)


def argument(kind, value):
    if kind == "i":
        return struct.pack(">i", value)
    if kind == "h":
        return struct.pack(">q", value)
    if kind == "f":
        return struct.pack(">f", value)
    if kind == "d":
        return struct.pack(">d", value)
    if kind == "s":
        return osc_string(value)
    raise ValueError(kind)


def message(path, *args):
    """args: (type, value) pairs."""
    tags = "," + "".join(kind for kind, _ in args)
    return osc_string(path) + osc_string(tags) + b"".join(argument(k, v) for k, v in args)


def bundle(*messages):
    out = osc_string("#bundle") + struct.pack(">Q", 1)  # time tag: now
    for m in messages:
        out += struct.pack(">i", len(m)) + m
    return out


def i(v):
    return ("i", v)


def f(v):
    return ("f", v)


SINGLE = {
    "play": message("/qz7/play"),
    "stop": message("/qz7/stop"),
    "stop_lock": message("/qz7/stop", i(1)),
    "rec": message("/qz7/rec", i(1)),
    "rec_float": message("/qz7/rec", f(1.0)),
    "rec_bare": message("/qz7/rec"),
    "ff": message("/qz7/ff"),
    "ff_item": message("/qz7/ff", i(4)),
    "rew_item": message("/qz7/rew", i(0)),
    "rew_double": message("/qz7/rew", ("d", 3.0)),
    "slow": message("/qz7/slow", i(1)),
    "slow_item": message("/qz7/slow", i(-1), i(8)),
    "slow_float": message("/qz7/slow", f(-1.0), f(2.0)),
    "jog": message("/qz7/jog", i(-1)),
    "ee": message("/qz7/ee"),
    "pb": message("/qz7/pb"),
    "file_open": message("/qz7/file/open", i(3)),
    "file_open_int64": message("/qz7/file/open", ("h", 512)),
    "clip_open": message("/qz7/clip/open", i(0)),
    "seq_open": message("/qz7/seq/open", i(15)),
    "cue_mark": message("/qz7/cue/mark"),
    "cue_search": message("/qz7/cue/search", i(2)),
    "goto": message("/qz7/goto", ("s", "01:02:03:04")),
    "goto_bad": message("/qz7/goto", ("s", "99:99")),
    "subscribe": message("/qz7/subscribe"),
    "subscribe_port": message("/qz7/subscribe", i(9001)),
    "unsubscribe": message("/qz7/unsubscribe", i(9001)),
    "unknown": message("/qz7/erase"),
    "pattern_one": message("/qz7/p[l]ay"),
    "pattern_many": message("/qz7/*"),
    "pattern_braces": message("/qz7/{ee,pb}"),
    "pattern_backtracking": message("/qz7/" + "*?" * 12 + "#"),
    "pattern_words_sets": message("/qz7/{re,se}[!a-e]{,/open}"),
    "pattern_with_name": message("/qz7/goto", ("s", "{cam1,cam10}")),
    "bundle": bundle(message("/qz7/play"), message("/qz7/stop")),
}

CONVERSATIONS = {
    "conv_subscribe_then_commands": [
        message("/qz7/subscribe", i(9001)),
        message("/qz7/play"),
        message("/qz7/ff", i(1)),
        message("/qz7/stop", i(1)),
        message("/qz7/unsubscribe", i(9001)),
    ],
    "conv_nine_subscribers": [message("/qz7/subscribe", i(9000 + k)) for k in range(9)],
    "conv_renew": [message("/qz7/subscribe"), message("/qz7/subscribe"), message("/qz7/jog", i(1))],
}

# Mode byte: bits 0-1 first sender, bit 2 panel refuses, bit 3 panel throws,
# bits 4-5 clock step (0, 1, 30, 61 s).
MODES = {"": 0x00, "_refused": 0x04, "_throws": 0x09, "_slow_clock": 0x22, "_expiring": 0x33}


def main():
    folder = os.path.join(HERE, "corpus", "osc")
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name, data in SINGLE.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(bytes([0x00]) + data)
    for name, messages in CONVERSATIONS.items():
        for suffix, mode in MODES.items():
            with open(os.path.join(folder, name + suffix), "wb") as out:
                out.write(bytes([mode]) + SEPARATOR.join(messages))


if __name__ == "__main__":
    main()
