// The command stack: every operator action queues its packets here and the
// poll cycle sends them one per command turn, last in first out.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

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

    // Whoever queues may mark a slot with a tag of its own (the deck: which
    // operation queued it); 0 is no tag.
    using Tag = std::uint64_t;

    // Copies the packet into the next free slot. A full stack refuses the
    // packet, leaves every slot as it was and throws LinkError.
    void queue(const Packet& packet, Tag tag = 0);

    int count() const { return count_; }
    bool empty() const { return count_ == 0; }
    // Slot i from the bottom (0) to the top (count() - 1).
    const Packet& at(int i) const { return slots_.at(static_cast<std::size_t>(i)); }
    const Packet& top() const { return at(count_ - 1); }
    Tag tagAt(int i) const { return tags_.at(static_cast<std::size_t>(i)); }
    // Takes every slot whose tag `drop` names out of the stack, the others
    // keeping their order; returns the positions the removed slots had.
    template <typename Pred>
    std::vector<int> removeIf(Pred drop) {
        std::vector<int> removed;
        int kept = 0;
        for (int i = 0; i < count_; ++i) {
            const auto k = static_cast<std::size_t>(i);
            if (drop(tags_[k])) {
                removed.push_back(i);
                continue;
            }
            if (kept != i) {
                slots_[static_cast<std::size_t>(kept)] = slots_[k];
                tags_[static_cast<std::size_t>(kept)] = tags_[k];
            }
            ++kept;
        }
        count_ = kept;
        return removed;
    }
    void pop() {
        if (count_ > 0) --count_;
    }
    void clear() { count_ = 0; }

private:
    std::array<Packet, kCapacity> slots_{};
    std::array<Tag, kCapacity> tags_{};
    int count_ = 0;
};

}  // namespace qz7
