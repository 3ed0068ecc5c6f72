// The simulated recorder without a socket: exact reply layouts, write-then-read
// round trips, the moving timecode, and malformed input that must change nothing.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "link/protocol.h"
#include "recorder.h"
#include "wire_bytes.h"

using qz7sim::Bytes;
using qz7sim::Config;
using qz7sim::Recorder;

namespace {

Config demoConfig(int files, int clips, int cues, int sequences) {
    Config c;
    c.files = files;
    c.clips = clips;
    c.cues = cues;
    c.sequences = sequences;
    return c;
}

// A framed request: 3E, N, group, code, data, sum.
Bytes frame(std::uint8_t group, std::uint8_t code, const Bytes& data = {}) { return qz7::test::reply(group, code, data); }
Bytes sense(std::uint8_t code, const Bytes& data = {}) { return frame(qz7::Group::Sense, code, data); }
Bytes op(std::uint8_t code, const Bytes& data = {}) { return frame(qz7::Group::Operate, code, data); }

// Sends one request that must draw exactly one reply, and checks its frame.
Bytes ask(Recorder& r, const Bytes& request, std::size_t length) {
    const auto replies = r.handle(request);
    EXPECT_EQ(replies.size(), 1u);
    if (replies.size() != 1) return Bytes(length, 0);
    const Bytes& reply = replies[0];
    EXPECT_EQ(reply.size(), length);
    if (reply.size() != length) return Bytes(length, 0);
    EXPECT_EQ(reply.back(), qz7::checksum(std::span(reply).first(reply.size() - 1))) << "sum";
    if (reply[0] == qz7::kLead) {
        EXPECT_EQ(reply[1], length - 5) << "N";
    }
    return reply;
}

void run(Recorder& r, const Bytes& command) { EXPECT_TRUE(r.handle(command).empty()); }

Bytes name32(const std::string& name) {
    Bytes b(32, 0);
    std::copy(name.begin(), name.end(), b.begin());
    return b;
}

Bytes status(Recorder& r) { return ask(r, sense(qz7::Sense::Status), 31); }

Bytes timecode(Recorder& r) {
    const Bytes reply = ask(r, sense(qz7::Sense::Timecode, {0x01}), 9);
    return Bytes(reply.begin() + 4, reply.begin() + 8);
}

Bytes cueWrite(unsigned k, Bytes position, const std::string& name, std::uint8_t flag) {
    Bytes d{static_cast<std::uint8_t>(k & 0xFF), static_cast<std::uint8_t>(k >> 8)};
    d.insert(d.end(), position.begin(), position.end());
    const Bytes n = name32(name);
    d.insert(d.end(), n.begin(), n.end());
    d.push_back(flag);
    return op(qz7::Op::CueWrite, d);
}

Bytes seqTransfer(std::uint8_t marker, std::uint8_t s, std::uint8_t j, std::vector<int> steps) {
    Bytes d{marker, s, j};
    for (int v : steps) {
        d.push_back(static_cast<std::uint8_t>(v & 0xFF));
        d.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    d.resize(13, 0);
    return op(qz7::Op::SequenceTransfer, d);
}

}  // namespace

TEST(RecorderReplies, StatusTimecodeAndSystemLayouts) {
    Recorder r;
    // Status of a fresh recorder: STOP, internal reference, 1080/59.94I, HQ, 8
    // channels AES/EBU, file mode with no file.
    Bytes expected(31, 0);
    expected[0] = 0x3E, expected[1] = 26, expected[2] = 0x37, expected[3] = 0x60;
    expected[5] = 0x20, expected[20] = 0x0C, expected[23] = 0x18;
    expected[30] = qz7::checksum(std::span(expected).first(30));
    EXPECT_EQ(r.handle(Bytes{0x3E, 0x00, 0x36, 0x60, 0xD4}), (std::vector<Bytes>{expected}));

    // The panel's timecode request as it goes on the wire.
    EXPECT_EQ(r.handle(Bytes{0x3E, 0x01, 0x36, 0x62, 0x01, 0xD8}),
              (std::vector<Bytes>{Bytes{0x3E, 0x04, 0x37, 0x04, 0x00, 0x00, 0x00, 0x00, 0x7D}}));

    Recorder demo(demoConfig(300, 0, 0, 0));
    const Bytes sys = ask(demo, Bytes{0x3E, 0x00, 0x32, 0x01, 0x71}, 26);
    EXPECT_EQ(sys[2], 0x33);
    EXPECT_EQ(sys[3], 0x01);
    EXPECT_EQ(sys[4], 0x00);  // RAID 0
    EXPECT_EQ(sys[23], 300 & 0xFF);
    EXPECT_EQ(sys[24], 300 >> 8);

    // HDD erase with RAID 1 (the panel's packet) empties the files.
    run(demo, Bytes{0x3E, 0x01, 0x32, 0x00, 0x01, 0x72});
    const Bytes after = ask(demo, Bytes{0x3E, 0x00, 0x32, 0x01, 0x71}, 26);
    EXPECT_EQ(after[4], 0x01);
    EXPECT_EQ(after[23], 0);
    EXPECT_EQ(after[24], 0);
}

TEST(RecorderReplies, DemoContentAndFileMode) {
    Recorder r(demoConfig(4, 3, 2, 2));
    const Bytes name = ask(r, sense(qz7::Sense::FileName, {0x01, 0x00}), 39);
    Bytes first{0x01, 0x00};
    const Bytes firstName = name32("FILE 001");
    first.insert(first.end(), firstName.begin(), firstName.end());
    EXPECT_EQ(Bytes(name.begin() + 4, name.begin() + 38), first);
    EXPECT_EQ(ask(r, sense(qz7::Sense::Inhibit, {0x03, 0x00}), 8)[6], 1);  // every third file
    EXPECT_EQ(ask(r, sense(qz7::Sense::Inhibit, {0x02, 0x00}), 8)[6], 0);
    EXPECT_TRUE(r.handle(sense(qz7::Sense::FileName, {0x05, 0x00})).empty());  // files 1..count only
    EXPECT_TRUE(r.handle(sense(qz7::Sense::Inhibit, {0x00, 0x00})).empty());

    const Bytes clip = ask(r, sense(qz7::Sense::ClipEntry, {0x02, 0x00}), 48);
    EXPECT_EQ(std::string(clip.begin() + 14, clip.begin() + 22), "CLIP 002");
    EXPECT_NE(clip[46], 0);
    const Bytes cue = ask(r, sense(qz7::Sense::CueEntry, {0x01, 0x00}), 44);
    EXPECT_EQ(std::string(cue.begin() + 10, cue.begin() + 17), "CUE 001");
    EXPECT_EQ(Bytes(cue.begin() + 6, cue.begin() + 10), (Bytes{0x00, 0x15, 0x00, 0x00}));  // 00:00:15:00

    // Sequences are made of existing clips.
    for (std::uint8_t s = 0; s < 2; ++s) {
        const Bytes head = ask(r, sense(qz7::Sense::SequenceHeader, {s}), 8);
        ASSERT_GT(head[6], 0);
        EXPECT_EQ(head[5], head[6] / 5 + 1);
        const Bytes block = ask(r, sense(qz7::Sense::SequenceBlock, {s, 0}), 17);
        for (int i = 0; i < std::min<int>(5, head[6]); ++i) EXPECT_LT(qz7::le16(block, 6 + 2 * i), 3u);
    }

    // Open file 3: file mode, marker bit for its inhibit flag, timecode at zero.
    run(r, op(qz7::Op::Play));
    r.advance(500);
    run(r, op(qz7::Op::OpenFile, {0x03, 0x00, 0x00}));
    Bytes st = status(r);
    EXPECT_EQ(st[25], 3);
    EXPECT_EQ(st[26], 0x80);
    EXPECT_EQ(st[23] & 0x40, 0);
    EXPECT_EQ(st[29], 0);
    EXPECT_EQ(timecode(r), (Bytes{0, 0, 0, 0}));

    // Record adds "REC 005" and makes it current; erase last takes it away again.
    run(r, op(qz7::Op::Record));
    st = status(r);
    EXPECT_EQ(st[5], 0x02);
    EXPECT_EQ(st[25], 5);
    EXPECT_EQ(ask(r, Bytes{0x3E, 0x00, 0x32, 0x01, 0x71}, 26)[23], 5);
    const Bytes rec = ask(r, sense(qz7::Sense::FileName, {0x05, 0x00}), 39);
    EXPECT_EQ(std::string(rec.begin() + 6, rec.begin() + 13), "REC 005");
    EXPECT_EQ(rec[13], 0);
    run(r, op(qz7::Op::EraseLastFile));
    EXPECT_EQ(r.fileCount(), 4);
    EXPECT_TRUE(r.handle(sense(qz7::Sense::FileName, {0x05, 0x00})).empty());
}

TEST(RecorderReplies, ErrorFlagTextAndReset) {
    Config config;
    config.error = "FAN STOP ON UNIT 2 - CHECK AIRFLOW";
    Recorder r(config);
    EXPECT_EQ(status(r)[22] & 0x20, 0x20);
    const Bytes text = ask(r, Bytes{0x3E, 0x01, 0x36, 0x83, 0x00, 0xF8}, 28);
    EXPECT_EQ(std::string(text.begin() + 4, text.begin() + 27), "FAN STOP ON UNIT 2 - CH");  // 23 bytes

    run(r, op(qz7::Op::ErrorReset));
    EXPECT_EQ(status(r)[22] & 0x20, 0);
    const Bytes cleared = ask(r, sense(qz7::Sense::ErrorText, {0x00}), 28);
    EXPECT_EQ(Bytes(cleared.begin() + 4, cleared.begin() + 27), Bytes(23, 0));
}

TEST(RecorderRoundTrip, CueEntries) {
    Recorder r;
    const Bytes empty = ask(r, sense(qz7::Sense::CueEntry, {0x2C, 0x01}), 44);
    EXPECT_EQ(empty[4], 0x2C);
    EXPECT_EQ(empty[5], 0x01);
    EXPECT_EQ(empty[42], 0);

    run(r, cueWrite(300, {0x04, 0x03, 0x02, 0x01}, "OPENING", 1));
    Bytes expected{0x3E, 39, 0x37, 0x80, 0x2C, 0x01, 0x04, 0x03, 0x02, 0x01};
    const Bytes n = name32("OPENING");
    expected.insert(expected.end(), n.begin(), n.end());
    expected.push_back(0x01);
    expected.push_back(qz7::checksum(expected));
    EXPECT_EQ(r.handle(sense(qz7::Sense::CueEntry, {0x2C, 0x01})), (std::vector<Bytes>{expected}));

    // A full 32-byte name comes back whole; bytes are not text-checked.
    const std::string full = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\xE9\xFF" "0123";
    run(r, cueWrite(511, {0x29, 0x59, 0x59, 0x23}, full, 1));
    const Bytes last = ask(r, sense(qz7::Sense::CueEntry, {0xFF, 0x01}), 44);
    EXPECT_EQ(std::string(last.begin() + 10, last.begin() + 42), full);

    // Srh to the cue positions the timecode at the mark (Cue: see below).
    run(r, op(qz7::Op::GoToCue, {0x2C, 0x01, 0x00}));
    EXPECT_EQ(timecode(r), (Bytes{0x04, 0x03, 0x02, 0x01}));

    // Clearing one slot, then all.
    run(r, cueWrite(300, {0, 0, 0, 0}, "", 0));
    EXPECT_EQ(ask(r, sense(qz7::Sense::CueEntry, {0x2C, 0x01}), 44)[42], 0);
    run(r, op(qz7::Op::ClearCues));
    EXPECT_EQ(ask(r, sense(qz7::Sense::CueEntry, {0xFF, 0x01}), 44)[42], 0);
}

namespace {
Bytes prerollPreset(std::uint8_t seconds) {
    Bytes b{0x44, 0x31, 0x00, seconds, 0x00, 0x00};
    b.push_back(qz7::checksum(b));
    return b;
}
}  // namespace

TEST(RecorderRoundTrip, CueStopsThePrerollShortSearchStopsAtTheMark) {
    Recorder r(demoConfig(0, 0, 3, 0));  // cues at 00:00:05:00, 00:00:15:00, 00:00:25:00
    ASSERT_EQ(r.prerollSeconds(), 6);     // the Control page's initial "06"

    run(r, op(qz7::Op::Play));
    run(r, op(qz7::Op::GoToCue, {0x01, 0x00, 0x01}));  // Cue
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x09, 0x00, 0x00}));
    EXPECT_EQ(status(r)[5], 0x20) << "stopped there";
    run(r, op(qz7::Op::GoToCue, {0x01, 0x00, 0x00}));  // Srh
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x15, 0x00, 0x00}));

    // A preroll longer than the way back stops at the start, not a day earlier.
    run(r, op(qz7::Op::GoToCue, {0x00, 0x00, 0x01}));
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x00, 0x00, 0x00}));

    // The preset preroll counts, with the borrow through minutes and hours.
    run(r, prerollPreset(0x15));
    run(r, cueWrite(7, {0x10, 0x03, 0x00, 0x01}, "TOP OF HOUR", 1));  // 01:00:03:10
    run(r, op(qz7::Op::GoToCue, {0x07, 0x00, 0x01}));
    EXPECT_EQ(timecode(r), (Bytes{0x10, 0x48, 0x59, 0x00}));  // 00:59:48:10
    run(r, prerollPreset(0x99));                                // the field's largest
    run(r, op(qz7::Op::GoToCue, {0x07, 0x00, 0x01}));
    EXPECT_EQ(timecode(r), (Bytes{0x10, 0x24, 0x58, 0x00}));  // 00:58:24:10
    run(r, prerollPreset(0x00));
    run(r, op(qz7::Op::GoToCue, {0x07, 0x00, 0x01}));
    EXPECT_EQ(timecode(r), (Bytes{0x10, 0x03, 0x00, 0x01})) << "no preroll: Cue is Srh";

    // Seconds that are not BCD are refused; the preroll read back stays.
    run(r, prerollPreset(0x15));
    run(r, prerollPreset(0x1A));
    run(r, prerollPreset(0xA5));
    EXPECT_EQ(r.state().preroll, 0x15);
    EXPECT_EQ(ask(r, Bytes{0x60, 0x31, 0x91}, 7)[5], 0x15);
}

