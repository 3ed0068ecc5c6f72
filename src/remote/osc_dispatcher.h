// The OSC side of remote control without a socket: a datagram and its
// sender's address go in, the datagrams to send come out. Its command
// addresses are the table of operations' names (/qz7/play, /qz7/file/open),
// each run as the table says; subscribers are kept here and get the deck's
// view. Built on one RemoteDeck it answers the panel's unprefixed addresses
// (/qz7/play); built on RemoteDecks it answers the rack's, /qz7/deck/NAME/play,
// where NAME may be an OSC pattern that picks several decks.
#pragma once

#include <bitset>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "deck/outcome_report.h"
#include "deck/view_state.h"
#include "remote/operations.h"

namespace qz7 {

struct OscPeer {
    std::string host;  // numeric address as the socket reported it
    std::uint16_t port = 0;
    bool operator==(const OscPeer&) const = default;
};

// An OSC address pattern, read once and matched against many names.
//   ?        any one character
//   *        any run of characters, slashes included (the addresses here are
//            few and short, so "/qz7/*" names them all)
//   [abc]    one character of the set; a-z is a range, its ends included;
//   [!a-z]   after !, one character outside it; ] first and - last are plain
//   {ab,cd}  one of the words, each plain text
// Any other character is itself; a [ or { left open matches nothing.
// Matching walks the name once, keeping the set of pattern positions reached:
// its time grows with len(pattern) x len(name) and never by backtracking.
class OscPattern {
public:
    explicit OscPattern(std::string_view pattern);
    bool matches(std::string_view name) const;

private:
    enum class Kind : std::uint8_t { Byte, Any, Star, Set, Words };
    struct Token {
        Kind kind;
        unsigned char byte = 0;
        std::uint32_t first = 0;  // Set: index into sets_; Words: [first, last) of words_
        std::uint32_t last = 0;
    };
    std::vector<Token> tokens_;
    std::vector<std::bitset<256>> sets_;
    std::vector<std::string> words_;
    bool valid_ = true;
};

struct OscDatagram {
    OscPeer to;
    std::vector<std::uint8_t> bytes;
};

class OscDispatcher {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // The longest command is a few dozen bytes; anything near this is not ours.
    static constexpr std::size_t kMaxDatagram = 1024;
    static constexpr std::size_t kMaxSubscribers = 8;
    // One rack process serves a whole machine room's clients.
    static constexpr std::size_t kMaxRackSubscribers = 16;
    // A sender's address (its host, whatever the port) holds at most this
    // many subscriptions, so one client cannot take every place.
    static constexpr std::size_t kMaxSubscribersPerAddress = 4;
    static constexpr std::chrono::seconds kSubscriptionLifetime{60};
    // A pattern (the command part, or the deck part of /qz7/deck/NAME/...)
    // longer than this is refused: no address here comes near it.
    static constexpr std::size_t kMaxPattern = 256;
    // Commands whose final outcome a sender is still owed: a further one
    // forgets the oldest of its address (or of all, when all are taken).
    static constexpr std::size_t kMaxAwaited = 256;
    static constexpr std::size_t kMaxAwaitedPerAddress = 32;

    struct Counters {
        std::uint64_t obeyed = 0;     // commands handed to the panel, subscriptions
        std::uint64_t refused = 0;    // answered with /qz7/error, nothing queued
        std::uint64_t malformed = 0;  // not an OSC message, or too long: dropped
        std::uint64_t bundles = 0;    // dropped unopened
    };

    explicit OscDispatcher(RemoteDeck& deck, Clock clock = {});
    explicit OscDispatcher(RemoteDecks& decks, Clock clock = {});

    // One received datagram. Returns the replies (a refusal goes back to the
    // sender); a malformed datagram or a bundle gets none.
    std::vector<OscDatagram> handle(std::span<const std::uint8_t> datagram, const OscPeer& from);

