#include "remote/osc_dispatcher.h"

#include <lo/lo.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <optional>

namespace qz7 {

struct OscDispatcher::Args {
    std::string types;
    lo_arg** argv = nullptr;
    std::size_t size() const { return types.size(); }
};

namespace {

using Args = OscDispatcher::Args;

struct MessageFree {
    void operator()(lo_message m) const { lo_message_free(m); }
};
using MessagePtr = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageFree>;

std::vector<std::uint8_t> serialise(lo_message m, const std::string& address) {
    std::size_t size = 0;
    void* data = lo_message_serialise(m, address.c_str(), nullptr, &size);
    if (data == nullptr) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::vector<std::uint8_t> out(bytes, bytes + size);
    std::free(data);
    return out;
}

// liblo points argv into the message's 4-byte-aligned data, so 8-byte values
// are read by copy.
template <typename T>
T argValue(const Args& a, std::size_t i) {
    T v;
    std::memcpy(&v, reinterpret_cast<const unsigned char*>(a.argv[i]), sizeof v);
    return v;
}

std::optional<int> wholeNumber(double v) {
    if (!std::isfinite(v) || v != std::trunc(v) || v < -2147483648.0 || v > 2147483647.0) return std::nullopt;
    return static_cast<int>(v);
}

// An integer argument. Many controllers (TouchOSC among them) send only
// floats, so a float or double holding a whole number counts too.
std::optional<int> integerAt(const Args& a, std::size_t i) {
    if (i >= a.size() || a.argv == nullptr || a.argv[i] == nullptr) return std::nullopt;
    switch (a.types[i]) {
    case LO_INT32: return argValue<std::int32_t>(a, i);
    case LO_INT64: return wholeNumber(static_cast<double>(argValue<std::int64_t>(a, i)));
    case LO_FLOAT: return wholeNumber(argValue<float>(a, i));
    case LO_DOUBLE: return wholeNumber(argValue<double>(a, i));
    default: return std::nullopt;
    }
}

std::optional<std::string> stringAt(const Args& a, std::size_t i) {
    if (i >= a.size() || a.argv == nullptr || a.argv[i] == nullptr) return std::nullopt;
    if (a.types[i] != LO_STRING && a.types[i] != LO_SYMBOL) return std::nullopt;
    // liblo checked the string ends inside the message.
    return std::string(reinterpret_cast<const char*>(a.argv[i]));
}

std::string usage(const char* form) { return std::string("usage: ") + form; }

// "127.0.0.1:51000": who sent a command, as the deck records it.
std::string senderText(const OscPeer& peer) { return peer.host + ":" + std::to_string(peer.port); }

// An address as it may be shown back: the sender chose its bytes.
std::string shown(const std::string& address) {
    constexpr std::size_t kShown = 64;
    std::string s;
    for (std::size_t k = 0; k < address.size() && k < kShown; ++k) {
        const auto c = static_cast<unsigned char>(address[k]);
        s += (c < 0x20 || c > 0x7E) ? '?' : static_cast<char>(c);
    }
    if (address.size() > kShown) s += "...";
    return s;
}

std::string peerText(const OscPeer& p) { return p.host + ":" + std::to_string(p.port); }

bool isPattern(const std::string& text) { return text.find_first_of("*?[]{}") != std::string::npos; }

}  // namespace

std::vector<std::uint8_t> oscMessage(const std::string& address, const std::string& value) {
    MessagePtr m(lo_message_new());
    if (!m) return {};
    lo_message_add_string(m.get(), value.c_str());
    return serialise(m.get(), address);
}

std::vector<std::uint8_t> oscMessage(const std::string& address, const std::vector<std::string>& values) {
    MessagePtr m(lo_message_new());
    if (!m) return {};
    for (const std::string& v : values) lo_message_add_string(m.get(), v.c_str());
    return serialise(m.get(), address);
}

std::vector<std::uint8_t> oscMessage(const std::string& address, int value) {
    MessagePtr m(lo_message_new());
    if (!m) return {};
    lo_message_add_int32(m.get(), value);
    return serialise(m.get(), address);
}

OscPattern::OscPattern(std::string_view p) {
    std::size_t pos = 0;
    while (pos < p.size()) {
        const auto c = static_cast<unsigned char>(p[pos++]);
        if (c == '*') {
            // A run of stars is one star.
            if (tokens_.empty() || tokens_.back().kind != Kind::Star) tokens_.push_back({Kind::Star});
        } else if (c == '?') {
            tokens_.push_back({Kind::Any});
        } else if (c == '[') {
            std::bitset<256> set;
            const bool outside = pos < p.size() && p[pos] == '!';
            if (outside) ++pos;
            for (bool first = true;; first = false) {
                if (pos >= p.size()) {
                    valid_ = false;
                    return;
                }
                const auto from = static_cast<unsigned char>(p[pos]);
                if (from == ']' && !first) {
                    ++pos;
                    break;
                }
                if (pos + 2 < p.size() && p[pos + 1] == '-' && p[pos + 2] != ']') {
                    const auto to = static_cast<unsigned char>(p[pos + 2]);
                    // Written backwards, a range holds just its two ends.
                    set.set(from);
                    set.set(to);
                    for (unsigned x = from; x <= to; ++x) set.set(x);
                    pos += 3;
                } else {
                    set.set(from);
                    ++pos;
                }
            }
            if (outside) set.flip();
            tokens_.push_back({Kind::Set, 0, static_cast<std::uint32_t>(sets_.size())});
            sets_.push_back(set);
        } else if (c == '{') {
            const std::size_t close = p.find('}', pos);
            if (close == std::string_view::npos) {
                valid_ = false;
                return;
            }
            Token t{Kind::Words, 0, static_cast<std::uint32_t>(words_.size())};
            for (std::size_t at = pos;;) {
                const std::size_t comma = std::min(p.find(',', at), close);
                words_.emplace_back(p.substr(at, comma - at));
                if (comma == close) break;
                at = comma + 1;
            }
            t.last = static_cast<std::uint32_t>(words_.size());
            tokens_.push_back(t);
            pos = close + 1;
        } else {
            tokens_.push_back({Kind::Byte, c});
        }
    }
}

bool OscPattern::matches(std::string_view name) const {
    if (!valid_) return false;
    const std::size_t n = name.size();
    const std::size_t width = tokens_.size() + 1;
    // reached[i * width + j]: the first j tokens match the first i characters.
    std::vector<char> reached((n + 1) * width, 0);
    reached[0] = 1;
    for (std::size_t i = 0; i <= n; ++i) {
        char* here = &reached[i * width];
        char* next = i < n ? here + width : nullptr;
        const auto c = i < n ? static_cast<unsigned char>(name[i]) : 0;
        // Moves that read nothing go to a later token, so one pass in order
        // sees every position this character can be read from.
        for (std::size_t j = 0; j + 1 < width; ++j) {
            if (!here[j]) continue;
            const Token& t = tokens_[j];
            switch (t.kind) {
            case Kind::Star:
                here[j + 1] = 1;
                if (next) next[j] = 1;
                break;
            case Kind::Any:
                if (next) next[j + 1] = 1;
                break;
            case Kind::Byte:
                if (next && c == t.byte) next[j + 1] = 1;
                break;
            case Kind::Set:
                if (next && sets_[t.first].test(c)) next[j + 1] = 1;
                break;
            case Kind::Words:
                for (std::uint32_t w = t.first; w < t.last; ++w)
                    if (name.substr(i).starts_with(words_[w])) reached[(i + words_[w].size()) * width + j + 1] = 1;
                break;
            }
        }
    }
    return reached[n * width + width - 1] != 0;
}

namespace {
OscDispatcher::Clock steadyOr(OscDispatcher::Clock clock) {
    return clock ? std::move(clock) : OscDispatcher::Clock([] { return std::chrono::steady_clock::now(); });
}
}  // namespace

OscDispatcher::OscDispatcher(RemoteDeck& deck, Clock clock) : deck_(&deck), clock_(steadyOr(std::move(clock))) {}

OscDispatcher::OscDispatcher(RemoteDecks& decks, Clock clock) : decks_(&decks), clock_(steadyOr(std::move(clock))) {}

std::vector<OscDatagram> OscDispatcher::handle(std::span<const std::uint8_t> datagram, const OscPeer& from) {
    static constexpr char kBundle[] = "#bundle";  // with its zero, 8 bytes
    if (datagram.size() >= sizeof kBundle && std::memcmp(datagram.data(), kBundle, sizeof kBundle) == 0) {
        // A bundle may carry a time tag for later; commands here act at once
        // or not at all, so bundles are not opened.
        ++counters_.bundles;
        outcome_ = "dropped a bundle from " + peerText(from);
        return {};
    }
    if (datagram.size() > kMaxDatagram) {
        ++counters_.malformed;
        outcome_ = "dropped " + std::to_string(datagram.size()) + " bytes from " + peerText(from) + ": too long";
        return {};
    }
    commanded_.clear();
    // liblo wants a writable buffer; the caller's bytes stay untouched.
    std::vector<std::uint8_t> copy(datagram.begin(), datagram.end());
    int result = 0;
    MessagePtr message(copy.empty() ? nullptr : lo_message_deserialise(copy.data(), copy.size(), &result));
    const void* end = copy.empty() ? nullptr : std::memchr(copy.data(), 0, copy.size());
    if (!message || end == nullptr) {
        ++counters_.malformed;
        outcome_ = "dropped a malformed datagram of " + std::to_string(datagram.size()) + " bytes from " +
                   peerText(from) + " (liblo " + std::to_string(result) + ")";
        return {};
    }
    const std::string address(reinterpret_cast<const char*>(copy.data()),
                              static_cast<const std::uint8_t*>(end) - copy.data());
    Args args;
    if (const char* types = lo_message_get_types(message.get())) args.types = types;
    args.types.resize(std::min<std::size_t>(args.types.size(), static_cast<std::size_t>(
                                                                   std::max(0, lo_message_get_argc(message.get())))));
    args.argv = args.types.empty() ? nullptr : lo_message_get_argv(message.get());
    if (!args.types.empty() && args.argv == nullptr) args.types.clear();
    return dispatch(address, args, from);
}

// An address the dispatcher answers: an operation of the table, or (un)subscribe.
struct OscDispatcher::Route {
    enum class Kind { Operation, Subscribe, Unsubscribe };
    std::string address;
    Kind kind;
    const Operation* op = nullptr;
};

const OscDispatcher::Route* OscDispatcher::findRoute(const std::string& address, std::string& why) {
    static const std::vector<Route> kRoutes = [] {
        std::vector<Route> routes;
        for (const Operation& op : operations()) routes.push_back({std::string("/qz7/") + op.name, Route::Kind::Operation, &op});
        routes.push_back({"/qz7/subscribe", Route::Kind::Subscribe});
        routes.push_back({"/qz7/unsubscribe", Route::Kind::Unsubscribe});
        return routes;
    }();
    // An OSC pattern runs a command only when it names exactly one address:
    // "/qz7/*" must not play, record and stop at once.
    const bool pattern = isPattern(address);
    if (pattern && address.size() > kMaxPattern) {
        why = "pattern longer than " + std::to_string(kMaxPattern) + " characters: " + shown(address);
        return nullptr;
    }
    const OscPattern compiled(pattern ? std::string_view(address) : std::string_view());
    std::vector<const Route*> matches;
    for (const Route& r : kRoutes) {
        if (address == r.address || (pattern && compiled.matches(r.address))) matches.push_back(&r);
    }
    if (matches.empty()) {
        why = "unknown address " + shown(address);
        return nullptr;
    }
    if (matches.size() > 1) {
        std::string names;
        for (const Route* r : matches) names += (names.empty() ? "" : ", ") + r->address;
        why = shown(address) + " names more than one address (" + names + ")";
        return nullptr;
    }
    return matches.front();
}

std::vector<OscDatagram> OscDispatcher::dispatch(const std::string& address, const Args& args, const OscPeer& from) {
    if (decks_ != nullptr) return dispatchRack(address, args, from);

    std::vector<OscDatagram> out;
    auto refuse = [&](const std::string& reason) {
        ++counters_.refused;
        outcome_ = "refused " + shown(address) + " from " + peerText(from) + ": " + reason;
        out.push_back({from, oscMessage("/qz7/error", reason)});
        return out;
    };

    std::string why;
    const Route* route = findRoute(address, why);
    if (route == nullptr) return refuse(why);
    std::string reason;
    switch (route->kind) {
    case Route::Kind::Operation: reason = run(*route->op, *deck_, args, from); break;
    case Route::Kind::Subscribe: reason = subscribe(args, from, out); break;
    case Route::Kind::Unsubscribe: reason = unsubscribe(args, from); break;
    }
    if (!reason.empty()) {
        out.clear();
        return refuse(route->address + ": " + reason);
    }
    ++counters_.obeyed;
    outcome_ = "obeyed " + route->address + " from " + peerText(from);
    return out;
}

std::vector<OscDatagram> OscDispatcher::dispatchRack(const std::string& address, const Args& args,
                                                     const OscPeer& from) {
    static const std::string kDeckPrefix = "/qz7/deck/";
    std::vector<OscDatagram> out;
    const std::vector<std::string> names = decks_->deckNames();
    auto refuse = [&](const std::string& reason) {
        ++counters_.refused;
        outcome_ = "refused " + shown(address) + " from " + peerText(from) + ": " + reason;
        out.push_back({from, oscMessage("/qz7/error", reason)});
        return out;
    };
    auto nameList = [&] {
        std::string list;
        for (const std::string& n : names) list += (list.empty() ? "" : ", ") + n;
        return list.empty() ? std::string("none") : list;
    };

    if (address == "/qz7/decks") {
        if (args.size() != 0) return refuse(usage("/qz7/decks"));
        ++counters_.obeyed;
        outcome_ = "obeyed /qz7/decks from " + peerText(from);
        out.push_back({from, oscMessage("/qz7/decks", names)});
        return out;
    }

    // Which decks the message is for, and the command's address as the
    // panel knows it.
    std::string command = address;
    std::vector<std::string> chosen;
    const bool prefixed = address.compare(0, kDeckPrefix.size(), kDeckPrefix) == 0;
    if (prefixed) {
        const std::size_t slash = address.find('/', kDeckPrefix.size());
        if (slash == std::string::npos || slash + 1 == address.size())
            return refuse(shown(address) + " names no command: /qz7/deck/NAME/COMMAND");
        const std::string deck = address.substr(kDeckPrefix.size(), slash - kDeckPrefix.size());
        command = "/qz7" + address.substr(slash);
        const bool pattern = isPattern(deck);
        if (pattern && deck.size() > kMaxPattern)
            return refuse("deck pattern longer than " + std::to_string(kMaxPattern) + " characters: " + shown(deck));
        const OscPattern compiled(pattern ? std::string_view(deck) : std::string_view());
        for (const std::string& n : names) {
            if (n == deck || (pattern && compiled.matches(n))) chosen.push_back(n);
        }
        if (chosen.empty()) return refuse("no deck matches " + shown(deck) + " (decks: " + nameList() + ")");
    }

    std::string why;
    const Route* route = findRoute(command, why);
    if (route == nullptr) return refuse(why);

    const bool isSubscribe = route->kind == Route::Kind::Subscribe;
    if (route->kind != Route::Kind::Operation) {
        OscPeer peer;
        std::string reason = subscriberPeer(args, from, peer, route->address.c_str() + 5);
        if (reason.empty() && isSubscribe) reason = addSubscriber(peer, chosen);
        if (!reason.empty()) return refuse(route->address + ": " + reason);
        if (isSubscribe) {
            for (const std::string& n : prefixed ? chosen : names) sendDeckState(peer, n, out);
        } else if (!prefixed) {
            std::erase_if(subscribers_, [&](const Subscriber& s) { return s.peer == peer; });
        } else {
            for (Subscriber& s : subscribers_)
                if (s.peer == peer && !s.everyDeck)
                    std::erase_if(s.decks, [&](const std::string& d) {
                        return std::find(chosen.begin(), chosen.end(), d) != chosen.end();
                    });
            std::erase_if(subscribers_, [&](const Subscriber& s) { return s.peer == peer && !s.everyDeck && s.decks.empty(); });
        }
        ++counters_.obeyed;
        outcome_ = "obeyed " + shown(address) + " from " + peerText(from);
        return out;
    }

    if (!prefixed) {
        // The unprefixed form is only unambiguous with one deck.
        if (names.size() != 1)
            return refuse(route->address + " needs a deck: /qz7/deck/NAME" + route->address.substr(4) +
                          " (decks: " + nameList() + ")");
        chosen = names;
    }

    // Each deck decides for itself: in a pattern, the others act even when
    // one refuses. Several decks at once are one roll.
    const std::uint64_t group = chosen.size() > 1 ? nextRollGroup() : 0;
    int refusals = 0;
    for (const std::string& n : chosen) {
        RemoteDeck* deck = decks_->remoteDeck(n);
        const std::string reason = deck ? run(*route->op, *deck, args, from, n, group) : "no such deck";
        if (reason.empty()) continue;
        ++refusals;
        out.push_back({from, oscMessage("/qz7/error", n + ": " + reason)});
    }
    const int obeyed = static_cast<int>(chosen.size()) - refusals;
    counters_.obeyed += static_cast<std::uint64_t>(obeyed);
    counters_.refused += static_cast<std::uint64_t>(refusals);
    outcome_ = (refusals == 0 ? "obeyed " : "refused ") + shown(address) + " from " + peerText(from) + " on " +
               std::to_string(obeyed) + " of " + std::to_string(chosen.size()) + " decks";
    return out;
}

// OSC names an operation's arguments by position, in the table's order:
// the form (how many, of which type) is checked here, the values by the
// table as for every front end.
std::string OscDispatcher::run(const Operation& op, RemoteDeck& deck, const Args& a, const OscPeer& from,
                               const std::string& name, std::uint64_t group) {
    std::string form = std::string("/qz7/") + op.name;
    std::size_t required = 0;
    for (const Param& p : op.params) {
        const std::string word = std::string(p.type == Param::Type::Timecode ? "s " : "i ") + (p.shown ? p.shown : p.name);
        form += p.fallback ? " [" + word + "]" : " " + word;
        required += p.fallback ? 0 : 1;
    }
    const auto refusal = [&](const std::string& why) { return op.oscRefusal ? std::string(op.oscRefusal) : why; };
    if (a.size() < required || a.size() > op.params.size()) return refusal(usage(form.c_str()));
    CommandArgs args;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Param& p = op.params[i];
        if (p.type == Param::Type::Timecode) {
            const auto t = stringAt(a, i);
            if (!t) return refusal(usage(form.c_str()));
            args[p.name] = *t;
        } else {
            const auto v = integerAt(a, i);
            // Not a whole number: the argument's own words where it has a range.
            if (!v) return refusal(p.rangeWords ? std::string(p.rangeWords) : usage(form.c_str()));
            args[p.name] = static_cast<double>(*v);
        }
    }
    Origin origin = Origin::osc(senderText(from));
    origin.group = group;
    const CommandResult result = runCommand(deck, op, args, origin);
    if (result.queued()) {
        commanded_.push_back(name);
        if (result.outcome.id != 0) await(name, result.outcome.id, op.name, from);
    }
    return result.status == CommandResult::Status::BadArguments ? refusal(result.reason) : result.reason;
}

