// The OSC endpoint over loopback UDP, driven as a client would: liblo's own
// client and server API, plain sockets bound to other loopback addresses, and
// liblo-tools' oscsend/oscdump. Every datagram stays on 127.0.0.0/8.
#include <gtest/gtest.h>
#include <lo/lo.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QThread>
#include <QUdpSocket>
#include <chrono>
#include <functional>
#include <memory>

#include "remote/osc_server.h"
#include "fake_remote_deck.h"
#include "osc_messages.h"

namespace qz7 {
namespace {

using test::decode;
using test::FakeRemoteDeck;
using test::osc;
using test::OscSeen;

// A liblo server that collects what it receives; polled from the test's loop.
class LoPeer {
public:
    LoPeer() : server_(lo_server_new(nullptr, nullptr)) {
        if (server_) lo_server_add_method(server_, nullptr, nullptr, &LoPeer::onMessage, this);
    }
    ~LoPeer() {
        if (server_) lo_server_free(server_);
    }
    LoPeer(const LoPeer&) = delete;
    LoPeer& operator=(const LoPeer&) = delete;

    bool ok() const { return server_ != nullptr; }
    int port() const { return lo_server_get_port(server_); }
    lo_server server() const { return server_; }
    void poll() {
        while (lo_server_recv_noblock(server_, 0) > 0) {
        }
    }
    std::vector<OscSeen> seen;

private:
    // Called from liblo's C frames: nothing may escape.
    static int onMessage(const char* path, const char* types, lo_arg** argv, int argc, lo_message, void* self) {
        try {
            static_cast<LoPeer*>(self)->seen.push_back(test::seen(path, types, argv, argc));
        } catch (...) {
        }
        return 0;
    }
    lo_server server_;
};

class OscServerTest : public ::testing::Test {
protected:
    FakeRemoteDeck panel;
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    std::unique_ptr<OscServer> server;
    lo_address target = nullptr;
    QStringList log;
    std::vector<LoPeer*> polled;

    void start(OscServer::Config config = {}) {
        if (config.obeyed.isEmpty()) config.obeyed = RemoteOptions{}.obeyedNetworks();
        config.verbose = true;
        server = std::make_unique<OscServer>(panel, config, [this] { return now; });
        server->setLog([this](const QString& line) { log << line; });
        QString error;
        ASSERT_TRUE(server->start(&error)) << error.toStdString();
        ASSERT_NE(server->port(), 0);
        target = lo_address_new("127.0.0.1", QByteArray::number(server->port()).constData());
    }

    void TearDown() override {
        if (target) lo_address_free(target);
    }

    // Runs the event loop and polls the liblo peers until done() or 5 s.
    bool waitUntil(const std::function<bool()>& done) {
        QDeadlineTimer deadline(5000);
        while (!done()) {
            if (deadline.hasExpired()) return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            for (LoPeer* p : polled) p->poll();
            QThread::msleep(1);
        }
        return true;
    }

    void watch(LoPeer& peer) {
        ASSERT_TRUE(peer.ok());
        polled.push_back(&peer);
    }
};

TEST_F(OscServerTest, CommandsReachThePanelAndRefusalsGoBackToTheSender) {
    start();
    LoPeer client;
    watch(client);

    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/ff", "i", 4), 0);
    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/goto", "s", "10:00:00:00"), 0);
    ASSERT_TRUE(waitUntil([&] { return panel.calls.size() == 2; }));
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"ff 4", "goto 10:00:00:00"}));

    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/rec", ""), 0);
    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/nothing", "i", 1), 0);
    ASSERT_TRUE(waitUntil([&] { return client.seen.size() == 2; }));
    EXPECT_EQ(client.seen[0], (OscSeen{"/qz7/error", "s", "/qz7/rec: needs the argument 1: /qz7/rec i 1"}));
    EXPECT_EQ(client.seen[1], (OscSeen{"/qz7/error", "s", "unknown address /qz7/nothing"}));
    EXPECT_EQ(panel.calls.size(), 2u) << "a refused command queues nothing";

    panel.refusal = "link off";
    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/rec", "i", 1), 0);
    ASSERT_TRUE(waitUntil([&] { return client.seen.size() == 3; }));
    EXPECT_EQ(client.seen[2], (OscSeen{"/qz7/error", "s", "/qz7/rec: link off"}));
    EXPECT_EQ(server->dispatchCounters().obeyed, 2u);
    EXPECT_EQ(server->dispatchCounters().refused, 3u);
}

