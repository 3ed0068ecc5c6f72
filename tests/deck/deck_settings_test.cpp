// The deck's settings, no window: reading and writing a page queue its packets
// under the page's operation, link on or off; the recorder's answers update
// what the deck knows of each page and say which fields they set; and what a
// simulated recorder stores reads back as it was written.
#include <gtest/gtest.h>

#include <QSignalSpy>

#include "deck/deck.h"
#include "deck/deck_settings.h"
#include "deck_fixture.h"
#include "wire_bytes.h"

namespace qz7 {
namespace {

using test::Bytes;

// Loopback only; the poll cycle never starts, so nothing is sent.
DevicePair loopback() {
    return DevicePair{QStringLiteral("127.0.0.61"), QStringLiteral("QA51200040"), QStringLiteral("127.0.0.62"),
                      QStringLiteral("QA51200041"), false};
}

struct Operated {
    Origin origin;
    std::string op;
    Outcome outcome;
};

// A deck that never ticks: what is queued stays on its stack, and replies are
// fed to its decoder by hand.
class DeckSettingsTest : public ::testing::Test {
protected:
    DeckSettingsTest() : deck(loopback()), settings(deck.settings()) {
        QObject::connect(&deck, &Deck::operated, &deck,
                         [this](const Origin& o, const QString& op, const Outcome& out) {
                             log.push_back({o, op.toStdString(), out});
                         });
    }

    void feed(const Bytes& datagram) {
        deck.linkForTesting().decoder().decode(datagram, Sender{"127.0.0.61", true}, true);
    }
    void answer(std::uint8_t code, const Bytes& data) { feed(test::reply(Group::Answer, code, data)); }
    void status(std::uint8_t audioByte) {
        Bytes s = test::blankReply(Group::Answer, Sense::Status, 31);
        s[23] = audioByte;
        test::fixSum(s);
        feed(s);
    }

    Deck deck;
    DeckSettings& settings;
    std::vector<Operated> log;
};

TEST_F(DeckSettingsTest, ReadsAndWritesQueueWithTheLinkOffUnderTheirOperation) {
    ASSERT_FALSE(deck.linkEnabled());
    const Origin key = Origin::key("F2");
    const std::pair<SettingsPage, const char*> pages[] = {
        {SettingsPage::Timecode, "settings/timecode/read"},   {SettingsPage::Genlock, "settings/genlock/read"},
        {SettingsPage::TestSignal, "settings/test-signal/read"}, {SettingsPage::Audio, "settings/audio/read"},
        {SettingsPage::Video, "settings/video/read"},         {SettingsPage::Character, "settings/character/read"},
        {SettingsPage::Control, "settings/control/read"}};
    int queued = 0;
    for (auto [page, op] : pages) {
        const Outcome o = settings.read(page, key);
        EXPECT_TRUE(o.queued()) << op;
        EXPECT_EQ(o.packets, readRequests(page)) << op;
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back().op, op);
        EXPECT_EQ(log.back().origin, key);
        queued += static_cast<int>(o.packets.size());
    }
    EXPECT_EQ(deck.commandsWaiting(), queued);

    const AudioSettings audio{1, 4, 0, 0};
    EXPECT_EQ(settings.write(audio, Origin::panel()).packets, audio.packets());
    EXPECT_EQ(log.back().op, "settings/audio/write");
    EXPECT_EQ(settings.write(CharacterSettings{}, Origin::recorder()).packets.size(), 1u);
    EXPECT_EQ(log.back().op, "settings/character/write");
    EXPECT_EQ(log.back().origin, Origin::recorder());
    const TimecodePreset twelve{0x12, 0x00, 0x00, 0x00};
    EXPECT_EQ(settings.preset(twelve, Origin::panel()).packets, std::vector<Packet>{twelve.packet()});
    EXPECT_EQ(log.back().op, "settings/timecode/preset");

