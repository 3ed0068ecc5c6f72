// The link's only way out to the network. The Qt adapter sends UDP datagrams;
// tests use a fake that records what was sent.
#pragma once

#include <cstdint>
#include <span>

namespace qz7 {

class Transport {
public:
    virtual ~Transport() = default;
    // Sends one datagram to endpoint 1 (the selected recorder) or 2 (the other
    // of the pair). Throws LinkError when the socket layer refuses it.
    virtual void send(int endpoint, std::span<const std::uint8_t> datagram) = 0;
};

}  // namespace qz7
