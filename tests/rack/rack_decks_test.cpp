// Eight decks end to end: one rack process, sixteen simulated recorders on
// loopback, an OSC client on a real socket. A pattern drives every matching
// deck, the decks tick together on the rack's one timer, and a deck whose
// recorders never answer does not hold the others back.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>
#include <gtest/gtest.h>

#include <algorithm>

#include "wait_for.h"
#include "deck/deck.h"
#include "net/link_monitor.h"
#include "net/tick_clock.h"
#include "rack/rack_service.h"
#include "remote/osc_server.h"
#include "simserver.h"

namespace qz7::test {
namespace {

constexpr int kDecks = 8;
// Short ticks keep the test quick; a sanitizer build on a busy machine still
// answers well within one.
constexpr int kTickMs = 3;

QString host(int deck, int n) { return QStringLiteral("127.0.%1.%2").arg(131 + deck).arg(n); }
QString name(int deck) { return QStringLiteral("d%1").arg(deck + 1); }

class RackDecks : public ::testing::Test {
protected:
    void SetUp() override {
        QStringList args{QStringLiteral("qz7rack"), QStringLiteral("--osc"), QStringLiteral("0")};
        for (int k = 0; k < kDecks; ++k) {
            for (int n = 1; n <= 2; ++n) {
                qz7sim::SimOptions options;
                options.address = QHostAddress(host(k, n));
                sims_.push_back(std::make_unique<qz7sim::SimServer>(qz7sim::Config{}, options));
                QString error;
                ASSERT_TRUE(sims_.back()->start(&error)) << host(k, n).toStdString() << ": " << error.toStdString();
            }
            args << QStringLiteral("--deck") << QStringLiteral("%1=%2,%3").arg(name(k), host(k, 1), host(k, 2));
        }
        // A ninth deck whose recorder is not there: it waits out every reply wait.
        args << QStringLiteral("--deck") << QStringLiteral("mute=%1").arg(host(kDecks, 1));
        const RackOptions options = parseRackOptions(args);
        ASSERT_EQ(options.error.toStdString(), "");
        RackSetup setup;
        ASSERT_EQ(loadRackSetup(options, setup).toStdString(), "");
        service_ = std::make_unique<RackService>(
            options, setup, LinkTiming{std::chrono::milliseconds(kTickMs), std::chrono::milliseconds(4 * kTickMs)},
            [](const QString&) {});
        QString error;
        ASSERT_TRUE(service_->start(&error)) << error.toStdString();
        ASSERT_NE(service_->osc(), nullptr);
        ASSERT_TRUE(client_.bind(QHostAddress::LocalHost, 0));
    }

    Deck& deck(int k) { return *service_->rack().deck(name(k)); }
    qz7sim::Recorder& recorder(int k, int n = 1) { return sims_.at(static_cast<std::size_t>(2 * k + n - 1))->recorder(); }
    bool everyDeckLinked() {
        for (int k = 0; k < kDecks; ++k)
            if (deck(k).monitor().state() != LinkMonitor::State::Ok) return false;
        return true;
    }
    void send(const std::vector<std::uint8_t>& message) {
        client_.writeDatagram(reinterpret_cast<const char*>(message.data()), static_cast<qint64>(message.size()),
                              QHostAddress::LocalHost, service_->osc()->port());
    }
    // The OSC address of every datagram the client got back so far.
    std::vector<std::string> answers() {
        while (client_.hasPendingDatagrams()) {
            const QByteArray data = client_.receiveDatagram().data();
            answers_.emplace_back(data.constData(), strnlen(data.constData(), static_cast<std::size_t>(data.size())));
        }
        return answers_;
    }

