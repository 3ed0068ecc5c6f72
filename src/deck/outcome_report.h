// What became of an operation after it was queued: the tick its packet left,
// then, for the operations whose effect the recorder's transport word shows,
// whether the recorder did it. Plain C++: the OSC dispatcher and the web
// server read it as they read the view.
#pragma once

#include <cstdint>
#include <string>

#include "deck/origin.h"

namespace qz7 {

struct OutcomeReport {
    enum class Stage {
        Sent,          // the last of its packets left for the recorder
        Confirmed,     // the recorder's transport word shows it
        NotConfirmed,  // the window passed and the recorder showed something else
        Superseded,    // taken off the stack before it left (a STOP, an Apply)
    };

    std::uint64_t id = 0;     // Outcome::id of the operation on its deck
    std::uint64_t group = 0;  // Origin::group: several decks asked at once
    Origin origin;
    std::string op;           // "play", "rec", ...
    Stage stage = Stage::Sent;
    // No later report follows for this id. A Sent report is final for an
    // operation whose effect the transport word does not show.
    bool final = false;
    // The transport word the recorder showed when this was decided ("" when
    // it never reported one).
    std::string transport;
    // The word that confirms the operation ("PLAY"); "" when none does.
    std::string expected;
    std::int64_t ms = 0;      // since the operation was queued
    // Why, in words, when something stood in the way: "no reply from
    // 10.0.5.31 for 3 s", "superseded by stop from panel", "superseded by apply".
    std::string note;

    static const char* word(Stage stage) {
        switch (stage) {
        case Stage::Sent: return "sent";
        case Stage::Confirmed: return "confirmed";
        case Stage::NotConfirmed: return "not confirmed";
        case Stage::Superseded: return "superseded";
        }
        return "sent";
    }
    const char* word() const { return word(stage); }
};

}  // namespace qz7
