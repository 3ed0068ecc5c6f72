// A RemoteDeck that records each operation it is asked to run as a short
// line, its name and its checked arguments ("stop 1", "slow -1 8"), and
// refuses or throws when told to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
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
    // Not 0: what it queues is numbered from this, as a deck numbers its operations.
    std::uint64_t nextId = 0;

    Outcome run(const Operation& op, const OpArgs& args, const Origin& origin) override {
        const std::string values = args.text();
        calls.push_back(values.empty() ? std::string(op.name) : op.name + (" " + values));
        origins.push_back(origin);
        if (!throwWhat.empty()) throw std::runtime_error(throwWhat);
        if (calls.size() > capacity) throw std::runtime_error("command stack full");
        Outcome outcome = Outcome::refused(refusal);
        if (refusal.empty() && nextId != 0) outcome.id = nextId++;
        return outcome;
    }
};

// Decks by name, each a FakeRemoteDeck, as the rack shows them.
class FakeRemoteDecks : public RemoteDecks {
public:
    std::map<std::string, FakeRemoteDeck> decks;
    std::vector<std::string> deckNames() const override {
        std::vector<std::string> names;
        for (const auto& entry : decks) names.push_back(entry.first);
        return names;
    }
    RemoteDeck* remoteDeck(const std::string& name) override {
        auto it = decks.find(name);
        return it == decks.end() ? nullptr : &it->second;
    }
    ViewState deckState(const std::string&) const override { return {}; }
};

}  // namespace qz7::test
