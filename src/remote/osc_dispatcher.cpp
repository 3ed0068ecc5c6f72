#include "remote/osc_dispatcher.h"

#include "link/timecode.h"

#include <lo/lo.h>

#include <algorithm>
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

std::optional<int> direction(const Args& a, std::size_t i) {
    const auto d = integerAt(a, i);
    if (!d || (*d != 1 && *d != -1)) return std::nullopt;
    return d;
}

std::optional<int> itemOr(const Args& a, std::size_t i, int fallback, int last) {
    if (i >= a.size()) return fallback;
    const auto v = integerAt(a, i);
    if (!v || *v < 0 || *v > last) return std::nullopt;
    return v;
}

// "127.0.0.1:51000": who sent a command, as the deck records it.
std::string senderText(const OscPeer& peer) { return peer.host + ":" + std::to_string(peer.port); }

bool isTimecodeShape(const std::string& t) { return Timecode::parse(t).has_value(); }

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

}  // namespace

std::vector<std::uint8_t> oscMessage(const std::string& address, const std::string& value) {
    MessagePtr m(lo_message_new());
    if (!m) return {};
    lo_message_add_string(m.get(), value.c_str());
    return serialise(m.get(), address);
}

std::vector<std::uint8_t> oscMessage(const std::string& address, int value) {
    MessagePtr m(lo_message_new());
    if (!m) return {};
    lo_message_add_int32(m.get(), value);
    return serialise(m.get(), address);
}

OscDispatcher::OscDispatcher(RemoteActions& actions, Clock clock)
    : actions_(actions), clock_(clock ? std::move(clock) : Clock([] { return std::chrono::steady_clock::now(); })) {}

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

std::vector<OscDatagram> OscDispatcher::dispatch(const std::string& address, const Args& args, const OscPeer& from) {
    struct Route {
        const char* address;
        Handler handler;
    };
    static constexpr Route kRoutes[] = {
        {"/qz7/play", &OscDispatcher::play},
        {"/qz7/stop", &OscDispatcher::stop},
        {"/qz7/rec", &OscDispatcher::record},
        {"/qz7/ff", &OscDispatcher::fastForward},
        {"/qz7/rew", &OscDispatcher::rewind},
        {"/qz7/slow", &OscDispatcher::slow},
        {"/qz7/jog", &OscDispatcher::jog},
        {"/qz7/ee", &OscDispatcher::monitorEE},
        {"/qz7/pb", &OscDispatcher::monitorPB},
        {"/qz7/file/open", &OscDispatcher::openFile},
        {"/qz7/clip/open", &OscDispatcher::openClip},
        {"/qz7/seq/open", &OscDispatcher::openSequence},
        {"/qz7/cue/mark", &OscDispatcher::markCue},
        {"/qz7/cue/search", &OscDispatcher::searchCue},
        {"/qz7/goto", &OscDispatcher::goTo},
        {"/qz7/subscribe", &OscDispatcher::subscribe},
        {"/qz7/unsubscribe", &OscDispatcher::unsubscribe},
    };
    // Longer than any address here: not worth matching as a pattern.
    constexpr std::size_t kLongestPattern = 64;

    std::vector<OscDatagram> out;
    auto refuse = [&](const std::string& reason) {
        ++counters_.refused;
        outcome_ = "refused " + shown(address) + " from " + peerText(from) + ": " + reason;
        out.push_back({from, oscMessage("/qz7/error", reason)});
        return out;
    };

    // An OSC pattern runs a command only when it names exactly one address:
    // "/qz7/*" must not play, record and stop at once.
    std::vector<const Route*> matches;
    const bool pattern = address.find_first_of("*?[]{}") != std::string::npos;
    for (const Route& r : kRoutes) {
        if (address == r.address ||
            (pattern && address.size() <= kLongestPattern && lo_pattern_match(r.address, address.c_str())))
            matches.push_back(&r);
    }
    if (matches.empty()) return refuse("unknown address " + shown(address));
    if (matches.size() > 1) {
        std::string names;
        for (const Route* r : matches) names += (names.empty() ? "" : ", ") + std::string(r->address);
        return refuse(shown(address) + " names more than one address (" + names + ")");
    }

    const Route& route = *matches.front();
    std::string reason;
    try {
        reason = (this->*route.handler)(args, from, out);
    } catch (const std::exception& e) {
        reason = e.what();
        if (reason.empty()) reason = "failed";
    } catch (...) {
        reason = "failed";
    }
    if (!reason.empty()) {
        out.clear();
        return refuse(std::string(route.address) + ": " + reason);
    }
    ++counters_.obeyed;
    outcome_ = "obeyed " + std::string(route.address) + " from " + peerText(from);
    return out;
}

