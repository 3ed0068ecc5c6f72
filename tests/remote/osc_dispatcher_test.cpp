// The OSC dispatcher with a fake panel: which call each message makes, what
// is refused and how, and the subscriptions with an injected clock.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>

#include "remote/osc_dispatcher.h"
#include "fake_remote_deck.h"
#include "osc_messages.h"

namespace qz7 {
namespace {

using test::decode;
using test::FakeRemoteDeck;
using test::osc;
using test::OscSeen;
using Bytes = std::vector<std::uint8_t>;

const OscPeer kClient{"127.0.0.1", 50000};

class Dispatcher : public ::testing::Test {
protected:
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    FakeRemoteDeck panel;
    OscDispatcher dispatcher{panel, [this] { return now; }};

    std::vector<OscDatagram> send(const Bytes& bytes, const OscPeer& from = kClient) {
        return dispatcher.handle(bytes, from);
    }
};

TEST_F(Dispatcher, EveryAddressReachesItsCallWithItsArguments) {
    struct Case {
        Bytes message;
        std::string call;
    };
    const std::vector<Case> cases = {
        {osc("/qz7/play"), "play"},
        {osc("/qz7/stop"), "stop 0"},
        {osc("/qz7/stop", {1}), "stop 1"},
        {osc("/qz7/rec", {1}), "rec 1"},
        {osc("/qz7/ff"), "ff 2"},
        {osc("/qz7/rew"), "rew 2"},
        {osc("/qz7/slow", {1}), "slow 1 0"},
        {osc("/qz7/slow", {-1, 8}), "slow -1 8"},
        {osc("/qz7/jog", {-1}), "jog -1"},
        {osc("/qz7/ee"), "ee"},
        {osc("/qz7/pb"), "pb"},
        {osc("/qz7/file/open", {7}), "file/open 7"},
        {osc("/qz7/cue/mark"), "cue/mark"},
        {osc("/qz7/cue/search", {3}), "cue/search 3"},
        {osc("/qz7/goto", {std::string("01:02:03:04")}), "goto 01:02:03:04"},
        {osc("/qz7/retrieve"), "retrieve"},
        // Controllers that send only floats (TouchOSC), or 64-bit numbers.
        {osc("/qz7/rec", {1.0f}), "rec 1"},
        {osc("/qz7/stop", {1.0f}), "stop 1"},
        {osc("/qz7/slow", {-1.0f, 2.0f}), "slow -1 2"},
        {osc("/qz7/rew", {1.0}), "rew 1"},
        {osc("/qz7/file/open", {std::int64_t{12}}), "file/open 12"},
        // A pattern that names exactly one address.
        {osc("/qz7/p[l]ay"), "play"},
        {osc("/qz7/cue/m*"), "cue/mark"},
        {osc("/qz7/{pb}"), "pb"},
    };
    for (const Case& c : cases) {
        panel.calls.clear();
        panel.origins.clear();
        const auto replies = send(c.message);
        EXPECT_EQ(panel.calls, std::vector<std::string>{c.call}) << c.call;
        // The deck's log names the OSC sender, address and port.
        EXPECT_EQ(panel.origins, std::vector<Origin>{Origin::osc(kClient.host + ":" + std::to_string(kClient.port))}) << c.call;
        EXPECT_TRUE(replies.empty()) << c.call << ": an obeyed command is not answered";
    }
    EXPECT_EQ(dispatcher.counters().obeyed, cases.size());
    EXPECT_EQ(dispatcher.counters().refused, 0u);
}

TEST_F(Dispatcher, BadArgumentsAreRefusedToTheSenderWithoutACall) {
    struct Case {
        Bytes message;
        std::string reason;
    };
    const std::string rec = "/qz7/rec: needs the argument 1: /qz7/rec i 1";
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<Case> cases = {
        {osc("/qz7/rec"), rec},
        {osc("/qz7/rec", {0}), rec},
        {osc("/qz7/rec", {0.0f}), rec},  // a button's release
        {osc("/qz7/rec", {1.5f}), rec},
        {osc("/qz7/rec", {std::string("1")}), rec},
        {osc("/qz7/rec", {1, 1}), rec},
        {osc("/qz7/play", {1}), "/qz7/play: usage: /qz7/play"},
        {osc("/qz7/ee", {1.0f}), "/qz7/ee: usage: /qz7/ee"},
        {osc("/qz7/cue/mark", {std::string("x")}), "/qz7/cue/mark: usage: /qz7/cue/mark"},
        {osc("/qz7/stop", {std::string("LOCK")}), "/qz7/stop: lock must be 0 (NORM) or 1 (LOCK)"},
        {osc("/qz7/stop", {1, 1}), "/qz7/stop: usage: /qz7/stop [i lock]"},
        {osc("/qz7/ff", {-1}), "/qz7/ff: item must be 0..4 (x 100 .. x 5)"},
        {osc("/qz7/rew", {2.5f}), "/qz7/rew: item must be 0..4 (x 100 .. x 5)"},
        {osc("/qz7/rew", {std::int64_t{1} << 40}), "/qz7/rew: item must be 0..4 (x 100 .. x 5)"},
        {osc("/qz7/ff", {1, 2}), "/qz7/ff: usage: /qz7/ff [i item]"},
        {osc("/qz7/slow"), "/qz7/slow: usage: /qz7/slow i direction [i item]"},
        {osc("/qz7/slow", {0}), "/qz7/slow: direction must be 1 or -1"},
        {osc("/qz7/slow", {2, 0}), "/qz7/slow: direction must be 1 or -1"},
        {osc("/qz7/slow", {nan}), "/qz7/slow: direction must be 1 or -1"},
        {osc("/qz7/slow", {1, 1, 1}), "/qz7/slow: usage: /qz7/slow i direction [i item]"},
        {osc("/qz7/jog"), "/qz7/jog: usage: /qz7/jog i direction"},
        {osc("/qz7/file/open"), "/qz7/file/open: usage: /qz7/file/open i number"},
        {osc("/qz7/file/open", {std::string("7")}), "/qz7/file/open: usage: /qz7/file/open i number"},
        {osc("/qz7/clip/open", {0.5f}), "/qz7/clip/open: usage: /qz7/clip/open i number"},
        {osc("/qz7/cue/search"), "/qz7/cue/search: usage: /qz7/cue/search i number"},
        {osc("/qz7/goto"), "/qz7/goto: usage: /qz7/goto s hh:mm:ss:ff"},
        {osc("/qz7/goto", {1}), "/qz7/goto: usage: /qz7/goto s hh:mm:ss:ff"},
        {osc("/qz7/goto", {std::string("1:02:03:04")}), "/qz7/goto: timecode must be hh:mm:ss:ff"},
        {osc("/qz7/goto", {std::string("01-02-03-04")}), "/qz7/goto: timecode must be hh:mm:ss:ff"},
        {osc("/qz7/goto", {std::string("01:02:03:04:05")}), "/qz7/goto: timecode must be hh:mm:ss:ff"},
        {osc("/qz7/subscribe", {0}), "/qz7/subscribe: port must be 1..65535"},
        {osc("/qz7/subscribe", {65536}), "/qz7/subscribe: port must be 1..65535"},
        {osc("/qz7/unsubscribe", {std::string("9001")}), "/qz7/unsubscribe: port must be 1..65535"},
    };
    for (const Case& c : cases) {
        const auto replies = send(c.message);
        ASSERT_EQ(replies.size(), 1u) << c.reason;
        EXPECT_EQ(replies[0].to, kClient) << c.reason;
        EXPECT_EQ(decode(replies[0].bytes), (OscSeen{"/qz7/error", "s", c.reason}));
    }
    EXPECT_TRUE(panel.calls.empty());
    EXPECT_TRUE(dispatcher.subscribers().empty());
    EXPECT_EQ(dispatcher.counters().refused, cases.size());
}

TEST_F(Dispatcher, UnknownAddressesAndAmbiguousPatternsReachNothing) {
    struct Case {
        Bytes message;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {osc("/x"), "unknown address /x"},
        {osc("/qz7"), "unknown address /qz7"},
        {osc("/qz7/play/"), "unknown address /qz7/play/"},
        {osc("/QZ7/PLAY"), "unknown address /QZ7/PLAY"},
        // Nothing that erases, clears or writes settings is reachable.
        {osc("/qz7/erase"), "unknown address /qz7/erase"},
        {osc("/qz7/file/erase", {1}), "unknown address /qz7/file/erase"},
        {osc("/qz7/clear/clips"), "unknown address /qz7/clear/clips"},
        {osc("/qz7/cue/clear", {0}), "unknown address /qz7/cue/clear"},
        {osc("/qz7/settings/apply"), "unknown address /qz7/settings/apply"},
        {osc("/qz7/x*"), "unknown address /qz7/x*"},
        {osc("/qz7/pla\x01y"), "unknown address /qz7/pla?y"},
        {osc("/qz7/*"), "/qz7/* names more than one address (/qz7/play, /qz7/stop, /qz7/rec, /qz7/ff, /qz7/rew, "
                        "/qz7/slow, /qz7/jog, /qz7/ee, /qz7/pb, /qz7/file/open, /qz7/clip/open, /qz7/seq/open, "
                        "/qz7/cue/mark, /qz7/cue/search, /qz7/cue/cue, /qz7/goto, /qz7/retrieve, /qz7/alarm/ack, "
                        "/qz7/subscribe, /qz7/unsubscribe)"},
        {osc("/qz7/re?", {1}), "/qz7/re? names more than one address (/qz7/rec, /qz7/rew)"},
        {osc("/qz7/{play,stop}"), "/qz7/{play,stop} names more than one address (/qz7/play, /qz7/stop)"},
    };
    for (const Case& c : cases) {
        const auto replies = send(c.message);
        ASSERT_EQ(replies.size(), 1u) << c.reason;
        EXPECT_EQ(replies[0].to, kClient);
        EXPECT_EQ(decode(replies[0].bytes), (OscSeen{"/qz7/error", "s", c.reason}));
    }
    // A long address is shown cut short.
    const auto replies = send(osc("/" + std::string(300, 'a')));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(decode(replies[0].bytes).value, "unknown address /" + std::string(63, 'a') + "...");
    EXPECT_TRUE(panel.calls.empty());
}

TEST_F(Dispatcher, GarbageBundlesAndOversizedDatagramsAreDroppedSilently) {
    const Bytes play = osc("/qz7/play");
    Bytes bundle = {'#', 'b', 'u', 'n', 'd', 'l', 'e', 0, 0, 0, 0, 0, 0, 0, 0, 1};  // time tag "now"
    bundle.push_back(0);
    bundle.push_back(0);
    bundle.push_back(0);
    bundle.push_back(static_cast<std::uint8_t>(play.size()));
    bundle.insert(bundle.end(), play.begin(), play.end());

    Bytes badTypeTag = play;  // ",\0\0\0" becomes "x\0\0\0"
    badTypeTag[12] = 'x';
    const Bytes goTo = osc("/qz7/goto", {std::string("01:02:03:04")});
    Bytes oversized = osc("/qz7/goto", {std::string(OscDispatcher::kMaxDatagram, '0')});

    const std::vector<Bytes> garbage = {
        {},
        {'/'},
        {0, 0, 0, 0},
        {'a', 'b', 'c'},
        {'/', 'q', 'z', '7', '/', 'p', 'l', 'a', 'y', 0, 0},       // not a multiple of four
        {'/', 'q', 'z', '7', '/', 'p', 'l', 'a', 'y', 0, 0, 0},    // no type tag string
        Bytes(play.begin(), play.end() - 4),                        // cut inside the type tags
        badTypeTag,
        Bytes(goTo.begin(), goTo.end() - 4),                        // string cut short
        Bytes(64, 0xFF),
    };
    for (const Bytes& g : garbage) EXPECT_TRUE(send(g).empty());
    EXPECT_TRUE(send(oversized).empty());
    EXPECT_TRUE(send(bundle).empty());

    EXPECT_TRUE(panel.calls.empty());
    EXPECT_EQ(dispatcher.counters().malformed, garbage.size() + 1);
    EXPECT_EQ(dispatcher.counters().bundles, 1u);
    EXPECT_EQ(dispatcher.counters().refused, 0u);
    // And the dispatcher still obeys afterwards.
    EXPECT_TRUE(send(play).empty());
    EXPECT_EQ(panel.calls, std::vector<std::string>{"play"});
}

TEST_F(Dispatcher, ThePanelsRefusalsAndExceptionsGoBackToTheSender) {
    panel.refusal = "link off";
    auto replies = send(osc("/qz7/play"));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(decode(replies[0].bytes), (OscSeen{"/qz7/error", "s", "/qz7/play: link off"}));

    panel.refusal = "file 9 is not recorded";
    replies = send(osc("/qz7/file/open", {9}));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(decode(replies[0].bytes).value, "/qz7/file/open: file 9 is not recorded");

    // A full command stack throws; a flood is refused, not lost in silence.
    panel.refusal.clear();
    panel.throwWhat = "command stack full";
    for (int k = 0; k < 3; ++k) {
        replies = send(osc("/qz7/jog", {1}));
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_EQ(decode(replies[0].bytes).value, "/qz7/jog: command stack full");
    }
    EXPECT_EQ(dispatcher.counters().refused, 5u);
    EXPECT_EQ(dispatcher.counters().obeyed, 0u);

    panel.throwWhat.clear();
    EXPECT_TRUE(send(osc("/qz7/jog", {-1})).empty());
    EXPECT_EQ(panel.calls.back(), "jog -1");
}

std::vector<OscSeen> seenBy(const std::vector<OscDatagram>& datagrams, const OscPeer& peer) {
    std::vector<OscSeen> out;
    for (const OscDatagram& d : datagrams)
        if (d.to == peer) out.push_back(decode(d.bytes));
    return out;
}

OutcomeReport report(std::uint64_t id, const char* op, OutcomeReport::Stage stage, bool final, const char* transport) {
    OutcomeReport r;
    r.id = id;
    r.op = op;
    r.stage = stage;
    r.final = final;
    r.transport = transport;
    return r;
}

// The sender of a queued command hears its final outcome, once; a not
// confirmed one also reaches the subscribers, whoever asked.
TEST_F(Dispatcher, AFinalOutcomeGoesToItsSenderAndNotConfirmedToSubscribers) {
    using Stage = OutcomeReport::Stage;
    const OscPeer subscriber{"127.0.0.1", 9001};
    send(osc("/qz7/subscribe", {9001}));
    panel.nextId = 7;
    ASSERT_TRUE(send(osc("/qz7/rec", {1})).empty());
    ASSERT_TRUE(send(osc("/qz7/play"), {"127.0.0.2", 6000}).empty());  // id 8

    EXPECT_TRUE(dispatcher.outcome("", report(7, "rec", Stage::Sent, false, "PLAY")).empty());
    auto out = dispatcher.outcome("", report(7, "rec", Stage::NotConfirmed, true, "STOP"));
    EXPECT_EQ(seenBy(out, kClient), (std::vector<OscSeen>{{"/qz7/outcome", "sss", "rec not confirmed STOP"}}));
    EXPECT_EQ(seenBy(out, subscriber),
              (std::vector<OscSeen>{{"/qz7/error", "s", "REC not confirmed: recorder shows STOP"}}));
    EXPECT_EQ(out.size(), 2u);
    // Told once: the same report again reaches only the subscribers.
    out = dispatcher.outcome("", report(7, "rec", Stage::NotConfirmed, true, "STOP"));
    EXPECT_TRUE(seenBy(out, kClient).empty());
    out = dispatcher.outcome("", report(8, "play", Stage::Confirmed, true, "PLAY"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].to, (OscPeer{"127.0.0.2", 6000}));
    EXPECT_EQ(decode(out[0].bytes), (OscSeen{"/qz7/outcome", "sss", "play confirmed PLAY"}));
}

// A pattern over the rack's decks is one roll: one group number for its
// decks, each deck's outcome told apart.
TEST(OscRack, APatternOverDecksIsOneRollWithEachOutcomeApart) {
    test::FakeRemoteDecks rack;
    for (const char* name : {"a", "b", "c"}) rack.decks[name].nextId = 1;
    OscDispatcher dispatcher(rack);
    ASSERT_TRUE(dispatcher.handle(osc("/qz7/deck/[ab]/play"), kClient).empty());
    ASSERT_TRUE(dispatcher.handle(osc("/qz7/deck/c/play"), kClient).empty());
    const std::uint64_t group = rack.decks["a"].origins.at(0).group;
    EXPECT_NE(group, 0u);
    EXPECT_EQ(rack.decks["b"].origins.at(0).group, group);
    EXPECT_EQ(rack.decks["c"].origins.at(0).group, 0u) << "one deck alone is no roll";

    auto out = dispatcher.outcome("b", report(1, "play", OutcomeReport::Stage::Confirmed, true, "PLAY"));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(decode(out[0].bytes), (OscSeen{"/qz7/deck/b/outcome", "sss", "play confirmed PLAY"}));
    dispatcher.forgetDeck("a");
    EXPECT_TRUE(dispatcher.outcome("a", report(1, "play", OutcomeReport::Stage::Confirmed, true, "PLAY")).empty());
}

TEST_F(Dispatcher, ASubscriberGetsTheWholeStateThenOnlyChanges) {
    const OscPeer subscriber{"127.0.0.1", 9001};
    auto replies = send(osc("/qz7/subscribe", {9001}));
    const std::vector<OscSeen> whole = {
        {"/qz7/link", "s", "OFF"},  {"/qz7/timecode", "s", ""}, {"/qz7/transport", "s", ""},
        {"/qz7/rec", "i", "0"},     {"/qz7/number", "s", ""},   {"/qz7/error", "s", ""},
        {"/qz7/alarm", "s", ""},
    };
    EXPECT_EQ(seenBy(replies, subscriber), whole);
    EXPECT_EQ(replies.size(), whole.size()) << "nothing to the sending port";
    EXPECT_EQ(dispatcher.subscribers(), std::vector<OscPeer>{subscriber});

    ViewState s;
    s.link = "OK";
    s.timecode = "00:00:10:00";
    s.transport = "STOP";
    s.number = "FILE 001";
    EXPECT_EQ(seenBy(dispatcher.publish(s), subscriber),
              (std::vector<OscSeen>{{"/qz7/link", "s", "OK"},
                                    {"/qz7/timecode", "s", "00:00:10:00"},
                                    {"/qz7/transport", "s", "STOP"},
                                    {"/qz7/number", "s", "FILE 001"}}));
    EXPECT_TRUE(dispatcher.publish(s).empty()) << "nothing changed, nothing sent";

    s.rec = 1;
    s.transport = "REC";
    s.error = "DISK FULL";
    s.alarm = "recorder error: DISK FULL";
    EXPECT_EQ(seenBy(dispatcher.publish(s), subscriber),
              (std::vector<OscSeen>{{"/qz7/transport", "s", "REC"}, {"/qz7/rec", "i", "1"}, {"/qz7/error", "s", "DISK FULL"},
                                    {"/qz7/alarm", "s", "recorder error: DISK FULL"}}));

    // A second subscriber, on the sender's own port, starts from the state now.
    const auto second = send(osc("/qz7/subscribe"), {"127.0.0.5", 7000});
    const auto secondSeen = seenBy(second, {"127.0.0.5", 7000});
    ASSERT_EQ(secondSeen.size(), 7u);
    EXPECT_EQ(secondSeen[0], (OscSeen{"/qz7/link", "s", "OK"}));
    EXPECT_EQ(secondSeen[3], (OscSeen{"/qz7/rec", "i", "1"}));
    EXPECT_EQ(secondSeen[5], (OscSeen{"/qz7/error", "s", "DISK FULL"}));

    s.timecode = "00:00:10:01";
    auto both = dispatcher.publish(s);
    EXPECT_EQ(both.size(), 2u);
    EXPECT_EQ(seenBy(both, subscriber).size(), 1u);
    EXPECT_EQ(seenBy(both, {"127.0.0.5", 7000}).size(), 1u);

    // Unsubscribe names the port the way subscribe did.
    EXPECT_TRUE(send(osc("/qz7/unsubscribe", {9001})).empty());
    s.timecode = "00:00:10:02";
    both = dispatcher.publish(s);
    ASSERT_EQ(both.size(), 1u);
    EXPECT_EQ(both[0].to, (OscPeer{"127.0.0.5", 7000}));
    EXPECT_TRUE(panel.calls.empty());
}

TEST_F(Dispatcher, SubscriptionsExpireSixtySecondsAfterTheLastSubscribeAndNineAreTooMany) {
    // Four from each of two addresses: one address holds four at most.
    const OscPeer other{"127.0.0.2", 50000};
    for (std::uint16_t k = 0; k < 8; ++k)
        ASSERT_EQ(send(osc("/qz7/subscribe", {9000 + k}), k < 4 ? kClient : other).size(), 7u);
    auto refused = send(osc("/qz7/subscribe", {9100}));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(decode(refused[0].bytes).value, "/qz7/subscribe: too many subscribers from 127.0.0.1 (at most 4 per address)");
    // Renewing one of the eight is not a ninth.
    now += std::chrono::seconds(30);
    ASSERT_EQ(send(osc("/qz7/subscribe", {9000})).size(), 7u);
    EXPECT_EQ(dispatcher.subscribers().size(), 8u);

    const OscPeer third{"127.0.0.3", 50000};
    refused = send(osc("/qz7/subscribe", {9100}), third);
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].to, third);
    EXPECT_EQ(decode(refused[0].bytes), (OscSeen{"/qz7/error", "s", "/qz7/subscribe: too many subscribers"}));

