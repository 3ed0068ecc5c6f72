// Framing, the command stack and the poll cycle's order, against a fake transport.
#include <gtest/gtest.h>

#include <vector>

#include "link/command_stack.h"
#include "link/poll_cycle.h"
#include "link/protocol.h"

namespace qz7 {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct FakeTransport : Transport {
    struct Sent {
        int endpoint;
        Bytes bytes;
    };
    std::vector<Sent> sent;
    int failuresLeft = 0;  // sends that throw before one goes through
    void send(int endpoint, std::span<const std::uint8_t> d) override {
        if (failuresLeft > 0) {
            --failuresLeft;
            throw LinkError("send failed");
        }
        sent.push_back({endpoint, Bytes(d.begin(), d.end())});
    }
    // What endpoint 1 received, in order.
    std::vector<Bytes> first() const {
        std::vector<Bytes> out;
        for (const auto& s : sent)
            if (s.endpoint == 1) out.push_back(s.bytes);
        return out;
    }
};

const Bytes kStatus{0x3E, 0x00, 0x36, 0x60, 0xD4};
const Bytes kTimecode{0x3E, 0x01, 0x36, 0x62, 0x01, 0xD8};

struct PollTest : ::testing::Test {
    CommandStack stack;
    FakeTransport net;
    PollCycle cycle{stack, net};
    void SetUp() override { cycle.setLinkEnabled(true); }
    void ticks(int n) {
        for (int i = 0; i < n; ++i) cycle.sendTurn();
    }
};

TEST(Framing, ChecksumWrapsAndBcdTakesCharactersAsTheyStand) {
    EXPECT_EQ(Packet::frame(Group::Sense, Sense::Status).wire(), kStatus);
    EXPECT_EQ(Packet::frame(Group::Sense, Sense::Timecode, {0x01}).wire(), kTimecode);
    // A byte sum of 0x1D4 carries 0xD4.
    const Bytes big{0xFF, 0xD5};
    EXPECT_EQ(checksum(big), 0xD4);
    EXPECT_EQ(bcd2("09"), 0x09);
    EXPECT_EQ(bcd2("59"), 0x59);
    EXPECT_EQ(bcd2("1A"), 0x11);  // 0x10 | 0x11, kept to 8 bits
    EXPECT_EQ(toBcd(47), 0x47);
}

TEST(Framing, BuildersCountDataAndASixtyFourByteSlotGoesOutAs65) {
    Packet p = Packet::frame(Group::Operate, Op::CueWrite);
    for (int i = 0; i < 60; ++i) p.add(static_cast<std::uint8_t>(i));
    p.finish();
    EXPECT_EQ(p.bytes[1], 60);
    const Bytes wire = p.wire();
    ASSERT_EQ(wire.size(), 65u);
    EXPECT_EQ(wire.back(), checksum(std::span(wire.data(), 64)));
    EXPECT_THROW(p.add(0), std::out_of_range);  // nothing is written past a slot
    EXPECT_EQ(Packet::raw({0x60, 0x31}).wire(), (Bytes{0x60, 0x31, 0x91}));
}

TEST_F(PollTest, IdleTicksAlternateTheTwoStatusRequestsStartingWithTimecode) {
    ticks(4);
    EXPECT_EQ(net.first(), (std::vector<Bytes>{kTimecode, kStatus, kTimecode, kStatus}));
    // Every packet goes to both endpoints, first then second.
    ASSERT_EQ(net.sent.size(), 8u);
    EXPECT_EQ(net.sent[0].endpoint, 1);
    EXPECT_EQ(net.sent[1].endpoint, 2);
    EXPECT_EQ(net.sent[1].bytes, kTimecode);
}

TEST_F(PollTest, CommandsGoOutLastInFirstOutBetweenStatusTurns) {
    const Packet a = Packet::frame(Group::Operate, Op::Play);
    const Packet b = Packet::frame(Group::Operate, Op::Stop, {0x00});
    const Packet c = Packet::frame(Group::Operate, Op::Record);
    stack.queue(a);
    stack.queue(b);
    stack.queue(c);
    ticks(7);
    EXPECT_EQ(net.first(),
              (std::vector<Bytes>{kTimecode, c.wire(), kStatus, b.wire(), kTimecode, a.wire(), kStatus}));
    EXPECT_TRUE(stack.empty());
    // The send toggle keeps its value across idle ticks: drained on a command
    // turn it is 0, so a new command waits for one status turn first.
    net.sent.clear();
    stack.queue(a);
    ticks(2);
    EXPECT_EQ(net.first(), (std::vector<Bytes>{kTimecode, a.wire()}));
}

TEST_F(PollTest, WithTheLinkOffTheStackDrainsAndNothingIsSent) {
    cycle.setLinkEnabled(false);
    stack.queue(Packet::frame(Group::Operate, Op::Play));
    stack.queue(Packet::frame(Group::Operate, Op::Play));
    ticks(4);
    EXPECT_TRUE(stack.empty());
    EXPECT_TRUE(net.sent.empty());
}

TEST_F(PollTest, ASendErrorKeepsTheSlotAndTheTogglesNewValues) {
    const Packet a = Packet::frame(Group::Operate, Op::Play);
    stack.queue(a);
    ticks(1);  // status turn
    net.failuresLeft = 1;
    EXPECT_THROW(cycle.sendTurn(), LinkError);  // command turn fails
    EXPECT_EQ(stack.count(), 1);
    EXPECT_EQ(cycle.sendToggle(), 0);
    EXPECT_EQ(cycle.cleanTicks(), 1u) << "the failed tick is not clean";
    ticks(2);  // status turn, then the same slot again
    EXPECT_EQ(net.first().back(), a.wire());
    EXPECT_TRUE(stack.empty());
    EXPECT_EQ(cycle.cleanTicks(), 3u);
}

TEST_F(PollTest, ASecondEndpointFailureIsReportedWithoutRepeatingTheCommandOnTheFirst) {
    struct SecondFails : FakeTransport {
        void send(int endpoint, std::span<const std::uint8_t> d) override {
            if (endpoint == 2) throw LinkError("second endpoint");
            FakeTransport::send(endpoint, d);
        }
    } net2;
    CommandStack s;
    PollCycle c(s, net2);
    c.setLinkEnabled(true);
    const Packet rec = Packet::frame(Group::Operate, Op::Record);
    s.queue(rec);
    c.sendTurn();  // status turn: the first endpoint got it, the second failed
    EXPECT_EQ(c.takePartnerError(), "second endpoint");
    EXPECT_EQ(c.takePartnerError(), "");
    c.sendTurn();  // command turn
    EXPECT_TRUE(s.empty());
    c.sendTurn();
    const auto got = net2.first();
    EXPECT_EQ(std::count(got.begin(), got.end(), rec.wire()), 1);
}

TEST_F(PollTest, SingleRecorderSendsToTheFirstEndpointOnly) {
    cycle.setSecondEndpointUsed(false);
    ticks(2);
    ASSERT_EQ(net.sent.size(), 2u);
    EXPECT_EQ(net.sent[0].endpoint, 1);
    EXPECT_EQ(net.sent[1].endpoint, 1);
}

TEST(CommandStackTest, AFullStackRefusesAndKeepsEverySlot) {
    CommandStack stack;
    for (int i = 0; i < CommandStack::kCapacity; ++i)
        stack.queue(Packet::frame(Group::Sense, Sense::CueEntry, {static_cast<std::uint8_t>(i), 0}));
    const Packet top = stack.top();
    EXPECT_THROW(stack.queue(Packet::frame(Group::Operate, Op::Play)), LinkError);
    EXPECT_EQ(stack.count(), CommandStack::kCapacity);
    EXPECT_EQ(stack.top(), top);
}

}  // namespace
}  // namespace qz7