TEST(RecorderRoundTrip, ClearsAndEraseTakeNoDataAsThePanelSendsThem) {
    Recorder r(demoConfig(3, 2, 2, 1));
    // Data after any of them makes the packet malformed: nothing is wiped.
    const qz7sim::State before = r.state();
    for (std::uint8_t code : {qz7::Op::ClearCues, qz7::Op::ClearClips, qz7::Op::ClearSequences, qz7::Op::EraseLastFile}) {
        run(r, op(code, {0x00}));
        run(r, op(code, {0x01, 0x00, 0x00}));
    }
    EXPECT_TRUE(r.state() == before);

    // The panel's datagrams (Clear menu, "Last File Erase"): N = 0.
    run(r, Bytes{0x3E, 0x00, 0x34, 0x83, 0xF5});
    run(r, Bytes{0x3E, 0x00, 0x34, 0x84, 0xF6});
    run(r, Bytes{0x3E, 0x00, 0x34, 0x86, 0xF8});
    run(r, Bytes{0x3E, 0x00, 0x34, 0x51, 0xC3});
    EXPECT_FALSE(r.state().cues[0].used);
    EXPECT_FALSE(r.state().clips[0].used);
    EXPECT_EQ(r.state().sequences[0].entries, 0);
    EXPECT_EQ(r.fileCount(), 2);
}

