// What a remote-control client (OSC) may ask of the panel, and what it is told
// back. Plain C++ so the OSC side can be built and tested without the windows.
#pragma once

#include <string>

namespace qz7 {

// What a remote client may ask of the panel. Each call returns "" when the
// command was queued, or the reason it was refused ("link off", ...). The
// implementation queues exactly the bytes the panel's own control would queue.
// It may throw std::exception (a full command stack); the caller catches.
class RemoteActions {
public:
    virtual ~RemoteActions() = default;
    virtual std::string play() = 0;
    virtual std::string stop(bool lock) = 0;                  // lock: LOCK, else NORM
    virtual std::string record() = 0;
    virtual std::string fastForward(int item) = 0;            // FF/RWD speed box item 0..4 ("x 100".."x 5")
    virtual std::string rewind(int item) = 0;
    virtual std::string slow(int direction, int item) = 0;    // direction 1 / -1; SLOW SPEED item 0..8
    virtual std::string jog(int direction) = 0;               // 1 forward, -1 reverse
    virtual std::string monitorEE() = 0;
    virtual std::string monitorPB() = 0;
    virtual std::string openFile(int number) = 0;             // as the REC FILES list shows it, from 1
    virtual std::string openClip(int number) = 0;             // as the CLIPS list shows it, from 0
    virtual std::string openSequence(int number) = 0;         // 0..15, as the Sequence List shows it
    virtual std::string markCue() = 0;
    virtual std::string searchCue(int number) = 0;            // line of the cue list, from 0
    virtual std::string goTo(const std::string& timecode) = 0; // "hh:mm:ss:ff"
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

}  // namespace qz7
