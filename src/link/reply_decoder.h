// Validation and decoding of the recorder's replies. The decoder checks
// length, checksum, lead byte and table limits, then hands each reply over as
// one typed value. A datagram that fails any check hands over nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

#include "link/protocol.h"
#include "link/settings.h"

namespace qz7 {

// A device announced itself (from anyone, link on or off).
struct DiscoveryReply {
    std::string sender;  // dotted IPv4 text
};

// The timecode bytes as they came, frames first; the panel masks them.
struct TimecodeReply {
    std::uint8_t frames = 0, seconds = 0, minutes = 0, hours = 0;
};

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

struct ErrorTextReply {
    std::string text;  // at most 23 bytes
};

// The answer to the link-start command.
struct SystemReply {
    int diskConfiguration = 0;  // bit 0 of byte 4
    int recordedFileCount = 0;
};

// Entries name their slot inside its table: cue and clip 0..511, files 1..512,
// sequences 0..15 (blocks 0..25). present = the slot holds an entry; position
// and name are meaningful only then.
struct CueEntryReply {
    int cue = 0;
    bool present = false;
    PositionBytes position{};
    std::string name;
};

struct ClipEntryReply {
    int clip = 0;
    bool present = false;
    PositionBytes in{}, out{};
    std::string name;
};

struct InhibitReply {
    int fileNumber = 1;
    std::uint8_t flag = 0;
};

struct FileNameReply {
    int fileNumber = 1;
    std::string name;
};

struct SequenceHeaderReply {
    int sequence = 0;
    std::uint8_t blockCount = 0, entryCount = 0;
};

struct SequenceBlockReply {
    int sequence = 0;
    int block = 0;
    std::array<std::int16_t, 5> steps{};
};

// A settings answer, read into its page's value: `fields` says which of the
// value's fields the answer carried; the others are left at their defaults.
// The character answer sets the whole page, the preroll answer the control
// page's preroll.
template <typename Page>
struct SettingsAnswer {
    Page value{};
    SettingsFields fields = 0;
};

// Every reply the panel takes, each kind declared once above.
using Reply = std::variant<DiscoveryReply, TimecodeReply, StatusReply, ErrorTextReply, SystemReply, CueEntryReply,
                           ClipEntryReply, InhibitReply, FileNameReply, SequenceHeaderReply, SequenceBlockReply,
                           SettingsAnswer<TimecodeSettings>, SettingsAnswer<GenlockSettings>,
                           SettingsAnswer<TestSignalSettings>, SettingsAnswer<AudioSettings>,
                           SettingsAnswer<VideoSettings>, SettingsAnswer<ControlSettings>,
                           SettingsAnswer<CharacterSettings>>;

// Builds a visitor from lambdas, one per kind: std::visit(overloaded{...}, reply).
template <typename... Handlers>
struct overloaded : Handlers... {
    using Handlers::operator()...;
};
template <typename... Handlers>
overloaded(Handlers...) -> overloaded<Handlers...>;  // for compilers without aggregate deduction

// Where the decoded replies go.
class ReplySink {
public:
    virtual ~ReplySink() = default;
    virtual void take(const Reply& reply) = 0;
};

// Where a datagram came from, as far as the decoder cares.
struct Sender {
    std::string address;            // dotted IPv4 text
    bool isSelectedRecorder = false; // the first endpoint's current address
};

class ReplyDecoder {
public:
    explicit ReplyDecoder(ReplySink& sink) : sink_(sink) {}

    // Decodes one datagram and hands its reply to the sink. Returns true when
    // it did (discovery included). A datagram holds one reply at most.
    bool decode(std::span<const std::uint8_t> datagram, const Sender& sender, bool linkEnabled);

    // Shortest datagram that holds every byte the reply's decoder reads,
    // from the table of reply codes; 0 = not a reply we take.
    static std::size_t minimumLength(std::uint8_t group, std::uint8_t code);

private:
    ReplySink& sink_;
};

// The reply in one datagram, or nothing when any check fails.
std::optional<Reply> decodeReply(std::span<const std::uint8_t> datagram, const Sender& sender, bool linkEnabled);

// A name field: its bytes up to the first zero byte, or the whole run.
std::string nameFromField(std::span<const std::uint8_t> field);

}  // namespace qz7
