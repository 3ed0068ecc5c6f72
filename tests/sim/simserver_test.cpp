// SimServer over real UDP on loopback: replies go back to the asking socket,
// the options (delay, drop, announce) behave, and announcements stay on loopback.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QUdpSocket>

#include <optional>

#include "link/protocol.h"
#include "simserver.h"

using qz7sim::SimOptions;
using qz7sim::SimServer;

namespace {

// sim_tests runs on gtest_main, so the Qt event loop needs an application object.
void ensureApp() {
    static int argc = 1;
    static char name[] = "sim_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

SimOptions freePort() {
    SimOptions o;
    o.address = QHostAddress(QHostAddress::LocalHost);
    o.port = 0;
    return o;
}

QByteArray bytes(std::initializer_list<std::uint8_t> b) {
    QByteArray a;
    for (auto x : b) a.append(static_cast<char>(x));
    return a;
}

// Runs the event loop until one datagram is waiting on the socket, or the time is up.
std::optional<QNetworkDatagram> receive(QUdpSocket& socket, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (socket.hasPendingDatagrams()) return socket.receiveDatagram();
    }
    return std::nullopt;
}

const QByteArray kStatusRequest = bytes({0x3E, 0x00, 0x36, 0x60, 0xD4});

}  // namespace

TEST(SimServer, AnswersStatusRequestOverUdp) {
    ensureApp();
    SimServer server(qz7sim::Config{}, freePort());
    QString error;
    ASSERT_TRUE(server.start(&error)) << error.toStdString();
    ASSERT_NE(server.port(), 0);

    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QHostAddress::LocalHost), 0));
    server.recorder().handle(std::vector<std::uint8_t>{0x3E, 0x00, 0x34, 0x01, 0x73});  // PLAY, set directly

    client.writeDatagram(kStatusRequest, QHostAddress(QHostAddress::LocalHost), server.port());
    const auto reply = receive(client, 3000);
    ASSERT_TRUE(reply.has_value()) << "no status reply";
    const QByteArray d = reply->data();
    ASSERT_EQ(d.size(), 31);
    EXPECT_EQ(static_cast<std::uint8_t>(d[0]), 0x3E);
    EXPECT_EQ(static_cast<std::uint8_t>(d[2]), 0x37);
    EXPECT_EQ(static_cast<std::uint8_t>(d[3]), 0x60);
    EXPECT_EQ(static_cast<std::uint8_t>(d[5]), 0x01);  // PLAY
    const auto* u = reinterpret_cast<const std::uint8_t*>(d.constData());
    EXPECT_EQ(u[30], qz7::checksum({u, 30}));
    EXPECT_EQ(reply->senderPort(), server.port());
    EXPECT_EQ(server.requestsReceived(), 1u);
    EXPECT_EQ(server.repliesSent(), 1u);

    // A command draws no reply; a malformed datagram neither.
    client.writeDatagram(bytes({0x3E, 0x00, 0x34, 0x00, 0x73}), QHostAddress(QHostAddress::LocalHost), server.port());
    client.writeDatagram(QByteArray(8192, '\x3E'), QHostAddress(QHostAddress::LocalHost), server.port());
    EXPECT_FALSE(receive(client, 300).has_value());
    EXPECT_EQ(server.requestsReceived(), 3u);
}

TEST(SimServer, DelayDropAndClock) {
    ensureApp();
    SimOptions slow = freePort();
    slow.delayMs = 200;
    SimServer server(qz7sim::Config{}, slow);
    ASSERT_TRUE(server.start());
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QHostAddress::LocalHost), 0));

    // The clock runs from the wall clock: play, wait, ask for the timecode.
    client.writeDatagram(bytes({0x3E, 0x00, 0x34, 0x01, 0x73}), QHostAddress(QHostAddress::LocalHost), server.port());
    QElapsedTimer t;
    t.start();
    receive(client, 400);  // nothing comes, but the loop runs
    client.writeDatagram(bytes({0x3E, 0x01, 0x36, 0x62, 0x01, 0xD8}), QHostAddress(QHostAddress::LocalHost),
                         server.port());
    const qint64 asked = t.elapsed();
    const auto reply = receive(client, 3000);
    ASSERT_TRUE(reply.has_value());
    EXPECT_GE(t.elapsed() - asked, 150);  // the delay option, with some timer slack
    const QByteArray d = reply->data();
    ASSERT_EQ(d.size(), 9);
    const int frames = (d[4] >> 4) * 10 + (d[4] & 0x0F) + 30 * ((d[5] >> 4) * 10 + (d[5] & 0x0F));
    EXPECT_GE(frames, 9);  // at least 300 ms of play at 30 frames a second

    SimOptions lossy = freePort();
    lossy.dropPercent = 100;
    SimServer deaf(qz7sim::Config{}, lossy);
    ASSERT_TRUE(deaf.start());
    client.writeDatagram(kStatusRequest, QHostAddress(QHostAddress::LocalHost), deaf.port());
    EXPECT_FALSE(receive(client, 300).has_value());
    EXPECT_EQ(deaf.requestsDropped(), 1u);
}

