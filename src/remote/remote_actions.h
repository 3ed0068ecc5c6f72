// What a remote-control client (OSC, the web page) may ask of the panel, and
// what it is told back. Plain C++ so the front ends can be built and tested
// without the windows.
#pragma once

#include <string>
#include <vector>

#include "deck/origin.h"

namespace qz7 {

// What a remote client may ask of the panel. Each call names its origin
// (osc 127.0.0.1:51000, web 10.0.0.5) and returns "" when the command was queued, or the
// reason it was refused ("link off", ...). The implementation queues exactly
// the bytes the panel's own control would queue. It may throw std::exception;
// the caller catches.
class RemoteActions {
public:
    virtual ~RemoteActions() = default;
    virtual std::string play(const Origin& origin) = 0;
    virtual std::string stop(const Origin& origin, bool lock) = 0;                  // lock: LOCK, else NORM
    virtual std::string record(const Origin& origin) = 0;
    virtual std::string fastForward(const Origin& origin, int item) = 0;            // FF/RWD speed box item 0..4 ("x 100".."x 5")
    virtual std::string rewind(const Origin& origin, int item) = 0;
    virtual std::string slow(const Origin& origin, int direction, int item) = 0;    // direction 1 / -1; SLOW SPEED item 0..8
    virtual std::string jog(const Origin& origin, int direction) = 0;               // 1 forward, -1 reverse
    virtual std::string monitorEE(const Origin& origin) = 0;
    virtual std::string monitorPB(const Origin& origin) = 0;
    virtual std::string openFile(const Origin& origin, int number) = 0;             // as the REC FILES list shows it, from 1
    virtual std::string openClip(const Origin& origin, int number) = 0;             // as the CLIPS list shows it, from 0
    virtual std::string openSequence(const Origin& origin, int number) = 0;         // 0..15, as the Sequence List shows it
    virtual std::string markCue(const Origin& origin) = 0;
    virtual std::string searchCue(const Origin& origin, int number) = 0;            // line of the cue list, from 0
    virtual std::string goTo(const Origin& origin, const std::string& timecode) = 0; // "hh:mm:ss:ff"
    virtual std::string retrieve(const Origin& origin) = 0;                              // the lists read afresh
};

// What a subscriber sees; published whole, sent field by field when changed.
struct RemoteState {
    std::string link = "OFF";   // "OFF", "OK", "NO REPLY"
    std::string timecode;       // "hh:mm:ss:ff"
    std::string transport;      // the transport word as the status panel shows it
    int rec = 0;                // 1 while recording
    std::string number;         // the REC FILE / CLIP / SEQ line
    std::string error;          // the recorder's error text
    bool operator==(const RemoteState&) const = default;
};

// The rack's decks as remote control sees them: each by its name.
class RemoteDecks {
public:
    virtual ~RemoteDecks() = default;
    // Every deck's name, sorted.
    virtual std::vector<std::string> deckNames() const = 0;
    // nullptr when no deck has that name.
    virtual RemoteActions* deckActions(const std::string& name) = 0;
    virtual RemoteState deckState(const std::string& name) const = 0;
};

}  // namespace qz7
