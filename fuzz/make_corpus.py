#!/usr/bin/env python3
"""Writes the seed corpora of the two fuzz targets.

corpus/decoder/: one file per reply kind the panel takes, as a recorder sends
it, behind the mode byte of fuzz_reply_decoder, plus a few in other modes.

corpus/sim/: one file per request or command the panel sends, behind the
setup byte of fuzz_sim_requests, plus conversations of several datagrams cut
by the "|||" separator.

Run from anywhere; it rewrites both folders.
"""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
LEAD = 0x3E
SEPARATOR = b"|||"


def total(data):
    return sum(data) & 0xFF


def frame(group, code, data=b""):
    body = bytes([LEAD, len(data), group, code]) + bytes(data)
    return body + bytes([total(body)])


def raw(data):
    data = bytes(data)
    return data + bytes([total(data)])


def le16(v):
    return bytes([v & 0xFF, (v >> 8) & 0xFF])


def name(text, width=32):
    b = text.encode("latin-1")[:width]
    return b + bytes(width - len(b))


# ---------------------------------------------------------------------------
# Replies (recorder -> panel)

def status_reply(transport=0x20, motion=0x00, reference=0x0C, standard=0x00, quality=0x00,
                 audio=0x18, file=1, clip=0, sequence=0):
    d = bytearray(26)  # data bytes: d[i] is datagram byte i + 4
    d[5 - 4] = transport
    d[6 - 4] = motion
    d[20 - 4] = reference
    d[21 - 4] = standard
    d[22 - 4] = quality
    d[23 - 4] = audio
    d[25 - 4:27 - 4] = le16(file)
    d[27 - 4:29 - 4] = le16(clip)
    d[29 - 4] = sequence
    return frame(0x37, 0x60, d)


def system_reply(raid, files):
    d = bytearray(21)
    d[0] = raid
    d[19:21] = le16(files)
    return frame(0x33, 0x01, d)


def cue_reply(k, used, pos, text):
    return frame(0x37, 0x80, le16(k) + bytes(pos) + name(text) + bytes([used]))


def clip_reply(k, used, pin, pout, text):
    return frame(0x37, 0x81, le16(k) + bytes(pin) + bytes(pout) + name(text) + bytes([used]))


def replies():
    r = {
        "status_stop": status_reply(),
        "status_play_error": status_reply(transport=0x01, quality=0x23, file=0x8003),
        "status_sequence_mode": status_reply(audio=0x58, clip=300, sequence=0x85),
        "timecode": frame(0x37, 0x04, bytes([0x12, 0x34, 0x56, 0x23])),
        "timecode_bad_n": frame(0x37, 0x04, bytes([0x12, 0x34, 0x56])),
        "system": system_reply(1, 512),
        "system_no_files": system_reply(0, 0),
        "cue_used": cue_reply(300, 1, (0x10, 0x20, 0x30, 0x01), "CUE 300"),
        "cue_empty": cue_reply(0, 0, (0, 0, 0, 0), ""),
        "cue_full_name": cue_reply(511, 1, (0x29, 0x59, 0x59, 0x23), "N" * 32),
        "clip_used": clip_reply(200, 1, (0, 0, 1, 0), (15, 0x30, 1, 0), "CLIP 200"),
        "clip_empty": clip_reply(511, 0, (0, 0, 0, 0), (0, 0, 0, 0), ""),
        "file_name": frame(0x37, 0x82, le16(3) + name("FILE 003")),
        "file_name_last": frame(0x37, 0x82, le16(512) + name("F" * 32)),
        "inhibit": frame(0x37, 0x8C, le16(3) + bytes([1])),
        "sequence_header": frame(0x37, 0x85, bytes([15, 2, 7])),
        "sequence_block": frame(0x37, 0x86, bytes([3, 25]) + le16(200) + le16(0xFFFF) + le16(0) + le16(511) + le16(0x8000)),
        "error_text": frame(0x37, 0x83, name("DISK FULL", 23)),
        "error_text_full": frame(0x37, 0x83, name("E" * 23, 23)),
        "character": frame(0x37, 0x78, bytes([1, 1, 1, 2, 0, 0x10, 0x0E, 0x0F, 0x0D, 0x0B, 0x0A, 0x0C, 9, 0x11, 2, 0])),
        "preroll_answer": raw([0x74, 0x31, 0x00, 0x00, 0x00, 0x06]),
        "discovery": bytes([0x00, 0x00, 0x00, 0xF7]),
    }
    # Settings answers, each with the data length its page reads.
    for code, length in [(0x64, 1), (0x65, 3), (0x70, 3), (0x71, 1), (0x72, 1), (0x76, 2), (0x77, 1),
                         (0x79, 1), (0x8B, 1)]:
        r["settings_%02x" % code] = frame(0x37, code, bytes(range(1, length + 1)))
    return r


