// Fuzzes the OSC remote-control dispatcher: the input cut into datagrams, each
// handled in turn by one dispatcher from one of four senders, with a publish
// of a changing state after each, so subscriptions made early are fed later.
//
// Input: byte 0 sets the run up, the rest is the traffic.
//   bits 0-1  first sender (of four; each datagram then takes the next one)
//   bit 2     the panel refuses every command ("link off")
//   bit 3     the panel throws on every command (a full command stack)
//   bits 4-5  seconds the clock moves between datagrams: 0, 1, 30 or 61
// The traffic is cut into datagrams at every "|||" (kSeparator).
//
// Checked after every datagram: replies go only to the sender's own host and
// are well-formed OSC of the feedback addresses; a panel call comes only from
// a message that names one address, with arguments in range, from that
// sender; a refusal calls
// nothing or is the panel's own; subscribers stay at most eight, four from
// one address, and publish sends exactly the changed published fields (not
// the web's lamp or hosts) to each of them;
// no datagram takes long.
//
// The address pattern of every message is also matched against the command
// addresses and a few deck names, and must agree with a plain backtracking
// reading of the pattern language below, and with liblo's matcher where the
// two languages are the same (no braces, no ranges, no "//").
#include <lo/lo.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "remote/osc_dispatcher.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::uint8_t, 3> kSeparator{'|', '|', '|'};

const std::array<qz7::OscPeer, 4> kSenders{{
    {"127.0.0.1", 5000},
    {"127.0.0.1", 5001},
    {"127.0.0.2", 6000},
    {"::1", 7000},
}};

[[noreturn]] void fail(const char* what, std::span<const std::uint8_t> datagram, const std::string& detail = {}) {
    std::fprintf(stderr, "dispatcher invariant broken: %s %s\ndatagram (%zu bytes):", what, detail.c_str(),
                 datagram.size());
    for (std::uint8_t b : datagram) std::fprintf(stderr, " %02X", b);
    std::fputc('\n', stderr);
    std::abort();
}

struct Call {
    Call(std::string n, int first = 0, int second = 0, std::string t = {})
        : name(std::move(n)), a(first), b(second), text(std::move(t)) {}
    std::string name;
    int a;
    int b;
    std::string text;
    qz7::Origin origin;
};

// The panel's one deck: records each operation it is asked to run, its
// integer arguments in the table's order (a, then b) and its timecode.
class RecordingPanel : public qz7::RemoteDeck {
public:
    std::vector<Call> calls;
    bool refuse = false;
    bool throws = false;

    qz7::Outcome run(const qz7::Operation& op, const qz7::OpArgs& args, const qz7::Origin& origin) override {
        Call c(op.name);
        c.origin = origin;
        int* next[] = {&c.a, &c.b};
        std::size_t integers = 0;
        for (const qz7::Param& p : op.params) {
            if (p.type == qz7::Param::Type::Timecode)
                c.text = args.text(p.name);
            else if (integers < 2)
                *next[integers++] = args.integer(p.name);
        }
        calls.push_back(std::move(c));
        if (throws) throw std::runtime_error("command stack full");
        return refuse ? qz7::Outcome::refused("link off") : qz7::Outcome{};
    }
};

// The message as liblo reads it, independently of the dispatcher.
struct Decoded {
    bool ok = false;
    std::string path;
    std::string types;
    std::vector<double> numbers;  // each numeric argument; NaN for others
    std::string firstString;      // the first string argument, if any
};

Decoded decode(std::span<const std::uint8_t> bytes) {
    Decoded d;
    Bytes copy(bytes.begin(), bytes.end());
    if (copy.empty()) return d;
    lo_message m = lo_message_deserialise(copy.data(), copy.size(), nullptr);
    if (m == nullptr) return d;
    const void* end = std::memchr(copy.data(), 0, copy.size());
    if (end != nullptr) {
        d.ok = true;
        d.path.assign(reinterpret_cast<const char*>(copy.data()), static_cast<const std::uint8_t*>(end) - copy.data());
        const char* types = lo_message_get_types(m);
        d.types = types ? types : "";
        lo_arg** argv = lo_message_get_argv(m);
        for (std::size_t k = 0; k < d.types.size() && argv; ++k) {
            const auto* p = reinterpret_cast<const unsigned char*>(argv[k]);
            double v = __builtin_nan("");
            switch (d.types[k]) {
            case LO_INT32: { std::int32_t x; std::memcpy(&x, p, 4); v = x; break; }
            case LO_INT64: { std::int64_t x; std::memcpy(&x, p, 8); v = static_cast<double>(x); break; }
            case LO_FLOAT: { float x; std::memcpy(&x, p, 4); v = x; break; }
            case LO_DOUBLE: { double x; std::memcpy(&x, p, 8); v = x; break; }
            case LO_STRING:
            case LO_SYMBOL:
                if (d.firstString.empty()) d.firstString = reinterpret_cast<const char*>(p);
                break;
            default: break;
            }
            d.numbers.push_back(v);
        }
    }
    lo_message_free(m);
    return d;
}