void OscDispatcher::await(const std::string& deck, std::uint64_t id, const std::string& op, const OscPeer& from) {
    const auto sameAddress = [&from](const Awaited& a) { return a.from.host == from.host; };
    if (static_cast<std::size_t>(std::count_if(awaited_.begin(), awaited_.end(), sameAddress)) >= kMaxAwaitedPerAddress)
        awaited_.erase(std::find_if(awaited_.begin(), awaited_.end(), sameAddress));
    else if (awaited_.size() >= kMaxAwaited)
        awaited_.erase(awaited_.begin());
    awaited_.push_back({deck, id, op, from});
}

std::vector<OscDatagram> OscDispatcher::outcome(const std::string& deck, const OutcomeReport& r) {
    std::vector<OscDatagram> out;
    if (!r.final) return out;
    const std::string prefix = decks_ ? "/qz7/deck/" + deck : std::string("/qz7");
    for (auto it = awaited_.begin(); it != awaited_.end();) {
        if (it->deck != deck || it->id != r.id) {
            ++it;
            continue;
        }
        out.push_back({it->from, oscMessage(prefix + "/outcome", std::vector<std::string>{it->op, r.word(), r.transport})});
        it = awaited_.erase(it);
    }
    if (r.stage != OutcomeReport::Stage::NotConfirmed) return out;
    // Whoever asked: what a subscriber watches did not happen.
    std::string op = r.op;
    for (char& c : op) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string why = !r.transport.empty() ? "recorder shows " + r.transport
                            : !r.note.empty()    ? r.note
                                                 : std::string("the recorder showed no transport word");
    const auto error = oscMessage(prefix + "/error", op + " not confirmed: " + why);
    dropExpired();
    for (const Subscriber& s : subscribers_) {
        if (decks_ && !s.everyDeck && std::find(s.decks.begin(), s.decks.end(), deck) == s.decks.end()) continue;
        out.push_back({s.peer, error});
    }
    return out;
}

