// Who asked the deck for an operation: the window, one of its keys, an OSC
// sender, a web client, the rack service, the program's own start (the Apply
// of qz7cont --headless), or the recorder itself. Carried by
// every operation so that a log can say who did what.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "link/protocol.h"

namespace qz7 {

struct Origin {
    enum class Kind { Panel, Key, Osc, Web, Rack, Start, Recorder };

    Kind kind = Kind::Panel;
    std::string detail;  // the key ("F7"), the sender ("127.0.0.1:51000"), the client ("10.0.0.5")
    // Operations asked of several decks at once (a roll) share a group
    // number; 0 is an operation asked alone. text() leaves it out.
    std::uint64_t group = 0;

    static Origin panel() { return {Kind::Panel, {}}; }
    static Origin key(std::string name) { return {Kind::Key, std::move(name)}; }
    static Origin osc(std::string sender) { return {Kind::Osc, std::move(sender)}; }
    static Origin web(std::string client) { return {Kind::Web, std::move(client)}; }
    static Origin rack() { return {Kind::Rack, {}}; }
    static Origin start() { return {Kind::Start, {}}; }
    static Origin recorder() { return {Kind::Recorder, {}}; }

    // "panel", "key F7", "osc 127.0.0.1:51000", "web 10.0.0.5", "rack", "start",
    // "recorder".
    std::string text() const;
    // The first word of text(): "panel", "key", ... "recorder".
    static const char* kindWord(Kind kind);
    bool operator==(const Origin&) const = default;
};

// A named argument of an operation, as remote clients name it ("lock",
// "item", "direction", "number", "timecode"): a whole number or a text.
struct Arg {
    std::string name;
    std::variant<std::int64_t, std::string> value;
    bool operator==(const Arg&) const = default;
};
using Args = std::vector<Arg>;

// What became of an operation: queued (its packets, in the order they went
// onto the command stack), or refused with the reason in words.
struct Outcome {
    std::string refusal;          // empty: queued
    bool stackFull = false;       // refused because the command stack had no room
    std::vector<Packet> packets;  // queued, in queue order (the recorder gets them last first)
    int index = -1;               // the entry an operation chose (the cue slot of a mark)
    Args args;                    // what the operation was asked, queued or refused
    // The operation's number on its deck, named again by each OutcomeReport
    // (outcome_report.h); 0 when refused.
    std::uint64_t id = 0;

    bool queued() const { return refusal.empty(); }
    static Outcome refused(std::string why) {
        Outcome o;
        o.refusal = std::move(why);
        return o;
    }
};

}  // namespace qz7
