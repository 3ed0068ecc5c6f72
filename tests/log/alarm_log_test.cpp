// Alarms and outcomes in the log: a recording that ends by itself is one
// alarm line until acknowledged (with its origin), and every final outcome
// names the line of its command.
#include <QJsonObject>
#include <QSignalSpy>

#include "deck/deck_view.h"
#include "deck_fixture.h"
#include "log/event_log.h"
#include "wait_for.h"

namespace qz7::test {
namespace {

TEST_F(DeckTest, ARecordingThatEndsByItselfRaisesOneAlarmUntilAcknowledged) {
    startDeck(68);
    ASSERT_TRUE(applyAndWait());
    EventLog log(LogOptions{false, {}, 0});
    log.attach(*deck);
    std::vector<QJsonObject> events;
    QObject::connect(&log, &EventLog::logged, [&](const QJsonObject& e) { events.push_back(e); });
    QSignalSpy alarms(deck.get(), &Deck::alarmRaised);

    // Ours: recorded and stopped from here, no alarm.
    ASSERT_TRUE(deck->record(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return deck->status().rec; }));
    ASSERT_TRUE(deck->stop(false, Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return deck->status().transport == "STOP"; }) && drain());
    EXPECT_EQ(alarms.count(), 0);
    // The new file's name was asked for once the REC took: no Retrieve needed.
    const std::vector<std::string>& files = deck->listLines(MediaList::Files);
    ASSERT_FALSE(files.empty());
    EXPECT_NE(files.back().find("REC"), std::string::npos) << files.back();

    ASSERT_TRUE(deck->record(Origin::panel()).queued());
    ASSERT_TRUE(waitFor([&] { return deck->status().rec; }));
    // Long enough after our REC that its leaving is not ours.
    waitFor([] { return false; }, static_cast<int>(Deck::kOwnStopMs) + 100);
    recorder(0).stopAtPanel();
    ASSERT_TRUE(waitFor([&] { return alarms.count() == 1; }));
    EXPECT_EQ(deck->alarm(), "REC stopped without a stop command: recorder shows STOP");
    EXPECT_EQ(deck->view().state().alarm, deck->alarm());
    drain();
    EXPECT_EQ(alarms.count(), 1);

    const Outcome ack = deck->acknowledgeAlarm(Origin::web("127.0.0.7"));
    EXPECT_TRUE(ack.queued());
    EXPECT_EQ(deck->alarm(), "");
    EXPECT_EQ(deck->view().state().alarm, "");
    EXPECT_FALSE(deck->acknowledgeAlarm(Origin::panel()).queued());

    // The error text is an alarm too.
    recorder(0).raiseError("FAN STOP");
    ASSERT_TRUE(waitFor([&] { return alarms.count() == 2; }));
    EXPECT_EQ(deck->alarm(), "recorder error: FAN STOP");

    // The log: the alarm, the acknowledgement with its origin, and each
    // final outcome naming the line of its command.
    const auto find = [&](const QString& kind, const QString& op) {
        for (const QJsonObject& e : events)
            if (e.value("kind").toString() == kind && e.value("op").toString() == op) return e;
        return QJsonObject();
    };
    EXPECT_EQ(find("alarm", "alarm").value("alarm").toString(),
              "REC stopped without a stop command: recorder shows STOP");
    EXPECT_EQ(find("command", "alarm/ack").value("origin").toString(), "web 127.0.0.7");
    const QJsonObject recLine = find("command", "rec");
    const QJsonObject recOutcome = find("outcome", "rec");
    EXPECT_EQ(recOutcome.value("outcome").toString(), "confirmed");
    EXPECT_EQ(recOutcome.value("command").toInteger(), recLine.value("seq").toInteger());
}

}  // namespace
}  // namespace qz7::test
