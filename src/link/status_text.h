// The words and numbers the status panel shows for a status reply, as plain
// text, for the panel and for anything else that reports the recorder's state.
#pragma once

#include <cstdint>
#include <string>

#include "link/reply_decoder.h"

namespace qz7 {

// The transport word the reply selects: the last set bit of PLAY, F.FWD, RWD,
// STOP, REC (byte 5), VAR, JOG, SHUTTLE (byte 6) wins; "" when none is set
// (the panel then keeps the word it shows).
std::string transportWord(const StatusReply& status);

// The number line: "REC FILE :" / "CLIP No. :" / "SEQ No. :", the number, and
// the marker beside it (" ", "*" for an inhibited file, "C %03d" in a sequence).
struct NumberLine {
    std::string caption;
    std::string number;
    std::string marker;
};
NumberLine numberLine(const StatusReply& status);
// The line as one text for remote clients and the log: "REC FILE : 003",
// "REC FILE : 004 *", "SEQ No. : 002 C 005" (a blank marker left out).
std::string numberText(const NumberLine& line);

// The video standard (byte 21) and quality (byte 22) as the panel shows them,
// trailing blanks included.
std::string standardText(std::uint8_t byte21);
std::string qualityText(std::uint8_t byte22);
// "EXT", "INPUT" or "INT" for byte 20; "" for none (the panel keeps its word).
std::string referenceWord(std::uint8_t byte20);

}  // namespace qz7
