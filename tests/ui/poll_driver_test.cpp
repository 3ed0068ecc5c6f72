// The poll driver on a real event loop against a UDP peer on 127.0.0.1: tick
// cadence with a silent and with an answering recorder, no overlapping ticks,
// every waiting reply decoded at the end of a tick (oldest first, the oldest
// beyond the bound dropped), the partner's replies thrown away, stop and
// start, and no catch-up burst after the GUI thread was held up.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QNetworkDatagram>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "link/command_stack.h"
#include "link/poll_cycle.h"
#include "link/protocol.h"
#include "link/reply_decoder.h"
#include "net/poll_driver.h"
#include "net/udp_transport.h"
#include "panel_fixture.h"
#include "recording_sink.h"

namespace qz7::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// How far tick starts sit from the grid of the given period that fits them
// best (its phase taken from one of the ticks): the median distance in ms.
// A fixed schedule gives about the wake-up latency; a drifting one about a
// quarter period.
double medianOffGrid(const std::vector<Clock::time_point>& starts, double periodMs) {
    std::vector<double> phases;
    for (const Clock::time_point t : starts) phases.push_back(std::fmod(msBetween(starts.front(), t), periodMs));
    double best = periodMs;
    for (const double origin : phases) {
        std::vector<double> distance;
        for (const double p : phases) {
            const double d = std::fabs(p - origin);
            distance.push_back(std::min(d, periodMs - d));
        }
        best = std::min(best, median(distance));
    }
    return best;
}

// Timecode replies numbered n in their frames and seconds bytes, so the order
// they were decoded in shows.
Bytes numberedReply(int n) {
    return withSum({kLead, 0x04, Group::Answer, Sense::TimecodeReply, static_cast<std::uint8_t>(n & 0xFF),
                    static_cast<std::uint8_t>(n >> 8), 0x00, 0x00});
}
std::vector<std::string> numberedCalls(int from, int to) {
    std::vector<std::string> out;
    for (int n = from; n < to; ++n)
        out.push_back("timecode 0:0:" + std::to_string(n >> 8) + ":" + std::to_string(n & 0xFF));
    return out;
}

// Throws from the handler of one numbered reply, as a list handler does for a
// line that does not exist.
struct DriverSink : RecordingSink {
    int failOn = -1;
    void take(const Reply& reply) override {
        RecordingSink::take(reply);
        const auto* t = std::get_if<TimecodeReply>(&reply);
        if (t && t->frames + 256 * t->seconds == failOn)
            throw std::runtime_error("List index out of bounds (" + std::to_string(failOn) + ")");
    }
};

class PollDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(peer.bind(QHostAddress(QHostAddress::LocalHost), 0));
        // Both endpoints on the peer's loopback address; the second is not used,
        // so the peer sees exactly one packet per tick.
        transport.endpoint(1).host = QStringLiteral("127.0.0.1");
        transport.endpoint(1).port = peer.localPort();
        transport.endpoint(2).host = QStringLiteral("127.0.0.1");
        transport.endpoint(2).port = peer.localPort();
        cycle.setSecondEndpointUsed(false);
        cycle.setLinkEnabled(true);
        QObject::connect(&peer, &QUdpSocket::readyRead, [this] {
            while (peer.hasPendingDatagrams()) {
                const QNetworkDatagram request = peer.receiveDatagram();
                ++requests;
                for (int i = 0; i < repliesPerRequest; ++i) {
                    const Bytes reply = numberedReply(repliesSent++);
                    peer.writeDatagram(request.makeReply(QByteArray(reinterpret_cast<const char*>(reply.data()),
                                                                    static_cast<qsizetype>(reply.size()))));
                }
            }
        });
    }

    // Numbered replies from..to-1 straight to one of the panel's sockets,
    // from the selected recorder's address, then a moment for them to land.
    void sendNumbered(QUdpSocket* to, int from, int end) {
        for (int n = from; n < end; ++n) {
            const Bytes reply = numberedReply(n);
            ASSERT_EQ(peer.writeDatagram(reinterpret_cast<const char*>(reply.data()), static_cast<qint64>(reply.size()),
                                         QHostAddress::LocalHost, to->localPort()),
                      static_cast<qint64>(reply.size()));
        }
        runFor(20);
    }

    std::vector<std::string> timecodeCalls() const {
        std::vector<std::string> out;
        for (const std::string& c : sink.calls)
            if (c.starts_with("timecode")) out.push_back(c);
        return out;
    }

    void makeDriver(std::chrono::microseconds interval, std::chrono::microseconds replyWait) {
        driver = std::make_unique<PollDriver>(cycle, transport, decoder, interval, replyWait);
        driver->setErrorReporter([this](const QString& message) { errors.push_back(message); });
        QObject::connect(driver.get(), &PollDriver::tickStarted, [this] {
            // A tick that starts while another has not finished overlaps it.
            if (started.size() != finished.size()) ++overlaps;
            started.push_back(Clock::now());
        });
        QObject::connect(driver.get(), &PollDriver::tickFinished, [this] { finished.push_back(Clock::now()); });
    }

    // Runs the event loop until pred() holds, checking as each tick starts and
    // ends; false when timeoutMs pass first. It may hold only for a moment (a
    // skipped event starts the next tick right after a wait), hence the latch.
    bool runUntil(const std::function<bool()>& pred, int timeoutMs = 5000) {
        if (pred()) return true;
        bool held = false;
        QEventLoop loop;
        const auto check = [&] {
            if (held || !pred()) return;
            held = true;
            loop.quit();
        };
        const auto c1 = QObject::connect(driver.get(), &PollDriver::tickStarted, &loop, check);
        const auto c2 = QObject::connect(driver.get(), &PollDriver::tickFinished, &loop, check);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::disconnect(c1);
        QObject::disconnect(c2);
        return held;
    }

    // Runs the event loop for a while: only to show that nothing happens.
    static void runFor(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // Start-to-start intervals of ticks from..to (tick indices from 0).
    std::vector<double> startToStartMs(std::size_t from = 0, std::size_t to = SIZE_MAX) const {
        std::vector<double> out;
        const std::size_t last = std::min(to, started.empty() ? 0 : started.size() - 1);
        for (std::size_t i = from + 1; i <= last; ++i)
            out.push_back(msBetween(started[i - 1], started[i]));
        return out;
    }

    QUdpSocket peer;
    int repliesPerRequest = 0;  // 0: a silent recorder
    int requests = 0;
    int repliesSent = 0;
    DriverSink sink;
    CommandStack stack;
    UdpTransport transport;
    PollCycle cycle{stack, transport};
    ReplyDecoder decoder{sink};
    std::unique_ptr<PollDriver> driver;
    std::vector<Clock::time_point> started, finished;
    int overlaps = 0;
    std::vector<QString> errors;
};

