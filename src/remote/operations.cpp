#include "remote/operations.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "link/timecode.h"

namespace qz7 {

namespace {

using Type = Param::Type;

const Param kNumber{"number"};
const Param kDirection{"direction", Type::Integer, std::nullopt, -1, 1, false, "direction must be 1 or -1"};
// Item 2 ("x 25") is what the FF/RWD SPEED box shows when the panel starts.
const Param kWindItem{"item", Type::Integer, 2, 0, 4, true, "item must be 0..4 (x 100 .. x 5)"};

}  // namespace

const std::vector<Operation>& operations() {
    static const std::vector<Operation> table = {
        {"play", {}},
        // NORM, as the panel starts.
        {"stop", {{"lock", Type::Integer, 0, 0, 1, true, "lock must be 0 (NORM) or 1 (LOCK)"}}},
        // Recording writes to the disks: it takes confirm 1 explicitly, so a
        // bare or mistyped command (a button's release sends 0) starts nothing.
        {"rec", {{"confirm", Type::Integer, 0, 1, 1, true, "needs confirm 1"}}, "needs the argument 1: /qz7/rec i 1"},
        {"ff", {kWindItem}},
        {"rew", {kWindItem}},
        // Item 0 ("x 3") is what the SLOW SPEED box shows when the panel starts.
        {"slow", {kDirection, {"item", Type::Integer, 0, 0, 8, true, "item must be 0..8 (x 3 .. x 1/30)"}}},
        {"jog", {kDirection}},
        {"ee", {}},
        {"pb", {}},
        // As the lists show them: files from 1, clips from 0, sequences 0..15.
        {"file/open", {kNumber}},
        {"clip/open", {kNumber}},
        {"seq/open", {kNumber}},
        {"cue/mark", {}},
        // The line of the cue list, from 0, searched exactly ("Srh").
        {"cue/search", {kNumber}},
        // The line of the cue list, from 0: to the preroll before the mark ("Cue").
        {"cue/cue", {kNumber}},
        {"goto", {{"timecode", Type::Timecode, std::nullopt, 0, 0, true, nullptr, "hh:mm:ss:ff"}}},
        // Reads the lists from the recorder again, as "Retrieve" does; it writes nothing.
        {"retrieve", {}},
        // Clears the deck's alarm: it writes nothing to the recorder.
        {"alarm/ack", {}},
    };
    return table;
}

std::uint64_t nextRollGroup() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

const Operation* findOperation(std::string_view name) {
    for (const Operation& op : operations())
        if (name == op.name) return &op;
    return nullptr;
}

int OpArgs::integer(std::string_view name) const {
    for (const auto& [n, v] : values_)
        if (n == name) return std::get<int>(v);
    throw std::logic_error("no argument " + std::string(name));
}

const std::string& OpArgs::text(std::string_view name) const {
    for (const auto& [n, v] : values_)
        if (n == name) return std::get<std::string>(v);
    throw std::logic_error("no argument " + std::string(name));
}

std::string OpArgs::text() const {
    std::string out;
    for (const auto& [n, v] : values_) {
        if (!out.empty()) out += ' ';
        out += std::holds_alternative<int>(v) ? std::to_string(std::get<int>(v)) : std::get<std::string>(v);
    }
    return out;
}

// Reads the parameters in the table's order, each checked as it is read;
// then every argument given must have been a parameter, so a misspelt name
// is not silently ignored; a timecode's form is judged last.
struct OpParser {
    static std::optional<OpArgs> parse(const Operation& op, const CommandArgs& args, std::string& why) {
        OpArgs out;
        for (const Param& p : op.params) {
            auto it = args.find(p.name);
            if (p.type == Type::Timecode) {
                if (it == args.end()) return fail(why, std::string("needs ") + p.name);
                const std::string* v = std::get_if<std::string>(&it->second);
                if (v == nullptr) return fail(why, std::string(p.name) + " must be a text");
                out.values_.emplace_back(p.name, *v);
                continue;
            }
            int value = 0;
            if (it == args.end()) {
                if (!p.fallback) return fail(why, std::string("needs ") + p.name);
                value = *p.fallback;
            } else {
                const double* v = std::get_if<double>(&it->second);
                if (v == nullptr || !std::isfinite(*v) || *v != std::trunc(*v) || *v < -2147483648.0 || *v > 2147483647.0)
                    return fail(why, std::string(p.name) + " must be a whole number");
                value = static_cast<int>(*v);
            }
            if (p.rangeWords && (value < p.low || value > p.high || (value == 0 && !p.zeroAllowed)))
                return fail(why, p.rangeWords);
            out.values_.emplace_back(p.name, value);
        }
        for (const auto& given : args) {
            const std::string& name = given.first;  // a named copy: clang 14 cannot capture a structured binding
            const bool known = std::any_of(op.params.begin(), op.params.end(), [&](const Param& p) { return name == p.name; });
            if (!known) return fail(why, "unknown argument " + name);
        }
        for (const Param& p : op.params)
            if (p.type == Type::Timecode && !Timecode::parse(out.text(p.name)))
                return fail(why, std::string(p.name) + " must be hh:mm:ss:ff");
        return out;
    }
    static std::optional<OpArgs> fail(std::string& why, std::string reason) {
        why = std::move(reason);
        return std::nullopt;
    }
};

std::optional<OpArgs> checkArguments(const Operation& op, const CommandArgs& args, std::string& why) {
    return OpParser::parse(op, args, why);
}

CommandResult runCommand(RemoteDeck& deck, const Operation& op, const CommandArgs& args, const Origin& origin) {
    using Status = CommandResult::Status;
    std::string why;
    const std::optional<OpArgs> checked = checkArguments(op, args, why);
    if (!checked) return {Status::BadArguments, why, {}};
    try {
        Outcome outcome = deck.run(op, *checked, origin);
        if (outcome.queued()) return {Status::Queued, {}, std::move(outcome)};
        std::string refusal = outcome.refusal;
        return {Status::Refused, std::move(refusal), std::move(outcome)};
    } catch (const std::exception& e) {
        std::string what = e.what();
        return {Status::Refused, what.empty() ? std::string("failed") : what, {}};
    } catch (...) {
        return {Status::Refused, "failed", {}};
    }
}

CommandResult runCommand(RemoteDeck& deck, const std::string& op, const CommandArgs& args, const Origin& origin) {
    const Operation* entry = findOperation(op);
    if (entry == nullptr) return {CommandResult::Status::UnknownOperation, "no operation " + op, {}};
    return runCommand(deck, *entry, args, origin);
}

}  // namespace qz7
