// Fuzzes the panel's reply decoder with arbitrary datagrams.
//
// Input: byte 0 chooses how the datagram is received, the rest is the datagram.
//   bit 0  link enabled
//   bit 1  sender is the selected recorder
//   bit 2  fix the last byte up to the right sum first (so mutations get past
//          the checksum and reach the handlers)
//
// The sink records every reply and checks what the decoder promises its users:
// a reply comes only from a datagram long enough for every byte its decoder
// reads, with table indexes inside the tables, names that fit their fields and
// settings items the page can show. A broken promise aborts, and libFuzzer
// keeps the input.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <initializer_list>
#include <string>
#include <variant>
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

bool in(int v, int lo, int hi) { return v >= lo && v <= hi; }

class CheckingSink : public qz7::ReplySink {
public:
    Bytes datagram;
    qz7::Sender sender;
    bool linkEnabled = false;
    std::vector<Call> calls;

    void take(const qz7::Reply& reply) override {
        std::visit([this](const auto& r) { check(r); }, reply);
    }

    void check(const qz7::DiscoveryReply& r) {
        record("discovery");
        require(calls.size() == 1, "two replies for one datagram");
        require(datagram.size() >= qz7::kDiscovery.size() &&
                    std::equal(qz7::kDiscovery.begin(), qz7::kDiscovery.end(), datagram.begin()),
                "discovery without the discovery bytes");
        require(r.sender == sender.address, "discovery names another sender");
    }

    void check(const qz7::TimecodeReply& r) {
        framed("timecode", qz7::Group::Answer, qz7::Sense::TimecodeReply);
        require(datagram[1] == 4, "timecode reply taken with N other than 4");
        require(r.frames == datagram[4] && r.seconds == datagram[5] && r.minutes == datagram[6] &&
                    r.hours == datagram[7],
                "timecode bytes moved");
    }

    void check(const qz7::StatusReply& st) {
        framed("status", qz7::Group::Answer, qz7::Sense::Status);
        const auto& d = datagram;
        require(st.transport == d[5] && st.motion == d[6] && st.reference == d[20] && st.standard == d[21] &&
                    st.quality == d[22] && st.audio == d[23] && st.file == qz7::le16(d, 25) &&
                    st.clip == qz7::le16(d, 27) && st.sequence == d[29],
                "status bytes moved");
    }

    void check(const qz7::ErrorTextReply& r) {
        framed("error text", qz7::Group::Answer, qz7::Sense::ErrorText);
        name(r.text, 4, 23);
    }

    void check(const qz7::SystemReply& r) {
        framed("system", qz7::Group::SystemAnswer, qz7::Sys::LinkStart);
        require(r.diskConfiguration == (datagram[4] & 1), "disk configuration is not bit 0 of byte 4");
        require(r.recordedFileCount == static_cast<int>(qz7::le16(datagram, 23)), "file count moved");
    }

    void check(const qz7::CueEntryReply& r) {
        framed("cue", qz7::Group::Answer, qz7::Sense::CueEntry, r.cue);
        require(r.cue >= 0 && r.cue < 512, "cue number outside the table");
        require(r.cue == static_cast<int>(qz7::le16(datagram, 4)), "cue number moved");
        require(r.present == (datagram[42] != 0), "cue used flag moved");
        position4(r.position, 6);
        name(r.name, 10, 32);
    }

    void check(const qz7::ClipEntryReply& r) {
        framed("clip", qz7::Group::Answer, qz7::Sense::ClipEntry, r.clip);
        require(r.clip >= 0 && r.clip < 512, "clip number outside the table");
        require(r.clip == static_cast<int>(qz7::le16(datagram, 4)), "clip number moved");
        require(r.present == (datagram[46] != 0), "clip used flag moved");
        position4(r.in, 6);
        position4(r.out, 10);
        name(r.name, 14, 32);
    }

    void check(const qz7::InhibitReply& r) {
        framed("inhibit", qz7::Group::Answer, qz7::Sense::Inhibit, r.fileNumber);
        require(r.fileNumber >= 1 && r.fileNumber <= 512, "inhibit file number outside 1..512");
        require(r.fileNumber == static_cast<int>(qz7::le16(datagram, 4)) && r.flag == datagram[6], "inhibit moved");
    }

    void check(const qz7::FileNameReply& r) {
        framed("file name", qz7::Group::Answer, qz7::Sense::FileName, r.fileNumber);
        require(r.fileNumber >= 1 && r.fileNumber <= 512, "file number outside 1..512");
        require(r.fileNumber == static_cast<int>(qz7::le16(datagram, 4)), "file number moved");
        name(r.name, 6, 32);
    }

    void check(const qz7::SequenceHeaderReply& r) {
        framed("sequence header", qz7::Group::Answer, qz7::Sense::SequenceHeader, r.sequence);
        require(r.sequence >= 0 && r.sequence < 16, "sequence number outside 0..15");
        require(r.sequence == datagram[4] && r.blockCount == datagram[5] && r.entryCount == datagram[6],
                "header moved");
    }

