// The operator keeps the recorders: a STOP takes the motion still waiting
// off the stack, and remote clients hold only a small share of it.
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QUdpSocket>
#include <csignal>

#include "deck/deck_settings.h"
#include "deck_fixture.h"
#include "net/link_monitor.h"
#include "net/signal_watch.h"
#include "wait_for.h"

namespace qz7::test {
namespace {

TEST_F(DeckTest, StopTakesTheWaitingMotionOffTheStackAndNothingOfItFollows) {
    startDeck(57);
    ASSERT_TRUE(applyAndWait());
    deck->shutdown();  // the stack fills while nothing leaves, as under a flood
    forgetReceived();
    QSignalSpy superseded(deck.get(), &Deck::superseded);
    for (int i = 0; i < 300; ++i) ASSERT_TRUE(deck->wind(Direction::Forward, 2, Origin::key("F9")).queued());
    ASSERT_TRUE(deck->play(Origin::panel()).queued());
    ASSERT_TRUE(deck->settings().read(SettingsPage::Genlock, Origin::panel()).queued());
    const int settingsPackets = deck->commandsWaiting() - 301;
    ASSERT_TRUE(deck->goTo("00:00:10:00", Origin::osc("127.0.0.1:9")).queued());

    ASSERT_TRUE(deck->stop(false, Origin::web("10.0.0.5")).queued());
    EXPECT_EQ(deck->commandsWaiting(), settingsPackets + 1) << "the settings read stays, the motion goes";
    ASSERT_EQ(superseded.count(), 1) << "one report for the whole run";
    EXPECT_EQ(superseded[0][0].value<Origin>(), Origin::web("10.0.0.5"));
    EXPECT_EQ(superseded[0][1].toInt(), 302);
    const auto removed = superseded[0][2].value<QMap<QString, int>>();
    EXPECT_EQ(removed, (QMap<QString, int>{{"ff", 300}, {"play", 1}, {"goto", 1}}));

    deck->start();
    ASSERT_TRUE(drain());
    for (const std::string& r : received(0)) EXPECT_NE(r, hex(cmd::wind(Direction::Forward, 2)));
    EXPECT_EQ(recorder(0).state().transport, qz7sim::Transport::Stop);
}

TEST_F(DeckTest, RemoteClientsHoldAShareOfTheStackAndThePanelStillStops) {
    startDeck(58);
    ASSERT_TRUE(applyAndWait());
    deck->shutdown();
    const Origin flood = Origin::web("10.0.0.9");
    int refused = 0;
    for (int i = 0; i < 200; ++i) {
        const Outcome o = deck->wind(Direction::Forward, 0, flood);
        if (o.queued()) continue;
        ++refused;
        EXPECT_EQ(o.refusal, "8 commands from web 10.0.0.9 are still waiting; the new command was not queued");
        EXPECT_FALSE(o.stackFull) << "the panel shows no box for another client's quota";
    }
    EXPECT_EQ(refused, 200 - Deck::kOpsPerRemoteOrigin);
    EXPECT_TRUE(deck->play(Origin::osc("127.0.0.1:9")).queued()) << "another client is not held back";

    // Eight clients fill the remote share; the ninth waits, the panel does not.
    for (int c = 1; c < 8; ++c)
        for (int i = 0; i < 8; ++i) deck->play(Origin::osc("127.0.0.1:" + std::to_string(1000 + c)));
    const Outcome ninth = deck->play(Origin::osc("127.0.0.1:2000"));
    EXPECT_EQ(ninth.refusal, "remote clients have 64 commands waiting; the new command was not queued");
    EXPECT_TRUE(deck->record(Origin::panel()).queued());
    EXPECT_TRUE(deck->stop(true, flood).queued()) << "a STOP is never held back by the quota";
    EXPECT_EQ(deck->commandsWaiting(), 1) << "and it took everything else off";
    EXPECT_TRUE(deck->wind(Direction::Forward, 0, flood).queued()) << "the flood's room is free again";
}

// Datagrams from anyone but the recorder never reach the deck's reply socket:
// a flood from another host cannot crowd out the replies.
TEST_F(DeckTest, JunkFromAnotherHostNeverReachesTheReplySocket) {
    startDeck(59, {}, false);
    ASSERT_TRUE(applyAndWait());
    const quint16 port = deck->linkForTesting().transport().replySocket()->localPort();
    QUdpSocket junk;
    ASSERT_TRUE(junk.bind(QHostAddress(host(3)), 0));
    const QByteArray status = QByteArray::fromHex("3e0236600002d8");  // a status reply's shape
    const qint64 ticks = deck->ticks();
    QElapsedTimer flood;
    flood.start();
    int sent = 0;
    while (flood.elapsed() < 400) {
        for (int i = 0; i < 200; ++i) sent += junk.writeDatagram(status, QHostAddress::LocalHost, port) > 0;
        QCoreApplication::processEvents();
    }
    ASSERT_GT(sent, 1000);
    EXPECT_TRUE(waitFor([&] { return deck->ticks() > ticks + 20; }));
    EXPECT_EQ(deck->linkForTesting().pollDriver().droppedReplies(), 0) << sent << " junk datagrams";
    EXPECT_EQ(deck->monitor().state(), LinkMonitor::State::Ok);
}

// However many signals arrive while the loop is busy, the handler returns at
// once; the loop then sees one end (or one reload), not thousands.
TEST(SignalWatchTest, ABurstWhileTheLoopIsBusyNeitherBlocksNorLosesTheEnd) {
    SignalWatch watch(SignalWatch::Reload::OnSighup);
    ASSERT_TRUE(watch.watching());
    QSignalSpy reloads(&watch, &SignalWatch::reload);
    QSignalSpy ends(&watch, &SignalWatch::terminate);
    for (int i = 0; i < 5000; ++i) std::raise(SIGHUP);  // far more than the socket holds
    ASSERT_TRUE(waitUntil([&] { return reloads.count() > 0; }, 3000));
    QCoreApplication::processEvents();
    EXPECT_EQ(reloads.count(), 1) << "reloads collapse into one";
    for (int i = 0; i < 5000; ++i) std::raise(SIGHUP);
    std::raise(SIGTERM);
    ASSERT_TRUE(waitUntil([&] { return ends.count() > 0; }, 3000));
    EXPECT_EQ(ends.count(), 1);
}

}  // namespace
}  // namespace qz7::test
