// The operations a remote client may name, one table for every front end.
// Each entry is one operation: its name (the OSC address without "/qz7/",
// the web's POST /api/decks/NAME/OP), its named and typed arguments with
// their defaults and ranges, in the order OSC takes them. OSC and the web run
// any entry the same way, so the checks, the defaults and the refusals are the
// same; adding an operation is one entry here, its deck call beside the
// others in deck_operations.cpp, and one Deck method. Nothing that erases,
// clears or writes settings is among them. This half is plain C++ (the OSC
// dispatcher's fuzzer links it without Qt); the Deck side is DeckTarget's.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "deck/origin.h"
#include "deck/view_state.h"

namespace qz7 {

class Deck;

// One argument of an operation.
struct Param {
    enum class Type { Integer, Timecode };
    const char* name;
    Type type = Type::Integer;
    std::optional<int> fallback = std::nullopt;  // taken when absent; none: required
    int low = 0, high = 0;         // the range of an integer, when rangeWords is set
    bool zeroAllowed = true;       // a direction is 1 or -1
    const char* rangeWords = nullptr;  // the refusal for a value outside the range
    const char* shown = nullptr;   // the argument as OSC's usage names it (its name when null)
};

// The arguments after the checks: every parameter present, fallbacks filled in.
class OpArgs {
public:
    int integer(std::string_view name) const;
    const std::string& text(std::string_view name) const;
    // name and value of each, in the table's order ("slow -1 8").
    std::string text() const;

private:
    friend struct OpParser;
    std::vector<std::pair<std::string, std::variant<int, std::string>>> values_;
};

struct Operation {
    const char* name;
    std::vector<Param> params;  // in the order OSC takes them
    // What OSC answers to any wrong form of it, when not the usage and the
    // argument's own words (recording: a button's release must not look close).
    const char* oscRefusal = nullptr;
};

// Every operation, in the order the README lists them.
const std::vector<Operation>& operations();
const Operation* findOperation(std::string_view name);

// A new roll's group number (Origin::group), never 0, unique within the
// process: OSC and the web draw from the same count.
std::uint64_t nextRollGroup();

// One argument as the front end decoded it: a number or a text.
using CommandValue = std::variant<double, std::string>;
using CommandArgs = std::map<std::string, CommandValue>;

struct CommandResult {
    enum class Status {
        Queued,            // the deck took it
        Refused,           // the deck said no (link off, no such file, ...): reason
        BadArguments,      // an argument is missing, unknown or out of range: reason
        UnknownOperation,  // no operation of that name
    };
    Status status = Status::Queued;
    std::string reason;
    Outcome outcome;  // the deck's, whole (empty when it was not reached)

    bool queued() const { return status == Status::Queued; }
};

// The arguments of op checked and completed, or nullopt with the reason.
std::optional<OpArgs> checkArguments(const Operation& op, const CommandArgs& args, std::string& why);

// One deck as remote control reaches it: it runs a table entry.
class RemoteDeck {
public:
    virtual ~RemoteDeck() = default;
    // May throw (a full command stack); runCommand catches.
    virtual Outcome run(const Operation& op, const OpArgs& args, const Origin& origin) = 0;
    // The deck behind it, whose outcome reports a front end follows; nullptr
    // when there is none (a test's fake).
    virtual Deck* deck() { return nullptr; }
};

// A deck's own operations: each entry's deck call (deck_operations.cpp).
class DeckTarget final : public RemoteDeck {
public:
    explicit DeckTarget(Deck& deck) : deck_(deck) {}
    Outcome run(const Operation& op, const OpArgs& args, const Origin& origin) override;
    Deck* deck() override { return &deck_; }

private:
    Deck& deck_;
};

// The rack's decks as remote control sees them: each by its name.
class RemoteDecks {
public:
    virtual ~RemoteDecks() = default;
    // Every deck's name, sorted.
    virtual std::vector<std::string> deckNames() const = 0;
    // nullptr when no deck has that name.
    virtual RemoteDeck* remoteDeck(const std::string& name) = 0;
    virtual ViewState deckState(const std::string& name) const = 0;
};

// Checks args and runs the entry op names on deck. An exception from the
// deck (a full command stack) comes back as Refused with its text; nothing
// escapes.
CommandResult runCommand(RemoteDeck& deck, const Operation& op, const CommandArgs& args, const Origin& origin);
CommandResult runCommand(RemoteDeck& deck, const std::string& op, const CommandArgs& args, const Origin& origin);

}  // namespace qz7