TEST_F(OscServerTest, ASubscriberGetsTheWholeStateAtOnceThenOnlyChanges) {
    start();
    LoPeer client, subscriber;
    watch(client);
    watch(subscriber);
    ViewState s;
    s.link = "OK";
    s.timecode = "00:59:59:29";
    s.transport = "PLAY";
    s.number = "FILE 003";
    server->publish(s);  // before anyone listens: kept for the first subscriber

    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/subscribe", "i", subscriber.port()), 0);
    ASSERT_TRUE(waitUntil([&] { return subscriber.seen.size() == 7; }));
    EXPECT_EQ(subscriber.seen, (std::vector<OscSeen>{{"/qz7/link", "s", "OK"},
                                                     {"/qz7/timecode", "s", "00:59:59:29"},
                                                     {"/qz7/transport", "s", "PLAY"},
                                                     {"/qz7/rec", "i", "0"},
                                                     {"/qz7/number", "s", "FILE 003"},
                                                     {"/qz7/error", "s", ""},
                                                     {"/qz7/alarm", "s", ""}}));

    s.timecode = "01:00:00:00";
    server->publish(s);
    server->publish(s);  // unchanged: sends nothing
    s.error = "FAN STOP";
    server->publish(s);
    ASSERT_TRUE(waitUntil([&] { return subscriber.seen.size() >= 8; }));
    EXPECT_EQ(std::vector<OscSeen>(subscriber.seen.begin() + 7, subscriber.seen.end()),
              (std::vector<OscSeen>{{"/qz7/timecode", "s", "01:00:00:00"}, {"/qz7/error", "s", "FAN STOP"}}));

    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/unsubscribe", "i", subscriber.port()), 0);
    ASSERT_TRUE(waitUntil([&] { return server->subscribers().empty(); }));
    EXPECT_TRUE(client.seen.empty()) << "the sender's own port gets nothing";
    EXPECT_TRUE(panel.calls.empty());
}

TEST_F(OscServerTest, TheAllowListDropsAndCountsSendersOutsideIt) {
    RemoteOptions options;
    QString error;
    const QStringList args{"qz7cont", "--osc", "0", "--osc-allow", "127.0.0.2/32"};
    for (int i = 1; i < args.size(); ++i) ASSERT_TRUE(takeRemoteOption(args, i, options, error));
    ASSERT_TRUE(error.isEmpty() && checkRemoteOptions(options).isEmpty());
    start(OscServer::configFrom(options));

    QUdpSocket outside, inside;
    ASSERT_TRUE(outside.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    ASSERT_TRUE(inside.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    const QHostAddress serverAddress(QStringLiteral("127.0.0.1"));
    auto sendFrom = [&](QUdpSocket& socket, const std::vector<std::uint8_t>& bytes) {
        socket.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()),
                             serverAddress, server->port());
    };

    sendFrom(outside, osc("/qz7/play"));
    sendFrom(outside, osc("/qz7/rec"));  // would be refused, but is not even answered
    ASSERT_TRUE(waitUntil([&] { return server->counters().notAllowed == 2; }));
    EXPECT_TRUE(panel.calls.empty());
    EXPECT_TRUE(log.filter(QStringLiteral("dropped a datagram from 127.0.0.3:")).size() == 2) << log.join('\n').toStdString();
    EXPECT_TRUE(log.last().endsWith(QStringLiteral("outside 127.0.0.2/32 (2 so far)"))) << log.last().toStdString();

    sendFrom(inside, osc("/qz7/play"));
    sendFrom(inside, osc("/qz7/rec"));
    ASSERT_TRUE(waitUntil([&] { return inside.hasPendingDatagrams(); }));
    EXPECT_EQ(panel.calls, std::vector<std::string>{"play"});
    const QNetworkDatagram reply = inside.receiveDatagram();
    EXPECT_EQ(reply.senderPort(), server->port()) << "answered from the listening port";
    const QByteArray b = reply.data();
    EXPECT_EQ(decode({b.begin(), b.end()}).path, "/qz7/error");
    EXPECT_FALSE(outside.hasPendingDatagrams());
    EXPECT_EQ(server->counters().notAllowed, 2u);
}

