// A timecode as the panel shows and sends it: four two-character fields,
// hours first. The fields hold the text the display shows ("%02x" of the BCD
// byte a reply carries, or what the operator typed), so a position read from
// the recorder goes back byte for byte. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/protocol.h"

namespace qz7 {

// "%02x" of a byte: the BCD display.
std::string bcdText(std::uint8_t b);

struct Timecode {
    std::string hours = "00", minutes = "00", seconds = "00", frames = "00";

    // "hh:mm:ss:ff"
    std::string text() const { return hours + ":" + minutes + ":" + seconds + ":" + frames; }
    // Position bytes: frames, seconds, minutes, hours, each the BCD of its text.
    PositionBytes bytes() const { return {bcd2(frames), bcd2(seconds), bcd2(minutes), bcd2(hours)}; }
    // From position bytes as a list reply carries them, shown as "%02x" each.
    static Timecode fromBytes(const PositionBytes& b);
    // From the timecode reply: each byte masked to its BCD digits, as the display shows it.
    static Timecode fromReply(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours);
    // "hh:mm:ss:ff" with two decimal digits in every field; nothing else is a timecode.
    static std::optional<Timecode> parse(std::string_view text);

    // Whether the fields name a real time of day at `frameBase` frames a
    // second: hours 0-23, minutes and seconds 0-59, frames below the base.
    // Fields that are not two decimal digits are never in range.
    bool inRange(int frameBase) const;

    bool operator==(const Timecode&) const = default;
};

// Frames a second of a video standard as the status reply reports it (byte
// 21): 24, 25 or 30; 30 when the standard is not known.
int frameBase(std::uint8_t standardByte);

}  // namespace qz7