    // What a control SET sends when its rate is no number: the playback mode alone.
    const Outcome playback = settings.writePlaybackMode(2, Origin::panel());
    ASSERT_EQ(playback.packets.size(), 1u);
    EXPECT_EQ(playback.packets[0].wire(), (Bytes{0x3E, 0x01, 0x34, 0x71, 0x02, 0xE6}));
    EXPECT_EQ(log.back().op, "settings/control/playback-mode");
}

TEST_F(DeckSettingsTest, AFullStackRefusesTheWholePageAndArmsNoAudioReadback) {
    while (deck.commandsWaiting() < CommandStack::kCapacity - 3)
        ASSERT_TRUE(deck.submit(Origin::panel(), "fill", {cmd::play()}, false).queued());
    const Outcome o = settings.write(AudioSettings{}, Origin::panel());
    EXPECT_FALSE(o.queued());
    EXPECT_TRUE(o.stackFull);
    EXPECT_EQ(deck.commandsWaiting(), CommandStack::kCapacity - 3) << "none of the four packets";

    ASSERT_TRUE(settings.read(SettingsPage::Audio, Origin::panel()).queued());
    while (deck.commandsWaiting() < CommandStack::kCapacity)
        ASSERT_TRUE(deck.submit(Origin::panel(), "fill", {cmd::play()}, false).queued());
    feed(test::blankReply(Group::Answer, Sense::Status, 31));  // takes the pending read-back
    EXPECT_FALSE(settings.read(SettingsPage::Audio, Origin::panel()).queued());
    EXPECT_FALSE(settings.audioReadbackPending()) << "no request went, so no status reply is the page's";
}

TEST_F(DeckSettingsTest, AnswersUpdateThePageAndSayWhichFieldsTheySet) {
    QSignalSpy timecode(&settings, &DeckSettings::timecodeReported);
    QSignalSpy video(&settings, &DeckSettings::videoReported);
    QSignalSpy control(&settings, &DeckSettings::controlReported);
    QSignalSpy audio(&settings, &DeckSettings::audioReported);
    QSignalSpy character(&settings, &DeckSettings::characterReported);

    answer(Sense::TimecodeSettings, {0x0F});
    ASSERT_EQ(timecode.count(), 1);
    EXPECT_EQ(timecode[0][1].toUInt(), TimecodeSettings::All);
    EXPECT_EQ(settings.timecode().value, (TimecodeSettings{3, 1, 1}));

    // Video and control come in parts; each part leaves the rest as reported.
    answer(Sense::CompressionQuality, {0x03});
    answer(Sense::Anc, {0x01});
    ASSERT_EQ(video.count(), 2);
    EXPECT_EQ(video[1][1].toUInt(), VideoSettings::Anc);
    EXPECT_EQ(settings.video().value, (VideoSettings{3, 1}));
    EXPECT_EQ(settings.video().fields, VideoSettings::All);

    answer(Sense::PlaybackMode, {0x01});
    feed(test::withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x95}));  // the unframed preroll answer
    ASSERT_EQ(control.count(), 2);
    EXPECT_EQ(control[0][1].toUInt(), ControlSettings::PlaybackMode);
    EXPECT_EQ(control[1][1].toUInt(), ControlSettings::Preroll);
    EXPECT_EQ(settings.control().value.playbackMode, 1);
    EXPECT_EQ(settings.control().value.preroll, 0x15);
    EXPECT_EQ(settings.control().fields, ControlSettings::PlaybackMode | ControlSettings::Preroll);

    // Values an answer may not set announce nothing.
    answer(Sense::AudioDelay, {0x0C});
    feed(test::withSum({0x74, 0x31, 0x00, 0x00, 0x00, 0x2A}));
    EXPECT_EQ(audio.count(), 0);
    EXPECT_EQ(control.count(), 2);
    EXPECT_EQ(settings.audio().fields, 0u);

    Bytes data(16, 0);
    data[0] = 0xFB;
    data[2] = 0x03;
    answer(Sense::Character, data);
    ASSERT_EQ(character.count(), 1);
    EXPECT_EQ(settings.character().value.horizontal, -5);
    EXPECT_EQ(settings.character().value.audioLevel, 2);
    EXPECT_TRUE(log.empty()) << "answers queue nothing";
}

