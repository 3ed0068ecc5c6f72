// OSC messages for the tests, built and read with liblo itself so that the
// dispatcher is checked against another encoder than its own.
#pragma once

#include <lo/lo.h>

#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace qz7::test {

using OscArg = std::variant<std::int32_t, float, double, std::int64_t, std::string>;

inline std::vector<std::uint8_t> osc(const std::string& path, const std::vector<OscArg>& args = {}) {
    lo_message m = lo_message_new();
    for (const OscArg& a : args) {
        if (auto* i = std::get_if<std::int32_t>(&a)) lo_message_add_int32(m, *i);
        if (auto* f = std::get_if<float>(&a)) lo_message_add_float(m, *f);
        if (auto* d = std::get_if<double>(&a)) lo_message_add_double(m, *d);
        if (auto* h = std::get_if<std::int64_t>(&a)) lo_message_add_int64(m, *h);
        if (auto* s = std::get_if<std::string>(&a)) lo_message_add_string(m, s->c_str());
    }
    std::size_t size = 0;
    void* data = lo_message_serialise(m, path.c_str(), nullptr, &size);
    std::vector<std::uint8_t> bytes(static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
    std::free(data);
    lo_message_free(m);
    return bytes;
}

// One received message, its single argument as text ("OFF", "1").
struct OscSeen {
    std::string path;
    std::string types;
    std::string value;
    bool operator==(const OscSeen&) const = default;
};

inline void PrintTo(const OscSeen& s, std::ostream* os) { *os << s.path << " ," << s.types << " " << s.value; }

// liblo's arguments point into the message at 4-byte steps: read them as
// bytes, never through the (8-byte aligned) union.
inline std::string argumentText(char type, lo_arg* a) {
    if (type == LO_STRING || type == LO_SYMBOL) return reinterpret_cast<const char*>(a);
    if (type == LO_INT32) {
        std::int32_t v = 0;
        std::memcpy(&v, reinterpret_cast<const unsigned char*>(a), sizeof v);
        return std::to_string(v);
    }
    return std::string("?") + type;
}

inline OscSeen seen(const char* path, const char* types, lo_arg** argv, int argc) {
    OscSeen s{path, types ? types : "", {}};
    for (int k = 0; k < argc && types; ++k) s.value += (k ? " " : "") + argumentText(types[k], argv[k]);
    return s;
}

inline OscSeen decode(std::vector<std::uint8_t> bytes) {
    int result = 0;
    lo_message m = lo_message_deserialise(bytes.data(), bytes.size(), &result);
    if (m == nullptr) return {"<not OSC>", {}, std::to_string(result)};
    OscSeen s = seen(reinterpret_cast<const char*>(bytes.data()), lo_message_get_types(m), lo_message_get_argv(m),
                     lo_message_get_argc(m));
    lo_message_free(m);
    return s;
}

}  // namespace qz7::test