    void check(const qz7::SequenceBlockReply& r) {
        framed("sequence block", qz7::Group::Answer, qz7::Sense::SequenceBlock, r.sequence);
        require(r.sequence >= 0 && r.sequence < 16, "sequence number outside 0..15");
        require(r.block >= 0 && r.block <= 25, "block past the 130 steps");
        for (std::size_t i = 0; i < r.steps.size(); ++i)
            require(static_cast<std::uint16_t>(r.steps[i]) == qz7::le16(datagram, 6 + 2 * i), "step moved");
    }

    // Settings answers: only for the codes their page asks, with fields set,
    // and every item one the page's controls can show.
    void check(const qz7::SettingsAnswer<qz7::TimecodeSettings>& a) {
        settings(a.fields, qz7::TimecodeSettings::All, {0x72});
        const auto& v = a.value;
        require(in(v.source, 0, 4) && in(v.count, 0, 1) && in(v.userBit, 0, 1), "timecode item outside its group");
    }
    void check(const qz7::SettingsAnswer<qz7::GenlockSettings>& a) {
        settings(a.fields, qz7::GenlockSettings::All, {0x65});
        const auto& v = a.value;
        require(in(v.source, 0, 3) && in(v.fixedStandard, 0, 1) && in(v.psf, 0, 1), "genlock item outside its group");
    }
    void check(const qz7::SettingsAnswer<qz7::TestSignalSettings>& a) {
        settings(a.fields, qz7::TestSignalSettings::All, {0x76});
        require(in(a.value.video, 0, 3) && in(a.value.audio, 0, 1), "test signal item outside its group");
    }
    void check(const qz7::SettingsAnswer<qz7::AudioSettings>& a) {
        settings(a.fields, qz7::AudioSettings::Delay, {0x77});
        require(in(a.value.delay, 0, 11), "audio delay outside 0..5.5 frames");
    }
    void check(const qz7::SettingsAnswer<qz7::VideoSettings>& a) {
        settings(a.fields, datagram.size() >= 4 && datagram[3] == 0x64 ? qz7::VideoSettings::Quality : qz7::VideoSettings::Anc, {0x64, 0x79});
        require(in(a.value.quality, 0, 3) && in(a.value.anc, 0, 1), "video item outside its group");
    }
    void check(const qz7::SettingsAnswer<qz7::ControlSettings>& a) {
        using C = qz7::ControlSettings;
        const auto& v = a.value;
        require(in(v.recordMode, 0, 3) && in(v.playbackMode, 0, 2) && in(v.stillMode, 0, 1),
                "control item outside its group");
        if (datagram.size() >= 2 && datagram[0] == qz7::Preroll::AnswerLead0) {
            record("preroll");
            accepted();
            require(datagram.size() >= 7 && datagram[1] == qz7::Preroll::AnswerLead1, "preroll answer malformed");
            require(a.fields == C::Preroll && v.preroll == (datagram[5] & 0x7F), "preroll seconds moved");
            require((v.preroll >> 4) <= 9 && (v.preroll & 0x0F) <= 9, "preroll seconds not two digits");
            return;
        }
        const std::uint8_t code = datagram.size() >= 4 ? datagram[3] : 0;
        settings(a.fields, code == 0x70 ? (C::RecordMode | C::Rate) : code == 0x71 ? C::PlaybackMode : C::StillMode,
                 {0x70, 0x71, 0x8B});
        if (code == 0x70) require(v.rate == qz7::le16(datagram, 5), "intermittent rate moved");
    }
    void check(const qz7::SettingsAnswer<qz7::CharacterSettings>& a) {
        framed("character", qz7::Group::Answer, qz7::Sense::Character);
        require(a.fields == qz7::CharacterSettings::All, "character answer without the whole page");
        const auto& v = a.value;
        require(in(v.horizontal, -128, 127) && in(v.vertical, -128, 127) && in(v.audioLevel, 0, 4) &&
                    in(v.insertion, 0, 1) && in(v.size, 0, 1),
                "character item outside its group");
        require(static_cast<std::uint8_t>(v.horizontal) == datagram[4], "character position moved");
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
        require(calls.size() == 1, "two replies for one datagram");
    }

    void framed(const char* kind, std::uint8_t group, std::uint8_t code, int index = -1) {
        record(kind, index);
        accepted();
        const std::size_t need = expectedMinimum(group, code);
        require(need != 0, "handler for a reply no one asks for");
        require(datagram.size() >= need, "datagram shorter than its handler reads");
        require(datagram[0] == qz7::kLead && datagram[2] == group && datagram[3] == code, "wrong frame for handler");
    }

    void settings(qz7::SettingsFields fields, qz7::SettingsFields expected, std::initializer_list<std::uint8_t> codes) {
        framed("settings", qz7::Group::Answer, datagram.size() >= 4 ? datagram[3] : 0);
        require(std::find(codes.begin(), codes.end(), datagram[3]) != codes.end(), "settings answer read by another page");
        require(fields == expected, "settings answer sets other fields than its own");
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
    sink.require(handled == !sink.calls.empty(), "decode() result disagrees with the replies handed over");
    return 0;
}
