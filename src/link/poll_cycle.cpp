#include "link/poll_cycle.h"

namespace qz7 {

const std::array<std::uint8_t, 5> PollCycle::kStatusRequest{kLead, 0x00, Group::Sense, Sense::Status, 0xD4};
const std::array<std::uint8_t, 6> PollCycle::kTimecodeRequest{kLead, 0x01, Group::Sense, Sense::Timecode, 0x01, 0xD8};

void PollCycle::sendTurn() {
    if (!stack_.empty()) {
        sendToggle_ ^= 1;
        if (sendToggle_ == 0)
            sendTopCommand();
        else
            statusTurn();
    } else {
        statusTurn();
    }
}

void PollCycle::statusTurn() {
    requestToggle_ ^= 1;
    if (requestToggle_ == 0)
        sendPacket(kStatusRequest);
    else
        sendPacket(kTimecodeRequest);
}

void PollCycle::sendTopCommand() {
    if (stack_.empty()) return;
    const auto datagram = stack_.top().wire();
    sendPacket(datagram);  // may throw: the slot then stays for the next command turn
    stack_.pop();
}

void PollCycle::sendPacket(std::span<const std::uint8_t> datagram) {
    if (!linkEnabled_) return;
    transport_.send(1, datagram);
    if (secondEndpointUsed_) transport_.send(2, datagram);
}

}  // namespace qz7