    std::vector<std::unique_ptr<qz7sim::SimServer>> sims_;
    std::unique_ptr<RackService> service_;
    QUdpSocket client_;
    std::vector<std::string> answers_;
};

TEST_F(RackDecks, PatternsDriveEveryMatchingDeckAndTheDecksTickTogether) {
    ASSERT_TRUE(waitUntil([&] { return everyDeckLinked(); }, 5000));

    // One timer for all: an answering deck starts a tick on every expiration,
    // while the mute deck, waiting out its reply wait, skips most of them.
    std::vector<qint64> before;
    for (int k = 0; k < kDecks; ++k) before.push_back(deck(k).ticks());
    const qint64 muteBefore = service_->rack().deck(QStringLiteral("mute"))->ticks();
    const TickClock& clock = service_->rack().tickClock();
    EXPECT_EQ(clock.attached(), kDecks + 1);
    const qint64 expirationsBefore = clock.expirations();
    waitUntil([] { return false; }, 300);
    const qint64 expirations = clock.expirations() - expirationsBefore;
    std::vector<qint64> ran;
    for (int k = 0; k < kDecks; ++k) ran.push_back(deck(k).ticks() - before[static_cast<std::size_t>(k)]);
    const qint64 muteRan = service_->rack().deck(QStringLiteral("mute"))->ticks() - muteBefore;
    const auto [fewest, most] = std::minmax_element(ran.begin(), ran.end());
    EXPECT_GE(expirations, 300 / kTickMs / 2);
    EXPECT_LE(*most, expirations + 1) << "a deck ticked on a timer of its own as well";
    EXPECT_GE(*fewest, expirations / 2) << "an answering deck missed most of the shared timer's ticks";
    EXPECT_GT(muteRan, 0);
    EXPECT_LT(muteRan, *fewest) << "the mute deck's waits held the others back";

    // Every deck plays; then two of them record together, the rest play on.
    // The decks tick together but each takes commands on every other tick,
    // so the play leaves every deck within one tick of the others.
    std::vector<qint64> playAt(kDecks, -1);
    QElapsedTimer since;
    since.start();
    for (int k = 0; k < kDecks; ++k)
        QObject::connect(sims_.at(static_cast<std::size_t>(2 * k)).get(), &qz7sim::SimServer::requestHandled,
                         [&, k](const QByteArray&, int) {
                             qint64& at = playAt[static_cast<std::size_t>(k)];
                             if (at < 0 && recorder(k).state().transport == qz7sim::Transport::Play)
                                 at = since.nsecsElapsed();
                         });
    send(oscMessage("/qz7/deck/d*/play", std::vector<std::string>{}));
    ASSERT_TRUE(waitUntil([&] {
        for (int k = 0; k < kDecks; ++k)
            if (recorder(k, 1).state().transport != qz7sim::Transport::Play ||
                recorder(k, 2).state().transport != qz7sim::Transport::Play)
                return false;
        return true;
    }, 3000)) << "not every recorder of every deck got the play command";
    const auto [first, last] = std::minmax_element(playAt.begin(), playAt.end());
    EXPECT_LT((*last - *first) / 1e6, 4.0 * kTickMs) << "the play left the decks ticks apart";
    send(oscMessage("/qz7/deck/{d2,d5}/rec", 1));
    ASSERT_TRUE(waitUntil([&] {
        return recorder(1).state().transport == qz7sim::Transport::Record &&
               recorder(4).state().transport == qz7sim::Transport::Record;
    }, 3000));
    ASSERT_TRUE(waitUntil([&] { return deck(1).status().rec && deck(4).status().rec; }, 3000))
        << "the recording decks' status did not say REC";
    for (int k : {0, 2, 3, 5, 6, 7}) {
        EXPECT_EQ(recorder(k).state().transport, qz7sim::Transport::Play) << name(k).toStdString();
        EXPECT_FALSE(deck(k).status().rec) << name(k).toStdString();
    }

    // A pattern that takes in the mute deck too: every answering recorder stops.
    send(oscMessage("/qz7/deck/*/stop", std::vector<std::string>{}));
    ASSERT_TRUE(waitUntil([&] {
        for (int k = 0; k < kDecks; ++k)
            if (recorder(k).state().transport != qz7sim::Transport::Stop) return false;
        return true;
    }, 3000));
    // Each deck reports its outcome to the sender; none refused.
    for (const std::string& path : answers())
        EXPECT_TRUE(path.ends_with("/outcome")) << "no deck refused: " << path;
}

}  // namespace
}  // namespace qz7::test