std::string OscDispatcher::play(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() != 0) return usage("/qz7/play");
    return actions_.play(senderText(from));
}

std::string OscDispatcher::stop(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() > 1) return usage("/qz7/stop [i lock]");
    bool lock = false;  // NORM, as the panel starts
    if (a.size() == 1) {
        const auto v = integerAt(a, 0);
        if (!v || (*v != 0 && *v != 1)) return "lock must be 0 (NORM) or 1 (LOCK)";
        lock = *v == 1;
    }
    return actions_.stop(senderText(from), lock);
}

// Recording writes to the disks: it takes the explicit argument 1, so that a
// bare or mistyped message (a button's release sends 0) starts nothing.
std::string OscDispatcher::record(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto v = integerAt(a, 0);
    if (a.size() != 1 || !v || *v != 1) return "needs the argument 1: /qz7/rec i 1";
    return actions_.record(senderText(from));
}

// Item 2 ("x 25") is what the FF/RWD SPEED box shows when the panel starts.
std::string OscDispatcher::fastForward(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() > 1) return usage("/qz7/ff [i item]");
    const auto item = itemOr(a, 0, 2, 4);
    if (!item) return "item must be 0..4 (x 100 .. x 5)";
    return actions_.fastForward(senderText(from), *item);
}

std::string OscDispatcher::rewind(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() > 1) return usage("/qz7/rew [i item]");
    const auto item = itemOr(a, 0, 2, 4);
    if (!item) return "item must be 0..4 (x 100 .. x 5)";
    return actions_.rewind(senderText(from), *item);
}

// Item 0 ("x 3") is what the SLOW SPEED box shows when the panel starts.
std::string OscDispatcher::slow(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() < 1 || a.size() > 2) return usage("/qz7/slow i direction [i item]");
    const auto d = direction(a, 0);
    if (!d) return "direction must be 1 or -1";
    const auto item = itemOr(a, 1, 0, 8);
    if (!item) return "item must be 0..8 (x 3 .. x 1/30)";
    return actions_.slow(senderText(from), *d, *item);
}

std::string OscDispatcher::jog(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() != 1) return usage("/qz7/jog i direction");
    const auto d = direction(a, 0);
    if (!d) return "direction must be 1 or -1";
    return actions_.jog(senderText(from), *d);
}

std::string OscDispatcher::monitorEE(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() != 0) return usage("/qz7/ee");
    return actions_.monitorEE(senderText(from));
}

std::string OscDispatcher::monitorPB(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() != 0) return usage("/qz7/pb");
    return actions_.monitorPB(senderText(from));
}

std::string OscDispatcher::openFile(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto n = integerAt(a, 0);
    if (a.size() != 1 || !n) return usage("/qz7/file/open i number");
    return actions_.openFile(senderText(from), *n);
}

std::string OscDispatcher::openClip(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto n = integerAt(a, 0);
    if (a.size() != 1 || !n) return usage("/qz7/clip/open i number");
    return actions_.openClip(senderText(from), *n);
}

std::string OscDispatcher::openSequence(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto n = integerAt(a, 0);
    if (a.size() != 1 || !n) return usage("/qz7/seq/open i number");
    return actions_.openSequence(senderText(from), *n);
}

