// OSC to a rack of decks, without sockets: the deck part of an address picks
// the decks (a pattern picks several), the command part exactly one command.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>

#include "../remote/fake_remote_deck.h"
#include "../remote/osc_messages.h"
#include "remote/osc_dispatcher.h"

namespace qz7::test {
namespace {

class FakeDecks : public RemoteDecks {
public:
    std::map<std::string, FakeRemoteDeck> decks;
    std::map<std::string, ViewState> states;
    std::vector<std::string> deckNames() const override {
        std::vector<std::string> names;
        for (const auto& [name, d] : decks) names.push_back(name);
        return names;
    }
    RemoteDeck* remoteDeck(const std::string& name) override {
        auto it = decks.find(name);
        return it == decks.end() ? nullptr : &it->second;
    }
    ViewState deckState(const std::string& name) const override {
        auto it = states.find(name);
        return it == states.end() ? ViewState{} : it->second;
    }
};

class RackRouting : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* n : {"studio-a", "studio-b", "edit1"}) decks.decks[n];
    }
    std::vector<OscSeen> send(const std::string& path, const std::vector<OscArg>& args = {}, std::uint16_t port = 5000,
                              const std::string& host = "127.0.0.1") {
        std::vector<OscSeen> replies;
        for (const OscDatagram& d : dispatcher.handle(osc(path, args), {host, port})) {
            replies.push_back(decode(d.bytes));
        }
        return replies;
    }
    std::vector<std::string>& calls(const char* deck) { return decks.decks[deck].calls; }

    FakeDecks decks;
    OscDispatcher dispatcher{decks};
};

TEST_F(RackRouting, DeckPartPicksTheDecks) {
    EXPECT_TRUE(send("/qz7/deck/studio-a/play").empty());
    EXPECT_TRUE(send("/qz7/deck/studio-b/rec", {1}).empty());
    EXPECT_EQ(calls("studio-a"), std::vector<std::string>{"play"});
    EXPECT_EQ(calls("studio-b"), std::vector<std::string>{"rec 1"});
    EXPECT_TRUE(calls("edit1").empty());

    // Recording several decks together.
    EXPECT_TRUE(send("/qz7/deck/{studio-a,studio-b}/rec", {1}).empty());
    EXPECT_EQ(calls("studio-a").back(), "rec 1");
    EXPECT_EQ(calls("studio-b").back(), "rec 1");
    EXPECT_EQ(calls("edit1").size(), 0u);
    EXPECT_TRUE(send("/qz7/deck/*/stop", {1}).empty());
    for (const char* d : {"studio-a", "studio-b", "edit1"}) EXPECT_EQ(calls(d).back(), "stop 1") << d;
    EXPECT_TRUE(send("/qz7/deck/studio-?/slow", {-1, 8}).empty());
    EXPECT_EQ(calls("studio-b").back(), "slow -1 8");
    EXPECT_EQ(calls("edit1").back(), "stop 1");
    // A command's arguments are checked for each deck as for the panel.
    EXPECT_EQ(send("/qz7/deck/edit1/goto", {std::string("1:2")}),
              (std::vector<OscSeen>{{"/qz7/error", "s", "edit1: timecode must be hh:mm:ss:ff"}}));
    EXPECT_EQ(send("/qz7/deck/edit1/file/open", {4}), std::vector<OscSeen>{});
    EXPECT_EQ(calls("edit1").back(), "file/open 4");
    EXPECT_EQ(dispatcher.counters().refused, 1u);
}

TEST_F(RackRouting, RefusalsNameTheDeckAndTheOthersAct) {
    decks.decks["studio-b"].refusal = "link off";
    decks.decks["edit1"].throwWhat = "command stack full";
    EXPECT_EQ(send("/qz7/deck/*/play"), (std::vector<OscSeen>{{"/qz7/error", "s", "edit1: command stack full"},
                                                              {"/qz7/error", "s", "studio-b: link off"}}));
    EXPECT_EQ(calls("studio-a"), std::vector<std::string>{"play"});

    // Nothing acts when no deck, or more than one command, is named.
    EXPECT_EQ(send("/qz7/deck/studio-c/play"),
              (std::vector<OscSeen>{{"/qz7/error", "s", "no deck matches studio-c (decks: edit1, studio-a, studio-b)"}}));
    EXPECT_EQ(send("/qz7/deck/*/p*").at(0).value,
              "/qz7/p* names more than one address (/qz7/play, /qz7/pb)");
    EXPECT_EQ(send("/qz7/deck/studio-a").at(0).value, "/qz7/deck/studio-a names no command: /qz7/deck/NAME/COMMAND");
    EXPECT_EQ(send("/qz7/deck/studio-a/rec").at(0).value, "studio-a: needs the argument 1: /qz7/rec i 1");
    EXPECT_EQ(calls("studio-a"), std::vector<std::string>{"play"});

    // Unprefixed commands need a single deck.
    EXPECT_EQ(send("/qz7/play"), (std::vector<OscSeen>{{"/qz7/error", "s",
                                                        "/qz7/play needs a deck: /qz7/deck/NAME/play (decks: edit1, "
                                                        "studio-a, studio-b)"}}));
    decks.decks.erase("studio-b");
    decks.decks.erase("edit1");
    EXPECT_TRUE(send("/qz7/play").empty());
    EXPECT_EQ(calls("studio-a"), (std::vector<std::string>{"play", "play"}));
}