    // 9001..9007 subscribed at 0 s, 9000 renewed at 30 s.
    ViewState s;
    now += std::chrono::seconds(29) + std::chrono::milliseconds(999);
    s.timecode = "00:00:00:01";
    EXPECT_EQ(dispatcher.publish(s).size(), 8u);
    now += std::chrono::milliseconds(1);  // 60 s after the first subscribes
    s.timecode = "00:00:00:02";
    auto out = dispatcher.publish(s);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].to.port, 9000);
    EXPECT_EQ(dispatcher.subscribers().size(), 1u);

    // The freed places take new subscribers again.
    EXPECT_EQ(send(osc("/qz7/subscribe", {9100})).size(), 7u);
    now += std::chrono::seconds(30);
    EXPECT_EQ(dispatcher.subscribers(), (std::vector<OscPeer>{{"127.0.0.1", 9100}}));
    now += std::chrono::seconds(30);
    EXPECT_TRUE(dispatcher.subscribers().empty());
}

}  // namespace
}  // namespace qz7

namespace qz7 {
namespace {

// The pattern language form by form, and the odd corners of each.
TEST(OscPatternTest, EachFormTakesWhatItSaysAndNoMore) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const std::vector<Case> cases = {
        {"play", "play", true}, {"play", "pla", false}, {"play", "plays", false}, {"", "", true}, {"", "a", false},
        {"p?ay", "play", true}, {"p?ay", "pay", false}, {"?", "", false}, {"??", "/q", true},
        {"*", "", true}, {"*", "/qz7/file/open", true}, {"/qz7/*/open", "/qz7/file/open", true},
        {"a*b*c", "axxbyyc", true}, {"a*b*c", "axxbyy", false}, {"***a", "a", true}, {"a***", "a", true},
        {"*?*?*?*?#", "machine-room", false}, {"*?*?", "ab", true}, {"*?*?", "a", false}, {"*c", "abcc", true},
        {"[abc]x", "bx", true}, {"[abc]x", "dx", false}, {"[a-c]", "b", true}, {"[a-c]", "d", false},
        {"[!a-c]", "d", true}, {"[!a-c]", "b", false}, {"[!a-c]", "", false}, {"[c-a]", "b", false},
        {"[c-a]", "a", true}, {"[]a]", "]", true}, {"[!]a]", "]", false}, {"[a-]", "-", true}, {"[a-]", "b", false},
        {"[-a]", "-", true}, {"[ab", "a", false}, {"[!]", "x", false}, {"x[0-9][0-9]", "x42", true},
        {"[*]", "*", true}, {"[*]", "a", false}, {"[\x01-\xff]", "\xe9", true},
        {"{play,pb}", "pb", true}, {"{play,pb}", "stop", false}, {"{cam1,cam10}", "cam10", true},
        {"{a,ab}c", "abc", true}, {"a{,b}", "a", true}, {"a{,b}", "ab", true}, {"{a*,b}", "a*", true},
        {"{a*,b}", "ax", false}, {"{ab", "ab", false}, {"}", "}", true}, {"studio-{a,b}*", "studio-b2", true},
        {"{x,y}{1,2}[!3]", "y2a", true}, {"{x,y}{1,2}[!3]", "y23", false},
    };
    for (const Case& c : cases) EXPECT_EQ(OscPattern(c.pattern).matches(c.name), c.matches) << c.pattern << " " << c.name;
}

}  // namespace
}  // namespace qz7
