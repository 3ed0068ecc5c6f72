// "Retrieve" finishes or says what is missing: after its burst has gone out
// and a grace second passed, the requests nobody answered are asked again,
// at most twice; what still has no answer is named.
#include <QSignalSpy>

#include "deck_fixture.h"
#include "net/link_monitor.h"
#include "wire_bytes.h"

namespace qz7::test {
namespace {

class RetrieveTest : public DeckTest {
protected:
    // A deck whose poll cycle is stopped: the test sends and answers by hand.
    // Each test its own subnet, so they may run side by side.
    void begin(int subnet) {
        startDeck(subnet, {}, false);
        ASSERT_TRUE(applyAndWait());
        deck->shutdown();
        deck->setClockForTesting([this] { return now; });
    }
    // As the poll cycle: every queued request goes out (LIFO), then the tick ends.
    std::vector<Packet> sendAll() {
        std::vector<Packet> sent;
        CommandStack& stack = deck->linkForTesting().commandStack();
        while (!stack.empty()) {
            sent.push_back(stack.top());
            stack.pop();
        }
        tick();
        return sent;
    }
    void tick() { emit deck->linkForTesting().pollDriver().tickFinished(); }
    void answer(const Bytes& datagram) {
        deck->linkForTesting().decoder().decode(datagram, Sender{host(1).toStdString(), true}, true);
    }
    // An answer to each request except those `skip` says no to.
    void answerAll(const std::vector<Packet>& requests, const std::function<bool(std::uint8_t, int)>& skip) {
        for (const Packet& p : requests) {
            const std::uint8_t code = p.bytes[3];
            const int index = code == Sense::SequenceHeader ? p.bytes[4] : p.bytes[4] | (p.bytes[5] << 8);
            if (skip(code, index)) continue;
            Bytes d;
            switch (code) {
            case Sense::CueEntry: d = blankReply(Group::Answer, code, 44); break;
            case Sense::ClipEntry: d = blankReply(Group::Answer, code, 48); break;
            case Sense::FileName: d = blankReply(Group::Answer, code, 39); break;
            case Sense::Inhibit: d = blankReply(Group::Answer, code, 8); break;
            default: d = blankReply(Group::Answer, code, 8); break;
            }
            d[4] = p.bytes[4];
            if (code != Sense::SequenceHeader) d[5] = p.bytes[5];
            fixSum(d);
            answer(d);
        }
    }
    qint64 now = 0;
};

TEST_F(RetrieveTest, UnansweredRequestsAreAskedAgainTwiceThenNamed) {
    begin(60);
    deck->mediaForTesting().applySystem(8);
    ASSERT_TRUE(deck->retrieve(Origin::panel()).queued());
    const auto burst = sendAll();
    ASSERT_EQ(burst.size(), 216u + 16u);
    // Clip 5 never answers; file 7 loses its inhibit flag once, file 3 its name for good.
    int inhibit7 = 0;
    answerAll(burst, [&](std::uint8_t code, int i) {
        return (code == Sense::ClipEntry && i == 5) || (code == Sense::Inhibit && i == 7 && inhibit7++ == 0) ||
               (code == Sense::FileName && i == 3) || (code == Sense::SequenceHeader && i == 2);
    });
    tick();
    EXPECT_TRUE(deck->retrieveProgress().running);
    EXPECT_EQ(deck->commandsWaiting(), 0) << "nothing is asked again before the grace second";
    now += Deck::kRetrieveGraceMs;
    tick();
    ASSERT_EQ(deck->retrieveProgress().pass, 1);
    const auto again = sendAll();
    // The same bytes as the burst had for them, in the burst's order.
    EXPECT_EQ(again, (std::vector<Packet>{cmd::sequenceHeaderRequest(2), cmd::entryRequest(Sense::Inhibit, 7),
                                          cmd::entryRequest(Sense::FileName, 3), cmd::entryRequest(Sense::ClipEntry, 5)}));
    answerAll(again, [](std::uint8_t code, int i) {
        return (code == Sense::ClipEntry && i == 5) || (code == Sense::FileName && i == 3) ||
               code == Sense::SequenceHeader;
    });
    now += Deck::kRetrieveGraceMs;
    tick();
    ASSERT_EQ(deck->retrieveProgress().pass, 2);
    EXPECT_EQ(sendAll().size(), 3u);
    EXPECT_FALSE(deck->retrieveAvailable());
    now += Deck::kRetrieveGraceMs;
    tick();

    const RetrieveProgressState& p = deck->retrieveProgress();
    EXPECT_FALSE(p.running);
    EXPECT_TRUE(p.incomplete);
    EXPECT_EQ(p.missing, 3);
    EXPECT_EQ(p.missingText, "files 3; clips 5; sequences 2");
    EXPECT_TRUE(deck->retrieveAvailable());
    EXPECT_EQ(deck->commandsWaiting(), 0) << "no third pass";

    // Until the next Apply.
    deck->apply(0, Origin::panel());
    EXPECT_FALSE(deck->retrieveProgress().incomplete);
}

TEST_F(RetrieveTest, ABurstAnsweredInFullEndsWithoutAskingAgain) {
    begin(62);
    deck->mediaForTesting().applySystem(2);
    QSignalSpy progress(deck.get(), &Deck::retrieveProgressChanged);
    ASSERT_TRUE(deck->retrieve(Origin::panel()).queued());
    answerAll(sendAll(), [](std::uint8_t, int) { return false; });
    tick();
    EXPECT_FALSE(deck->retrieveProgress().running);
    EXPECT_FALSE(deck->retrieveProgress().incomplete);
    EXPECT_EQ(deck->commandsWaiting(), 0);
    EXPECT_TRUE(deck->retrieveAvailable());
    EXPECT_GE(progress.count(), 2);
}

// Against a simulated pair that loses 30 % of the requests: every list is
// filled, or what is missing is named, and everything not named is right.
TEST_F(DeckTest, RetrieveUnderLossFillsTheListsOrNamesWhatIsMissing) {
    qz7sim::Config config;
    config.files = 20;
    config.clips = 30;
    config.cues = 30;
    config.sequences = 4;
    startDeck(61, config, false, 30);
    deck->apply(0, Origin::panel());
    ASSERT_TRUE(waitFor([this] { return deck->monitor().state() == LinkMonitor::State::Ok; }));
    ASSERT_TRUE(drain());
    // The link start or its answer may be lost too; the count is what matters here.
    if (deck->media().recordedFileCount() != 20) deck->mediaForTesting().applySystem(20);
    ASSERT_TRUE(deck->retrieve(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([this] { return !deck->retrieveProgress().running; }, 20000));
    const RetrieveProgressState& p = deck->retrieveProgress();
    const std::string named = p.missingText;
    const auto isNamed = [&named](const char* what, int n) {
        const std::size_t at = named.find(what);
        if (at == std::string::npos) return false;
        const std::string part = named.substr(at, named.find(';', at) - at) + ",";
        return part.find(" " + std::to_string(n) + ",") != std::string::npos;
    };
    const qz7sim::State& truth = recorder().state();
    const MediaModel& m = deck->media();
    for (int k = 0; k < 100; ++k) {
        if (!isNamed("clips", k)) {
            const std::string shown = m.clip(k).name == " " ? std::string() : m.clip(k).name;
            EXPECT_EQ(shown, truth.clips[k].used ? truth.clips[k].name : "") << "clip " << k;
        }
        if (!isNamed("cues", k)) {
            EXPECT_EQ(m.cue(k).used != 0, truth.cues[k].used) << "cue " << k;
        }
    }
    for (int n = 1; n <= 20; ++n)
        if (!isNamed("files", n)) {
            EXPECT_EQ(m.file(n - 1).name, truth.files[n - 1].name) << "file " << n;
        }
    for (int s = 0; s < 16; ++s)
        if (!isNamed("sequences", s)) {
            EXPECT_EQ(m.sequenceListed(s), truth.sequences[s].entries != 0) << "sequence " << s;
        }
    EXPECT_EQ(p.incomplete, p.missing > 0);
    RecordProperty("missing", p.missing);
}

}  // namespace
}  // namespace qz7::test
