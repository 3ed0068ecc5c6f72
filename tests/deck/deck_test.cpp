// The deck as every front end uses it: operations with their origin, checked
// the same way for every caller, answered by simulated recorders over UDP;
// the deck's state follows what the recorder reports. No widget anywhere.
#include <QSignalSpy>
#include <algorithm>

#include "deck_fixture.h"
#include "net/link_monitor.h"

namespace qz7::test {
namespace {

using qz7sim::Transport;

// What simulator i received, less the poll cycle's own status requests.
std::vector<std::string> commands(const std::vector<std::string>& received) {
    const std::string status = hex(Packet::raw({0x3E, 0x00, 0x36, 0x60}));
    const std::string timecode = hex(Packet::raw({0x3E, 0x01, 0x36, 0x62, 0x01}));
    std::vector<std::string> out;
    for (const std::string& r : received)
        if (r != status && r != timecode) out.push_back(r);
    return out;
}

std::vector<std::string> hexes(std::initializer_list<Packet> packets) {
    std::vector<std::string> out;
    for (const Packet& p : packets) out.push_back(hex(p));
    return out;
}

TEST_F(DeckTest, ApplyPicksTheLineAndBothRecordersGetEveryCommand) {
    startDeck(41);
    EXPECT_EQ(deck->play(Origin::osc("127.0.0.1:9000")).refusal, "link off");
    EXPECT_EQ(deck->commandsWaiting(), 0);

    ASSERT_TRUE(applyAndWait(1));
    EXPECT_EQ(deck->selectedHost(), host(2));
    EXPECT_EQ(deck->targetHosts(), (QStringList{host(2), host(1)}));
    ASSERT_TRUE(deck->play(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().transport == "PLAY"; }));
    EXPECT_EQ(recorder(0).state().transport, Transport::Play);
    EXPECT_EQ(recorder(1).state().transport, Transport::Play);
    for (std::size_t i : {0u, 1u})
        EXPECT_EQ(commands(received(i)), hexes({cmd::linkStart(), cmd::play()})) << "recorder " << i;
}

TEST_F(DeckTest, TransportOperationsSendThePanelsPacketsAndTheWordFollows) {
    startDeck(42);
    ASSERT_TRUE(applyAndWait());
    forgetReceived();
    QSignalSpy words(deck.get(), &Deck::transportChanged);
    const Origin o = Origin::panel();
    ASSERT_TRUE(deck->wind(Direction::Forward, 0, o).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().transport == "F.FWD"; }));
    // An item past the speed table runs at the last speed, as the panel's box always did.
    EXPECT_EQ(deck->wind(Direction::Reverse, 7, o).packets, std::vector<Packet>{cmd::wind(Direction::Reverse, 4)});
    EXPECT_FALSE(deck->wind(Direction::Reverse, -1, o).queued());
    EXPECT_FALSE(deck->slow(Direction::Forward, 9, o).queued());
    ASSERT_TRUE(drain());
    ASSERT_TRUE(deck->slow(Direction::Reverse, 8, o).queued());
    ASSERT_TRUE(drain());
    ASSERT_TRUE(deck->jog(Direction::Forward, o).queued());
    ASSERT_TRUE(drain());
    ASSERT_TRUE(deck->monitorPB(o).queued());
    ASSERT_TRUE(drain());
    ASSERT_TRUE(deck->stop(true, o).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().transport == "STOP"; }));
    ASSERT_TRUE(drain());
    EXPECT_EQ(commands(received(0)),
              hexes({cmd::wind(Direction::Forward, 0), cmd::wind(Direction::Reverse, 4), cmd::slow(Direction::Reverse, 8),
                     cmd::jog(Direction::Forward), cmd::monitorPB(), cmd::stop(true)}));
    EXPECT_FALSE(recorder(0).state().monitorEE);
    EXPECT_GE(words.count(), 2);
    EXPECT_EQ(words.last().at(0).toString(), QStringLiteral("STOP"));
}