TEST_F(PollDriverTest, ASilentRecorderMakesEveryTickWaitItsFullReplyWaitAndTheNextStartAtOnce) {
    // The tick timer fires two or three times during each wait: those events are
    // skipped, and one of them starts the next tick when the wait ends.
    makeDriver(4ms, 10ms);
    driver->start();
    ASSERT_TRUE(runUntil([&] { return driver->ticks() >= 30; }));
    driver->stop();
    ASSERT_TRUE(runUntil([&] { return !driver->tickInProgress(); }));

    EXPECT_EQ(overlaps, 0);
    ASSERT_EQ(started.size(), finished.size());
    for (std::size_t i = 0; i < started.size(); ++i)
        EXPECT_GE(msBetween(started[i], finished[i]), 10.0) << "tick " << i << " ended its wait early";
    // Starting only on the tick timer's own events would put ticks 12 ms apart.
    const double period = median(startToStartMs());
    EXPECT_GE(period, 10.0);
    EXPECT_LT(period, 11.0);
    // Two or three per wait, none in the last (the tick timer was stopped by then).
    EXPECT_GE(driver->skippedTimerEvents(), 2 * (driver->ticks() - 1));
    EXPECT_EQ(requests, driver->ticks()) << "one packet per tick";
    EXPECT_EQ(sink.count("timecode"), 0);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PollDriverTest, AnAnsweringRecorderKeepsTheIntervalOnAFixedScheduleEvenAfterTheGuiThreadWasHeldUp) {
    repliesPerRequest = 1;
    makeDriver(5ms, 33ms);
    std::size_t held = 0;
    qint64 skippedBefore = 0;
    QObject::connect(driver.get(), &PollDriver::tickFinished, [&] {
        if (driver->ticks() != 100) return;
        // Twenty expirations pass while the GUI thread is busy elsewhere.
        std::this_thread::sleep_for(100ms);
        held = started.size();
        skippedBefore = driver->skippedTimerEvents();
    });
    driver->start();
    ASSERT_TRUE(runUntil([&] { return driver->ticks() >= 200; }));
    ASSERT_EQ(held, 100u);
    const double before = median(startToStartMs(0, held - 1));
    driver->stop();
    ASSERT_TRUE(runUntil([&] { return !driver->tickInProgress(); }));

    EXPECT_EQ(overlaps, 0);
    EXPECT_NEAR(before, 5.0, 0.5) << "a reply ends the wait, so the interval sets the pace";
    EXPECT_NEAR(median(startToStartMs(held)), 5.0, 0.5);
    // One tick for the late wake, not one per missed expiration.
    const auto burst = std::count_if(started.begin() + static_cast<std::ptrdiff_t>(held), started.end(),
                                     [&](Clock::time_point t) { return msBetween(started[held], t) < 12.0; });
    EXPECT_LE(burst, 4);
    EXPECT_LT(driver->skippedTimerEvents() - skippedBefore, 5);
    // Ticks sit on start + k * 5 ms: a schedule that restarted from each wake
    // would drift through the whole 5 ms.
    EXPECT_LT(medianOffGrid(started, 5.0), 0.5);
    // Every tick read the one reply to its request.
    EXPECT_GE(sink.count("timecode"), driver->ticks() - 1);
    EXPECT_EQ(requests, driver->ticks());
}

