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

std::string numberText(const NumberLine& line) {
    std::string text = line.caption + " " + line.number;
    if (!line.marker.empty() && line.marker != " ") text += " " + line.marker;
    return text;
}

namespace {
// Texts carry their trailing blanks, as the panel has always shown them.
const char* const kStandards[16][2] = {
    {"1080/59.94I   ", "1080/60I     "}, {"1080/50I      ", "1080/50I     "},
    {"1080/25P      ", "1080/25P     "}, {"1080/23.98PSF ", "1080/24PSF   "},
    {"1080/23.98P   ", "1080/24P     "}, {"720/59.94P    ", "720/60P      "},
    {"720/50P       ", "720/50P      "}, {"720/29.97P    ", "720/30P      "},
    {"720/25P       ", "720/25P      "}, {"720/23.98P    ", "720/24P      "},
    {"1080/29.97PSF ", "1080/30PSF   "}, {"1080/24.98PSF ", "1080/25PSF   "},
    {"UNKNOWN       ", "UNKNOWN      "}, {"UNKNOWN       ", "UNKNOWN      "},
    {"UNKNOWN       ", "UNKNOWN      "}, {"UNKNOWN       ", "UNKNOWN      "},
};
const char* const kQualities[8] = {"HQ      ", "LP1     ", "LP2     ", "LOSSLESS",
                                   "LP3     ", "EHQ     ", "LP4     ", "LOCAL   "};
}  // namespace

std::string standardText(std::uint8_t b) { return kStandards[b & 0x0F][(b >> 4) & 0x01]; }
std::string qualityText(std::uint8_t b) { return kQualities[b & 0x07]; }

std::string referenceWord(std::uint8_t b) {
    switch (b & 0x0C) {
    case 0x04: return "EXT";
    case 0x08: return "INPUT";
    case 0x0C: return "INT";
    default: return "";
    }
}

std::string linkWord(LinkState state) {
    switch (state) {
    case LinkState::Off: return "OFF";
    case LinkState::Ok: return "OK";
    default: return "NO REPLY";
    }
}

std::string lampText(LinkState state, const std::string& address, long long silentSeconds, bool sendError) {
    std::string text;
    switch (state) {
    case LinkState::Off: text = "LINK OFF"; break;
    case LinkState::Waiting: text = "WAITING " + address; break;
    case LinkState::Ok: text = "LINK OK " + address; break;
    case LinkState::NoReply: text = "NO REPLY " + std::to_string(silentSeconds) + " s"; break;
    }
    return sendError ? text + "  SEND ERROR" : text;
}

std::string lampStateWord(LinkState state) {
    switch (state) {
    case LinkState::Off: return "off";
    case LinkState::Waiting: return "waiting";
    case LinkState::Ok: return "ok";
    case LinkState::NoReply: return "noreply";
    }
    return "off";
}

std::string linkLine(LinkState state, const std::string& address) {
    return state == LinkState::NoReply ? std::string("NO REPLY") : lampText(state, address, 0, false);
}

std::string errorLine(const std::string& text) { return "ERR : " + text; }

}  // namespace qz7