bool isFeedbackAddress(const std::string& p) {
    static const std::array<const char*, 6> kFeedback{"/qz7/link", "/qz7/timecode", "/qz7/transport",
                                                      "/qz7/rec",  "/qz7/number",   "/qz7/error"};
    return std::any_of(kFeedback.begin(), kFeedback.end(), [&](const char* a) { return p == a; });
}

// The pattern language read straight off the text, trying every way: slow
// (only ever run on short patterns here) but plainly what the words say.
bool slowMatch(std::string_view p, std::string_view s) {
    if (p.empty()) return s.empty();
    switch (p[0]) {
    case '*':
        return slowMatch(p.substr(1), s) || (!s.empty() && slowMatch(p, s.substr(1)));
    case '?':
        return !s.empty() && slowMatch(p.substr(1), s.substr(1));
    case '[': {
        std::size_t i = 1;
        const bool outside = i < p.size() && p[i] == '!';
        if (outside) ++i;
        bool in = false;
        for (bool first = true;; first = false) {
            if (i >= p.size()) return false;
            if (p[i] == ']' && !first) break;
            const auto lo = static_cast<unsigned char>(p[i]);
            auto hi = lo;
            if (i + 2 < p.size() && p[i + 1] == '-' && p[i + 2] != ']') {
                hi = static_cast<unsigned char>(p[i + 2]);
                i += 3;
            } else {
                ++i;
            }
            const auto c = s.empty() ? 0 : static_cast<unsigned char>(s[0]);
            if (!s.empty() && (c == lo || c == hi || (c > lo && c < hi))) in = true;
        }
        return !s.empty() && in != outside && slowMatch(p.substr(i + 1), s.substr(1));
    }
    case '{': {
        const std::size_t close = p.find('}');
        if (close == std::string_view::npos) return false;
        for (std::size_t at = 1;;) {
            const std::size_t comma = std::min(p.find(',', at), close);
            const std::string_view word = p.substr(at, comma - at);
            if (s.starts_with(word) && slowMatch(p.substr(close + 1), s.substr(word.size()))) return true;
            if (comma == close) return false;
            at = comma + 1;
        }
    }
    default:
        return !s.empty() && s[0] == p[0] && slowMatch(p.substr(1), s.substr(1));
    }
}

void checkPattern(const std::string& pattern, const std::string& argument, std::span<const std::uint8_t> datagram) {
    // Backtracking takes time exponential in the stars: keep to short ones.
    if (pattern.size() > 40 || std::count(pattern.begin(), pattern.end(), '*') > 5) return;
    static const std::array<std::string, 22> kNames{
        "/qz7/play", "/qz7/stop", "/qz7/rec", "/qz7/ff", "/qz7/rew", "/qz7/slow", "/qz7/jog", "/qz7/ee",
        "/qz7/pb", "/qz7/file/open", "/qz7/clip/open", "/qz7/seq/open", "/qz7/cue/mark", "/qz7/cue/search",
        "/qz7/goto", "/qz7/retrieve", "/qz7/subscribe", "/qz7/unsubscribe", "studio-a", "cam1", "cam10",
        "machine-room-deck-10-xxxxxxxxxxx"};
    const qz7::OscPattern compiled(pattern);
    // liblo also reads "//" as any number of address parts, which no address here needs.
    const bool sameAsLiblo = pattern.find_first_of("{-") == std::string::npos && pattern.find("//") == std::string::npos;
    auto check = [&](const std::string& name) {
        const bool ours = compiled.matches(name);
        if (ours != slowMatch(pattern, name)) fail("the matcher disagrees with the pattern language", datagram, pattern + " " + name);
        if (sameAsLiblo && name.find('\0') == std::string::npos && ours != (lo_pattern_match(name.c_str(), pattern.c_str()) != 0))
            fail("the matcher disagrees with liblo", datagram, pattern + " " + name);
    };
    for (const std::string& name : kNames) check(name);
    if (argument.size() <= 40) check(argument);
}