void OscDispatcher::forgetDeck(const std::string& deck) {
    std::erase_if(awaited_, [&deck](const Awaited& a) { return a.deck == deck; });
}

std::string OscDispatcher::subscriberPeer(const Args& a, const OscPeer& from, OscPeer& peer, const char* name) {
    if (a.size() > 1) return usage((std::string("/qz7/") + name + " [i port]").c_str());
    peer = from;
    if (a.size() == 1) {
        const auto port = integerAt(a, 0);
        if (!port || *port < 1 || *port > 65535) return "port must be 1..65535";
        peer.port = static_cast<std::uint16_t>(*port);
    }
    return {};
}

std::string OscDispatcher::addSubscriber(const OscPeer& peer, const std::vector<std::string>& decks) {
    dropExpired();
    const auto now = clock_();
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const Subscriber& s) { return s.peer == peer; });
    if (it == subscribers_.end()) {
        const auto fromAddress = std::count_if(subscribers_.begin(), subscribers_.end(),
                                               [&](const Subscriber& s) { return s.peer.host == peer.host; });
        if (static_cast<std::size_t>(fromAddress) >= kMaxSubscribersPerAddress)
            return "too many subscribers from " + peer.host + " (at most " +
                   std::to_string(kMaxSubscribersPerAddress) + " per address)";
        const std::size_t most = decks_ ? kMaxRackSubscribers : kMaxSubscribers;
        if (subscribers_.size() >= most) return "too many subscribers";
        subscribers_.push_back({peer, now, decks.empty(), decks});
        return {};
    }
    it->renewed = now;
    if (decks.empty()) {
        it->everyDeck = true;
        it->decks.clear();
    } else if (!it->everyDeck) {
        for (const std::string& d : decks)
            if (std::find(it->decks.begin(), it->decks.end(), d) == it->decks.end()) it->decks.push_back(d);
    }
    return {};
}

