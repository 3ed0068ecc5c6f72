#include "link/poll_cycle.h"

namespace qz7 {

const std::array<std::uint8_t, 5> PollCycle::kStatusRequest{kLead, 0x00, Group::Sense, Sense::Status, 0xD4};
const std::array<std::uint8_t, 6> PollCycle::kTimecodeRequest{kLead, 0x01, Group::Sense, Sense::Timecode, 0x01, 0xD8};

void PollCycle::sendTurn() {
    ++turns_;
    if (!stack_.empty()) {
        sendToggle_ ^= 1;
        if (sendToggle_ == 0)
            sendTopCommand();
        else
            statusTurn();
    } else {
        statusTurn();
    }
    ++cleanTicks_;
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
    if (!linkEnabled_) {
        stack_.pop();
        return;
    }
    // A failed send to the selected recorder keeps the slot for the next
    // command turn. Once the selected recorder has the command it leaves the
    // stack whatever the second endpoint does: sending it again would repeat
    // it on the selected recorder (a second REC, a second erase).
    transport_.send(1, datagram);
    stack_.pop();
    sendToSecond(datagram);
}

void PollCycle::sendPacket(std::span<const std::uint8_t> datagram) {
    if (!linkEnabled_) return;
    transport_.send(1, datagram);
    sendToSecond(datagram);
}

void PollCycle::sendToSecond(std::span<const std::uint8_t> datagram) {
    if (!secondEndpointUsed_) return;
    try {
        transport_.send(2, datagram);
    } catch (const LinkError& e) {
        // The partner's failure is reported, but the selected recorder's
        // reply is still read: a dead partner must not make the panel deaf.
        partnerError_ = e.what();
    }
}

std::string PollCycle::takePartnerError() {
    std::string e;
    e.swap(partnerError_);
    return e;
}

}  // namespace qz7
