// Golden bytes of every command the panel sends, as they leave the socket
// (checksum included). The expected bytes were worked out by hand from the
// protocol tables, not produced by the builders.
#include <gtest/gtest.h>

#include "link/commands.h"

namespace qz7 {
namespace {

using Bytes = std::vector<std::uint8_t>;
using cmd::Direction;

TEST(Commands, TransportMonitorAndSystemPackets) {
    EXPECT_EQ(cmd::play().wire(), (Bytes{0x3E, 0x00, 0x34, 0x01, 0x73}));
    EXPECT_EQ(cmd::record().wire(), (Bytes{0x3E, 0x00, 0x34, 0x02, 0x74}));
    EXPECT_EQ(cmd::stop(true).wire(), (Bytes{0x3E, 0x01, 0x34, 0x00, 0x02, 0x75}));
    EXPECT_EQ(cmd::stop(false).wire(), (Bytes{0x3E, 0x01, 0x34, 0x00, 0x00, 0x73}));
    EXPECT_EQ(cmd::wind(Direction::Forward, 2).wire(), (Bytes{0x3E, 0x01, 0x34, 0x13, 0x6D, 0xF3}));
    // An item past the box's last is its last ("x 5").
    EXPECT_EQ(cmd::wind(Direction::Reverse, 9).wire(), (Bytes{0x3E, 0x01, 0x34, 0x23, 0x56, 0xEC}));
    EXPECT_EQ(cmd::slow(Direction::Reverse, 8).wire(), (Bytes{0x3E, 0x01, 0x34, 0x22, 0x10, 0xA5}));
    EXPECT_THROW(cmd::slow(Direction::Forward, 9), std::out_of_range);
    EXPECT_EQ(cmd::jog(Direction::Forward).wire(), (Bytes{0x3E, 0x00, 0x34, 0x14, 0x86}));
    EXPECT_EQ(cmd::jog(Direction::Reverse).wire(), (Bytes{0x3E, 0x00, 0x34, 0x24, 0x96}));
    EXPECT_EQ(cmd::monitorEE().wire(), (Bytes{0x3E, 0x00, 0x34, 0x41, 0xB3}));
    EXPECT_EQ(cmd::monitorPB().wire(), (Bytes{0x3E, 0x00, 0x34, 0x40, 0xB2}));
    EXPECT_EQ(cmd::errorReset().wire(), (Bytes{0x3E, 0x00, 0x34, 0x89, 0xFB}));
    EXPECT_EQ(cmd::linkStart().wire(), (Bytes{0x3E, 0x00, 0x32, 0x01, 0x71}));
    EXPECT_EQ(cmd::eraseDisks(1).wire(), (Bytes{0x3E, 0x01, 0x32, 0x00, 0x01, 0x72}));
    EXPECT_EQ(cmd::errorTextRequest().wire(), (Bytes{0x3E, 0x01, 0x36, 0x83, 0x00, 0xF8}));
}

TEST(Commands, RequestsAndTheUnframedPrerollPackets) {
    EXPECT_EQ(cmd::entryRequest(0x82, 300).wire(), (Bytes{0x3E, 0x02, 0x36, 0x82, 0x2C, 0x01, 0x25}));
    EXPECT_EQ(cmd::sequenceHeaderRequest(15).wire(), (Bytes{0x3E, 0x01, 0x36, 0x85, 0x0F, 0x09}));
    EXPECT_EQ(cmd::sequenceBlockRequest(3, 25).wire(), (Bytes{0x3E, 0x02, 0x36, 0x86, 0x03, 0x19, 0x18}));
    EXPECT_EQ(cmd::prerollRequest().wire(), (Bytes{0x60, 0x31, 0x91}));
    EXPECT_EQ(cmd::prerollPreset(0x12).wire(), (Bytes{0x44, 0x31, 0x00, 0x12, 0x00, 0x00, 0x87}));
    EXPECT_EQ(cmd::recordMode(0x01, 300).wire(), (Bytes{0x3E, 0x03, 0x34, 0x70, 0x01, 0x2C, 0x01, 0x13}));
}

TEST(Commands, ListCommands) {
    EXPECT_EQ(cmd::openFile(7).wire(), (Bytes{0x3E, 0x03, 0x34, 0x50, 0x07, 0x00, 0x00, 0xCC}));
    EXPECT_EQ(cmd::eraseLastFile().wire(), (Bytes{0x3E, 0x00, 0x34, 0x51, 0xC3}));
    EXPECT_EQ(cmd::inhibitWrite(9, 1).wire(), (Bytes{0x3E, 0x03, 0x34, 0x8C, 0x09, 0x00, 0x01, 0x0B}));
    EXPECT_EQ(cmd::openClip(261).wire(), (Bytes{0x3E, 0x03, 0x34, 0x52, 0x05, 0x01, 0x00, 0xCD}));
    EXPECT_EQ(cmd::goToCue(2, 0x01).wire(), (Bytes{0x3E, 0x03, 0x34, 0x53, 0x02, 0x00, 0x01, 0xCB}));
    EXPECT_EQ(cmd::timecodeSearch({0x10, 0x20, 0x30, 0x01}).wire(),
              (Bytes{0x3E, 0x04, 0x34, 0x31, 0x10, 0x20, 0x30, 0x01, 0x08}));
    EXPECT_EQ(cmd::openSequence(12).wire(), (Bytes{0x3E, 0x01, 0x34, 0x54, 0x0C, 0xD3}));
    EXPECT_EQ(cmd::deleteSequence(3).wire(), (Bytes{0x3E, 0x05, 0x34, 0x85, 0x07, 0x03, 0x00, 0x00, 0x00, 0x06}));
    EXPECT_EQ(cmd::clearCues().wire(), (Bytes{0x3E, 0x00, 0x34, 0x83, 0xF5}));
    EXPECT_EQ(cmd::clearClips().wire(), (Bytes{0x3E, 0x00, 0x34, 0x84, 0xF6}));
    EXPECT_EQ(cmd::clearSequences().wire(), (Bytes{0x3E, 0x00, 0x34, 0x86, 0xF8}));
}

// Names fill a 32-byte field, zero-padded, cut at 32; a write is 4 + N + sum.
TEST(Commands, NameFieldsAndEntryWrites) {
    const std::string longName(40, 'x');
    const auto field = nameField(longName);
    EXPECT_EQ(std::string(field.begin(), field.end()), std::string(32, 'x'));

    const Bytes clip = cmd::clipWrite(3, {0x01, 0x02, 0x03, 0x04}, {0x05, 0x06, 0x07, 0x08}, "AB", 0x01).wire();
    ASSERT_EQ(clip.size(), 4u + 43u + 1u);
    EXPECT_EQ(Bytes(clip.begin(), clip.begin() + 16),
              (Bytes{0x3E, 43, 0x34, 0x81, 0x03, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 'A', 'B'}));
    EXPECT_EQ(clip[16], 0x00);
    EXPECT_EQ(clip[46], 0x01);

    const Bytes cue = cmd::cueWrite(513, {0x11, 0x22, 0x33, 0x44}, "Q", 0x00).wire();
    ASSERT_EQ(cue.size(), 4u + 39u + 1u);
    EXPECT_EQ(Bytes(cue.begin(), cue.begin() + 11), (Bytes{0x3E, 39, 0x34, 0x80, 0x01, 0x02, 0x11, 0x22, 0x33, 0x44, 'Q'}));
    EXPECT_EQ(cue[42], 0x00);

    const Bytes name = cmd::fileNameWrite(12, "Z").wire();
    ASSERT_EQ(name.size(), 4u + 34u + 1u);
    EXPECT_EQ(Bytes(name.begin(), name.begin() + 7), (Bytes{0x3E, 34, 0x34, 0x82, 0x0C, 0x00, 'Z'}));
}

// A sequence goes out end marker first in the queue (it arrives last), then
// blocks from the last down to 1, then block 0; steps past the given ones are empty.
TEST(Commands, SequenceTransferOrderAndEmptySteps) {
    EXPECT_TRUE(cmd::sequenceTransfer(1, 0, 3, nullptr, 0).empty());
    const std::int16_t steps[7] = {1, 2, 3, 4, 5, 6, 7};
    const auto packets = cmd::sequenceTransfer(5, 7, 2, steps, 7);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(packets[0].wire(), (Bytes{0x3E, 13, 0x34, 0x8A, 0x02, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        static_cast<std::uint8_t>(0x3E + 13 + 0x34 + 0x8A + 0x02 + 0x05)}));
    const Bytes block1 = packets[1].wire();
    EXPECT_EQ(Bytes(block1.begin(), block1.end() - 1),
              (Bytes{0x3E, 13, 0x34, 0x8A, 0x01, 0x05, 0x01, 6, 0, 7, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    const Bytes block0 = packets[2].wire();
    EXPECT_EQ(Bytes(block0.begin(), block0.end() - 1),
              (Bytes{0x3E, 13, 0x34, 0x8A, 0x00, 0x05, 0x00, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0}));
    // Never more than 26 blocks, whatever the count says.
    EXPECT_EQ(cmd::sequenceTransfer(0, 1, 200, steps, 7).size(), 1u + 26u);
}

}  // namespace
}  // namespace qz7