std::string OscDispatcher::markCue(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() != 0) return usage("/qz7/cue/mark");
    return actions_.markCue(senderText(from));
}

std::string OscDispatcher::searchCue(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto n = integerAt(a, 0);
    if (a.size() != 1 || !n) return usage("/qz7/cue/search i number");
    return actions_.searchCue(senderText(from), *n);
}

std::string OscDispatcher::goTo(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    const auto t = stringAt(a, 0);
    if (a.size() != 1 || !t) return usage("/qz7/goto s hh:mm:ss:ff");
    if (!isTimecodeShape(*t)) return "timecode must be hh:mm:ss:ff";
    return actions_.goTo(senderText(from), *t);
}

std::string OscDispatcher::subscribe(const Args& a, const OscPeer& from, std::vector<OscDatagram>& out) {
    if (a.size() > 1) return usage("/qz7/subscribe [i port]");
    OscPeer peer = from;
    if (a.size() == 1) {
        const auto port = integerAt(a, 0);
        if (!port || *port < 1 || *port > 65535) return "port must be 1..65535";
        peer.port = static_cast<std::uint16_t>(*port);
    }
    dropExpired();
    const auto now = clock_();
    auto it = std::find_if(subscribers_.begin(), subscribers_.end(), [&](const Subscriber& s) { return s.peer == peer; });
    if (it != subscribers_.end()) {
        it->renewed = now;
    } else {
        if (subscribers_.size() >= kMaxSubscribers) return "too many subscribers";
        subscribers_.push_back({peer, now});
    }
    // Every subscribe brings the whole state: a client that restarted on the
    // same port starts from what the panel shows now.
    sendWholeState(peer, out);
    return {};
}

std::string OscDispatcher::unsubscribe(const Args& a, const OscPeer& from, std::vector<OscDatagram>&) {
    if (a.size() > 1) return usage("/qz7/unsubscribe [i port]");
    OscPeer peer = from;
    if (a.size() == 1) {
        const auto port = integerAt(a, 0);
        if (!port || *port < 1 || *port > 65535) return "port must be 1..65535";
        peer.port = static_cast<std::uint16_t>(*port);
    }
    std::erase_if(subscribers_, [&](const Subscriber& s) { return s.peer == peer; });
    return {};
}

void OscDispatcher::dropExpired() {
    const auto now = clock_();
    std::erase_if(subscribers_, [&](const Subscriber& s) { return now - s.renewed >= kSubscriptionLifetime; });
}

void OscDispatcher::sendWholeState(const OscPeer& to, std::vector<OscDatagram>& out) const {
    const RemoteState& s = published_;
    out.push_back({to, oscMessage("/qz7/link", s.link)});
    out.push_back({to, oscMessage("/qz7/timecode", s.timecode)});
    out.push_back({to, oscMessage("/qz7/transport", s.transport)});
    out.push_back({to, oscMessage("/qz7/rec", s.rec)});
    out.push_back({to, oscMessage("/qz7/number", s.number)});
    out.push_back({to, oscMessage("/qz7/error", s.error)});
}

std::vector<OscDatagram> OscDispatcher::publish(const RemoteState& state) {
    dropExpired();
    std::vector<std::vector<std::uint8_t>> changed;
    if (state.link != published_.link) changed.push_back(oscMessage("/qz7/link", state.link));
    if (state.timecode != published_.timecode) changed.push_back(oscMessage("/qz7/timecode", state.timecode));
    if (state.transport != published_.transport) changed.push_back(oscMessage("/qz7/transport", state.transport));
    if (state.rec != published_.rec) changed.push_back(oscMessage("/qz7/rec", state.rec));
    if (state.number != published_.number) changed.push_back(oscMessage("/qz7/number", state.number));
    if (state.error != published_.error) changed.push_back(oscMessage("/qz7/error", state.error));
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