TEST(RecorderConfig, GapsLeaveDemoEntriesEmpty) {
    Config c = demoConfig(0, 8, 6, 4);
    c.cueGaps = {2, 3, 4};
    c.clipGaps = {0, 1, 3, 4, 5, 6, 7};  // only clip 2 left
    ASSERT_EQ(qz7sim::configProblem(c), "");
    Recorder r(c);

    std::vector<int> cues, clips;
    for (int k = 0; k < qz7sim::kTableSize; ++k) {
        if (r.state().cues[static_cast<std::size_t>(k)].used) cues.push_back(k);
        if (r.state().clips[static_cast<std::size_t>(k)].used) clips.push_back(k);
    }
    EXPECT_EQ(cues, (std::vector<int>{0, 1, 5}));
    EXPECT_EQ(clips, (std::vector<int>{2}));
    // Entries keep their number's content: cue 5 at 00:00:55:00, clip 2 at 00:02:00:00.
    const Bytes cue5 = ask(r, sense(qz7::Sense::CueEntry, {0x05, 0x00}), 44);
    EXPECT_EQ(Bytes(cue5.begin() + 6, cue5.begin() + 10), (Bytes{0x00, 0x55, 0x00, 0x00}));
    EXPECT_EQ(std::string(cue5.begin() + 10, cue5.begin() + 17), "CUE 005");
    EXPECT_EQ(ask(r, sense(qz7::Sense::CueEntry, {0x02, 0x00}), 44)[42], 0);
    EXPECT_EQ(r.state().clips[2].in, (qz7sim::Position{0x00, 0x00, 0x02, 0x00}));
    // Sequences use only the clips that exist.
    for (const auto& seq : r.state().sequences)
        for (int i = 0; i < seq.entries; ++i) EXPECT_EQ(seq.steps[static_cast<std::size_t>(i)], 2);
    EXPECT_GT(r.state().sequences[3].entries, 0);

    // Every clip a gap: no clips, so no sequences either.
    Config none = demoConfig(0, 2, 0, 3);
    none.clipGaps = {1, 0, 1};  // order and repeats do not matter
    EXPECT_EQ(qz7sim::configProblem(none), "");
    Recorder empty(none);
    EXPECT_FALSE(empty.state().clips[0].used);
    EXPECT_EQ(empty.state().sequences[0].entries, 0);

    // A gap outside the demo entries is named; the Recorder ignores it.
    Config outside = demoConfig(0, 0, 6, 0);
    outside.cueGaps = {2, 6};
    EXPECT_EQ(qz7sim::configProblem(outside), "--cue-gaps: 6 is not among the 6 demo cues (0..5)");
    EXPECT_TRUE(Recorder(outside).state().cues[5].used);
    outside.cueGaps = {-1};
    EXPECT_NE(qz7sim::configProblem(outside), "");
    Config noClips;
    noClips.clipGaps = {0};
    EXPECT_EQ(qz7sim::configProblem(noClips), "--clip-gaps: 0 is not among the 0 demo clips");
    Config tooMany;
    tooMany.cues = 513;
    EXPECT_EQ(qz7sim::configProblem(tooMany), "--cues: 513 is not in 0..512");
}