    // The fields of state that changed since the last publish, to every live
    // subscriber.
    std::vector<OscDatagram> publish(const ViewState& state);
    // The rack's form: one deck's changed fields as /qz7/deck/NAME/..., to the
    // subscribers of every deck and those of this one.
    std::vector<OscDatagram> publish(const std::string& deck, const ViewState& state);

    // A deck's report of an operation ("" the panel's one deck). Final, it
    // goes to the sender of the command as /qz7[/deck/NAME]/outcome s op
    // s outcome s transport; not confirmed, it also goes to the deck's
    // subscribers as /qz7[/deck/NAME]/error s "REC not confirmed: ...".
    std::vector<OscDatagram> outcome(const std::string& deck, const OutcomeReport& report);
    // The deck left: no outcome of it is owed any more.
    void forgetDeck(const std::string& deck);
    // The decks the last datagram queued an operation on ("" the panel's).
    const std::vector<std::string>& commanded() const { return commanded_; }

    // Live subscribers, in the order they first subscribed.
    std::vector<OscPeer> subscribers();

    const Counters& counters() const { return counters_; }
    // What became of the last datagram, one line for --verbose output.
    const std::string& lastOutcome() const { return outcome_; }

    struct Args;  // the arguments of one message, as liblo decoded them

private:
    struct Subscriber {
        OscPeer peer;
        std::chrono::steady_clock::time_point renewed;
        bool everyDeck = true;            // the rack: false when only some decks were asked for
        std::vector<std::string> decks;   // those decks
    };
    struct Route;
    struct Awaited {
        std::string deck;
        std::uint64_t id;  // Outcome::id on that deck
        std::string op;
        OscPeer from;
    };

    // The one route an address (or pattern) names; nullptr with the reason.
    static const Route* findRoute(const std::string& address, std::string& why);
    std::vector<OscDatagram> dispatch(const std::string& address, const Args& args, const OscPeer& from);
    std::vector<OscDatagram> dispatchRack(const std::string& address, const Args& args, const OscPeer& from);
    // Runs an operation on deck (its name, "" for the panel's; group: a roll,
    // 0 alone); "" or the reason it was refused.
    std::string run(const Operation& op, RemoteDeck& deck, const Args& args, const OscPeer& from,
                    const std::string& name = {}, std::uint64_t group = 0);
    void await(const std::string& deck, std::uint64_t id, const std::string& op, const OscPeer& from);
    // The peer a (un)subscribe names: the sender, or the port its argument gives.
    static std::string subscriberPeer(const Args& a, const OscPeer& from, OscPeer& peer, const char* name);
    // Adds or renews a subscriber; decks empty means every deck.
    std::string addSubscriber(const OscPeer& peer, const std::vector<std::string>& decks);
    void dropExpired();
    void sendWholeState(const OscPeer& to, std::vector<OscDatagram>& out) const;
    void sendDeckState(const OscPeer& to, const std::string& deck, std::vector<OscDatagram>& out) const;
    std::string subscribe(const Args& a, const OscPeer& from, std::vector<OscDatagram>& out);
    std::string unsubscribe(const Args& a, const OscPeer& from);

    RemoteDeck* deck_ = nullptr;        // the panel's one deck
    RemoteDecks* decks_ = nullptr;      // or the rack's decks
    Clock clock_;
    std::vector<Subscriber> subscribers_;
    ViewState published_;
    std::map<std::string, ViewState> publishedDecks_;
    Counters counters_;
    std::string outcome_;
    std::vector<Awaited> awaited_;
    std::vector<std::string> commanded_;
};

// One OSC message as bytes: an address and string / int32 arguments.
std::vector<std::uint8_t> oscMessage(const std::string& address, const std::string& value);
std::vector<std::uint8_t> oscMessage(const std::string& address, int value);
std::vector<std::uint8_t> oscMessage(const std::string& address, const std::vector<std::string>& values);

}  // namespace qz7
