// Wire format of the recorder protocol: framing, checksum, BCD and the named
// groups and codes. Plain C++, no Qt.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

namespace qz7 {

// Position bytes as they travel: frames, seconds, minutes, hours (BCD).
using PositionBytes = std::array<std::uint8_t, 4>;

constexpr std::uint8_t kLead = 0x3E;
constexpr std::uint16_t kDevicePort = 20000;
constexpr std::size_t kSlotBytes = 64;       // a packet before its checksum
constexpr std::size_t kMaxDatagram = 8192;   // largest datagram we read

namespace Group {
constexpr std::uint8_t System = 0x32;        // system request
constexpr std::uint8_t SystemAnswer = 0x33;  // system reply
constexpr std::uint8_t Operate = 0x34;       // operation and setting commands
constexpr std::uint8_t Sense = 0x36;         // sense requests
constexpr std::uint8_t Answer = 0x37;        // answers to sense requests
}  // namespace Group

// Codes of group 0x34 (operation and setting commands).
namespace Op {
constexpr std::uint8_t Stop = 0x00;
constexpr std::uint8_t Play = 0x01;
constexpr std::uint8_t Record = 0x02;
constexpr std::uint8_t SlowForward = 0x12;
constexpr std::uint8_t FastForward = 0x13;
constexpr std::uint8_t JogForward = 0x14;
constexpr std::uint8_t SlowReverse = 0x22;
constexpr std::uint8_t Rewind = 0x23;
constexpr std::uint8_t JogReverse = 0x24;
constexpr std::uint8_t TimecodeSearch = 0x31;
constexpr std::uint8_t MonitorPB = 0x40;
constexpr std::uint8_t MonitorEE = 0x41;
constexpr std::uint8_t OpenFile = 0x50;
constexpr std::uint8_t EraseLastFile = 0x51;
constexpr std::uint8_t OpenClip = 0x52;
constexpr std::uint8_t GoToCue = 0x53;
constexpr std::uint8_t OpenSequence = 0x54;
constexpr std::uint8_t CompressionQuality = 0x64;
constexpr std::uint8_t Genlock = 0x65;
constexpr std::uint8_t AudioInput = 0x66;
constexpr std::uint8_t AudioChannels = 0x67;
constexpr std::uint8_t SampleRateConverter = 0x68;
constexpr std::uint8_t RecordMode = 0x70;
constexpr std::uint8_t PlaybackMode = 0x71;
constexpr std::uint8_t TimecodeSettings = 0x72;
constexpr std::uint8_t TimecodePreset = 0x73;
constexpr std::uint8_t TestSignal = 0x76;
constexpr std::uint8_t AudioDelay = 0x77;  // the code the recorder reports the delay under
constexpr std::uint8_t Character = 0x78;
constexpr std::uint8_t Anc = 0x79;
constexpr std::uint8_t CueWrite = 0x80;
constexpr std::uint8_t ClipWrite = 0x81;
constexpr std::uint8_t FileNameWrite = 0x82;
constexpr std::uint8_t ClearCues = 0x83;
constexpr std::uint8_t ClearClips = 0x84;
constexpr std::uint8_t DeleteSequence = 0x85;
constexpr std::uint8_t ClearSequences = 0x86;
constexpr std::uint8_t ErrorReset = 0x89;
constexpr std::uint8_t SequenceTransfer = 0x8A;
constexpr std::uint8_t StillMode = 0x8B;
constexpr std::uint8_t InhibitWrite = 0x8C;
}  // namespace Op

// Codes of group 0x36 (requests) and 0x37 (their answers, same code as a rule).
namespace Sense {
constexpr std::uint8_t TimecodeReply = 0x04;  // answer code of request 0x62
constexpr std::uint8_t Status = 0x60;
constexpr std::uint8_t Timecode = 0x62;
constexpr std::uint8_t CompressionQuality = 0x64;
constexpr std::uint8_t Genlock = 0x65;
constexpr std::uint8_t RecordMode = 0x70;
constexpr std::uint8_t PlaybackMode = 0x71;
constexpr std::uint8_t TimecodeSettings = 0x72;
constexpr std::uint8_t TestSignal = 0x76;
constexpr std::uint8_t AudioDelay = 0x77;
constexpr std::uint8_t Character = 0x78;
constexpr std::uint8_t Anc = 0x79;
constexpr std::uint8_t CueEntry = 0x80;
constexpr std::uint8_t ClipEntry = 0x81;
constexpr std::uint8_t FileName = 0x82;
constexpr std::uint8_t ErrorText = 0x83;
constexpr std::uint8_t SequenceHeader = 0x85;
constexpr std::uint8_t SequenceBlock = 0x86;
constexpr std::uint8_t StillMode = 0x8B;
constexpr std::uint8_t Inhibit = 0x8C;
}  // namespace Sense

// Codes of group 0x32 (system requests); the system reply is 0x33 0x01.
namespace Sys {
constexpr std::uint8_t EraseDisks = 0x00;
constexpr std::uint8_t LinkStart = 0x01;
}  // namespace Sys

// The preroll packets travel without the 0x3E frame: two raw lead bytes.
namespace Preroll {
constexpr std::uint8_t PresetLead0 = 0x44, PresetLead1 = 0x31;   // set preroll time
constexpr std::uint8_t RequestLead0 = 0x60, RequestLead1 = 0x31; // ask preroll time
constexpr std::uint8_t AnswerLead0 = 0x74, AnswerLead1 = 0x31;   // its answer
}  // namespace Preroll

// Discovery datagram a recorder may send on its own.
constexpr std::array<std::uint8_t, 4> kDiscovery{0x00, 0x00, 0x00, 0xF7};

// 8-bit wrap-around sum.
inline std::uint8_t checksum(std::span<const std::uint8_t> bytes) {
    std::uint8_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint8_t>(sum + b);
    return sum;
}

// Two characters of a two-digit field as one BCD byte. Characters are not
// checked: each contributes its code minus '0', kept to 8 bits. A text shorter
// than two characters counts its missing characters as '0'.
inline std::uint8_t bcd2(std::string_view text) {
    const int c0 = text.size() > 0 ? static_cast<unsigned char>(text[0]) : '0';
    const int c1 = text.size() > 1 ? static_cast<unsigned char>(text[1]) : '0';
    return static_cast<std::uint8_t>(((c0 - 0x30) << 4) | (c1 - 0x30));
}

// A number 0..99 as a BCD byte.
inline std::uint8_t toBcd(int n) { return static_cast<std::uint8_t>((n / 10) * 16 + n % 10); }

// Unsigned 16-bit little-endian at position p.
inline unsigned le16(std::span<const std::uint8_t> d, std::size_t p) {
    return static_cast<unsigned>(d[p]) | (static_cast<unsigned>(d[p + 1]) << 8);
}

// A packet as it sits in a command stack slot: everything before the checksum.
struct Packet {
    std::array<std::uint8_t, kSlotBytes> bytes{};
    int length = 0;