TEST(RecorderRoundTrip, ClipsAndOpenClip) {
    Recorder r;
    // The panel's SAVE example: clip 12, 00:01:02:03 .. 00:01:10:00, name AB.
    Bytes d{0x0C, 0x00, 0x03, 0x02, 0x01, 0x00, 0x00, 0x10, 0x01, 0x00};
    const Bytes n = name32("AB");
    d.insert(d.end(), n.begin(), n.end());
    d.push_back(0x01);
    run(r, op(qz7::Op::ClipWrite, d));

    Bytes expected{0x3E, 43, 0x37, 0x81};
    expected.insert(expected.end(), d.begin(), d.end());
    expected.push_back(qz7::checksum(expected));
    EXPECT_EQ(r.handle(sense(qz7::Sense::ClipEntry, {0x0C, 0x00})), (std::vector<Bytes>{expected}));

    run(r, op(qz7::Op::OpenClip, {0x0C, 0x00, 0x00}));
    const Bytes st = status(r);
    EXPECT_EQ(st[23] & 0x40, 0x40);
    EXPECT_EQ(st[27], 12);
    EXPECT_EQ(st[28], 0);
    EXPECT_EQ(timecode(r), (Bytes{0x03, 0x02, 0x01, 0x00}));

    run(r, op(qz7::Op::ClearClips));
    EXPECT_EQ(ask(r, sense(qz7::Sense::ClipEntry, {0x0C, 0x00}), 48)[46], 0);
    EXPECT_EQ(status(r)[23] & 0x40, 0);
}

