// Remote control end to end: the panel built as the program runs it without
// a window (qz7cont --headless --osc 0), a simulated recorder on loopback, and
// an OSC client on loopback that also subscribes to the feedback.
#include <QProcess>
#include <QTest>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QUdpSocket>
#include <csignal>

#include "live_panel.h"
#include "../remote/osc_messages.h"

namespace qz7::test {
namespace {

class RemoteE2E : public LivePanelTest {
protected:
    void TearDown() override {
        if (panel_.state() != QProcess::NotRunning) {
            panel_.kill();
            panel_.waitForFinished(3000);
        }
        LivePanelTest::TearDown();
    }

    // Starts the program without a display; true once it listens.
    bool startHeadless(const QStringList& extra) {
        const QByteArray dir = QZ7_BIN_DIR;
        if (dir.isEmpty()) return false;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
        panel_.setProcessEnvironment(env);
        panel_.start(QString::fromUtf8(dir) + QStringLiteral("/qz7cont"),
                     QStringList{QStringLiteral("--headless"), QStringLiteral("--osc"), QStringLiteral("0")} + extra);
        const QRegularExpression listening(QStringLiteral("listening on ([0-9.]+):([0-9]+)"));
        return waitFor([&] {
            log_ += QString::fromLocal8Bit(panel_.readAllStandardError());
            const auto m = listening.match(log_);
            if (m.hasMatch()) oscPort_ = static_cast<quint16>(m.captured(2).toUInt());
            return oscPort_ != 0 || panel_.state() == QProcess::NotRunning;
        }, 10000) && oscPort_ != 0;
    }

    void send(QUdpSocket& from, const std::vector<std::uint8_t>& datagram) {
        from.writeDatagram(reinterpret_cast<const char*>(datagram.data()), static_cast<qint64>(datagram.size()),
                           QHostAddress(QStringLiteral("127.0.0.1")), oscPort_);
    }

    // Everything the client has received so far, decoded.
    std::vector<OscSeen>& inbox(QUdpSocket& client) {
        while (client.hasPendingDatagrams()) {
            QByteArray d(static_cast<int>(client.pendingDatagramSize()), '\0');
            client.readDatagram(d.data(), d.size());
            seen_.push_back(decode(std::vector<std::uint8_t>(d.begin(), d.end())));
        }
        return seen_;
    }
    bool sawFrom(QUdpSocket& client, std::size_t from, const std::string& path, const std::string& value) {
        auto& all = inbox(client);
        for (std::size_t i = from; i < all.size(); ++i)
            if (all[i].path == path && (value.empty() || all[i].value == value)) return true;
        return false;
    }
    bool sent(std::size_t sim, const QByteArray& bytes) const {
        for (const QByteArray& r : received(sim))
            if (r == bytes) return true;
        return false;
    }

