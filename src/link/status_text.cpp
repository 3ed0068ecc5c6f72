#include "link/status_text.h"

#include <cstdio>

namespace qz7 {

namespace {
struct TransportBit {
    bool motionByte;  // byte 6 rather than byte 5
    std::uint8_t mask;
    const char* word;
};
// Tested in this order; the last set bit wins.
constexpr TransportBit kTransportWords[] = {
    {false, 0x01, "PLAY"}, {false, 0x04, "F.FWD"}, {false, 0x08, "RWD"}, {false, 0x20, "STOP"},
    {false, 0x02, "REC"},  {true, 0x08, "VAR"},    {true, 0x10, "JOG"},  {true, 0x20, "SHUTTLE"},
};

std::string format(const char* fmt, int v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}
}  // namespace

std::string transportWord(const StatusReply& s) {
    std::string word;
    for (const TransportBit& t : kTransportWords)
        if (((t.motionByte ? s.motion : s.transport) & t.mask) != 0) word = t.word;
    return word;
}

NumberLine numberLine(const StatusReply& s) {
    NumberLine line;
    if (s.audio & 0x40) {
        line = {"CLIP No. :", format("%03d", s.clip), " "};
    } else {
        line = {"REC FILE :", format("%03d", s.file & 0x7FFF), (s.file & 0x8000) ? "*" : " "};
    }
    // A sequence in play overrides both.
    if (s.sequence & 0x80) line = {"SEQ No. :", format("%03d", s.sequence & 0x7F), format("C %03d", s.clip)};
    return line;
}

std::string timecodeText(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) {
    return format("%02x", hours & 0x3F) + ":" + format("%02x", minutes & 0x7F) + ":" +
           format("%02x", seconds & 0x7F) + ":" + format("%02x", frames & 0x3F);
}

}  // namespace qz7