TEST_F(OscServerTest, SubscriptionsExpireAfterSixtySecondsAndAFifthFromOneAddressIsRefused) {
    start();
    std::vector<std::unique_ptr<LoPeer>> peers;
    for (int k = 0; k < 5; ++k) {
        peers.push_back(std::make_unique<LoPeer>());
        watch(*peers.back());
    }
    // Each subscribes on its own port, the one it sends from.
    for (int k = 0; k < 4; ++k) ASSERT_GT(lo_send_from(target, peers[k]->server(), LO_TT_IMMEDIATE, "/qz7/subscribe", ""), 0);
    ASSERT_TRUE(waitUntil([&] {
        for (int k = 0; k < 4; ++k)
            if (peers[k]->seen.size() != 7) return false;
        return true;
    }));
    LoPeer& ninth = *peers[4];  // all on 127.0.0.1
    ASSERT_GT(lo_send_from(target, ninth.server(), LO_TT_IMMEDIATE, "/qz7/subscribe", ""), 0);
    ASSERT_TRUE(waitUntil([&] { return !ninth.seen.empty(); }));
    EXPECT_EQ(ninth.seen, (std::vector<OscSeen>{{"/qz7/error", "s", "/qz7/subscribe: too many subscribers from 127.0.0.1 (at most 4 per address)"}}));

    now += std::chrono::seconds(59);
    ViewState s;
    s.timecode = "00:00:59:00";
    server->publish(s);
    ASSERT_TRUE(waitUntil([&] {
        for (int k = 0; k < 4; ++k)
            if (peers[k]->seen.size() != 8) return false;
        return true;
    }));

    now += std::chrono::seconds(1);
    EXPECT_TRUE(server->subscribers().empty());
    s.timecode = "00:01:00:00";
    server->publish(s);  // to no one
    ASSERT_GT(lo_send_from(target, ninth.server(), LO_TT_IMMEDIATE, "/qz7/subscribe", ""), 0);
    ASSERT_TRUE(waitUntil([&] { return ninth.seen.size() == 8; }));
    EXPECT_EQ(ninth.seen[2], (OscSeen{"/qz7/timecode", "s", "00:01:00:00"}));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(peers[k]->seen.size(), 8u) << "expired subscriber " << k << " got more";
}

TEST_F(OscServerTest, ABurstOfStatusReachesASubscriberAsItsLastState) {
    start();
    LoPeer client, subscriber;
    watch(client);
    watch(subscriber);
    ASSERT_GT(lo_send_from(target, client.server(), LO_TT_IMMEDIATE, "/qz7/subscribe", "i", subscriber.port()), 0);
    ASSERT_TRUE(waitUntil([&] { return subscriber.seen.size() == 7; }));

    // Thirty timecodes within one tick: the first goes at once, the last when
    // the tick is over, none between.
    ViewState s;
    for (int frame = 10; frame < 40; ++frame) {
        s.timecode = "00:00:00:" + std::to_string(frame);
        server->publish(s);
    }
    ASSERT_TRUE(waitUntil([&] { return subscriber.seen.back().value == "00:00:00:39"; }));
    for (QDeadlineTimer settle(3 * OscServer::kStatusInterval.count()); !settle.hasExpired(); QThread::msleep(1)) {
        QCoreApplication::processEvents();
        subscriber.poll();
    }
    EXPECT_EQ(std::vector<OscSeen>(subscriber.seen.begin() + 7, subscriber.seen.end()),
              (std::vector<OscSeen>{{"/qz7/timecode", "s", "00:00:00:10"}, {"/qz7/timecode", "s", "00:00:00:39"}}));
}

