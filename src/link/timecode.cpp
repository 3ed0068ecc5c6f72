#include "link/timecode.h"

#include <cstdio>

namespace qz7 {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int twoDigitValue(const std::string& field) {
    if (field.size() != 2 || !isDigit(field[0]) || !isDigit(field[1])) return -1;
    return (field[0] - '0') * 10 + (field[1] - '0');
}
}  // namespace

std::string bcdText(std::uint8_t b) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", b);
    return buf;
}

Timecode Timecode::fromBytes(const PositionBytes& b) {
    return Timecode{bcdText(b[3]), bcdText(b[2]), bcdText(b[1]), bcdText(b[0])};
}

Timecode Timecode::fromReply(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) {
    return Timecode{bcdText(hours & 0x3F), bcdText(minutes & 0x7F), bcdText(seconds & 0x7F), bcdText(frames & 0x3F)};
}

std::optional<Timecode> Timecode::parse(std::string_view t) {
    if (t.size() != 11 || t[2] != ':' || t[5] != ':' || t[8] != ':') return std::nullopt;
    for (std::size_t at : {0u, 1u, 3u, 4u, 6u, 7u, 9u, 10u})
        if (!isDigit(t[at])) return std::nullopt;
    return Timecode{std::string(t.substr(0, 2)), std::string(t.substr(3, 2)), std::string(t.substr(6, 2)),
                    std::string(t.substr(9, 2))};
}

bool Timecode::inRange(int base) const {
    const int h = twoDigitValue(hours), m = twoDigitValue(minutes), s = twoDigitValue(seconds),
              f = twoDigitValue(frames);
    return h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59 && f >= 0 && f < base;
}

// The standards' frame rates by the low nibble of byte 21: 59.94I/50I/25P,
// 23.98 and 24 PsF/P, 720 at 59.94/50/29.97/25/23.98, 1080 PsF at 29.97/25.
int frameBase(std::uint8_t standardByte) {
    static constexpr int kBases[16] = {30, 25, 25, 24, 24, 30, 25, 30, 25, 24, 30, 25, 30, 30, 30, 30};
    return kBases[standardByte & 0x0F];
}

}  // namespace qz7