# ---------------------------------------------------------------------------
# Requests and commands (panel -> recorder)

def requests():
    r = {
        "status_request": frame(0x36, 0x60),
        "timecode_request": frame(0x36, 0x62, b"\x01"),
        "link_start": frame(0x32, 0x01),
        "erase_disks": frame(0x32, 0x00, b"\x01"),
        "cue_request": frame(0x36, 0x80, le16(99)),
        "clip_request": frame(0x36, 0x81, le16(0)),
        "file_name_request": frame(0x36, 0x82, le16(1)),
        "inhibit_request": frame(0x36, 0x8C, le16(3)),
        "sequence_header_request": frame(0x36, 0x85, b"\x0f"),
        "sequence_block_request": frame(0x36, 0x86, b"\x00\x00"),
        "error_text_request": frame(0x36, 0x83, b"\x00"),
        "preroll_request": raw([0x60, 0x31]),
        "preroll_preset": raw([0x44, 0x31, 0xFF, 0x15, 0x00, 0x00]),
        "play": frame(0x34, 0x01),
        "record": frame(0x34, 0x02),
        "stop_lock": frame(0x34, 0x00, b"\x02"),
        "fast_forward": frame(0x34, 0x13, b"\x80"),
        "rewind": frame(0x34, 0x23, b"\x56"),
        "slow_forward": frame(0x34, 0x12, b"\x10"),
        "slow_reverse": frame(0x34, 0x22, b"\x50"),
        "jog_forward": frame(0x34, 0x14),
        "jog_reverse": frame(0x34, 0x24),
        "monitor_ee": frame(0x34, 0x41),
        "monitor_pb": frame(0x34, 0x40),
        "error_reset": frame(0x34, 0x89),
        "timecode_settings": frame(0x34, 0x72, b"\x10"),
        "timecode_preset": frame(0x34, 0x73, bytes([0x23, 0x59, 0x59, 0x29])),
        "genlock": frame(0x34, 0x65, b"\x01\x02\x01"),
        "test_signal": frame(0x34, 0x76, b"\x01\x01"),
        "audio_input": frame(0x34, 0x66, b"\x01"),
        "audio_channels": frame(0x34, 0x67, b"\x08"),
        "audio_delay": frame(0x34, 0x77, b"\x0b"),
        "sample_rate_converter": frame(0x34, 0x68, b"\x01"),
        "compression_quality": frame(0x34, 0x64, b"\x03"),
        "anc": frame(0x34, 0x79, b"\x01"),
        "playback_mode": frame(0x34, 0x71, b"\x02"),
        "record_mode": frame(0x34, 0x70, b"\x01" + le16(30)),
        "still_mode": frame(0x34, 0x8B, b"\x01"),
        "character": frame(0x34, 0x78, bytes([1, 1, 1, 2, 0, 0x10, 0x0E, 0x0F, 0x0D, 0x0B, 0x0A, 0x0C, 9, 0x11, 2, 0])),
        "open_file": frame(0x34, 0x50, le16(2) + b"\x00"),
        "erase_last_file": frame(0x34, 0x51),
        "file_name_write": frame(0x34, 0x82, le16(2) + name("RENAMED")),
        "inhibit_write": frame(0x34, 0x8C, le16(2) + b"\x01"),
        "open_clip": frame(0x34, 0x52, le16(5) + b"\x00"),
        "clip_write": frame(0x34, 0x81, le16(5) + bytes([0, 0, 1, 0, 0, 0x30, 1, 0]) + name("CLIP X") + b"\x01"),
        "clip_delete": frame(0x34, 0x81, le16(5) + bytes(8) + name("") + b"\x00"),
        "go_to_cue": frame(0x34, 0x53, le16(1) + b"\x01"),
        "timecode_search": frame(0x34, 0x31, bytes([0x10, 0x57, 0x59, 0x23])),
        "cue_write": frame(0x34, 0x80, le16(7) + bytes([0, 5, 0, 0]) + name("CUE X") + b"\x01"),
        "cue_clear": frame(0x34, 0x80, le16(7) + bytes(4) + name("") + b"\x00"),
        "open_sequence": frame(0x34, 0x54, b"\x00"),
        "delete_sequence": frame(0x34, 0x85, bytes([0x07, 3, 0, 0, 0])),
        "sequence_first_block": frame(0x34, 0x8A, bytes([0x00, 2, 0x00]) + le16(1) + le16(2) + le16(3) + le16(4) + le16(5)),
        "sequence_next_block": frame(0x34, 0x8A, bytes([0x01, 2, 1]) + le16(6) + le16(0xFFFF) * 4),
        "sequence_end": frame(0x34, 0x8A, bytes([0x02, 2]) + bytes(11)),
        "clear_cues": frame(0x34, 0x83),
        "clear_clips": frame(0x34, 0x84),
        "clear_sequences": frame(0x34, 0x86),
    }
    # The read-back requests of the settings pages.
    for code in (0x72, 0x65, 0x76, 0x77, 0x64, 0x79, 0x78, 0x70, 0x71, 0x8B):
        r["read_%02x" % code] = frame(0x36, code)
    return r