TEST(SimServer, AnnouncesOnlyOnLoopback) {
    ensureApp();
    EXPECT_TRUE(SimServer::announceAllowed(QHostAddress("127.0.0.1"), false));
    EXPECT_TRUE(SimServer::announceAllowed(QHostAddress("127.1.2.3"), false));
    EXPECT_FALSE(SimServer::announceAllowed(QHostAddress("192.168.1.20"), false));
    EXPECT_FALSE(SimServer::announceAllowed(QHostAddress("10.0.0.1"), false));
    EXPECT_TRUE(SimServer::announceAllowed(QHostAddress("192.168.1.20"), true));
    EXPECT_FALSE(SimServer::announceAllowed(QHostAddress("255.255.255.255"), true));
    EXPECT_FALSE(SimServer::announceAllowed(QHostAddress("224.0.0.1"), true));
    EXPECT_FALSE(SimServer::announceAllowed(QHostAddress("::1"), true));

    SimOptions outside = freePort();
    outside.announceHost = QStringLiteral("192.168.1.20");
    SimServer refused(qz7sim::Config{}, outside);
    QString why;
    EXPECT_FALSE(refused.start(&why));
    EXPECT_TRUE(why.contains(QStringLiteral("127.0.0.0/8")));
    outside.announceHost = QStringLiteral("recorder.example");
    SimServer named(qz7sim::Config{}, outside);
    EXPECT_FALSE(named.start());

    // A listener on a loopback address of its own at the panel's port hears the announcement.
    QUdpSocket panel;
    const QHostAddress listen("127.77.0.1");
    if (!panel.bind(listen, qz7::kDevicePort)) GTEST_SKIP() << "cannot bind 127.77.0.1:20000 here";
    SimOptions o = freePort();
    o.address = QHostAddress("127.77.0.2");
    o.announceHost = listen.toString();
    SimServer server(qz7sim::Config{}, o);
    ASSERT_TRUE(server.start());
    const auto hello = receive(panel, 3000);
    ASSERT_TRUE(hello.has_value());
    EXPECT_EQ(hello->data(), bytes({0x00, 0x00, 0x00, 0xF7}));
    EXPECT_EQ(hello->senderAddress(), QHostAddress("127.77.0.2"));
}

TEST(SimServer, AStallHoldsEveryRequestThenAnswersTheBacklogInOrderAgainstTheStateOfThatMoment) {
    ensureApp();
    SimOptions o = freePort();
    o.stallAfterMs = 0;  // the stall planned at start
    o.stallMs = 300;
    SimServer server(qz7sim::Config{}, o);
    ASSERT_TRUE(server.start());
    int endedWith = -1;
    QObject::connect(&server, &SimServer::stallEnded, [&](int answered) { endedWith = answered; });
    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QHostAddress::LocalHost), 0));
    const auto ask = [&](const QByteArray& d) { client.writeDatagram(d, QHostAddress(QHostAddress::LocalHost), server.port()); };

    QElapsedTimer t;
    t.start();
    ASSERT_FALSE(receive(client, 30).has_value());  // the planned stall begins
    ASSERT_TRUE(server.isStalled());
    ask(kStatusRequest);
    ask(bytes({0x3E, 0x00, 0x34, 0x01, 0x73}));  // PLAY
    ask(kStatusRequest);
    ask(bytes({0x3E, 0x01, 0x36, 0x62, 0x01, 0xD8}));
    EXPECT_FALSE(receive(client, 150).has_value()) << "nothing while stalled";
    EXPECT_EQ(server.requestsHeld(), 4u);
    EXPECT_EQ(server.repliesSent(), 0u);

    std::vector<QByteArray> replies;
    while (replies.size() < 3) {
        const auto r = receive(client, 2000);
        ASSERT_TRUE(r.has_value()) << "backlog reply " << replies.size() << " missing";
        replies.push_back(r->data());
    }
    EXPECT_GE(t.elapsed(), 280);
    EXPECT_FALSE(server.isStalled());
    EXPECT_EQ(endedWith, 4);
    // Oldest first; the PLAY held between the two status requests took effect between them.
    ASSERT_EQ(replies[0].size(), 31);
    EXPECT_EQ(static_cast<std::uint8_t>(replies[0][5]), 0x20);  // STOP
    ASSERT_EQ(replies[1].size(), 31);
    EXPECT_EQ(static_cast<std::uint8_t>(replies[1][5]), 0x01);  // PLAY
    EXPECT_EQ(static_cast<std::uint8_t>(replies[2][3]), 0x04);  // the timecode, last

    // Answering again at once; a stall started by hand ends on its own as well.
    ask(kStatusRequest);
    EXPECT_TRUE(receive(client, 1000).has_value());
    server.stall(100);
    ask(kStatusRequest);
    EXPECT_FALSE(receive(client, 50).has_value());
    EXPECT_TRUE(receive(client, 1000).has_value());
    EXPECT_EQ(server.requestsHeld(), 5u);
    EXPECT_EQ(server.requestsReceived(), 6u);
}