TEST_F(DeckSettingsTest, TheAudioBitsOfOneStatusReplyAfterEachAudioRead) {
    QSignalSpy audio(&settings, &DeckSettings::audioReported);
    status(0x36);
    EXPECT_EQ(audio.count(), 0) << "not asked for";

    settings.read(SettingsPage::Audio, Origin::panel());
    EXPECT_TRUE(settings.audioReadbackPending());
    answer(Sense::AudioDelay, {0x0B});
    status(0x36);
    status(0x00);
    ASSERT_EQ(audio.count(), 2) << "the delay, then one status reply";
    EXPECT_EQ(audio[1][1].toUInt(), AudioSettings::Input | AudioSettings::Channels | AudioSettings::Converter);
    EXPECT_EQ(settings.audio().value, (AudioSettings{1, 3, 1, 11}));
    EXPECT_FALSE(settings.audioReadbackPending());

    settings.read(SettingsPage::Audio, Origin::panel());
    status(0x05);  // an odd channel count: the other bits still apply
    ASSERT_EQ(audio.count(), 3);
    EXPECT_EQ(audio[2][1].toUInt(), AudioSettings::Input | AudioSettings::Converter);
    EXPECT_EQ(settings.audio().value, (AudioSettings{0, 3, 0, 11}));
}


// Every page written to a simulated recorder, then read back: each value
// comes back as it went, through the recorder's own store.
class DeckSettingsSim : public test::DeckTest {};

TEST_F(DeckSettingsSim, EveryPageReadsBackAsItWasWritten) {
    startDeck(71);
    ASSERT_TRUE(applyAndWait());
    DeckSettings& s = deck->settings();
    const TimecodeSettings timecode{2, 1, 1};
    const GenlockSettings genlock{1, 1, 1};
    const TestSignalSettings testSignal{2, 1};
    const AudioSettings audio{0, 2, 1, 7};
    const VideoSettings video{3, 1};
    const ControlSettings control{3, 250, 2, 0x15, 0};
    CharacterSettings character;
    character.horizontal = 6;
    character.vertical = 4;
    character.audioLevel = 3;
    character.diskMode = character.reference = character.fileCount = character.standard = true;
    character.size = 1;
    for (const Outcome& o : {s.write(timecode, Origin::panel()), s.write(genlock, Origin::panel()),
                             s.write(testSignal, Origin::panel()), s.write(audio, Origin::panel()),
                             s.write(video, Origin::panel()), s.write(control, Origin::panel()),
                             s.write(character, Origin::panel())})
        ASSERT_TRUE(o.queued());
    ASSERT_TRUE(drain());

    for (SettingsPage page : {SettingsPage::Timecode, SettingsPage::Genlock, SettingsPage::TestSignal,
                              SettingsPage::Audio, SettingsPage::Video, SettingsPage::Character,
                              SettingsPage::Control})
        ASSERT_TRUE(s.read(page, Origin::panel()).queued());
    ASSERT_TRUE(drain());
    ASSERT_TRUE(waitFor([&] { return s.audio().fields == AudioSettings::All; })) << "the status reply's audio bits";

    EXPECT_EQ(s.timecode().value, timecode);
    EXPECT_EQ(s.genlock().value, genlock);
    EXPECT_EQ(s.testSignal().value, testSignal);
    EXPECT_EQ(s.audio().value, audio);
    EXPECT_EQ(s.video().value, video);
    EXPECT_EQ(s.control().value, control);
    EXPECT_EQ(s.control().fields, ControlSettings::All);
    EXPECT_EQ(s.character().value, character);
}

}  // namespace
}  // namespace qz7
