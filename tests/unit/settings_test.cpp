// The settings pages' values against their bytes: what SET sends (checksum
// included) and what each answer sets, down to the masks and the values an
// answer may not set. The expected bytes were worked out by hand.
#include <gtest/gtest.h>

#include "link/settings.h"
#include "wire_bytes.h"

namespace qz7 {
namespace {

using test::Bytes;
using test::reply;

std::vector<Bytes> wire(const std::vector<Packet>& packets) {
    std::vector<Bytes> out;
    for (const Packet& p : packets) out.push_back(p.wire());
    return out;
}

// An answer 0x37 <code> with its data bytes, as the recorder sends it.
Bytes answer(std::uint8_t code, const Bytes& data) { return reply(Group::Answer, code, data); }

TEST(Settings, ReadRequestsOfEachPageInQueueOrder) {
    using P = SettingsPage;
    EXPECT_EQ(wire(readRequests(P::Timecode)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x72, 0xE6}}));
    EXPECT_EQ(wire(readRequests(P::Genlock)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x65, 0xD9}}));
    EXPECT_EQ(wire(readRequests(P::TestSignal)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x76, 0xEA}}));
    EXPECT_EQ(wire(readRequests(P::Audio)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x77, 0xEB}}));
    EXPECT_EQ(wire(readRequests(P::Video)),
              (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x64, 0xD8}, {0x3E, 0x00, 0x36, 0x79, 0xED}}));
    EXPECT_EQ(wire(readRequests(P::Character)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x78, 0xEC}}));
    EXPECT_EQ(wire(readRequests(P::Control)), (std::vector<Bytes>{{0x3E, 0x00, 0x36, 0x70, 0xE4},
                                                                 {0x3E, 0x00, 0x36, 0x71, 0xE5},
                                                                 {0x60, 0x31, 0x91},
                                                                 {0x3E, 0x00, 0x36, 0x8B, 0xFF}}));
    EXPECT_STREQ(pageName(P::TestSignal), "test-signal");
}

TEST(Settings, TimecodeByteAndPreset) {
    EXPECT_EQ(wire(TimecodeSettings{4, 0, 0}.packets()), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x72, 0x10, 0xF5}}));
    EXPECT_EQ(wire(TimecodeSettings{3, 1, 1}.packets()), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x72, 0x0F, 0xF4}}));
    EXPECT_EQ((TimecodeSettings{0, 0, 0}.settingsByte()), 0x00);
    EXPECT_EQ((TimecodeSettings{2, 1, 0}.settingsByte()), 0x09);

    TimecodeSettings t;
    EXPECT_EQ(t.read(0x72, answer(0x72, {0x0F})), TimecodeSettings::All);
    EXPECT_EQ(t, (TimecodeSettings{3, 1, 1}));
    t.read(0x72, answer(0x72, {0x1C}));  // source 7: the last item, "Internal FREE"
    EXPECT_EQ(t, (TimecodeSettings{4, 0, 0}));
    t.read(0x72, answer(0x72, {0xE2}));  // bits 5-7 are not read
    EXPECT_EQ(t, (TimecodeSettings{0, 0, 1}));
    EXPECT_EQ(t.read(0x65, answer(0x65, {0x0F, 0x00, 0x00})), 0u) << "another page's answer";
    EXPECT_EQ(t.read(0x72, Bytes{0x3E, 0x00, 0x37, 0x72, 0xE7}), 0u) << "no data byte";
    EXPECT_EQ(t, (TimecodeSettings{0, 0, 1}));

    // Hours first, as the fields show them.
    EXPECT_EQ((TimecodePreset{0x01, 0x02, 0x03, 0x04}.packet().wire()),
              (Bytes{0x3E, 0x04, 0x34, 0x73, 0x01, 0x02, 0x03, 0x04, 0xF3}));
    EXPECT_EQ((TimecodePreset{0x12, 0x34, 0x56, 0x07}.packet().wire()),
              (Bytes{0x3E, 0x04, 0x34, 0x73, 0x12, 0x34, 0x56, 0x07, 0x8C}));
    EXPECT_EQ(TimecodePreset{}.packet().wire(), (Bytes{0x3E, 0x04, 0x34, 0x73, 0x00, 0x00, 0x00, 0x00, 0xE9}));
}