TEST(RecorderRoundTrip, FileNameAndInhibit) {
    Recorder r(demoConfig(3, 0, 0, 0));
    run(r, op(qz7::Op::FileNameWrite, [] {
        Bytes d{0x02, 0x00};
        const Bytes n = name32("INTERVIEW TAKE 2");
        d.insert(d.end(), n.begin(), n.end());
        return d;
    }()));
    run(r, op(qz7::Op::InhibitWrite, {0x02, 0x00, 0x01}));
    run(r, op(qz7::Op::InhibitWrite, {0x03, 0x00, 0x00}));

    const Bytes name = ask(r, sense(qz7::Sense::FileName, {0x02, 0x00}), 39);
    EXPECT_EQ(std::string(name.begin() + 6, name.begin() + 22), "INTERVIEW TAKE 2");
    EXPECT_EQ(name[22], 0);
    EXPECT_EQ(ask(r, sense(qz7::Sense::Inhibit, {0x02, 0x00}), 8),
              (Bytes{0x3E, 0x03, 0x37, 0x8C, 0x02, 0x00, 0x01, 0x07}));
    EXPECT_EQ(ask(r, sense(qz7::Sense::Inhibit, {0x03, 0x00}), 8)[6], 0);
    run(r, op(qz7::Op::OpenFile, {0x02, 0x00, 0x00}));
    EXPECT_EQ(status(r)[26], 0x80);
}

TEST(RecorderRoundTrip, SequenceTransferHeaderBlocksOpenDelete) {
    Recorder r(demoConfig(0, 10, 0, 0));
    // Seven steps as the panel sends them: first block, block 1, end.
    run(r, seqTransfer(0x00, 4, 0x00, {3, 1, 4, 1, 5}));
    run(r, seqTransfer(0x01, 4, 0x01, {9, 2, -1, -1, -1}));
    run(r, seqTransfer(0x02, 4, 0x00, {}));

    EXPECT_EQ(ask(r, sense(qz7::Sense::SequenceHeader, {0x04}), 8),
              (Bytes{0x3E, 0x03, 0x37, 0x85, 0x04, 0x02, 0x07, 0x0A}));
    EXPECT_EQ(ask(r, sense(qz7::Sense::SequenceBlock, {0x04, 0x00}), 17),
              (Bytes{0x3E, 0x0C, 0x37, 0x86, 0x04, 0x00, 3, 0, 1, 0, 4, 0, 1, 0, 5, 0, 0x19}));
    const Bytes b1 = ask(r, sense(qz7::Sense::SequenceBlock, {0x04, 0x01}), 17);
    EXPECT_EQ(Bytes(b1.begin() + 4, b1.begin() + 16), (Bytes{4, 1, 9, 0, 2, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ask(r, sense(qz7::Sense::SequenceBlock, {0x04, 25}), 17)[14], 0xFF);  // last block exists, empty

    // Open: sequence mode, first step's clip, at its in point (clip 3 starts at 00:03:00:00).
    run(r, op(qz7::Op::OpenSequence, {0x04}));
    const Bytes st = status(r);
    EXPECT_EQ(st[29], 0x84);
    EXPECT_EQ(st[27], 3);
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x00, 0x03, 0x00}));

    // Five steps exactly take two blocks (entries / 5 + 1).
    run(r, seqTransfer(0x00, 5, 0x00, {1, 2, 3, 4, 5}));
    run(r, seqTransfer(0x01, 5, 0x01, {-1, -1, -1, -1, -1}));
    run(r, seqTransfer(0x02, 5, 0x00, {}));
    EXPECT_EQ(ask(r, sense(qz7::Sense::SequenceHeader, {0x05}), 8)[5], 2);

    run(r, op(qz7::Op::DeleteSequence, {0x07, 0x04, 0x00, 0x00, 0x00}));
    const Bytes gone = ask(r, sense(qz7::Sense::SequenceHeader, {0x04}), 8);
    EXPECT_EQ(gone[5], 0);
    EXPECT_EQ(gone[6], 0);
    EXPECT_EQ(status(r)[29], 0);
    run(r, op(qz7::Op::ClearSequences));
    EXPECT_EQ(ask(r, sense(qz7::Sense::SequenceHeader, {0x05}), 8)[6], 0);
}

