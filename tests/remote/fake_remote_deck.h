// A RemoteDeck that records each operation it is asked to run as a short
// line, its name and its checked arguments ("stop 1", "slow -1 8"), and
// refuses or throws when told to.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "remote/operations.h"

namespace qz7::test {

class FakeRemoteDeck : public RemoteDeck {
public:
    std::vector<std::string> calls;
    std::vector<Origin> origins;  // who made each call
    std::string refusal;     // returned by every call when not empty
    std::string throwWhat;   // thrown by every call when not empty
    // Calls beyond this many throw, as the panel's full command stack does.
    std::size_t capacity = static_cast<std::size_t>(-1);

    Outcome run(const Operation& op, const OpArgs& args, const Origin& origin) override {
        const std::string values = args.text();
        calls.push_back(values.empty() ? std::string(op.name) : op.name + (" " + values));
        origins.push_back(origin);
        if (!throwWhat.empty()) throw std::runtime_error(throwWhat);
        if (calls.size() > capacity) throw std::runtime_error("command stack full");
        return Outcome::refused(refusal);
    }
};

}  // namespace qz7::test