TEST_F(RackRouting, DeckListAndSubscriptions) {
    EXPECT_EQ(send("/qz7/decks"), (std::vector<OscSeen>{{"/qz7/decks", "sss", "edit1 studio-a studio-b"}}));

    decks.states["studio-a"].transport = "PLAY";
    const auto whole = send("/qz7/subscribe", {6000});
    ASSERT_EQ(whole.size(), 21u);
    EXPECT_EQ(whole[7], (OscSeen{"/qz7/deck/studio-a/link", "s", "OFF"}));
    EXPECT_EQ(whole[9], (OscSeen{"/qz7/deck/studio-a/transport", "s", "PLAY"}));
    EXPECT_EQ(whole[12].path, "/qz7/deck/studio-a/error");
    EXPECT_EQ(whole[13], (OscSeen{"/qz7/deck/studio-a/alarm", "s", ""}));

    // One deck's subscriber hears only that deck.
    const auto one = send("/qz7/deck/edit1/subscribe", {}, 7000);
    ASSERT_EQ(one.size(), 7u);
    EXPECT_EQ(one[0].path, "/qz7/deck/edit1/link");
    ViewState playing;
    playing.transport = "PLAY";
    auto to = [](const std::vector<OscDatagram>& out) {
        std::vector<std::pair<int, OscSeen>> seen;
        for (const auto& d : out) seen.push_back({d.to.port, decode(d.bytes)});
        return seen;
    };
    EXPECT_EQ(to(dispatcher.publish("studio-b", playing)),
              (std::vector<std::pair<int, OscSeen>>{{6000, {"/qz7/deck/studio-b/transport", "s", "PLAY"}}}));
    EXPECT_EQ(to(dispatcher.publish("edit1", playing)),
              (std::vector<std::pair<int, OscSeen>>{{6000, {"/qz7/deck/edit1/transport", "s", "PLAY"}},
                                                    {7000, {"/qz7/deck/edit1/transport", "s", "PLAY"}}}));
    EXPECT_TRUE(dispatcher.publish("edit1", playing).empty());
    EXPECT_TRUE(send("/qz7/deck/edit1/unsubscribe", {}, 7000).empty());
    EXPECT_EQ(dispatcher.subscribers().size(), 1u);

    // Sixteen subscribers at most, for the whole process, four from one address.
    for (std::uint16_t p = 1; p < 16; ++p)
        EXPECT_EQ(send("/qz7/subscribe", {}, p, "127.0.0." + std::to_string(2 + p % 4)).size(), 21u) << p;
    EXPECT_EQ(send("/qz7/subscribe", {}, 16, "127.0.0.9"),
              (std::vector<OscSeen>{{"/qz7/error", "s", "/qz7/subscribe: too many subscribers"}}));
    EXPECT_EQ(send("/qz7/deck/edit1/subscribe", {}, 16, "127.0.0.3").at(0).value,
              "/qz7/subscribe: too many subscribers from 127.0.0.3 (at most 4 per address)");
}

// Thirty-two decks with 32-character names: however a pattern is built, its
// datagram is handled in a moment, and one too long is refused, saying so.
TEST(RackRoutingCost, NoPatternHoldsTheRackForMoreThanAMoment) {
    FakeDecks decks;
    for (int k = 0; k < 32; ++k) {
        std::string name = "machine-room-deck-" + std::to_string(10 + k) + "-";
        name.resize(32, 'x');
        decks.decks[name];
    }
    OscDispatcher dispatcher{decks};
    std::string starAny;
    for (int k = 0; k < 18; ++k) starAny += "*?";
    std::string names = "{";
    for (int k = 0; k < 11; ++k) names += "machine-room-deck-" + std::to_string(10 + k) + ",";
    names.back() = '}';
    std::string range = "[!";
    for (char c = '0'; c <= 'z'; ++c)
        if (c != ']' && c != '\\') range += std::string{c, '-', c};
    range += "]";
    std::string sets;
    for (int k = 0; k < 50; ++k) sets += "[!#]*";
    struct Case {
        std::string address;
        std::string reply;  // the start of the one reply, or "" for none
    };
    const std::vector<Case> cases = {
        {"/qz7/deck/" + starAny + "#/play", "no deck matches "},
        {"/qz7/deck/" + starAny + "/stop", ""},
        {"/qz7/deck/" + std::string(200, '*') + "?#/stop", "no deck matches "},
        {"/qz7/deck/" + std::string(1000, '*') + "/stop", "deck pattern longer than 256 characters: ****"},
        {"/qz7/deck/" + names + "*/stop", ""},
        {"/qz7/deck/" + range + "*#/stop", "no deck matches "},
        {"/qz7/deck/" + sets + "#/stop", "no deck matches "},
        {"/qz7/deck/machine-room-deck-10-xxxxxxxxxxx/" + starAny + "#", "unknown address /qz7/"},
    };
    for (const Case& c : cases) {
        const auto message = osc(c.address, {1});
        double slowest = 0;
        for (int rep = 0; rep < 3; ++rep) {
            const auto start = std::chrono::steady_clock::now();
            const auto replies = dispatcher.handle(message, {"127.0.0.1", 5000});
            slowest = std::max(slowest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (c.reply.empty()) {
                EXPECT_TRUE(replies.empty()) << c.address;
            } else {
                ASSERT_EQ(replies.size(), 1u) << c.address;
                EXPECT_EQ(decode(replies[0].bytes).value.rfind(c.reply, 0), 0u) << decode(replies[0].bytes).value;
            }
        }
        std::printf("%8.3f ms  %.60s\n", slowest, c.address.c_str());
        EXPECT_LT(slowest, 5.0) << c.address;
    }
}

}  // namespace
}  // namespace qz7::test
