// Fuzzes the panel's reply decoder with arbitrary datagrams.
//
// Input: byte 0 chooses how the datagram is received, the rest is the datagram.
//   bit 0  link enabled
//   bit 1  sender is the selected recorder
//   bit 2  fix the last byte up to the right sum first (so mutations get past
//          the checksum and reach the handlers)
//
// The sink records every call and checks what the decoder promises its users:
// a handler runs only for a datagram long enough for every byte it reads, with
// table indexes inside the tables and names that fit their fields. A broken
// promise aborts, and libFuzzer keeps the input.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "link/protocol.h"
#include "link/reply_decoder.h"

namespace {

using qz7::PositionBytes;
using Bytes = std::span<const std::uint8_t>;

[[noreturn]] void fail(const char* what, Bytes d) {
    std::fprintf(stderr, "decoder invariant broken: %s\ndatagram (%zu bytes):", what, d.size());
    for (std::uint8_t b : d) std::fprintf(stderr, " %02X", b);
    std::fputc('\n', stderr);
    std::abort();
}

struct Call {
    std::string kind;
    int index = -1;
};

// The shortest reply of each kind, sum included, written out here rather than
// taken from the decoder so that a wrong limit there shows.
std::size_t expectedMinimum(std::uint8_t group, std::uint8_t code) {
    if (group == qz7::Group::SystemAnswer) return code == 0x01 ? 26 : 0;
    if (group != qz7::Group::Answer) return 0;
    switch (code) {
    case 0x04: return 9;    // timecode: 4 data bytes
    case 0x60: return 31;   // status: reads up to byte 29
    case 0x80: return 44;   // cue: number, position, 32-byte name, used flag
    case 0x81: return 48;   // clip: number, in, out, 32-byte name, used flag
    case 0x82: return 39;   // file name: number, 32-byte name
    case 0x8C: return 8;    // inhibit: number, flag
    case 0x85: return 8;    // sequence header: number, blocks, entries
    case 0x86: return 17;   // sequence block: number, block, five steps
    case 0x83: return 28;   // error text: 23 bytes
    case 0x78: return 21;   // character: 16 bytes
    case 0x65: case 0x70: return 8;  // three data bytes
    case 0x76: return 7;             // two data bytes
    case 0x64: case 0x71: case 0x72: case 0x77: case 0x79: case 0x8B: return 6;
    default: return 0;
    }
}

class CheckingSink : public qz7::ReplySink {
public:
    Bytes datagram;
    qz7::Sender sender;
    bool linkEnabled = false;
    std::vector<Call> calls;

    void onDiscovery(const std::string& senderAddress) override {
        record("discovery");
        require(datagram.size() >= qz7::kDiscovery.size() &&
                    std::equal(qz7::kDiscovery.begin(), qz7::kDiscovery.end(), datagram.begin()),
                "discovery without the discovery bytes");
        require(senderAddress == sender.address, "discovery names another sender");
    }

    void onTimecode(std::uint8_t f, std::uint8_t s, std::uint8_t m, std::uint8_t h) override {
        framed("timecode", qz7::Group::Answer, qz7::Sense::TimecodeReply);
        require(datagram[1] == 4, "timecode reply taken with N other than 4");
        require(f == datagram[4] && s == datagram[5] && m == datagram[6] && h == datagram[7],
                "timecode bytes moved");
    }

    void onStatus(const qz7::StatusReply& st) override {
        framed("status", qz7::Group::Answer, qz7::Sense::Status);
        const auto& d = datagram;
        require(st.transport == d[5] && st.motion == d[6] && st.reference == d[20] && st.standard == d[21] &&
                    st.quality == d[22] && st.audio == d[23] && st.file == qz7::le16(d, 25) &&
                    st.clip == qz7::le16(d, 27) && st.sequence == d[29],
                "status bytes moved");
    }

    void onErrorText(const std::string& text) override {
        framed("error text", qz7::Group::Answer, qz7::Sense::ErrorText);
        name(text, 4, 23);
    }

    void onSystem(int diskConfiguration, int recordedFileCount) override {
        framed("system", qz7::Group::SystemAnswer, qz7::Sys::LinkStart);
        require(diskConfiguration == (datagram[4] & 1), "disk configuration is not bit 0 of byte 4");
        require(recordedFileCount == static_cast<int>(qz7::le16(datagram, 23)), "file count moved");
    }

    void onCueEntry(int cue, bool present, const PositionBytes& position, const std::string& n) override {
        framed("cue", qz7::Group::Answer, qz7::Sense::CueEntry, cue);
        require(cue >= 0 && cue < 512, "cue number outside the table");
        require(cue == static_cast<int>(qz7::le16(datagram, 4)), "cue number moved");
        require(present == (datagram[42] != 0), "cue used flag moved");
        position4(position, 6);
        name(n, 10, 32);
    }

    void onClipEntry(int clip, bool present, const PositionBytes& in, const PositionBytes& out,
                     const std::string& n) override {
        framed("clip", qz7::Group::Answer, qz7::Sense::ClipEntry, clip);
        require(clip >= 0 && clip < 512, "clip number outside the table");
        require(clip == static_cast<int>(qz7::le16(datagram, 4)), "clip number moved");
        require(present == (datagram[46] != 0), "clip used flag moved");
        position4(in, 6);
        position4(out, 10);
        name(n, 14, 32);
    }

    void onInhibit(int fileNumber, std::uint8_t flag) override {
        framed("inhibit", qz7::Group::Answer, qz7::Sense::Inhibit, fileNumber);
        require(fileNumber >= 1 && fileNumber <= 512, "inhibit file number outside 1..512");
        require(fileNumber == static_cast<int>(qz7::le16(datagram, 4)) && flag == datagram[6], "inhibit moved");
    }

