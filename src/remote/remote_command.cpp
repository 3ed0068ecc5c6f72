#include "remote/remote_command.h"

#include <cmath>
#include <exception>
#include <functional>

#include "link/timecode.h"

namespace qz7 {

namespace {

using Status = CommandResult::Status;

// Thrown inside this file only, for an argument that cannot be used.
struct BadArgument {
    std::string reason;
};

class Reader {
public:
    explicit Reader(const CommandArgs& args) : args_(args) {}

    // A whole number, or fallback when absent; nullopt fallback means required.
    int integer(const std::string& name, std::optional<int> fallback = std::nullopt) {
        used_.push_back(name);
        auto it = args_.find(name);
        if (it == args_.end()) {
            if (fallback) return *fallback;
            throw BadArgument{"needs " + name};
        }
        const double* v = std::get_if<double>(&it->second);
        if (v == nullptr || !std::isfinite(*v) || *v != std::trunc(*v) || *v < -2147483648.0 || *v > 2147483647.0)
            throw BadArgument{name + " must be a whole number"};
        return static_cast<int>(*v);
    }

    std::string text(const std::string& name) {
        used_.push_back(name);
        auto it = args_.find(name);
        if (it == args_.end()) throw BadArgument{"needs " + name};
        const std::string* v = std::get_if<std::string>(&it->second);
        if (v == nullptr) throw BadArgument{name + " must be a text"};
        return *v;
    }

    // Every argument given was read: a misspelt name is not silently ignored.
    void done() const {
        for (const auto& [name, value] : args_) {
            bool known = false;
            for (const std::string& u : used_) known = known || u == name;
            if (!known) throw BadArgument{"unknown argument " + name};
        }
    }

private:
    const CommandArgs& args_;
    std::vector<std::string> used_;
};

int direction(Reader& r) {
    const int d = r.integer("direction");
    if (d != 1 && d != -1) throw BadArgument{"direction must be 1 or -1"};
    return d;
}

int item(Reader& r, int fallback, int last, const char* range) {
    const int v = r.integer("item", fallback);
    if (v < 0 || v > last) throw BadArgument{std::string("item must be 0..") + std::to_string(last) + " (" + range + ")"};
    return v;
}

using Runner = std::function<std::string(RemoteActions&, Reader&, const Origin&)>;

struct Command {
    const char* name;
    Runner run;
};

const std::vector<Command>& commands() {
    static const std::vector<Command> table = {
        {"play", [](RemoteActions& a, Reader& r, const Origin& o) { r.done(); return a.play(o); }},
        {"stop",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int lock = r.integer("lock", 0);  // NORM, as the panel starts
             if (lock != 0 && lock != 1) throw BadArgument{"lock must be 0 (NORM) or 1 (LOCK)"};
             r.done();
             return a.stop(o, lock == 1);
         }},
        // Recording writes to the disks: it takes confirm 1 explicitly, so a
        // bare or mistyped command (a button's release sends 0) starts nothing.
        {"rec",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             if (r.integer("confirm", 0) != 1) throw BadArgument{"needs confirm 1"};
             r.done();
             return a.record(o);
         }},
        // Item 2 ("x 25") is what the FF/RWD SPEED box shows when the panel starts.
        {"ff",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int i = item(r, 2, 4, "x 100 .. x 5");
             r.done();
             return a.fastForward(o, i);
         }},
        {"rew",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int i = item(r, 2, 4, "x 100 .. x 5");
             r.done();
             return a.rewind(o, i);
         }},
        // Item 0 ("x 3") is what the SLOW SPEED box shows when the panel starts.
        {"slow",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int d = direction(r);
             const int i = item(r, 0, 8, "x 3 .. x 1/30");
             r.done();
             return a.slow(o, d, i);
         }},
        {"jog",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int d = direction(r);
             r.done();
             return a.jog(o, d);
         }},
        {"ee", [](RemoteActions& a, Reader& r, const Origin& o) { r.done(); return a.monitorEE(o); }},
        {"pb", [](RemoteActions& a, Reader& r, const Origin& o) { r.done(); return a.monitorPB(o); }},
        {"file/open",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int n = r.integer("number");
             r.done();
             return a.openFile(o, n);
         }},
        {"clip/open",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int n = r.integer("number");
             r.done();
             return a.openClip(o, n);
         }},
        {"seq/open",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int n = r.integer("number");
             r.done();
             return a.openSequence(o, n);
         }},
        {"cue/mark", [](RemoteActions& a, Reader& r, const Origin& o) { r.done(); return a.markCue(o); }},
        {"cue/search",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const int n = r.integer("number");
             r.done();
             return a.searchCue(o, n);
         }},
        {"goto",
         [](RemoteActions& a, Reader& r, const Origin& o) {
             const std::string t = r.text("timecode");
             r.done();
             if (!Timecode::parse(t)) throw BadArgument{"timecode must be hh:mm:ss:ff"};
             return a.goTo(o, t);
         }},
        // Reads the lists from the recorder again, as "Retrieve" does; it writes nothing.
        {"retrieve", [](RemoteActions& a, Reader& r, const Origin& o) { r.done(); return a.retrieve(o); }},
    };
    return table;
}

const Command* find(const std::string& op) {
    for (const Command& c : commands())
        if (op == c.name) return &c;
    return nullptr;
}

}  // namespace

const std::vector<std::string>& commandNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const Command& c : commands()) out.emplace_back(c.name);
        return out;
    }();
    return names;
}

bool isCommand(const std::string& op) { return find(op) != nullptr; }

CommandResult runCommand(RemoteActions& actions, const std::string& op, const CommandArgs& args,
                         const Origin& origin) {
    const Command* command = find(op);
    if (command == nullptr) return {Status::UnknownOperation, "no operation " + op};
    Reader reader(args);
    try {
        std::string refusal = command->run(actions, reader, origin);
        if (refusal.empty()) return {Status::Queued, {}};
        return {Status::Refused, std::move(refusal)};
    } catch (const BadArgument& bad) {
        return {Status::BadArguments, bad.reason};
    } catch (const std::exception& e) {
        std::string why = e.what();
        return {Status::Refused, why.empty() ? std::string("failed") : why};
    } catch (...) {
        return {Status::Refused, "failed"};
    }
}

}  // namespace qz7