TEST_F(DeckTest, RecordCountsTheNewFileAtOnceAndTheRecorderSaysRec) {
    qz7sim::Config config;
    config.files = 3;
    startDeck(43, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(waitFor([this] { return deck->media().recordedFileCount() == 3; }));
    ASSERT_TRUE(deck->record(Origin::key("Shift+F9")).queued());
    EXPECT_EQ(deck->media().recordedFileCount(), 4) << "the new file shows before the recorder answers";
    ASSERT_TRUE(waitFor([this] { return deck->status().rec; }));
    EXPECT_EQ(deck->status().transport, "REC");
    EXPECT_EQ(recorder(0).fileCount(), 4);
}

TEST_F(DeckTest, RetrieveFillsEveryTableFromTheRecorder) {
    qz7sim::Config config;
    config.files = 5;
    config.clips = 4;
    config.cues = 3;
    config.sequences = 2;
    startDeck(44, config);
    ASSERT_TRUE(applyAndWait());
    EXPECT_EQ(deck->retrieve(Origin::panel()).refusal.empty(), true);
    EXPECT_EQ(deck->retrieveProgress().total, 2 * 100 + 2 * 5 + 16);
    EXPECT_FALSE(deck->retrieveAvailable());
    EXPECT_FALSE(deck->retrieve(Origin::panel()).queued()) << "a second press would double the burst";
    ASSERT_TRUE(waitFor([this] { return !deck->retrieveProgress().running; }, 15000));
    ASSERT_TRUE(drain());
    EXPECT_TRUE(deck->retrieveAvailable());
    const MediaModel& m = deck->media();
    EXPECT_EQ(m.clipCount(), 4);
    EXPECT_EQ(m.cueCount(), 3);
    EXPECT_EQ(m.file(0).name, recorder().state().files[0].name);
    EXPECT_EQ(m.file(2).inhibit, recorder().state().files[2].inhibited ? 1 : 0);
    EXPECT_EQ(m.clip(3).name, recorder().state().clips[3].name);
    EXPECT_TRUE(m.sequenceListed(0));
    EXPECT_TRUE(m.sequenceListed(1));
    EXPECT_FALSE(m.sequenceListed(2));
}

TEST_F(DeckTest, OpenIsCheckedAgainstWhatTheListsShow) {
    qz7sim::Config config;
    config.files = 3;
    config.clips = 2;
    config.sequences = 1;
    startDeck(45, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(retrieveAndWait());
    const Origin o = Origin::osc("127.0.0.1:51000");
    EXPECT_EQ(deck->openFile(0, o).refusal, "no file 0 (recorded files: 3)");
    EXPECT_EQ(deck->openFile(4, o).refusal, "no file 4 (recorded files: 3)");
    EXPECT_EQ(deck->openClip(2, o).refusal, "no clip 2");
    EXPECT_EQ(deck->openSequence(1, o).refusal, "no sequence 1");
    EXPECT_EQ(deck->openSequence(16, o).refusal, "no sequence 16");
    EXPECT_EQ(deck->commandsWaiting(), 0);

    ASSERT_TRUE(deck->openFile(3, o).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().number.number == "003"; }));
    ASSERT_TRUE(deck->openClip(1, o).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().number.caption == "CLIP No. :"; }));
    ASSERT_TRUE(deck->openSequence(0, o).queued());
    ASSERT_TRUE(waitFor([this] { return deck->status().number.caption == "SEQ No. :"; }));
    // DEL blanks the line: the table keeps the sequence, but nothing opens it.
    ASSERT_TRUE(deck->deleteSequence(0, Origin::panel()).queued());
    EXPECT_EQ(deck->media().sequence(0).entryCount, recorder().state().sequences[0].entries);
    EXPECT_EQ(deck->openSequence(0, o).refusal, "no sequence 0");
}

TEST_F(DeckTest, MarkTakesTheTimecodeTheRecorderLastReportedIntoTheFirstFreeSlot) {
    startDeck(46);
    recorder(0).setTimecode(1, 2, 3, 4);
    EXPECT_EQ(deck->markCue(Origin::panel()).refusal, "link off");
    EXPECT_EQ(deck->media().cue(0).used, 0) << "a refused mark takes no slot";
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(waitFor([this] { return deck->status().timecode.text() == "01:02:03:04"; }));
    const Outcome first = deck->markCue(Origin::panel());
    ASSERT_TRUE(first.queued());
    EXPECT_EQ(first.index, 0);
    EXPECT_EQ(deck->markCue(Origin::panel()).index, 1);
    ASSERT_TRUE(drain());
    EXPECT_TRUE(recorder(0).state().cues[0].used);
    EXPECT_EQ(recorder(0).state().cues[0].position, (qz7sim::Position{0x04, 0x03, 0x02, 0x01}));
    // A freed slot is filled again before higher ones.
    ASSERT_TRUE(deck->deleteCue(0, Origin::panel()).queued());
    EXPECT_EQ(deck->markCue(Origin::panel()).index, 0);
}