TEST(RecorderRoundTrip, SettingsAnswerWhatWasSet) {
    Recorder r;
    // Defaults, then every setting in the table set to a distinct value and read back.
    for (const auto& row : qz7sim::settingSpecs()) {
        Bytes expected{0x3E, row.length, 0x37, row.code};
        expected.insert(expected.end(), row.defaults.begin(), row.defaults.end());
        expected.push_back(qz7::checksum(expected));
        EXPECT_EQ(r.handle(sense(row.code)), (std::vector<Bytes>{expected})) << std::hex << int(row.code);

        Bytes value(row.length);
        for (std::size_t i = 0; i < value.size(); ++i) value[i] = static_cast<std::uint8_t>(row.code + i + 1);
        run(r, op(row.code, value));
        const Bytes answer = ask(r, sense(row.code), row.length + 5u);
        EXPECT_EQ(Bytes(answer.begin() + 4, answer.end() - 1), value) << std::hex << int(row.code);

        Bytes wrong(row.length + 1u, 0x55);  // wrong length: ignored
        run(r, op(row.code, wrong));
        EXPECT_EQ(r.setting(row.code), value);
    }

    // The panel's packets: record mode INTERMITTENT at 300 frames, audio delay 5.5.
    run(r, Bytes{0x3E, 0x03, 0x34, 0x70, 0x04, 0x2C, 0x01, 0x16});
    EXPECT_EQ(ask(r, sense(0x70), 8), (Bytes{0x3E, 0x03, 0x37, 0x70, 0x04, 0x2C, 0x01, 0x19}));
    run(r, op(qz7::Op::AudioDelay, {0x0B}));
    EXPECT_EQ(ask(r, sense(qz7::Sense::AudioDelay), 6)[4], 0x0B);

    // Audio input, channels and converter come back in status byte 23; quality in byte 22.
    run(r, op(qz7::Op::AudioInput, {0x00}));
    run(r, op(qz7::Op::AudioChannels, {0x06}));
    run(r, op(qz7::Op::SampleRateConverter, {0x01}));
    run(r, op(qz7::Op::CompressionQuality, {0x03}));
    run(r, op(qz7::Op::Genlock, {0x01, 0x00, 0x00}));
    const Bytes st = status(r);
    EXPECT_EQ(st[23], 0x26);
    EXPECT_EQ(st[22], 0x03);
    EXPECT_EQ(st[20], 0x04);  // EXT reference

    // Preroll: default 06, then the preset packet 44 31 00 15 00 00.
    EXPECT_EQ(ask(r, Bytes{0x60, 0x31, 0x91}, 7), (Bytes{0x74, 0x31, 0x00, 0x00, 0x00, 0x06, 0xAB}));
    Bytes preset{0x44, 0x31, 0x00, 0x15, 0x00, 0x00};
    preset.push_back(qz7::checksum(preset));
    run(r, preset);
    EXPECT_EQ(ask(r, Bytes{0x60, 0x31, 0x91}, 7), (Bytes{0x74, 0x31, 0x00, 0x00, 0x00, 0x15, 0xBA}));
}