TEST(Settings, GenlockAndTestSignal) {
    EXPECT_EQ(wire(GenlockSettings{3, 1, 1}.packets()),
              (std::vector<Bytes>{{0x3E, 0x03, 0x34, 0x65, 0x03, 0x01, 0x01, 0xDF}}));
    GenlockSettings g;
    EXPECT_EQ(g.read(0x65, answer(0x65, {0x07, 0x01, 0x03})), GenlockSettings::All);
    EXPECT_EQ(g, (GenlockSettings{3, 1, 1})) << "masked to two bits; 3 is past a two-item group";
    EXPECT_EQ(g.read(0x65, answer(0x65, {0x00, 0x00})), 0u) << "short answer";
    EXPECT_EQ(g, (GenlockSettings{3, 1, 1}));

    EXPECT_EQ(wire(TestSignalSettings{1, 1}.packets()), (std::vector<Bytes>{{0x3E, 0x02, 0x34, 0x76, 0x01, 0x01, 0xEC}}));
    EXPECT_EQ(wire(TestSignalSettings{3, 0}.packets()), (std::vector<Bytes>{{0x3E, 0x02, 0x34, 0x76, 0x03, 0x00, 0xED}}));
    TestSignalSettings s;
    EXPECT_EQ(s.read(0x76, answer(0x76, {0x06, 0x01})), TestSignalSettings::All);
    EXPECT_EQ(s, (TestSignalSettings{3, 1})) << "video 6 shows as \"Black\"";
    s.read(0x76, answer(0x76, {0x09, 0x02}));
    EXPECT_EQ(s, (TestSignalSettings{1, 1}));
}

TEST(Settings, AudioSendsFourPacketsAndReadsDelayAndStatusBitsApart) {
    EXPECT_EQ(wire(AudioSettings{1, 4, 0, 0}.packets()), (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x66, 0x01, 0xDA},
                                                                            {0x3E, 0x01, 0x34, 0x67, 0x08, 0xE2},
                                                                            {0x3E, 0x01, 0x34, 0x77, 0x00, 0xEA},
                                                                            {0x3E, 0x01, 0x34, 0x68, 0x00, 0xDB}}));
    const std::pair<int, std::uint8_t> counts[] = {{0, 0x00}, {1, 0x02}, {2, 0x04}, {3, 0x06}, {4, 0x08}};
    for (auto [item, count] : counts) EXPECT_EQ((AudioSettings{0, item, 0, 0}.packets()[1].bytes[4]), count) << item;
    const auto eleven = AudioSettings{0, 0, 1, 11}.packets();
    EXPECT_EQ(eleven[2].bytes[4], 0x0B);
    EXPECT_EQ(eleven[3].bytes[4], 0x01);

    AudioSettings a{0, 0, 0, 3};
    EXPECT_EQ(a.read(0x77, answer(0x77, {0x0B})), AudioSettings::Delay);
    EXPECT_EQ(a.delay, 11);
    EXPECT_EQ(a.read(0x77, answer(0x77, {0x0C})), 0u);
    EXPECT_EQ(a.read(0x77, answer(0x77, {0xFF})), 0u);
    EXPECT_EQ(a.delay, 11);

    // Status byte 23: channel nibble 6, AES/EBU, converter on.
    EXPECT_EQ(a.readStatus(0x36), AudioSettings::Channels | AudioSettings::Input | AudioSettings::Converter);
    EXPECT_EQ(a, (AudioSettings{1, 3, 1, 11}));
    EXPECT_EQ(a.readStatus(0x05), AudioSettings::Input | AudioSettings::Converter) << "odd count";
    EXPECT_EQ(a, (AudioSettings{0, 3, 0, 11}));
    EXPECT_EQ(a.readStatus(0x1A), AudioSettings::Input | AudioSettings::Converter) << "ten channels";
    EXPECT_EQ(a.readStatus(0x08), AudioSettings::Input | AudioSettings::Converter | AudioSettings::Channels);
    EXPECT_EQ(a, (AudioSettings{0, 4, 0, 11}));
}

TEST(Settings, VideoQualityAndAncAreSeparateAnswers) {
    EXPECT_EQ(wire(VideoSettings{3, 1}.packets()),
              (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x64, 0x03, 0xDA}, {0x3E, 0x01, 0x34, 0x79, 0x01, 0xED}}));
    VideoSettings v{2, 0};
    EXPECT_EQ(v.read(0x79, answer(0x79, {0x03})), VideoSettings::Anc);
    EXPECT_EQ(v, (VideoSettings{2, 1}));
    EXPECT_EQ(v.read(0x64, answer(0x64, {0x0B})), VideoSettings::Quality);
    EXPECT_EQ(v.quality, 3);
    v.read(0x64, answer(0x64, {0x05}));
    EXPECT_EQ(v, (VideoSettings{0, 1})) << "above Lossless reads as High quality";
}

