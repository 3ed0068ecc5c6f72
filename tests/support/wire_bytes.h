// Datagram builders shared by every test program: frames with their sum, and
// zero-filled frames of a given length with chosen bytes set. Plain C++.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <utility>
#include <vector>

#include "link/protocol.h"

namespace qz7::test {

using Bytes = std::vector<std::uint8_t>;

// Any bytes followed by their 8-bit sum.
inline Bytes withSum(Bytes bytes) {
    bytes.push_back(checksum(bytes));
    return bytes;
}

// A frame: 0x3E, N, group, code, data, sum.
inline Bytes reply(std::uint8_t group, std::uint8_t code, const Bytes& data = {}) {
    Bytes b{kLead, static_cast<std::uint8_t>(data.size()), group, code};
    b.insert(b.end(), data.begin(), data.end());
    return withSum(b);
}

// Recomputes the last byte as the sum of the others.
inline void fixSum(Bytes& d) {
    if (d.empty()) return;
    d.back() = checksum(std::span<const std::uint8_t>(d.data(), d.size() - 1));
}

// A zero-filled frame of totalLength bytes (sum included), N = totalLength - 5,
// with the given (position, value) pairs set; a position at or past the sum
// of a short frame is simply not there.
inline Bytes sizedFrame(std::uint8_t group, std::uint8_t code, std::size_t totalLength,
                        std::initializer_list<std::pair<int, int>> set = {}) {
    Bytes d(totalLength - 1, 0);
    d[0] = kLead;
    d[1] = static_cast<std::uint8_t>(totalLength - 5);
    d[2] = group;
    d[3] = code;
    for (auto [p, v] : set)
        if (static_cast<std::size_t>(p) < d.size()) d[static_cast<std::size_t>(p)] = static_cast<std::uint8_t>(v);
    return withSum(d);
}

inline Bytes blankReply(std::uint8_t group, std::uint8_t code, std::size_t totalLength) {
    return sizedFrame(group, code, totalLength);
}

}  // namespace qz7::test