TEST(RecorderTransport, TimecodeFollowsTheTransport) {
    Recorder r;
    run(r, Bytes{0x3E, 0x00, 0x34, 0x01, 0x73});  // PLAY
    EXPECT_EQ(status(r)[5], 0x01);
    r.advance(1000);
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x01, 0x00, 0x00}));  // 30 frames
    for (int i = 0; i < 10; ++i) r.advance(10);               // 100 ms in small steps: 3 frames
    EXPECT_EQ(timecode(r), (Bytes{0x03, 0x01, 0x00, 0x00}));

    run(r, Bytes{0x3E, 0x01, 0x34, 0x00, 0x00, 0x73});  // STOP
    EXPECT_EQ(status(r)[5], 0x20);
    r.advance(5000);
    EXPECT_EQ(timecode(r), (Bytes{0x03, 0x01, 0x00, 0x00}));

    run(r, Bytes{0x3E, 0x01, 0x34, 0x13, 0x6D, 0xF3});  // FF x25
    EXPECT_EQ(status(r)[5], 0x04);
    r.advance(1000);  // 750 frames = 25 s
    EXPECT_EQ(timecode(r), (Bytes{0x03, 0x26, 0x00, 0x00}));

    run(r, op(qz7::Op::Rewind, {0x80}));  // x100 back, past zero
    EXPECT_EQ(status(r)[5], 0x08);
    r.advance(1000);  // 100 s back from 00:00:26:03
    EXPECT_EQ(timecode(r), (Bytes{0x03, 0x46, 0x58, 0x23}));

    run(r, op(qz7::Op::TimecodeSearch, {0x07, 0x56, 0x34, 0x12}));
    EXPECT_EQ(timecode(r), (Bytes{0x07, 0x56, 0x34, 0x12}));
    EXPECT_EQ(status(r)[5], 0x20);

    run(r, op(qz7::Op::SlowForward, {0x30}));  // x1/3
    const Bytes var = status(r);
    EXPECT_EQ(var[6], 0x08);
    for (int i = 0; i < 20; ++i) r.advance(50);  // 1 s: 10 frames
    EXPECT_EQ(timecode(r), (Bytes{0x17, 0x56, 0x34, 0x12}));
    run(r, op(qz7::Op::SlowReverse, {0x10}));  // x1/30: one frame a second
    r.advance(2000);
    EXPECT_EQ(timecode(r), (Bytes{0x15, 0x56, 0x34, 0x12}));

    run(r, op(qz7::Op::JogReverse));
    EXPECT_EQ(status(r)[6], 0x10);
    r.advance(100);
    EXPECT_EQ(timecode(r), (Bytes{0x12, 0x56, 0x34, 0x12}));

    // Wrap at 24 h while recording; the time code preset carries hours first.
    run(r, op(qz7::Op::TimecodePreset, {0x23, 0x59, 0x59, 0x29}));
    run(r, op(qz7::Op::Record));
    r.advance(34);
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x00, 0x00, 0x00}));

    // Unknown speed bytes and bad BCD positions are ignored.
    run(r, op(qz7::Op::FastForward, {0x42}));
    run(r, op(qz7::Op::TimecodeSearch, {0x30, 0x00, 0x00, 0x00}));
    run(r, op(qz7::Op::TimecodeSearch, {0x0A, 0x00, 0x00, 0x00}));
    EXPECT_EQ(r.state().transport, qz7sim::Transport::Record);
    EXPECT_EQ(timecode(r), (Bytes{0x00, 0x00, 0x00, 0x00}));

    run(r, op(qz7::Op::MonitorPB));
    EXPECT_FALSE(r.state().monitorEE);
    run(r, op(qz7::Op::MonitorEE));
    EXPECT_TRUE(r.state().monitorEE);
}