void checkCall(const Call& c, const Decoded& m, const qz7::OscPeer& from, std::span<const std::uint8_t> datagram) {
    if (!m.ok) fail("a call from a datagram liblo does not read", datagram);
    if (!(c.origin == qz7::Origin::osc(from.host + ":" + std::to_string(from.port))))
        fail("a call not from its sender", datagram, c.origin.detail);
    const bool exact = m.path == "/qz7/" + c.name;
    const bool pattern = m.path.find_first_of("*?[]{}") != std::string::npos;
    if (!exact && !(pattern && slowMatch(m.path, "/qz7/" + c.name)))
        fail("a call its address does not name", datagram, c.name);
    auto number = [&](std::size_t k) { return k < m.numbers.size() ? m.numbers[k] : __builtin_nan(""); };
    const std::size_t n = m.types.size();
    if (c.name == "rec" && !(n == 1 && number(0) == 1.0)) fail("record without the argument 1", datagram);
    if ((c.name == "ff" || c.name == "rew") && (c.a < 0 || c.a > 4 || n > 1 || (n == 1 && number(0) != c.a)))
        fail("wind item out of range or not the one sent", datagram, std::to_string(c.a));
    if ((c.name == "ff" || c.name == "rew") && n == 0 && c.a != 2) fail("wind default is not item 2", datagram);
    if (c.name == "slow" && ((c.a != 1 && c.a != -1) || c.b < 0 || c.b > 8 || n < 1 || n > 2 || number(0) != c.a ||
                             (n == 2 && number(1) != c.b) || (n == 1 && c.b != 0)))
        fail("slow arguments out of range or not the ones sent", datagram);
    if (c.name == "jog" && ((c.a != 1 && c.a != -1) || n != 1 || number(0) != c.a)) fail("jog direction", datagram);
    if (c.name == "stop" && (n > 1 || (n == 1 && number(0) != c.a) || (n == 0 && c.a != 0)))
        fail("stop lock not the one sent", datagram);
    if ((c.name == "play" || c.name == "ee" || c.name == "pb" || c.name == "cue/mark") && n != 0)
        fail("a call for a message with arguments", datagram, c.name);
    if ((c.name == "file/open" || c.name == "clip/open" || c.name == "seq/open" || c.name == "cue/search") &&
        (n != 1 || number(0) != c.a))
        fail("a number not the one sent", datagram, c.name);
    if (c.name == "goto") {
        if (n != 1 || (m.types[0] != 's' && m.types[0] != 'S')) fail("goto without one string", datagram);
        const std::string& t = c.text;
        if (t.size() != 11 || t[2] != ':' || t[5] != ':' || t[8] != ':') fail("goto with a malformed timecode", datagram, t);
    }
}

qz7::ViewState stateFrom(std::span<const std::uint8_t> d, unsigned round) {
    qz7::ViewState s;
    const std::uint8_t b = d.empty() ? 0 : d[d.size() / 2];
    static const std::array<const char*, 3> kLinks{"OFF", "OK", "NO REPLY"};
    s.link = kLinks[b % 3];
    s.timecode = std::to_string(round % 7);
    if (b & 0x08) s.transport = "PLAY";
    s.rec = (b >> 4) & 1;
    if (b & 0x20) s.number = "FILE 001";
    if (b & 0x40) s.error = std::string(d.begin(), d.begin() + std::min<std::size_t>(d.size(), 23));
    // Fields the web shows and OSC does not publish: their changes send nothing.
    if (b & 0x80) {
        s.lamp = "NO REPLY " + std::to_string(round % 5) + " s";
        s.hosts = {"127.0.0." + std::to_string(round % 3)};
    }
    return s;
}