std::string OscDispatcher::subscribe(const Args& a, const OscPeer& from, std::vector<OscDatagram>& out) {
    OscPeer peer;
    if (std::string why = subscriberPeer(a, from, peer, "subscribe"); !why.empty()) return why;
    if (std::string why = addSubscriber(peer, {}); !why.empty()) return why;
    // Every subscribe brings the whole state: a client that restarted on the
    // same port starts from what the panel shows now.
    sendWholeState(peer, out);
    return {};
}

std::string OscDispatcher::unsubscribe(const Args& a, const OscPeer& from) {
    OscPeer peer;
    if (std::string why = subscriberPeer(a, from, peer, "unsubscribe"); !why.empty()) return why;
    std::erase_if(subscribers_, [&](const Subscriber& s) { return s.peer == peer; });
    return {};
}

void OscDispatcher::dropExpired() {
    const auto now = clock_();
    std::erase_if(subscribers_, [&](const Subscriber& s) { return now - s.renewed >= kSubscriptionLifetime; });
}

namespace {
// The published fields of now that differ from was (all of them with all),
// as messages under prefix ("/qz7" or "/qz7/deck/NAME").
std::vector<std::vector<std::uint8_t>> changedFields(const std::string& prefix, const ViewState& was,
                                                    const ViewState& now, bool all) {
    const ViewState::Fields moved = all ? ~0u : now.differences(was);
    std::vector<std::vector<std::uint8_t>> changed;
    for (const ViewState::FieldValue& f : now.fields()) {
        if ((f.field & ViewState::kPublished & moved) == 0) continue;
        const std::string address = prefix + "/" + f.name;
        if (const auto* text = std::get_if<std::string>(&f.value))
            changed.push_back(oscMessage(address, *text));
        else if (const auto* number = std::get_if<int>(&f.value))
            changed.push_back(oscMessage(address, *number));
        else
            changed.push_back(oscMessage(address, std::get<std::vector<std::string>>(f.value)));
    }
    return changed;
}
}  // namespace

