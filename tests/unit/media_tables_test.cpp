// Initial values, line formats and the wire encodings shared by the list editors.
#include <gtest/gtest.h>

#include "media/media_tables.h"

namespace qz7 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(MediaTablesTest, StartWithTheInitialValues) {
    MediaTables m;
    m.cues[7].used = 1;
    m.sequences[3].steps[129] = 4;
    m.clipCount = 9;
    m.reset();
    for (int k = 0; k < kTableSize; ++k) {
        const auto i = static_cast<std::size_t>(k);
        ASSERT_EQ(m.cues[i].position, Timecode{});
        ASSERT_EQ(m.cues[i].name, " ");
        ASSERT_EQ(m.cues[i].used, 0);
        ASSERT_EQ(m.clips[i].in.text(), "00:00:00:00");
        ASSERT_EQ(m.clips[i].name, " ");
        ASSERT_EQ(m.files[i].name, " ");
        ASSERT_EQ(m.files[i].inhibit, 0);
    }
    for (const SequenceRecord& r : m.sequences) {
        ASSERT_EQ(r.entryCount, 0);
        for (auto s : r.steps) ASSERT_EQ(s, -1);
    }
    EXPECT_EQ(m.clipCount + m.cueCount + m.recordedFileCount, 0);
}

TEST(MediaTablesTest, LineFormats) {
    EXPECT_EQ(fileLine(7, FileEntry{"TAKE", 0}), "007   TAKE");
    EXPECT_EQ(fileLine(3, FileEntry{"X", 1}), "003 * X");
    EXPECT_EQ(recordedLine(12), "012  ");
    EXPECT_EQ(clipLine(3, "AB"), " 003  AB");
    CueEntry cue;
    cue.position = Timecode{"01", "02", "03", "04"};
    cue.name = "N";
    EXPECT_EQ(cueLine(cue), "01:02:03:04 N");
    EXPECT_EQ(sequenceLine(7), "007");
    EXPECT_EQ(Timecode::fromBytes({0x07, 0x59, 0xA3, 0x23}).text(), "23:a3:59:07");
}

TEST(MediaTablesTest, WriteCommandsCarryPositionBytesAndTheNameField) {
    ClipEntry clip;
    clip.in = Timecode{"00", "01", "02", "03"};
    clip.out = Timecode{"00", "01", "10", "00"};
    clip.name = "AB";
    const Packet p = clipWrite(12, clip, 0x01);
    Bytes expected{0x3E, 43, 0x34, 0x81, 0x0C, 0x00, 0x03, 0x02, 0x01, 0x00, 0x00, 0x10, 0x01, 0x00, 'A', 'B'};
    expected.resize(expected.size() + 30, 0x00);
    expected.push_back(0x01);
    EXPECT_EQ(Bytes(p.view().begin(), p.view().end()), expected);

    // The initial name " " goes out as 0x20 and 31 zero bytes; a 32-byte name fills the field.
    const auto blank = nameField(" ");
    EXPECT_EQ(blank[0], 0x20);
    EXPECT_EQ(std::count(blank.begin(), blank.end(), 0), 31);
    const auto full = nameField(std::string(40, 'Z'));
    EXPECT_EQ(std::count(full.begin(), full.end(), 'Z'), 32);

    const Packet c = cueWrite(4, CueEntry{}, 0x00);
    EXPECT_EQ(c.length, 4 + 39);
    EXPECT_EQ(c.bytes[4], 0x04);
    EXPECT_EQ(c.bytes[42], 0x00);
    EXPECT_EQ(fileNameWrite(1, "N").length, 4 + 34);
    EXPECT_EQ(inhibitWrite(1, 1).wire(), (Bytes{0x3E, 0x03, 0x34, 0x8C, 0x01, 0x00, 0x01, 0x03}));
}

}  // namespace
}  // namespace qz7