// Counted here field by field rather than with ViewState::differences.
std::size_t changedFields(const qz7::ViewState& a, const qz7::ViewState& b) {
    return (a.link != b.link) + (a.timecode != b.timecode) + (a.transport != b.transport) + (a.rec != b.rec) +
           (a.number != b.number) + (a.error != b.error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t how = data[0];
    static constexpr std::array<int, 4> kSteps{0, 1, 30, 61};
    const std::chrono::seconds step(kSteps[(how >> 4) & 3]);

    RecordingPanel panel;
    panel.refuse = (how & 0x04) != 0;
    panel.throws = (how & 0x08) != 0;
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    qz7::OscDispatcher dispatcher(panel, [&] { return now; });

    std::vector<Bytes> datagrams;
    const std::span<const std::uint8_t> traffic(data + 1, size - 1);
    auto at = traffic.begin();
    while (true) {
        auto cut = std::search(at, traffic.end(), kSeparator.begin(), kSeparator.end());
        datagrams.emplace_back(at, cut);
        if (cut == traffic.end()) break;
        at = cut + kSeparator.size();
    }

    qz7::ViewState published;
    unsigned round = 0;
    for (const Bytes& datagram : datagrams) {
        const qz7::OscPeer& from = kSenders[(how + round) & 3];
        const std::size_t callsBefore = panel.calls.size();
        const qz7::OscDispatcher::Counters before = dispatcher.counters();
        const auto started = std::chrono::steady_clock::now();
        const auto replies = dispatcher.handle(datagram, from);
        // Generous for a sanitized build on a busy machine; backtracking took seconds.
        if (std::chrono::steady_clock::now() - started > std::chrono::milliseconds(250)) fail("a slow datagram", datagram);

        const std::size_t calls = panel.calls.size() - callsBefore;
        if (calls > 1) fail("more than one call for one datagram", datagram);
        const Decoded message = decode(datagram);
        if (message.ok) {
            checkPattern(message.path, message.firstString, datagram);
            checkPattern(message.firstString, message.path, datagram);
        }
        if (calls == 1) checkCall(panel.calls.back(), message, from, datagram);

        const auto& c = dispatcher.counters();
        const qz7::OscDispatcher::Counters delta{c.obeyed - before.obeyed, c.refused - before.refused,
                                                c.malformed - before.malformed, c.bundles - before.bundles};
        if (delta.obeyed + delta.refused + delta.malformed + delta.bundles != 1)
            fail("a datagram not counted exactly once", datagram);

        for (const qz7::OscDatagram& r : replies) {
            if (r.to.host != from.host) fail("a reply to another host than the sender's", datagram, r.to.host);
            const Decoded reply = decode(r.bytes);
            if (!reply.ok || !isFeedbackAddress(reply.path)) fail("a reply that is not feedback", datagram, reply.path);
            if (reply.types != (reply.path == "/qz7/rec" ? "i" : "s")) fail("a reply with wrong types", datagram, reply.types);
        }
        if (delta.refused == 1) {
            if (replies.size() != 1 || !(replies[0].to == from) || decode(replies[0].bytes).path != "/qz7/error")
                fail("a refusal not answered once to the sender", datagram);
            if (calls == 1 && !panel.refuse && !panel.throws) fail("a call the panel took, refused", datagram);
        }
        if (delta.obeyed == 1) {
            if (calls == 1 && !replies.empty()) fail("an obeyed command answered", datagram);
            // Otherwise a subscribe (the whole state, to one peer) or an unsubscribe.
            if (calls == 0 && !replies.empty() &&
                (replies.size() != 6 || std::any_of(replies.begin(), replies.end(), [&](const qz7::OscDatagram& r) {
                     return !(r.to == replies[0].to);
                 })))
                fail("a subscription answered with other than the whole state", datagram);
            if (calls == 1 && (panel.refuse || panel.throws)) fail("the panel's refusal counted as obeyed", datagram);
        }
        if ((delta.malformed == 1 || delta.bundles == 1) && (!replies.empty() || calls != 0))
            fail("a malformed datagram or bundle acted on", datagram);
        if (delta.malformed == 1 && message.ok && datagram.size() <= qz7::OscDispatcher::kMaxDatagram)
            fail("a message liblo reads counted as malformed", datagram);

        const std::vector<qz7::OscPeer> live = dispatcher.subscribers();
        if (live.size() > qz7::OscDispatcher::kMaxSubscribers) fail("more than eight subscribers", datagram);
        for (const qz7::OscPeer& p : live)
            if (static_cast<std::size_t>(std::count_if(live.begin(), live.end(), [&](const qz7::OscPeer& q) {
                    return q.host == p.host;
                })) > qz7::OscDispatcher::kMaxSubscribersPerAddress)
                fail("more than four subscribers from one address", datagram, p.host);
        for (const qz7::OscPeer& p : live)
            if (std::none_of(kSenders.begin(), kSenders.end(), [&](const qz7::OscPeer& s) { return s.host == p.host; }))
                fail("a subscriber on a host that never sent", datagram, p.host);

        const qz7::ViewState next = stateFrom(datagram, round);
        const auto fed = dispatcher.publish(next);
        if (fed.size() != changedFields(published, next) * live.size()) fail("publish sent other than the changes", datagram);
        for (const qz7::OscDatagram& f : fed)
            if (std::find(live.begin(), live.end(), f.to) == live.end()) fail("publish to a non-subscriber", datagram);
        published = next;

        now += step;
        ++round;
    }
    return 0;
}