    void onFileName(int fileNumber, const std::string& n) override {
        framed("file name", qz7::Group::Answer, qz7::Sense::FileName, fileNumber);
        require(fileNumber >= 1 && fileNumber <= 512, "file number outside 1..512");
        require(fileNumber == static_cast<int>(qz7::le16(datagram, 4)), "file number moved");
        name(n, 6, 32);
    }

    void onSequenceHeader(int sequence, std::uint8_t blocks, std::uint8_t entries) override {
        framed("sequence header", qz7::Group::Answer, qz7::Sense::SequenceHeader, sequence);
        require(sequence >= 0 && sequence < 16, "sequence number outside 0..15");
        require(sequence == datagram[4] && blocks == datagram[5] && entries == datagram[6], "header moved");
    }

    void onSequenceBlock(int sequence, int block, const std::array<std::int16_t, 5>& steps) override {
        framed("sequence block", qz7::Group::Answer, qz7::Sense::SequenceBlock, sequence);
        require(sequence >= 0 && sequence < 16, "sequence number outside 0..15");
        require(block >= 0 && block <= 25, "block past the 130 steps");
        for (std::size_t i = 0; i < steps.size(); ++i)
            require(static_cast<std::uint16_t>(steps[i]) == qz7::le16(datagram, 6 + 2 * i), "step moved");
    }

    void onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> d) override {
        framed("settings", qz7::Group::Answer, code);
        static constexpr std::array<std::uint8_t, 9> kSettings{0x64, 0x65, 0x70, 0x71, 0x72, 0x76, 0x77, 0x79, 0x8B};
        require(std::find(kSettings.begin(), kSettings.end(), code) != kSettings.end(),
                "settings answer for a code no page asks");
        // The page reads the span it is given: it must be the whole datagram.
        require(d.data() == datagram.data() && d.size() == datagram.size(), "settings answer is not the datagram");
    }

    void onCharacterAnswer(const std::array<std::uint8_t, 16>& data) override {
        framed("character", qz7::Group::Answer, qz7::Sense::Character);
        require(std::equal(data.begin(), data.end(), datagram.begin() + 4), "character bytes moved");
    }

    void onPrerollTime(std::uint8_t secondsByte) override {
        record("preroll");
        accepted();
        require(datagram.size() >= 7, "preroll answer shorter than 7 bytes");
        require(datagram[0] == qz7::Preroll::AnswerLead0 && datagram[1] == qz7::Preroll::AnswerLead1,
                "preroll answer without its lead bytes");
        require(secondsByte == datagram[5], "preroll seconds moved");
    }

    void require(bool ok, const char* what) const {
        if (!ok) fail(what, datagram);
    }

private:
    void record(const char* kind, int index = -1) { calls.push_back({kind, index}); }

    // What every reply but discovery shares: the link on, the selected sender,
    // a good sum, and at most one such handler per datagram.
    void accepted() {
        require(linkEnabled, "reply taken while the link is off");
        require(sender.isSelectedRecorder, "reply taken from a recorder that is not selected");
        require(datagram.size() >= 2 && qz7::checksum(datagram.first(datagram.size() - 1)) == datagram.back(),
                "reply taken with a bad sum");
        const auto replies = std::count_if(calls.begin(), calls.end(), [](const Call& c) { return c.kind != "discovery"; });
        require(replies == 1, "two handlers for one datagram");
    }

    void framed(const char* kind, std::uint8_t group, std::uint8_t code, int index = -1) {
        record(kind, index);
        accepted();
        const std::size_t need = expectedMinimum(group, code);
        require(need != 0, "handler for a reply no one asks for");
        require(datagram.size() >= need, "datagram shorter than its handler reads");
        require(datagram[0] == qz7::kLead && datagram[2] == group && datagram[3] == code, "wrong frame for handler");
    }

    // A name: at most the field's width, no zero byte, and exactly the field's
    // bytes up to its first zero.
    void name(const std::string& n, std::size_t at, std::size_t width) {
        require(n.size() <= width, "name longer than its field");
        require(n.find('\0') == std::string::npos, "name holds a zero byte");
        require(at + width <= datagram.size(), "name field past the datagram");
        require(std::equal(n.begin(), n.end(), datagram.begin() + static_cast<std::ptrdiff_t>(at),
                           [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; }),
                "name differs from its field");
        require(n.size() == width || datagram[at + n.size()] == 0, "name cut short before its zero byte");
    }

    void position4(const PositionBytes& p, std::size_t at) {
        require(std::equal(p.begin(), p.end(), datagram.begin() + static_cast<std::ptrdiff_t>(at)), "position moved");
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t how = data[0];
    // An exactly sized copy, so a read one byte past the datagram is caught.
    std::vector<std::uint8_t> datagram(data + 1, data + size);
    if ((how & 0x04) && datagram.size() >= 2)
        datagram.back() = qz7::checksum(std::span<const std::uint8_t>(datagram).first(datagram.size() - 1));

    CheckingSink sink;
    sink.datagram = datagram;
    sink.linkEnabled = (how & 0x01) != 0;
    sink.sender = {"127.0.0.1", (how & 0x02) != 0};

    qz7::ReplyDecoder decoder(sink);
    const bool handled = decoder.decode(sink.datagram, sink.sender, sink.linkEnabled);
    sink.require(handled == !sink.calls.empty(), "decode() result disagrees with the handlers that ran");
    return 0;
}