    void add(std::uint8_t b) { bytes.at(static_cast<std::size_t>(length++)) = b; }
    void add16(unsigned v) {
        add(static_cast<std::uint8_t>(v & 0xFF));
        add(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    template <std::size_t K>
    void add(const std::array<std::uint8_t, K>& a) {
        for (auto b : a) add(b);
    }
    std::span<const std::uint8_t> view() const { return {bytes.data(), static_cast<std::size_t>(length)}; }
    bool operator==(const Packet& o) const {
        return length == o.length && std::equal(bytes.begin(), bytes.begin() + length, o.bytes.begin());
    }

    // 0x3E, N, group, code, then data; N is fixed up by finish() or given data.
    static Packet frame(std::uint8_t group, std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
        Packet p;
        p.add(kLead);
        p.add(static_cast<std::uint8_t>(data.size()));
        p.add(group);
        p.add(code);
        for (auto b : data) p.add(b);
        return p;
    }
    // Sets N from the bytes added after the code byte (for builders that add data piece by piece).
    Packet& finish() {
        bytes[1] = static_cast<std::uint8_t>(length - 4);
        return *this;
    }
    // Raw bytes without the 0x3E frame (the preroll packets).
    static Packet raw(std::initializer_list<std::uint8_t> data) {
        Packet p;
        for (auto b : data) p.add(b);
        return p;
    }
    // The datagram as transmitted: the bytes followed by their sum.
    std::vector<std::uint8_t> wire() const {
        std::vector<std::uint8_t> out(bytes.begin(), bytes.begin() + length);
        out.push_back(checksum(view()));
        return out;
    }
};

}  // namespace qz7