TEST_F(DeckTest, CueAndSearchReachOnlyTheCuesTheRecorderReported) {
    qz7sim::Config config;
    config.cues = 2;
    startDeck(47, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(retrieveAndWait());
    forgetReceived();
    EXPECT_EQ(deck->searchCue(2, false, Origin::panel()).refusal, "no cue 2");
    ASSERT_TRUE(deck->searchCue(1, true, Origin::panel()).queued());
    ASSERT_TRUE(deck->searchCue(0, false, Origin::panel()).queued());
    ASSERT_TRUE(drain());
    // Last in, first out.
    EXPECT_EQ(commands(received(0)), hexes({cmd::goToCue(0, 0x00), cmd::goToCue(1, 0x01)}));
}

TEST_F(DeckTest, GoToRefusesATimeThatDoesNotExistAtTheRecordersFrameRate) {
    qz7sim::Config config;
    config.standard = 0x01;  // 1080/50I: 25 frames a second
    startDeck(48, config);
    EXPECT_EQ(deck->goTo("00:00:01:00", Origin::osc("127.0.0.1:1")).refusal, "link off");
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(waitFor([this] { return deck->status().frameBase == 25; }));
    for (const char* bad : {"25:99:99:99", "00:60:00:00", "00:00:60:00", "24:00:00:00", "00:00:00:25"}) {
        const Outcome o = deck->goTo(bad, Origin::osc("127.0.0.1:1"));
        EXPECT_NE(o.refusal.find("no such time"), std::string::npos) << bad << ": " << o.refusal;
    }
    for (const char* bad : {"0:00:00:00", "00:00:00:0a", "00-00-00-00", ""})
        EXPECT_NE(deck->goTo(bad, Origin::osc("127.0.0.1:1")).refusal.find("not a timecode"), std::string::npos) << bad;
    EXPECT_EQ(deck->commandsWaiting(), 0);
    const Outcome ok = deck->goTo("23:59:59:24", Origin::osc("127.0.0.1:1"));
    ASSERT_TRUE(ok.queued());
    EXPECT_EQ(ok.packets, std::vector<Packet>{cmd::timecodeSearch({0x24, 0x59, 0x59, 0x23})});
    // The panel's typed field goes as typed: the recorder judges it.
    EXPECT_TRUE(deck->searchPosition(Timecode{"25", "99", "99", "99"}, Origin::panel()).queued());
}

TEST_F(DeckTest, TheErrorTextIsAskedOnceAndGoesWithTheFlag) {
    qz7sim::Config config;
    config.error = "FAN STOP";
    startDeck(49, config);
    QSignalSpy lines(deck.get(), &Deck::errorLineChanged);
    EXPECT_FALSE(deck->errorReset(Origin::panel()).queued()) << "no error reported yet";
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(waitFor([this] { return deck->status().errorText == "FAN STOP"; }));
    EXPECT_EQ(deck->status().errorLine, "ERR : FAN STOP");
    const qint64 until = deck->ticks() + 20;
    ASSERT_TRUE(waitFor([&] { return deck->ticks() >= until; }));
    const std::string request = hex(cmd::errorTextRequest());
    const std::vector<std::string> sent = received(0);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), request), 1);
    const auto fromRecorder = std::count_if(operations.begin(), operations.end(),
                                            [](const Operation& op) { return op.origin == Origin::recorder(); });
    EXPECT_EQ(fromRecorder, 1);

    ASSERT_TRUE(deck->errorReset(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return !deck->status().errorLatch; }));
    EXPECT_EQ(deck->status().errorText, "");
    EXPECT_EQ(deck->status().errorLine, " ");
    EXPECT_GE(lines.count(), 2);
}

