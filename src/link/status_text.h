// The words and numbers the status panel shows for a status reply, and the
// words of the link lamp and the error line, as plain text: made here once
// for the panel, remote clients, the log and the stderr lines alike.
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

// The link as the lamp shows it: off, waiting for the first reply after
// "Apply", answering, or silent.
enum class LinkState { Off, Waiting, Ok, NoReply };
// As remote clients and the log read it: "OFF", "OK", or "NO REPLY" (also
// while the first reply after "Apply" is awaited).
std::string linkWord(LinkState state);
// The lamp's text: "LINK OFF", "WAITING <address>", "LINK OK <address>" or
// "NO REPLY <n> s", and "  SEND ERROR" after it while a send failed.
std::string lampText(LinkState state, const std::string& address, long long silentSeconds, bool sendError);
// The lamp's colour as the web page names it: "off", "waiting", "ok", "noreply".
std::string lampStateWord(LinkState state);
// A change of link as a stderr line says it: the lamp's words without the
// seconds of a silence, so a silence is one line, not one a second.
std::string linkLine(LinkState state, const std::string& address);
// The panel's error line for the recorder's error text: "ERR : text".
std::string errorLine(const std::string& text);

}  // namespace qz7