def conversations(req):
    """Several datagrams in a row, as the panel sends them."""
    def join(*names):
        return SEPARATOR.join(req[n] for n in names)

    return {
        "apply_and_retrieve": join("link_start", "sequence_header_request", "inhibit_request", "file_name_request",
                                   "clip_request", "cue_request", "status_request", "timecode_request"),
        "sequence_transfer": join("sequence_first_block", "sequence_next_block", "sequence_end",
                                  "sequence_block_request", "open_sequence", "status_request"),
        "edit_and_read_back": join("clip_write", "clip_request", "cue_write", "go_to_cue", "cue_request",
                                   "file_name_write", "inhibit_write", "file_name_request", "erase_last_file",
                                   "open_file", "status_request"),
        "transport_and_settings": join("play", "fast_forward", "slow_reverse", "jog_forward", "stop_lock", "record",
                                       "timecode_preset", "timecode_search", "genlock", "character",
                                       "preroll_preset", "preroll_request", "read_78", "read_65", "status_request",
                                       "timecode_request"),
        "erase_and_clear": join("erase_disks", "clear_cues", "clear_clips", "clear_sequences", "delete_sequence",
                                "error_reset", "error_text_request", "link_start"),
    }


def write(folder, files):
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for n, data in files.items():
        with open(os.path.join(folder, n), "wb") as f:
            f.write(data)


def main():
    # Mode byte 0x07: link on, selected recorder, sum fixed up by the harness,
    # so that mutations of the payload reach the handlers at once; a few seeds
    # come as received (0x03) or in the other modes.
    rep = replies()
    decoder = {n: b"\x07" + d for n, d in rep.items()}
    for n in ("status_stop", "cue_used", "system", "discovery", "preroll_answer"):
        decoder[n + "_as_received"] = b"\x03" + rep[n]
    decoder["status_link_off"] = b"\x02" + rep["status_stop"]
    decoder["status_other_sender"] = b"\x01" + rep["status_stop"]
    decoder["discovery_link_off"] = b"\x00" + rep["discovery"]
    decoder["cue_bad_sum"] = b"\x03" + rep["cue_used"][:-1] + b"\x00"
    write(os.path.join(HERE, "corpus", "decoder"), decoder)

    # Setup byte: 0x17 = 512 files, clips, cues and sequences, N and sum fixed
    # up by the harness; 0x37 = the same with 7 ms of motion between
    # datagrams; 0x1A = 37 files and the error up; 0x07 = taken as received.
    req = requests()
    sim = {n: b"\x17" + d for n, d in req.items()}
    for n in ("link_start", "status_request", "preroll_request", "preroll_preset", "clip_write", "sequence_first_block"):
        sim[n + "_as_received"] = b"\x07" + req[n]
    for n, d in conversations(req).items():
        sim["conv_" + n] = b"\x37" + d
        sim["conv_" + n + "_error_up"] = b"\x1a" + d
        sim["conv_" + n + "_as_received"] = b"\x07" + d
    # A frame with a wrong N and no sum, for the harness to fix up.
    unfixed = bytearray(frame(0x32, 0x01))
    unfixed[1], unfixed[-1] = 9, 0
    sim["link_start_unfixed"] = b"\x17" + bytes(unfixed)
    write(os.path.join(HERE, "corpus", "sim"), sim)
    print("decoder: %d seeds, sim: %d seeds" % (len(decoder), len(sim)))


if __name__ == "__main__":
    main()
