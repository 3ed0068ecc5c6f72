// The Deck side of the table of operations: each operation's deck call, by
// the operation's name. Apart from operations.cpp so that the table (names,
// arguments, checks) stays plain C++ for the OSC dispatcher's fuzzer.
#include <stdexcept>
#include <string>
#include <string_view>

#include "deck/deck.h"
#include "remote/operations.h"

namespace qz7 {

namespace {

Direction direction(const OpArgs& a) { return a.integer("direction") < 0 ? Direction::Reverse : Direction::Forward; }

struct DeckCall {
    std::string_view name;
    Outcome (*call)(Deck& deck, const OpArgs& args, const Origin& origin);
};

const DeckCall kDeckCalls[] = {
    {"play", [](Deck& d, const OpArgs&, const Origin& o) { return d.play(o); }},
    {"stop", [](Deck& d, const OpArgs& a, const Origin& o) { return d.stop(a.integer("lock") == 1, o); }},
    {"rec", [](Deck& d, const OpArgs&, const Origin& o) { return d.record(o); }},
    {"ff", [](Deck& d, const OpArgs& a, const Origin& o) { return d.wind(Direction::Forward, a.integer("item"), o); }},
    {"rew", [](Deck& d, const OpArgs& a, const Origin& o) { return d.wind(Direction::Reverse, a.integer("item"), o); }},
    {"slow", [](Deck& d, const OpArgs& a, const Origin& o) { return d.slow(direction(a), a.integer("item"), o); }},
    {"jog", [](Deck& d, const OpArgs& a, const Origin& o) { return d.jog(direction(a), o); }},
    {"ee", [](Deck& d, const OpArgs&, const Origin& o) { return d.monitorEE(o); }},
    {"pb", [](Deck& d, const OpArgs&, const Origin& o) { return d.monitorPB(o); }},
    {"file/open", [](Deck& d, const OpArgs& a, const Origin& o) { return d.openFile(a.integer("number"), o); }},
    {"clip/open", [](Deck& d, const OpArgs& a, const Origin& o) { return d.openClip(a.integer("number"), o); }},
    {"seq/open", [](Deck& d, const OpArgs& a, const Origin& o) { return d.openSequence(a.integer("number"), o); }},
    {"cue/mark", [](Deck& d, const OpArgs&, const Origin& o) { return d.markCue(o); }},
    {"cue/search", [](Deck& d, const OpArgs& a, const Origin& o) { return d.searchCue(a.integer("number"), false, o); }},
    {"cue/cue", [](Deck& d, const OpArgs& a, const Origin& o) { return d.searchCue(a.integer("number"), true, o); }},
    {"goto", [](Deck& d, const OpArgs& a, const Origin& o) { return d.goTo(a.text("timecode"), o); }},
    {"retrieve", [](Deck& d, const OpArgs&, const Origin& o) { return d.retrieve(o); }},
    {"alarm/ack", [](Deck& d, const OpArgs&, const Origin& o) { return d.acknowledgeAlarm(o); }},
};

}  // namespace

Outcome DeckTarget::run(const Operation& op, const OpArgs& args, const Origin& origin) {
    for (const DeckCall& c : kDeckCalls)
        if (c.name == op.name) return c.call(deck_, args, origin);
    // An entry added to the table without its call here: refused by
    // runCommand with this text rather than run as something else.
    throw std::logic_error(std::string("no deck call for ") + op.name);
}

}  // namespace qz7
