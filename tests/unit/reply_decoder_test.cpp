// Reply validation and decoding: what reaches the sink, and what never does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/protocol.h"
#include "link/reply_decoder.h"
#include "recording_sink.h"

namespace qz7 {
namespace {

using Bytes = std::vector<std::uint8_t>;

using test::RecordingSink;

Bytes withSum(Bytes b) {
    b.push_back(checksum(b));
    return b;
}
// A zero-filled reply of `length` bytes with the given data from byte 4 on.
Bytes frame(std::uint8_t group, std::uint8_t code, std::size_t length, const Bytes& data = {}) {
    Bytes d(length - 1, 0);
    d[0] = kLead;
    d[1] = static_cast<std::uint8_t>(length - 5);
    d[2] = group;
    d[3] = code;
    for (std::size_t i = 0; i < data.size() && 4 + i < d.size(); ++i) d[4 + i] = data[i];
    return withSum(d);
}

struct DecoderTest : ::testing::Test {
    RecordingSink sink;
    ReplyDecoder decoder{sink};
    const Sender selected{"127.0.0.1", true};
    bool decode(const Bytes& d, const Sender& from, bool link = true) { return decoder.decode(d, from, link); }
    bool decode(const Bytes& d) { return decode(d, selected); }
};

TEST_F(DecoderTest, DiscoveryWorksFromAnyoneWithTheLinkOff) {
    EXPECT_TRUE(decode(Bytes{0x00, 0x00, 0x00, 0xF7}, Sender{"10.1.2.3", false}, false));
    EXPECT_TRUE(decode(Bytes{0x00, 0x00, 0x00, 0xF7, 0x55}, Sender{"127.0.0.9", false}, true));
    EXPECT_FALSE(decode(Bytes{0x00, 0x00, 0xF7}, Sender{"127.0.0.9", false}, true));
    EXPECT_EQ(sink.calls, (std::vector<std::string>{"discovery 10.1.2.3", "discovery 127.0.0.9"}));
}

TEST_F(DecoderTest, EveryMalformedClassIsDroppedBeforeTheSink) {
    Bytes status = frame(Group::Answer, Sense::Status, 31);
    Bytes badSum = status;
    badSum.back() ^= 0x01;
    Bytes badLead = status;
    badLead[0] = 0x3F;
    badLead.back() = checksum(std::span(badLead.data(), badLead.size() - 1));
    const Bytes shortStatus = frame(Group::Answer, Sense::Status, 30);
    const Bytes unknown = frame(Group::Answer, 0x99, 31);
    const Bytes wrongGroup = frame(0x35, Sense::Status, 31);
    const Bytes timecodeN3 = withSum({kLead, 0x03, Group::Answer, Sense::TimecodeReply, 1, 2, 3, 4});
    const Bytes cue512 = frame(Group::Answer, Sense::CueEntry, 44, {0x00, 0x02});
    const Bytes clip600 = frame(Group::Answer, Sense::ClipEntry, 48, {0x58, 0x02});
    const Bytes file0 = frame(Group::Answer, Sense::FileName, 39, {0x00, 0x00});
    const Bytes file513 = frame(Group::Answer, Sense::Inhibit, 8, {0x01, 0x02});
    const Bytes seq16 = frame(Group::Answer, Sense::SequenceHeader, 8, {16});
    const Bytes block26 = frame(Group::Answer, Sense::SequenceBlock, 17, {0, 26});
    const Bytes preroll6 = withSum({0x74, 0x31, 0, 0, 0x12});
    for (const Bytes& d : {badSum, badLead, shortStatus, unknown, wrongGroup, timecodeN3, cue512, clip600, file0,
                           file513, seq16, block26, preroll6, Bytes{}, Bytes{0x3E}, Bytes(8192, 0x3E)})
        EXPECT_FALSE(decode(d)) << d.size();
    // A valid reply from anyone but the selected recorder, or with the link off.
    EXPECT_FALSE(decode(status, Sender{"127.0.0.2", false}));
    EXPECT_FALSE(decode(status, selected, false));
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_TRUE(decode(status));
}

TEST_F(DecoderTest, EveryReplyKindIsTakenFromItsMinimumLengthAndNotOneByteShorter) {
    // Written out here rather than read from the decoder, so a wrong row shows.
    struct Kind {
        std::uint8_t group, code;
        std::size_t length;
    };
    const Kind kinds[] = {
        {Group::Answer, Sense::TimecodeReply, 9}, {Group::Answer, Sense::Status, 31},
        {Group::SystemAnswer, Sys::LinkStart, 26}, {Group::Answer, Sense::CueEntry, 44},
        {Group::Answer, Sense::ClipEntry, 48},     {Group::Answer, Sense::Inhibit, 8},
        {Group::Answer, Sense::FileName, 39},      {Group::Answer, Sense::SequenceHeader, 8},
        {Group::Answer, Sense::SequenceBlock, 17}, {Group::Answer, Sense::ErrorText, 28},
        {Group::Answer, Sense::Character, 21},     {Group::Answer, Sense::Genlock, 8},
        {Group::Answer, Sense::RecordMode, 8},     {Group::Answer, Sense::TestSignal, 7},
        {Group::Answer, Sense::CompressionQuality, 6}, {Group::Answer, Sense::PlaybackMode, 6},
        {Group::Answer, Sense::TimecodeSettings, 6},   {Group::Answer, Sense::AudioDelay, 6},
        {Group::Answer, Sense::Anc, 6},                {Group::Answer, Sense::StillMode, 6},
    };
    for (const Kind& k : kinds) {
        EXPECT_EQ(ReplyDecoder::minimumLength(k.group, k.code), k.length) << int{k.code};
        // Entry and file number 1, sequence 1: inside every table.
        EXPECT_TRUE(decode(frame(k.group, k.code, k.length, {1}))) << int{k.code};
        EXPECT_FALSE(decode(frame(k.group, k.code, k.length - 1, {1}))) << int{k.code};
    }
    EXPECT_EQ(sink.calls.size(), std::size(kinds));
    // Codes the panel never asks for, and the right codes in the wrong group.
    EXPECT_EQ(ReplyDecoder::minimumLength(Group::Answer, Sense::Timecode), 0u);
    EXPECT_EQ(ReplyDecoder::minimumLength(Group::Answer, Sys::LinkStart), 0u);
    EXPECT_EQ(ReplyDecoder::minimumLength(Group::SystemAnswer, Sense::Status), 0u);
    EXPECT_EQ(ReplyDecoder::minimumLength(Group::Operate, Sense::Status), 0u);
}

TEST_F(DecoderTest, StatusAndTimecodeFieldsComeFromTheirPositions) {
    Bytes d = frame(Group::Answer, Sense::Status, 31);
    d[5] = 0x03;
    d[6] = 0x10;
    d[20] = 0x0C;
    d[21] = 0x13;
    d[22] = 0x23;
    d[23] = 0x40;
    d[25] = 0x90;
    d[26] = 0x81;
    d[27] = 0x2C;
    d[28] = 0x01;
    d[29] = 0x83;
    d.back() = checksum(std::span(d.data(), d.size() - 1));
    ASSERT_TRUE(decode(d));
    EXPECT_EQ(sink.status.transport, 0x03);
    EXPECT_EQ(sink.status.motion, 0x10);
    EXPECT_EQ(sink.status.reference, 0x0C);
    EXPECT_EQ(sink.status.standard, 0x13);
    EXPECT_EQ(sink.status.quality, 0x23);
    EXPECT_EQ(sink.status.audio, 0x40);
    EXPECT_EQ(sink.status.file, 0x8190);
    EXPECT_EQ(sink.status.clip, 300);
    EXPECT_EQ(sink.status.sequence, 0x83);
    ASSERT_TRUE(decode(withSum({kLead, 0x04, Group::Answer, Sense::TimecodeReply, 0x24, 0x59, 0x58, 0x23})));
    EXPECT_EQ(sink.calls.back(), "timecode 35:88:89:36");  // raw bytes; the panel masks and shows them
}

TEST_F(DecoderTest, ListEntriesCarryIndexesNamesAndSignedSteps) {
    Bytes cue = frame(Group::Answer, Sense::CueEntry, 44, {0x2C, 0x01, 0x04, 0x03, 0x02, 0x01});
    for (int i = 10; i < 42; ++i) cue[static_cast<std::size_t>(i)] = 'A';  // 32 bytes, no zero
    cue[42] = 1;
    cue.back() = checksum(std::span(cue.data(), cue.size() - 1));
    ASSERT_TRUE(decode(cue));
    EXPECT_EQ(sink.calls.back(), "cue 300 used");
    EXPECT_EQ(sink.text, std::string(32, 'A'));
    EXPECT_EQ(sink.in, (PositionBytes{0x04, 0x03, 0x02, 0x01}));

    ASSERT_TRUE(decode(frame(Group::Answer, Sense::ClipEntry, 48, {0xC8, 0x00})));
    EXPECT_EQ(sink.calls.back(), "clip 200 empty");
    ASSERT_TRUE(decode(frame(Group::Answer, Sense::Inhibit, 8, {0x00, 0x02, 0x01})));
    EXPECT_EQ(sink.calls.back(), "inhibit 512=1");

    ASSERT_TRUE(decode(frame(Group::Answer, Sense::SequenceBlock, 17,
                             {3, 25, 0xFF, 0xFF, 0xC8, 0x00, 0x00, 0x80, 0x05, 0x00, 0xFF, 0x7F})));
    EXPECT_EQ(sink.calls.back(), "seqblock 3 25");
    EXPECT_EQ(sink.steps, (std::array<std::int16_t, 5>{-1, 200, -32768, 5, 32767}));

    Bytes err = frame(Group::Answer, Sense::ErrorText, 28);
    for (int i = 4; i < 27; ++i) err[static_cast<std::size_t>(i)] = 'E';
    err.back() = checksum(std::span(err.data(), err.size() - 1));
    ASSERT_TRUE(decode(err));
    EXPECT_EQ(sink.text, std::string(23, 'E'));
}

TEST_F(DecoderTest, SystemSettingsCharacterAndPrerollAnswers) {
    Bytes sys = frame(Group::SystemAnswer, Sys::LinkStart, 26, {0x03});
    sys[23] = 0x02;
    sys[24] = 0x01;
    sys.back() = checksum(std::span(sys.data(), sys.size() - 1));
    ASSERT_TRUE(decode(sys));
    EXPECT_EQ(sink.calls.back(), "system 1 258");

    // Each settings answer is read once, by its own page, into typed fields.
    ASSERT_TRUE(decode(frame(Group::Answer, Sense::RecordMode, 8, {0x04, 0x2C, 0x01})));
    EXPECT_EQ(sink.calls.back(), "settings control 3");
    EXPECT_EQ(sink.control.recordMode, 3);
    EXPECT_EQ(sink.control.rate, 300u);
    EXPECT_FALSE(decode(frame(Group::Answer, Sense::RecordMode, 7)));  // needs the rate bytes
    ASSERT_TRUE(decode(frame(Group::Answer, Sense::StillMode, 6, {1})));
    EXPECT_EQ(sink.calls.back(), "settings control 16");
    ASSERT_TRUE(decode(frame(Group::Answer, Sense::Anc, 6, {1})));
    EXPECT_EQ(sink.calls.back(), "settings video 2");
    // A value the page cannot show is refused like an index outside its table.
    EXPECT_FALSE(decode(frame(Group::Answer, Sense::AudioDelay, 6, {12})));

    Bytes ch(21, 0);
    ch[0] = kLead;
    ch[1] = 16;
    ch[2] = Group::Answer;
    ch[3] = Sense::Character;
    ch[4] = 0x50;
    ch[19] = 0x01;
    ch.back() = checksum(std::span(ch.data(), 20));
    ASSERT_TRUE(decode(ch));
    EXPECT_EQ(sink.calls.back(), "settings character 1");
    EXPECT_EQ(sink.character.horizontal, 0x50);
    EXPECT_EQ(sink.character.size, 1);

    ASSERT_TRUE(decode(withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x95})));
    EXPECT_EQ(sink.calls.back(), "settings control 8");
    EXPECT_EQ(sink.control.preroll, 0x15);  // the flag bit off
    EXPECT_FALSE(decode(withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x2A})));  // not two digits
}

}  // namespace
}  // namespace qz7