TEST(RecorderRobustness, MalformedDatagramsChangeNothing) {
    Recorder r(demoConfig(5, 5, 5, 3));
    run(r, op(qz7::Op::Play));
    const qz7sim::State before = r.state();

    std::vector<Bytes> bad{
        {},
        {0x3E},
        {0x3E, 0x3E},
        Bytes(8192, 0x00),  // sums to its last byte, but is no frame
        [] {                // 8192 bytes with a lead and a valid sum
            Bytes b(8192, 0x34);
            b[0] = 0x3E;
            b[1] = 0x00;
            b.back() = qz7::checksum(std::span(b).first(b.size() - 1));
            return b;
        }(),
        {0x3E, 0x00, 0x34, 0x00, 0x73},              // STOP with a sum off by one
        {0x3E, 0x00, 0x34, 0x02, 0x75},              // REC with a sum off by one
        {0x3E, 0x05, 0x34, 0x00, 0x77},              // N says 5, nothing follows
        {0x3E, 0x00, 0x34, 0x00, 0x00, 0x72},       // N says 0, one byte follows
        {0x3D, 0x00, 0x34, 0x00, 0x71},              // wrong lead
        frame(0x35, 0x00),                           // unknown group
        op(0xEE),                                    // unknown code
        cueWrite(512, {1, 2, 3, 4}, "X", 1),         // cue past the table
        cueWrite(0xFFFF, {1, 2, 3, 4}, "X", 1),
        op(qz7::Op::CueWrite, Bytes(38, 0x01)),       // one byte short
        op(qz7::Op::ClipWrite, [] {
            Bytes d(43, 0x01);
            d[0] = 0x00, d[1] = 0x02;  // clip 512
            return d;
        }()),
        op(qz7::Op::ClipWrite, Bytes(44, 0x01)),
        op(qz7::Op::FileNameWrite, [] {
            Bytes d(34, 0x41);
            d[0] = 0x06, d[1] = 0x00;  // file 6 of 5
            return d;
        }()),
        op(qz7::Op::FileNameWrite, [] {
            Bytes d(34, 0x41);
            d[0] = 0x00, d[1] = 0x00;  // file 0
            return d;
        }()),
        op(qz7::Op::InhibitWrite, {0x00, 0x00, 0x01}),
        op(qz7::Op::InhibitWrite, {0x06, 0x00, 0x01}),
        op(qz7::Op::InhibitWrite, {0x01, 0x00}),
        op(qz7::Op::OpenFile, {0x09, 0x00, 0x00}),
        op(qz7::Op::OpenClip, {0x00, 0x02, 0x00}),
        op(qz7::Op::OpenClip, {0x09, 0x00, 0x00}),      // no such clip
        op(qz7::Op::GoToCue, {0x00, 0x02, 0x01}),
        op(qz7::Op::GoToCue, {0x09, 0x00, 0x01}),       // empty slot
        op(qz7::Op::OpenSequence, {0x10}),
        op(qz7::Op::OpenSequence, {0x0F}),             // empty sequence
        op(qz7::Op::DeleteSequence, {0x07, 0x10, 0x00, 0x00, 0x00}),
        op(qz7::Op::DeleteSequence, {0x06, 0x00, 0x00, 0x00, 0x00}),
        seqTransfer(0x00, 16, 0, {1, 2, 3, 4, 5}),
        seqTransfer(0x01, 0, 26, {1, 2, 3, 4, 5}),
        seqTransfer(0x03, 0, 0, {1, 2, 3, 4, 5}),
        op(qz7::Op::SequenceTransfer, Bytes(12, 0)),
        op(qz7::Op::TimecodeSearch, {0x00, 0x60, 0x00, 0x00}),
        op(qz7::Op::TimecodeSearch, {0x00, 0x00, 0x00, 0x24}),
        op(qz7::Op::SlowForward, {0x6D}),              // a wind speed is no slow speed
        op(qz7::Op::FastForward, {}),
        op(qz7::Op::CompressionQuality, {}),
        op(qz7::Op::Character, Bytes(15, 0)),
        frame(qz7::Group::System, qz7::Sys::EraseDisks),  // erase without its byte
        {0x44, 0x31, 0x00, 0x15, 0x00, 0x8A},               // preroll preset one byte short
        {0x44, 0x31, 0x00, 0x15, 0x00, 0x00, 0x8B},         // preroll preset, bad sum
        prerollPreset(0x0F),                                // seconds not BCD
        op(qz7::Op::GoToCue, {0x00, 0x00, 0x02}),           // neither Cue nor Srh
        op(qz7::Op::ClearCues, {0x00}),                     // the clears and the erase take N = 0
        op(qz7::Op::ClearClips, {0x00, 0x00}),
        op(qz7::Op::ClearSequences, {0x00}),
        op(qz7::Op::EraseLastFile, {0x05}),
    };
    // Requests out of range draw no reply either.
    std::vector<Bytes> unanswered{
        sense(qz7::Sense::CueEntry, {0x00, 0x02}),
        sense(qz7::Sense::CueEntry, {0x00}),
        sense(qz7::Sense::ClipEntry, {0xFF, 0xFF}),
        sense(qz7::Sense::FileName, {0x00, 0x00}),
        sense(qz7::Sense::FileName, {0x06, 0x00}),
        sense(qz7::Sense::Inhibit, {0x00, 0x01}),
        sense(qz7::Sense::SequenceHeader, {0x10}),
        sense(qz7::Sense::SequenceHeader, {}),
        sense(qz7::Sense::SequenceBlock, {0x00, 26}),
        sense(qz7::Sense::SequenceBlock, {0x10, 0}),
        sense(0x99),
        {0x60, 0x31, 0x92},
        {0x60, 0x31, 0x00, 0x91},
    };
    for (const auto& d : bad) EXPECT_TRUE(r.handle(d).empty()) << d.size();
    for (const auto& d : unanswered) EXPECT_TRUE(r.handle(d).empty()) << d.size();
    EXPECT_TRUE(r.state() == before);

    // Random noise, framed or not: never a crash, and the tables stay in shape.
    std::mt19937 rng(7);
    for (int i = 0; i < 20000; ++i) {
        Bytes d(static_cast<std::size_t>(rng() % 70));
        for (auto& b : d) b = static_cast<std::uint8_t>(rng());
        if (d.size() >= 5 && i % 2 == 0) {  // half of them well framed, so they reach the handlers
            d[0] = qz7::kLead;
            d[1] = static_cast<std::uint8_t>(d.size() - 5);
            d[2] = std::array<std::uint8_t, 3>{0x32, 0x34, 0x36}[rng() % 3];
            d.back() = qz7::checksum(std::span(d).first(d.size() - 1));
        }
        for (const auto& reply : r.handle(d)) ASSERT_LE(reply.size(), 64u);
        r.advance(static_cast<int>(rng() % 100));
    }
    const auto& s = r.state();
    EXPECT_LE(s.files.size(), 512u);
    EXPECT_GE(s.frame, 0);
    EXPECT_LT(s.frame, qz7sim::kDayFrames);
    for (const auto& seq : s.sequences) EXPECT_LE(seq.entries, 128);
}
