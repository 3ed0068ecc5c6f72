// The sending half of a poll tick: one packet per tick, either the newest
// queued command or one of the two alternating status requests.
#pragma once

#include <cstdint>
#include <string>

#include "link/command_stack.h"
#include "link/transport.h"

namespace qz7 {

class PollCycle {
public:
    PollCycle(CommandStack& stack, Transport& transport) : stack_(stack), transport_(transport) {}

    // Gates all transmission. Off at start and after "Scan", on after "Apply".
    bool linkEnabled() const { return linkEnabled_; }
    void setLinkEnabled(bool on) { linkEnabled_ = on; }

    // Whether the second endpoint receives packets at all (a single recorder
    // given on the command line has no partner).
    void setSecondEndpointUsed(bool used) { secondEndpointUsed_ = used; }

    // Steps 1 and 2 of a tick. A send error propagates as LinkError: the tick
    // ends there, a command stays on the stack, the toggles keep their new values.
    void sendTurn();

    // Send turns begun. Every error of one tick, from its sends or from the
    // reply it reads, is raised while this count stays the same.
    std::uint64_t turns() const { return turns_; }

    // Sends a finished datagram to both endpoints if the link is on. A failure
    // on the first endpoint throws; one on the second is kept for takePartnerError().
    void sendPacket(std::span<const std::uint8_t> datagram);

    // The second endpoint's send error of the last tick, if any (then cleared).
    std::string takePartnerError();

    // Ticks whose send turn ended without a throw: a send error stays shown
    // until this moves on.
    std::uint64_t cleanTicks() const { return cleanTicks_; }

    int sendToggle() const { return sendToggle_; }
    int requestToggle() const { return requestToggle_; }

    static const std::array<std::uint8_t, 5> kStatusRequest;    // 3E 00 36 60 D4
    static const std::array<std::uint8_t, 6> kTimecodeRequest;  // 3E 01 36 62 01 D8

private:
    void statusTurn();
    void sendTopCommand();
    void sendToSecond(std::span<const std::uint8_t> datagram);

    CommandStack& stack_;
    Transport& transport_;
    bool linkEnabled_ = false;
    bool secondEndpointUsed_ = true;
    int sendToggle_ = 0;
    int requestToggle_ = 0;
    std::uint64_t turns_ = 0;
    std::string partnerError_;
    std::uint64_t cleanTicks_ = 0;
};

}  // namespace qz7
