#include "link/command_stack.h"

namespace qz7 {

void CommandStack::queue(const Packet& packet, Tag tag) {
    if (count_ >= kCapacity)
        throw LinkError("Command stack full: " + std::to_string(kCapacity) +
                        " commands are waiting; the new command was not queued.");
    slots_[static_cast<std::size_t>(count_)] = packet;
    tags_[static_cast<std::size_t>(count_)] = tag;
    ++count_;
}

}  // namespace qz7
