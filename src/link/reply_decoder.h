// Validation and dispatch of the recorder's replies. The decoder checks
// length, checksum, lead byte and table limits, then calls one typed handler
// on the sink. A datagram that fails any check changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "link/protocol.h"

namespace qz7 {

// The status reply's bytes that the panel reads, by their datagram position.
struct StatusReply {
    std::uint8_t transport = 0;   // byte 5: PLAY, REC, F.FWD, RWD, STOP bits
    std::uint8_t motion = 0;      // byte 6: VAR, JOG, SHUTTLE bits
    std::uint8_t reference = 0;   // byte 20
    std::uint8_t standard = 0;    // byte 21
    std::uint8_t quality = 0;     // byte 22: quality bits 0-2, error flag bit 5
    std::uint8_t audio = 0;       // byte 23: audio bits 0-5, clip mode bit 6
    std::uint16_t file = 0;       // bytes 25, 26 (bit 7 of 26 is the inhibit marker)
    std::uint16_t clip = 0;       // bytes 27, 28
    std::uint8_t sequence = 0;    // byte 29: bit 7 sequence mode, bits 0-6 number
};

// One handler per reply kind. Each does nothing unless overridden, so a sink
// takes only the replies it cares about.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    virtual void onDiscovery(const std::string& /*senderAddress*/) {}
    virtual void onTimecode(std::uint8_t /*frames*/, std::uint8_t /*seconds*/, std::uint8_t /*minutes*/,
                            std::uint8_t /*hours*/) {}
    virtual void onStatus(const StatusReply& /*status*/) {}
    virtual void onErrorText(const std::string& /*text*/) {}
    virtual void onSystem(int /*diskConfiguration*/, int /*recordedFileCount*/) {}
    // present = the slot holds a cue; position and name are meaningful only then.
    virtual void onCueEntry(int /*cue*/, bool /*present*/, const PositionBytes& /*position*/,
                            const std::string& /*name*/) {}
    virtual void onClipEntry(int /*clip*/, bool /*present*/, const PositionBytes& /*in*/, const PositionBytes& /*out*/,
                             const std::string& /*name*/) {}
    virtual void onInhibit(int /*fileNumber*/, std::uint8_t /*flag*/) {}
    virtual void onFileName(int /*fileNumber*/, const std::string& /*name*/) {}
    virtual void onSequenceHeader(int /*sequence*/, std::uint8_t /*blockCount*/, std::uint8_t /*entryCount*/) {}
    virtual void onSequenceBlock(int /*sequence*/, int /*block*/, const std::array<std::int16_t, 5>& /*steps*/) {}
    // Settings answers 0x64, 0x65, 0x70, 0x71, 0x72, 0x76, 0x77, 0x79, 0x8B:
    // the whole datagram, at least as long as the code's answer.
    virtual void onSettingsAnswer(std::uint8_t /*code*/, std::span<const std::uint8_t> /*datagram*/) {}
    // The 16 data bytes of the character answer (0x37 0x78).
    virtual void onCharacterAnswer(const std::array<std::uint8_t, 16>& /*data*/) {}
    // Byte 5 of the preroll time answer (74 31 ...), unmasked.
    virtual void onPrerollTime(std::uint8_t /*secondsByte*/) {}
};

// Where a datagram came from, as far as the decoder cares.
struct Sender {
    std::string address;            // dotted IPv4 text
    bool isSelectedRecorder = false; // the first endpoint's current address
};

class ReplyDecoder {
public:
    explicit ReplyDecoder(ReplySink& sink) : sink_(sink) {}

    // Decodes one datagram. Returns true when a handler (discovery included) ran.
    bool decode(std::span<const std::uint8_t> datagram, const Sender& sender, bool linkEnabled);

    // Shortest datagram that holds every byte the handler reads, from the
    // table of reply codes; 0 = not a reply we take.
    static std::size_t minimumLength(std::uint8_t group, std::uint8_t code);

private:
    bool dispatch(std::span<const std::uint8_t> d);
    ReplySink& sink_;
};

// A name field: its bytes up to the first zero byte, or the whole run.
std::string nameFromField(std::span<const std::uint8_t> field);

}  // namespace qz7
