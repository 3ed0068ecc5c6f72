// Done means the recorder did it: each operation is reported sent, then
// confirmed or not by the recorder's own transport word; a silent recorder
// refuses what nobody could check; a recording that ends by itself is an alarm.
#include <QSignalSpy>

#include "deck/deck_view.h"
#include "deck_fixture.h"
#include "net/link_monitor.h"
#include "wait_for.h"

namespace qz7::test {
namespace {

class OutcomeTest : public DeckTest {
protected:
    void follow() {
        QObject::connect(deck.get(), &Deck::outcomeReported, [this](const OutcomeReport& r) { reports.push_back(r); });
    }
    // The final report of operation id, once it came.
    const OutcomeReport* final(std::uint64_t id) const {
        for (const OutcomeReport& r : reports)
            if (r.id == id && r.final) return &r;
        return nullptr;
    }
    bool waitFinal(std::uint64_t id) {
        return waitFor([&] { return final(id) != nullptr; });
    }
    std::vector<OutcomeReport> reports;
};

TEST_F(OutcomeTest, PlayIsSentThenConfirmedAndARefusedRecIsNotConfirmed) {
    qz7sim::Config config;
    config.refuseRecord = true;
    startDeck(65, config);
    ASSERT_TRUE(applyAndWait());
    follow();

    const Outcome play = deck->play(Origin::panel());
    ASSERT_NE(play.id, 0u);
    ASSERT_TRUE(waitFinal(play.id));
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[0].id, play.id);
    EXPECT_EQ(reports[0].stage, OutcomeReport::Stage::Sent);
    EXPECT_FALSE(reports[0].final);
    const OutcomeReport& played = *final(play.id);
    EXPECT_STREQ(played.word(), "confirmed");
    EXPECT_EQ(played.transport, "PLAY");
    EXPECT_LT(played.ms, Deck::kConfirmLimitMs);

    const Outcome rec = deck->record(Origin::web("127.0.0.9"));
    ASSERT_TRUE(waitFinal(rec.id));
    const OutcomeReport& refused = *final(rec.id);
    EXPECT_STREQ(refused.word(), "not confirmed");
    EXPECT_EQ(refused.transport, "PLAY");
    EXPECT_EQ(refused.expected, "REC");
    EXPECT_GE(refused.ms, Deck::kConfirmMs);
    EXPECT_EQ(refused.origin, Origin::web("127.0.0.9"));

    // What the word cannot show is final once sent; a STOP in the same turn
    // takes a waiting PLAY off the stack.
    const Outcome ee = deck->monitorEE(Origin::panel());
    const Outcome again = deck->play(Origin::panel());
    const Outcome stop = deck->stop(false, Origin::key("F5"));
    ASSERT_TRUE(waitFinal(stop.id) && waitFinal(ee.id));
    EXPECT_STREQ(final(again.id)->word(), "superseded");
    EXPECT_EQ(final(again.id)->note, "superseded by stop from key F5");
    EXPECT_STREQ(final(ee.id)->word(), "superseded") << "ee moves the monitor: a STOP takes it too";
    EXPECT_STREQ(final(stop.id)->word(), "confirmed");
}

TEST_F(OutcomeTest, ASilentRecorderRefusesMotionButStopIsStillTried) {
    startDeck(66);
    ASSERT_TRUE(applyAndWait());
    follow();
    sim(0).stall(4000);
    ASSERT_TRUE(waitFor([&] { return deck->monitor().state() == LinkMonitor::State::NoReply; }));

    const std::string silent = "no reply from " + host(1).toStdString() + " for ";
    for (const Outcome& o : {deck->play(Origin::panel()), deck->record(Origin::osc("127.0.0.1:9000")),
                             deck->wind(Direction::Forward, 2, Origin::web("127.0.0.8")),
                             deck->goTo("00:00:01:00", Origin::panel())}) {
        EXPECT_EQ(o.refusal.rfind(silent, 0), 0u) << o.refusal;
        EXPECT_FALSE(o.stackFull);
    }
    const Outcome stop = deck->stop(false, Origin::panel());
    ASSERT_TRUE(stop.queued());
    ASSERT_TRUE(waitFinal(stop.id));
    EXPECT_STREQ(final(stop.id)->word(), "not confirmed");
    EXPECT_EQ(final(stop.id)->note.rfind(silent, 0), 0u) << final(stop.id)->note;
}

TEST_F(OutcomeTest, LosingTheLinkWhileRecordingIsAnAlarm) {
    startDeck(67);
    ASSERT_TRUE(applyAndWait());
    ASSERT_TRUE(deck->record(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return deck->status().rec; }) && drain());
    sim(0).stall(3000);
    ASSERT_TRUE(waitFor([&] { return !deck->alarm().empty(); }));
    EXPECT_EQ(deck->alarm(), "link lost while recording: no reply from " + host(1).toStdString());
}

}  // namespace
}  // namespace qz7::test
