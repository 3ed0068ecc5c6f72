// The command stack: every operator action queues its packets here and the
// poll cycle sends them one per command turn, last in first out.
#pragma once

#include <array>
#include <stdexcept>

#include "link/protocol.h"

namespace qz7 {

// Raised where the program cannot go on with an action: a full stack, a
// socket that refused a datagram. The application shows it in its standard
// error box and carries on.
class LinkError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class CommandStack {
public:
    static constexpr int kCapacity = 2048;

    // Copies the packet into the next free slot. A full stack refuses the
    // packet, leaves every slot as it was and throws LinkError.
    void queue(const Packet& packet);

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Slot i from the bottom (0) to the top (count() - 1).
    const Packet& at(int i) const { return slots_.at(static_cast<std::size_t>(i)); }
    const Packet& top() const { return at(count_ - 1); }
    void pop() {
        if (count_ > 0) --count_;
    }
    void clear() { count_ = 0; }

private:
    std::array<Packet, kCapacity> slots_{};
    int count_ = 0;
};

}  // namespace qz7