TEST_F(OscServerTest, OversizedGarbageAndAFloodNeitherCrashNorBlock) {
    panel.capacity = 100;
    start();
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    const QHostAddress serverAddress(QStringLiteral("127.0.0.1"));
    auto sendBytes = [&](const QByteArray& bytes) { client.writeDatagram(bytes, serverAddress, server->port()); };
    auto sendOsc = [&](const std::vector<std::uint8_t>& b) {
        sendBytes(QByteArray(reinterpret_cast<const char*>(b.data()), static_cast<qsizetype>(b.size())));
    };

    sendBytes(QByteArray(60000, '/'));
    sendBytes(QByteArray("\xff\xfe garbage", 10));
    sendBytes(QByteArray("#bundle\0\0\0\0\0\0\0\0\1", 16));
    ASSERT_TRUE(waitUntil([&] { return server->counters().received == 3; }));
    EXPECT_EQ(server->counters().oversized, 1u);
    EXPECT_EQ(server->dispatchCounters().malformed, 1u);
    EXPECT_EQ(server->dispatchCounters().bundles, 1u);
    EXPECT_FALSE(client.hasPendingDatagrams());

    // 200 jogs in bursts the socket's buffer holds, each more than one
    // wake-up reads: the first 100 fit the command stack, the rest are
    // refused one by one.
    for (int burst = 0; burst < 2; ++burst) {
        for (int k = 0; k < 100; ++k) sendOsc(osc("/qz7/jog", {1}));
        ASSERT_TRUE(waitUntil([&] { return server->counters().received == 3u + 100u * (burst + 1); }));
    }
    EXPECT_EQ(server->dispatchCounters().obeyed, 100u);
    EXPECT_EQ(server->dispatchCounters().refused, 100u);
    int refusals = 0;
    ASSERT_TRUE(waitUntil([&] {
        while (client.hasPendingDatagrams()) {
            const QByteArray b = client.receiveDatagram().data();
            if (decode({b.begin(), b.end()}) == OscSeen{"/qz7/error", "s", "/qz7/jog: command stack full"}) ++refusals;
        }
        return refusals == 100;
    }));
}

TEST_F(OscServerTest, OscsendAndOscdumpFromLibloTools) {
    const QString oscsend = QStringLiteral(QZ7_OSCSEND), oscdump = QStringLiteral(QZ7_OSCDUMP);
    if (oscsend.endsWith(QLatin1String("NOTFOUND")) || oscdump.endsWith(QLatin1String("NOTFOUND")))
        GTEST_SKIP() << "oscsend/oscdump not installed (Debian package liblo-tools)";
    start();
    const QString serverPort = QString::number(server->port());

    // A port nobody uses for oscdump to listen on.
    quint16 dumpPort = 0;
    {
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
        dumpPort = probe.localPort();
    }
    QProcess dump;
    dump.start(oscdump, {QStringLiteral("-L"), QString::number(dumpPort)});
    ASSERT_TRUE(dump.waitForStarted(5000));
    QByteArray dumped;
    auto oscsendRun = [&](const QStringList& args) {
        QProcess p;
        p.start(oscsend, QStringList{QStringLiteral("127.0.0.1"), serverPort} + args);
        return p.waitForFinished(5000) && p.exitCode() == 0;
    };

    // oscdump may not be listening yet: subscribe until the state shows.
    QDeadlineTimer deadline(10000);
    while (!dumped.contains("/qz7/error s \"\"") && !deadline.hasExpired()) {
        ASSERT_TRUE(oscsendRun({QStringLiteral("/qz7/subscribe"), QStringLiteral("i"), QString::number(dumpPort)}));
        waitUntil([&] {
            dumped += dump.readAllStandardOutput();
            return dumped.contains("/qz7/error s \"\"");
        });
    }
    EXPECT_TRUE(dumped.contains("/qz7/link s \"OFF\"")) << dumped.toStdString();
    EXPECT_TRUE(dumped.contains("/qz7/rec i 0")) << dumped.toStdString();

    ASSERT_TRUE(oscsendRun({QStringLiteral("/qz7/slow"), QStringLiteral("ii"), QStringLiteral("-1"), QStringLiteral("3")}));
    ASSERT_TRUE(oscsendRun({QStringLiteral("/qz7/stop"), QStringLiteral("f"), QStringLiteral("1.0")}));
    ASSERT_TRUE(waitUntil([&] { return panel.calls.size() == 2; }));
    EXPECT_EQ(panel.calls, (std::vector<std::string>{"slow -1 3", "stop 1"}));

    ViewState s;
    s.link = "OK";
    s.rec = 1;
    server->publish(s);
    EXPECT_TRUE(waitUntil([&] {
        dumped += dump.readAllStandardOutput();
        return dumped.contains("/qz7/link s \"OK\"") && dumped.contains("/qz7/rec i 1");
    })) << dumped.toStdString();

    dump.kill();
    dump.waitForFinished(5000);
}

}  // namespace
}  // namespace qz7

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
