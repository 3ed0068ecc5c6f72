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
    std::string refusal;     // returned by every call when not empty
    std::string throwWhat;   // thrown by every call when not empty
    // Calls beyond this many throw, as the panel's full command stack does.
    std::size_t capacity = static_cast<std::size_t>(-1);

    std::string play(const std::string&) override { return call("play"); }
    std::string stop(const std::string&, bool lock) override { return call(lock ? "stop LOCK" : "stop NORM"); }
    std::string record(const std::string&) override { return call("rec"); }
    std::string fastForward(const std::string&, int item) override { return call("ff " + std::to_string(item)); }
    std::string rewind(const std::string&, int item) override { return call("rew " + std::to_string(item)); }
    std::string slow(const std::string&, int direction, int item) override {
        return call("slow " + std::to_string(direction) + " " + std::to_string(item));
    }
    std::string jog(const std::string&, int direction) override { return call("jog " + std::to_string(direction)); }
    std::string monitorEE(const std::string&) override { return call("ee"); }
    std::string monitorPB(const std::string&) override { return call("pb"); }
    std::string openFile(const std::string&, int number) override { return call("file " + std::to_string(number)); }
    std::string openClip(const std::string&, int number) override { return call("clip " + std::to_string(number)); }
    std::string openSequence(const std::string&, int number) override { return call("seq " + std::to_string(number)); }
    std::string markCue(const std::string&) override { return call("cue mark"); }
    std::string searchCue(const std::string&, int number) override { return call("cue search " + std::to_string(number)); }
    std::string goTo(const std::string&, const std::string& timecode) override { return call("goto " + timecode); }

private:
    std::string call(std::string line) {
        calls.push_back(std::move(line));
        if (!throwWhat.empty()) throw std::runtime_error(throwWhat);
        if (calls.size() > capacity) throw std::runtime_error("command stack full");
        return refusal;
    }
};

}  // namespace qz7::test