TEST_F(PollDriverTest, EachTickDecodesEveryReplyWaitingOldestFirst) {
    repliesPerRequest = 3;
    makeDriver(3ms, 33ms);
    bool leftInSocket = false;
    QObject::connect(driver.get(), &PollDriver::tickFinished,
                     [&] { leftInSocket = leftInSocket || transport.replySocket()->hasPendingDatagrams(); });
    driver->start();
    ASSERT_TRUE(runUntil([&] { return driver->ticks() >= 40; }));
    driver->stop();
    ASSERT_TRUE(runUntil([&] { return !driver->tickInProgress(); }));
    EXPECT_FALSE(leftInSocket) << "a tick ended with replies still waiting";
    EXPECT_EQ(repliesSent, 3 * driver->ticks());
    EXPECT_EQ(timecodeCalls(), numberedCalls(0, repliesSent));
    EXPECT_EQ(driver->droppedReplies(), 0);
    EXPECT_EQ(overlaps, 0);
}

TEST_F(PollDriverTest, BeyondTheBoundTheOldestAreDroppedAndCountedAndAFailingHandlerStopsOnlyItsReply) {
    makeDriver(3ms, 10ms);  // a silent recorder: only what is sent here arrives
    sink.failOn = 50;
    ASSERT_NO_FATAL_FAILURE(sendNumbered(transport.replySocket(), 0, 100));
    driver->start();
    ASSERT_TRUE(runUntil([&] { return finished.size() >= 1; }));
    EXPECT_EQ(driver->droppedReplies(), 100 - PollDriver::kMaxRepliesPerTick);
    EXPECT_EQ(timecodeCalls(), numberedCalls(36, 100)) << "the newest 64, oldest first, 50 included";
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], QStringLiteral("List index out of bounds (50)"));

    // Within the bound nothing is dropped.
    ASSERT_NO_FATAL_FAILURE(sendNumbered(transport.replySocket(), 100, 100 + PollDriver::kMaxRepliesPerTick));
    ASSERT_TRUE(runUntil([&] { return sink.count("timecode") == 128; }));
    driver->stop();
    EXPECT_EQ(driver->droppedReplies(), 36);
    EXPECT_EQ(timecodeCalls().back(), numberedCalls(163, 164).front());
}

TEST_F(PollDriverTest, ThePartnersRepliesAreReadAndNeverDecoded) {
    makeDriver(3ms, 10ms);
    ASSERT_NO_FATAL_FAILURE(sendNumbered(transport.partnerSocket(), 0, 100));
    driver->start();
    ASSERT_TRUE(runUntil([&] { return finished.size() >= 2; }));
    driver->stop();
    ASSERT_TRUE(runUntil([&] { return !driver->tickInProgress(); }));
    EXPECT_FALSE(transport.partnerSocket()->hasPendingDatagrams());
    EXPECT_TRUE(sink.calls.empty());
    EXPECT_EQ(driver->droppedReplies(), 0);
}

TEST_F(PollDriverTest, StopDuringAWaitEndsTheTickAndStartsNoOtherUntilStartedAgain) {
    makeDriver(2ms, 30ms);
    // Stopped 6 ms into the third tick's wait, after Tick timer events were skipped.
    bool waitingAtStop = false;
    QObject::connect(driver.get(), &PollDriver::tickStarted, [&] {
        if (driver->ticks() != 3) return;
        QTimer::singleShot(6, Qt::PreciseTimer, driver.get(), [&] {
            waitingAtStop = driver->tickInProgress();
            driver->stop();
        });
    });
    driver->start();
    EXPECT_TRUE(driver->isActive());
    ASSERT_TRUE(runUntil([&] { return !driver->isActive() && !driver->tickInProgress(); }));
    EXPECT_TRUE(waitingAtStop);
    runFor(60);
    EXPECT_EQ(driver->ticks(), 3);
    EXPECT_EQ(started.size(), finished.size());
    EXPECT_EQ(requests, 3);

    driver->start();
    EXPECT_TRUE(driver->isActive());
    ASSERT_TRUE(runUntil([&] { return driver->ticks() >= 5; }));
    driver->stop();
    EXPECT_EQ(overlaps, 0);
}

TEST_F(PollDriverTest, ASendErrorEndsTheTickWithoutWaitingAndIsReportedEachTick) {
    // The limited broadcast address with broadcast off is refused before
    // anything is sent.
    transport.endpoint(1).host = QStringLiteral("255.255.255.255");
    makeDriver(4ms, 33ms);
    driver->start();
    ASSERT_TRUE(runUntil([&] { return driver->ticks() >= 20; }));
    driver->stop();
    EXPECT_FALSE(driver->tickInProgress());
    EXPECT_EQ(started.size(), finished.size());
    EXPECT_NEAR(median(startToStartMs()), 4.0, 0.5);
    ASSERT_GE(errors.size(), 19u);
    EXPECT_TRUE(errors.front().contains(QStringLiteral("Broadcast is off")));
    EXPECT_EQ(requests, 0);
}

}  // namespace
}  // namespace qz7::test