    QProcess panel_;
    QString log_;
    quint16 oscPort_ = 0;
    std::vector<OscSeen> seen_;
};

TEST_F(RemoteE2E, HeadlessPanelObeysReportsAndNoticesASilentRecorder) {
    qz7sim::Config config;
    config.files = 3;
    config.cues = 3;
    config.refuseRecord = true;
    startSim(QStringLiteral("127.0.0.81"), config);
    if (!startHeadless({QStringLiteral("--devices"), QStringLiteral("127.0.0.81")}))
        GTEST_SKIP() << "qz7cont not runnable here: " << log_.toStdString();

    QUdpSocket client;
    ASSERT_TRUE(client.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    send(client, osc("/qz7/subscribe"));
    ASSERT_TRUE(waitFor([&] { return sawFrom(client, 0, "/qz7/link", "OK"); }, 5000)) << log_.toStdString();

    // A command queues the panel's own bytes; /qz7/rec without its 1 queues nothing.
    send(client, osc("/qz7/play"));
    EXPECT_TRUE(waitFor([&] { return sent(0, hexBytes({0x3E, 0x00, 0x34, 0x01, 0x73})); }, 3000));
    const std::size_t before = inbox(client).size();
    send(client, osc("/qz7/rec"));
    EXPECT_TRUE(waitFor([&] { return sawFrom(client, before, "/qz7/error", ""); }, 3000));
    send(client, osc("/qz7/file/open", {std::int32_t{9}}));  // only 3 files recorded
    QTest::qWait(300);
    EXPECT_FALSE(sent(0, hexBytes({0x3E, 0x00, 0x34, 0x02, 0x74})));
    EXPECT_FALSE(sent(0, hexBytes({0x3E, 0x03, 0x34, 0x50, 0x09, 0x00, 0x00, 0xCE})));

    // The feedback follows the recorder: playing, the timecode moves.
    EXPECT_TRUE(waitFor([&] { return sawFrom(client, 0, "/qz7/transport", "PLAY"); }, 3000));
    // The sender hears what the recorder did; a REC it ignored is also told
    // to the subscribers.
    EXPECT_TRUE(waitFor([&] { return sawFrom(client, 0, "/qz7/outcome", "play confirmed PLAY"); }, 3000));
    send(client, osc("/qz7/rec", {std::int32_t{1}}));
    EXPECT_TRUE(waitFor([&] { return sawFrom(client, before, "/qz7/outcome", "rec not confirmed PLAY"); }, 3000));
    EXPECT_TRUE(sawFrom(client, before, "/qz7/error", "REC not confirmed: recorder shows PLAY"));
    const std::size_t mark = inbox(client).size();
    EXPECT_TRUE(waitFor([&] {
        const auto& all = inbox(client);
        int times = 0;
        for (std::size_t i = mark; i < all.size(); ++i) times += all[i].path == "/qz7/timecode";
        return times >= 3;
    }, 3000));

    // cue/cue sends the panel's Cue bytes (cue line 2, to the preroll) once
    // the lists are read: the retrieve is told as sent when its last request left.
    send(client, osc("/qz7/retrieve"));
    ASSERT_TRUE(waitFor([&] { return sawFrom(client, before, "/qz7/outcome", "retrieve sent PLAY"); }, 20000));
    EXPECT_TRUE(waitFor([&] {  // refused "no cue 2" until its answer is in
        send(client, osc("/qz7/cue/cue", {std::int32_t{2}}));
        return waitFor([&] { return sent(0, hexBytes({0x3E, 0x03, 0x34, 0x53, 0x02, 0x00, 0x01, 0xCB})); }, 100);
    }, 3000));

    // The recorder goes silent: the link says so.
    sims_.clear();
    const std::size_t silent = inbox(client).size();
    EXPECT_TRUE(waitFor([&] { return sawFrom(client, silent, "/qz7/link", "NO REPLY"); }, 4000));

    // SIGTERM ends it cleanly.
    ::kill(static_cast<pid_t>(panel_.processId()), SIGTERM);
    ASSERT_TRUE(panel_.waitForFinished(5000));
    EXPECT_EQ(panel_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(panel_.exitCode(), 0);
}

TEST_F(RemoteE2E, SendersOutsideTheAllowListAreIgnored) {
    startSim(QStringLiteral("127.0.0.82"));
    if (!startHeadless({QStringLiteral("--devices"), QStringLiteral("127.0.0.82"), QStringLiteral("--osc-allow"),
                        QStringLiteral("127.0.0.2/32"), QStringLiteral("--verbose")}))
        GTEST_SKIP() << "qz7cont not runnable here: " << log_.toStdString();
    ASSERT_TRUE(waitFor([&] { return received(0).size() >= 4; }, 3000));  // the link runs

    QUdpSocket outsider, allowed;
    ASSERT_TRUE(outsider.bind(QHostAddress(QStringLiteral("127.0.0.3")), 0));
    ASSERT_TRUE(allowed.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
    send(outsider, osc("/qz7/play"));
    QTest::qWait(400);
    EXPECT_FALSE(sent(0, hexBytes({0x3E, 0x00, 0x34, 0x01, 0x73})));
    send(allowed, osc("/qz7/play"));
    EXPECT_TRUE(waitFor([&] { return sent(0, hexBytes({0x3E, 0x00, 0x34, 0x01, 0x73})); }, 3000));
    log_ += QString::fromLocal8Bit(panel_.readAllStandardError());
    EXPECT_TRUE(log_.contains(QStringLiteral("dropped a datagram from 127.0.0.3"))) << log_.toStdString();
}

}  // namespace
}  // namespace qz7::test