TEST(Settings, ControlModesRatePrerollAndStill) {
    EXPECT_EQ(wire(ControlSettings{0, 30, 0, 0x06, 1}.packets()),
              (std::vector<Bytes>{{0x3E, 0x01, 0x34, 0x71, 0x00, 0xE4},
                                  {0x3E, 0x03, 0x34, 0x70, 0x00, 0x1E, 0x00, 0x03},
                                  {0x44, 0x31, 0x00, 0x06, 0x00, 0x00, 0x7B},
                                  {0x3E, 0x01, 0x34, 0x8B, 0x01, 0xFF}}));
    const auto intermittent = ControlSettings{3, 300, 2, 0x15, 0}.packets();
    EXPECT_EQ(Bytes(intermittent[1].bytes.begin() + 4, intermittent[1].bytes.begin() + 7), (Bytes{0x04, 0x2C, 0x01}));
    EXPECT_EQ(intermittent[0].bytes[4], 0x02);
    EXPECT_EQ(intermittent[2].bytes[3], 0x15);
    EXPECT_EQ((ControlSettings{1, 999, 0, 0, 0}.packets()[1].wire()),
              (Bytes{0x3E, 0x03, 0x34, 0x70, 0x01, 0xE7, 0x03, 0xD0}));
    EXPECT_EQ((ControlSettings{2, 0, 0, 0, 0}.recordModeBits()), 0x02);

    ControlSettings c;
    EXPECT_EQ(c.read(0x70, answer(0x70, {0x06, 0xC8, 0x00})), ControlSettings::RecordMode | ControlSettings::Rate);
    EXPECT_EQ(c.recordMode, 2) << "bit 1 wins over bit 2";
    EXPECT_EQ(c.rate, 200u);
    c.read(0x70, answer(0x70, {0x05, 0xE8, 0x03}));
    EXPECT_EQ(c.recordMode, 1);
    EXPECT_EQ(c.rate, 1000u) << "the field's limit is the page's business";
    c.read(0x70, answer(0x70, {0x04, 0x1E, 0x00}));
    EXPECT_EQ(c.recordMode, 3);
    c.read(0x70, answer(0x70, {0xF8, 0x1E, 0x00}));
    EXPECT_EQ(c.recordMode, 0);

    EXPECT_EQ(c.read(0x71, answer(0x71, {0x03})), ControlSettings::PlaybackMode);
    EXPECT_EQ(c.playbackMode, 2);
    EXPECT_EQ(c.read(0x8B, answer(0x8B, {0x06})), ControlSettings::StillMode);
    EXPECT_EQ(c.stillMode, 1);
    EXPECT_EQ(c.read(0x72, answer(0x72, {0x00})), 0u);

    EXPECT_EQ(c.readPreroll(0x95), ControlSettings::Preroll);
    EXPECT_EQ(c.preroll, 0x15) << "top bit is a flag";
    EXPECT_EQ(c.readPreroll(0x2A), 0u) << "not two decimal digits";
    EXPECT_EQ(c.preroll, 0x15);
}

TEST(Settings, CharacterBytesBothWays) {
    CharacterSettings page;  // the page at start, "Quality" off
    page.audioLevel = 1;
    page.diskMode = page.remainTime = page.reference = page.fileCount = true;
    page.standard = page.operationMode = page.timeCode = true;
    page.insertion = 1;
    EXPECT_EQ(page.packet().wire(), (Bytes{0x3E, 0x10, 0x34, 0x78, 0x00, 0x00, 0x01, 0x02, 0x00, 0x10, 0x0E,
                                           0x0F, 0x0D, 0x00, 0x0A, 0x0C, 0x09, 0x11, 0x02, 0x00, 0x69}));

    CharacterSettings other;
    other.horizontal = -5;
    other.vertical = 300;  // low byte only
    other.audioLevel = 3;
    other.diskMode = other.reference = other.fileCount = other.standard = other.operationMode = true;
    other.size = 1;
    const std::array<std::uint8_t, 16> bytes{0xFB, 0x2C, 0x05, 0x06, 0x00, 0x10, 0x00, 0x0F,
                                             0x0D, 0x00, 0x0A, 0x0C, 0x00, 0x11, 0x00, 0x01};
    EXPECT_EQ(other.data(), bytes);

    // An answer: signed positions, level from the pair's first byte, any
    // nonzero item byte shown, insertion on when nonzero, size from bit 0.
    CharacterSettings back = CharacterSettings::fromAnswer(bytes);
    EXPECT_EQ(back.horizontal, -5);
    EXPECT_EQ(back.vertical, 44);
    other.vertical = 44;
    EXPECT_EQ(back, other);
    const std::pair<std::uint8_t, int> levels[] = {{0x00, 0}, {0x01, 1}, {0x03, 2}, {0x05, 3}, {0x07, 4}, {0x02, 4}};
    for (auto [byte, level] : levels) {
        std::array<std::uint8_t, 16> a{};
        a[2] = byte;
        EXPECT_EQ(CharacterSettings::fromAnswer(a).audioLevel, level) << int{byte};
    }
    std::array<std::uint8_t, 16> odd{};
    odd[0] = 0x50;
    odd[9] = 0x01;
    odd[14] = 0x07;
    odd[15] = 0x02;
    const CharacterSettings o = CharacterSettings::fromAnswer(odd);
    EXPECT_EQ(o.horizontal, 80);
    EXPECT_TRUE(o.quality);
    EXPECT_FALSE(o.diskMode);
    EXPECT_EQ(o.insertion, 1);
    EXPECT_EQ(o.size, 0);
}

}  // namespace
}  // namespace qz7