void OscDispatcher::sendWholeState(const OscPeer& to, std::vector<OscDatagram>& out) const {
    for (auto& bytes : changedFields("/qz7", {}, published_, true)) out.push_back({to, std::move(bytes)});
}

void OscDispatcher::sendDeckState(const OscPeer& to, const std::string& deck, std::vector<OscDatagram>& out) const {
    for (auto& bytes : changedFields("/qz7/deck/" + deck, {}, decks_->deckState(deck), true))
        out.push_back({to, std::move(bytes)});
}

std::vector<OscDatagram> OscDispatcher::publish(const std::string& deck, const ViewState& state) {
    dropExpired();
    ViewState& was = publishedDecks_[deck];
    const auto changed = changedFields("/qz7/deck/" + deck, was, state, false);
    was = state;
    std::vector<OscDatagram> out;
    for (const Subscriber& s : subscribers_) {
        if (!s.everyDeck && std::find(s.decks.begin(), s.decks.end(), deck) == s.decks.end()) continue;
        for (const auto& bytes : changed) out.push_back({s.peer, bytes});
    }
    return out;
}

std::vector<OscDatagram> OscDispatcher::publish(const ViewState& state) {
    dropExpired();
    const auto changed = changedFields("/qz7", published_, state, false);
    published_ = state;
    std::vector<OscDatagram> out;
    out.reserve(changed.size() * subscribers_.size());
    for (const Subscriber& s : subscribers_)
        for (const auto& bytes : changed) out.push_back({s.peer, bytes});
    return out;
}

std::vector<OscPeer> OscDispatcher::subscribers() {
    dropExpired();
    std::vector<OscPeer> peers;
    for (const Subscriber& s : subscribers_) peers.push_back(s.peer);
    return peers;
}

}  // namespace qz7
