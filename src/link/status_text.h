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

// "hh:mm:ss:ff" of a timecode reply, each field masked to its BCD digits.
std::string timecodeText(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours);

}  // namespace qz7
