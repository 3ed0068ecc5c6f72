// A RemoteActions that records each call as a short line ("stop LOCK",
// "slow -1 8") and refuses or throws when told to.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "remote/remote_actions.h"

namespace qz7::test {

class FakeRemoteActions : public RemoteActions {
public:
    std::vector<std::string> calls;
    std::vector<Origin> origins;  // who made each call
    std::string refusal;     // returned by every call when not empty
    std::string throwWhat;   // thrown by every call when not empty
    // Calls beyond this many throw, as the panel's full command stack does.
    std::size_t capacity = static_cast<std::size_t>(-1);

    std::string play(const Origin& origin) override { return call(origin, "play"); }
    std::string stop(const Origin& origin, bool lock) override { return call(origin, lock ? "stop LOCK" : "stop NORM"); }
    std::string record(const Origin& origin) override { return call(origin, "rec"); }
    std::string fastForward(const Origin& origin, int item) override { return call(origin, "ff " + std::to_string(item)); }
    std::string rewind(const Origin& origin, int item) override { return call(origin, "rew " + std::to_string(item)); }
    std::string slow(const Origin& origin, int direction, int item) override {
        return call(origin, "slow " + std::to_string(direction) + " " + std::to_string(item));
    }
    std::string jog(const Origin& origin, int direction) override { return call(origin, "jog " + std::to_string(direction)); }
    std::string monitorEE(const Origin& origin) override { return call(origin, "ee"); }
    std::string monitorPB(const Origin& origin) override { return call(origin, "pb"); }
    std::string openFile(const Origin& origin, int number) override { return call(origin, "file " + std::to_string(number)); }
    std::string openClip(const Origin& origin, int number) override { return call(origin, "clip " + std::to_string(number)); }
    std::string openSequence(const Origin& origin, int number) override { return call(origin, "seq " + std::to_string(number)); }
    std::string markCue(const Origin& origin) override { return call(origin, "cue mark"); }
    std::string searchCue(const Origin& origin, int number) override { return call(origin, "cue search " + std::to_string(number)); }
    std::string retrieve(const Origin& origin) override { return call(origin, "retrieve"); }
    std::string goTo(const Origin& origin, const std::string& timecode) override { return call(origin, "goto " + timecode); }

private:
    std::string call(const Origin& origin, std::string line) {
        calls.push_back(std::move(line));
        origins.push_back(origin);
        if (!throwWhat.empty()) throw std::runtime_error(throwWhat);
        if (calls.size() > capacity) throw std::runtime_error("command stack full");
        return refusal;
    }
};

}  // namespace qz7::test
