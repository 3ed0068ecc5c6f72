// The OSC side of remote control without a socket: a datagram and its
// sender's address go in, the datagrams to send come out. Commands reach the
// panel through RemoteActions; subscribers are kept here and get the state.
// Plain C++ and liblo, so the fuzzer and the unit tests drive it directly.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "remote/remote_actions.h"

namespace qz7 {

struct OscPeer {
    std::string host;  // numeric address as the socket reported it
    std::uint16_t port = 0;
    bool operator==(const OscPeer&) const = default;
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
    static constexpr std::chrono::seconds kSubscriptionLifetime{60};

    struct Counters {
        std::uint64_t obeyed = 0;     // commands handed to the panel, subscriptions
        std::uint64_t refused = 0;    // answered with /qz7/error, nothing queued
        std::uint64_t malformed = 0;  // not an OSC message, or too long: dropped
        std::uint64_t bundles = 0;    // dropped unopened
    };

    explicit OscDispatcher(RemoteActions& actions, Clock clock = {});

    // One received datagram. Returns the replies (a refusal goes back to the
    // sender); a malformed datagram or a bundle gets none.
    std::vector<OscDatagram> handle(std::span<const std::uint8_t> datagram, const OscPeer& from);

    // The fields of state that changed since the last publish, to every live
    // subscriber.
    std::vector<OscDatagram> publish(const RemoteState& state);

    // Live subscribers, in the order they first subscribed.
    std::vector<OscPeer> subscribers();

    const Counters& counters() const { return counters_; }
    // What became of the last datagram, one line for --verbose output.
    const std::string& lastOutcome() const { return outcome_; }

    struct Args;  // the arguments of one message, as liblo decoded them
    using Handler = std::string (OscDispatcher::*)(const Args&, const OscPeer&, std::vector<OscDatagram>&);

private:
    struct Subscriber {
        OscPeer peer;
        std::chrono::steady_clock::time_point renewed;
    };

    std::vector<OscDatagram> dispatch(const std::string& address, const Args& args, const OscPeer& from);
    void dropExpired();
    void sendWholeState(const OscPeer& to, std::vector<OscDatagram>& out) const;

    std::string play(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string stop(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string record(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string fastForward(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string rewind(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string slow(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string jog(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string monitorEE(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string monitorPB(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string openFile(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string openClip(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string openSequence(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string markCue(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string searchCue(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string goTo(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string subscribe(const Args&, const OscPeer&, std::vector<OscDatagram>&);
    std::string unsubscribe(const Args&, const OscPeer&, std::vector<OscDatagram>&);

    RemoteActions& actions_;
    Clock clock_;
    std::vector<Subscriber> subscribers_;
    RemoteState published_;
    Counters counters_;
    std::string outcome_;
};

// One OSC message as bytes: an address and string / int32 arguments.
std::vector<std::uint8_t> oscMessage(const std::string& address, const std::string& value);
std::vector<std::uint8_t> oscMessage(const std::string& address, int value);

}  // namespace qz7
