// The operations a remote client may name, one vocabulary for every front end:
// the OSC address without "/qz7/" is the operation's name ("play", "file/open",
// "cue/search"), its arguments are named ("lock", "item", "direction",
// "number", "timecode", "confirm"). OSC turns its positional arguments into
// names, the web takes them from JSON; both run the command here, so the
// checks, the defaults and the refusals are the same. Nothing that erases,
// clears or writes settings is among them. Plain C++.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "remote/remote_actions.h"

namespace qz7 {

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

    bool queued() const { return status == Status::Queued; }
};

// Every operation's name, in the order the docs list them.
const std::vector<std::string>& commandNames();
bool isCommand(const std::string& op);

// Checks args and calls the one RemoteActions operation op names. An
// exception from actions (a full command stack) comes back as Refused with
// its text; nothing escapes.
CommandResult runCommand(RemoteActions& actions, const std::string& op, const CommandArgs& args,
                         const Origin& origin);

}  // namespace qz7