TEST_F(DeckTest, ListEditsReachTheRecorderAndTheTables) {
    qz7sim::Config config;
    config.files = 2;
    startDeck(50, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(retrieveAndWait());
    const Origin o = Origin::panel();

    ClipEntry clip;
    clip.in = Timecode{"00", "01", "00", "00"};
    clip.out = Timecode{"00", "02", "00", "00"};
    clip.name = "OPENER";
    ASSERT_TRUE(deck->saveClip(5, clip, o).queued());
    EXPECT_EQ(deck->media().clipCount(), 6);
    ASSERT_TRUE(deck->editFile(2, "INTERVIEW", 1, o).queued());
    ASSERT_TRUE(deck->editFile(1, "B-ROLL", 0, o).queued());
    EXPECT_FALSE(deck->editFile(0, "X", 0, o).queued());
    ASSERT_TRUE(drain());
    EXPECT_EQ(recorder().state().clips[5].name, "OPENER");
    EXPECT_EQ(recorder().state().clips[5].in, (qz7sim::Position{0x00, 0x00, 0x01, 0x00}));
    EXPECT_EQ(recorder().state().files[1].name, "INTERVIEW");
    EXPECT_TRUE(recorder().state().files[1].inhibited);
    EXPECT_EQ(recorder().state().files[0].name, "B-ROLL");

    ASSERT_TRUE(deck->deleteClip(5, o).queued());
    ASSERT_TRUE(deck->eraseLastFile(o).queued());
    EXPECT_EQ(deck->media().recordedFileCount(), 1);
    ASSERT_TRUE(drain());
    EXPECT_FALSE(recorder().state().clips[5].used);
    EXPECT_EQ(recorder().fileCount(), 1);
    ASSERT_TRUE(deck->eraseLastFile(o).queued());
    EXPECT_EQ(deck->eraseLastFile(o).refusal, "no recorded file");
}

TEST_F(DeckTest, SequenceSaveSendsItsBlocksFirstBlockFirstAndListsIt) {
    qz7sim::Config config;
    config.clips = 8;
    startDeck(51, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(retrieveAndWait());
    SequenceRecord edited;
    for (int i = 0; i < 7; ++i) edited.steps[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(7 - i);
    edited.entryCount = 7;
    const Outcome o = deck->saveSequence(3, 3, edited, Origin::panel());
    ASSERT_TRUE(o.queued());
    EXPECT_EQ(o.packets.size(), 3u) << "end marker and two blocks";
    EXPECT_TRUE(deck->media().sequenceListed(3));
    ASSERT_TRUE(drain());
    EXPECT_EQ(recorder().state().sequences[3].entries, 7);
    EXPECT_EQ(recorder().state().sequences[3].steps[0], 7);
    EXPECT_EQ(recorder().state().sequences[3].steps[6], 1);
    // The steps come back when the sequence page asks for them.
    ASSERT_TRUE(deck->requestSequenceBlocks(Origin::panel()).queued());
    ASSERT_TRUE(drain());
    EXPECT_EQ(deck->media().sequence(3).steps[6], 1);
}

TEST_F(DeckTest, ClearAndEraseWipeTheTablesAndTheRecorder) {
    qz7sim::Config config;
    config.clips = 3;
    config.cues = 3;
    config.sequences = 1;
    startDeck(52, config);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(retrieveAndWait());
    ASSERT_TRUE(deck->clearCues(Origin::panel()).queued());
    ASSERT_TRUE(deck->clearClips(Origin::panel()).queued());
    ASSERT_TRUE(deck->clearSequences(Origin::panel()).queued());
    EXPECT_EQ(deck->media().cueCount(), 0);
    EXPECT_EQ(deck->media().clipCount(), 0);
    EXPECT_FALSE(deck->media().sequenceListed(0));
    ASSERT_TRUE(deck->eraseDisks(1, Origin::panel()).queued());
    ASSERT_TRUE(drain());
    EXPECT_FALSE(recorder().state().cues[0].used);
    EXPECT_FALSE(recorder().state().clips[0].used);
    EXPECT_EQ(recorder().state().sequences[0].entries, 0);
    EXPECT_EQ(recorder().state().raid, 1);
}

TEST_F(DeckTest, AFullStackRefusesAWholeOperationAndSaysSo) {
    startDeck(53);
    ASSERT_TRUE(applyAndWait());
    deck->shutdown();  // nothing leaves the stack from here on
    while (deck->commandsWaiting() < CommandStack::kCapacity - 2)
        deck->linkForTesting().queue(cmd::play());
    SequenceRecord edited;
    edited.steps[0] = 1;
    edited.entryCount = 1;
    ASSERT_TRUE(deck->saveSequence(0, 0, edited, Origin::panel()).queued()) << "two packets fit";
    EXPECT_EQ(deck->commandsWaiting(), CommandStack::kCapacity);
    const Outcome full = deck->play(Origin::osc("127.0.0.1:9"));
    EXPECT_TRUE(full.stackFull);
    EXPECT_NE(full.refusal.find("Command stack full"), std::string::npos);
    EXPECT_TRUE(full.packets.empty());
    deck->linkForTesting().commandStack().pop();
    deck->linkForTesting().commandStack().pop();
    const Outcome three = deck->saveSequence(1, 1, []{ SequenceRecord r; r.entryCount = 6; r.steps.fill(2); return r; }(), Origin::panel());
    EXPECT_TRUE(three.stackFull) << "three packets into two slots";
    EXPECT_EQ(deck->commandsWaiting(), CommandStack::kCapacity - 2) << "none of them went in";
}

TEST_F(DeckTest, EveryOperationReportsItsOriginAndOutcome) {
    startDeck(54);
    deck->play(Origin::osc("127.0.0.1:51000"));
    ASSERT_TRUE(applyAndWait());
    deck->play(Origin::key("F7"));
    deck->openFile(9, Origin::web("10.0.0.5"));
    ASSERT_GE(operations.size(), 4u);
    EXPECT_EQ(operations[0].origin.text(), "osc 127.0.0.1:51000");
    EXPECT_EQ(operations[0].op, "play");
    EXPECT_EQ(operations[0].outcome.refusal, "link off");
    EXPECT_EQ(operations[1].op, "apply");
    EXPECT_EQ(operations[1].origin.text(), "panel");
    EXPECT_EQ(operations[1].outcome.packets, std::vector<Packet>{cmd::linkStart()});
    const Operation& key = operations[operations.size() - 2];
    EXPECT_EQ(key.origin.text(), "key F7");
    EXPECT_EQ(key.outcome.packets, std::vector<Packet>{cmd::play()});
    EXPECT_EQ(operations.back().origin.text(), "web 10.0.0.5");
    EXPECT_EQ(operations.back().op, "file/open");
    EXPECT_FALSE(operations.back().outcome.queued());
}

TEST_F(DeckTest, AnUnreachablePartnerRaisesOneErrorNotOneATick) {
    qz7sim::Config config;
    startDeck(55, config, false);
    // The same pair, but its partner's name resolves to nothing.
    DevicePair devices = deck->devices();
    devices.single = false;
    devices.second = QStringLiteral("no-such-recorder.invalid");
    deck = std::make_unique<Deck>(devices, LinkTiming{std::chrono::milliseconds(4), std::chrono::milliseconds(8)});
    QSignalSpy raised(deck.get(), &Deck::errorRaised);
    deck->start();
    ASSERT_TRUE(applyAndWait());
    const qint64 until = deck->ticks() + 100;
    ASSERT_TRUE(waitFor([&] { return deck->ticks() >= until; }, 5000));
    ASSERT_EQ(raised.count(), 1) << "one problem, one error";
    EXPECT_EQ(raised.at(0).at(0).toString(), QStringLiteral("Host not found: no-such-recorder.invalid"));
    EXPECT_EQ(deck->monitor().state(), LinkMonitor::State::Ok) << "the selected recorder still answers";
}

TEST_F(DeckTest, ScanStopsTheLinkUntilTheNextApply) {
    startDeck(56);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(deck->scan(Origin::panel()).queued());
    EXPECT_FALSE(deck->linkEnabled());
    EXPECT_EQ(deck->play(Origin::panel()).refusal, "link off");
    EXPECT_TRUE(deck->discoveredDevices().isEmpty());
    ASSERT_TRUE(applyAndWait());
    EXPECT_TRUE(deck->play(Origin::panel()).queued());
}

}  // namespace
}  // namespace qz7::test
