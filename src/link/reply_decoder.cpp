#include "link/reply_decoder.h"

#include <algorithm>

#include "link/protocol.h"

namespace qz7 {

namespace {
constexpr int kTableEntries = 512;
constexpr int kSequences = 16;
constexpr int kLastBlock = 25;  // 26 blocks of five cover the 130 steps

PositionBytes positionAt(std::span<const std::uint8_t> d, std::size_t p) {
    return {d[p], d[p + 1], d[p + 2], d[p + 3]};
}

bool isDiscovery(std::span<const std::uint8_t> d) {
    return d.size() >= kDiscovery.size() && std::equal(kDiscovery.begin(), kDiscovery.end(), d.begin());
}

bool sumMatches(std::span<const std::uint8_t> d) {
    return !d.empty() && checksum(d.first(d.size() - 1)) == d.back();
}
}  // namespace

std::string nameFromField(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

std::size_t ReplyDecoder::minimumLength(std::uint8_t group, std::uint8_t code) {
    if (group == Group::SystemAnswer) return code == Sys::LinkStart ? 26 : 0;
    if (group != Group::Answer) return 0;
    switch (code) {
    case Sense::TimecodeReply: return 9;
    case Sense::Status: return 31;
    case Sense::CueEntry: return 44;
    case Sense::ClipEntry: return 48;
    case Sense::Inhibit: return 8;
    case Sense::FileName: return 39;
    case Sense::SequenceHeader: return 8;
    case Sense::SequenceBlock: return 17;
    case Sense::ErrorText: return 28;
    case Sense::Character: return 21;
    // Settings answers: one data byte, three for genlock and record mode, two for the test signal.
    case Sense::Genlock:
    case Sense::RecordMode: return 8;
    case Sense::TestSignal: return 7;
    case Sense::CompressionQuality:
    case Sense::PlaybackMode:
    case Sense::TimecodeSettings:
    case Sense::AudioDelay:
    case Sense::Anc:
    case Sense::StillMode: return 6;
    default: return 0;
    }
}

bool ReplyDecoder::decode(std::span<const std::uint8_t> d, const Sender& sender, bool linkEnabled) {
    bool handled = false;
    // A discovery datagram counts from anyone, link on or off; it carries no sum.
    if (isDiscovery(d)) {
        sink_.onDiscovery(sender.address);
        handled = true;
    }
    if (!linkEnabled) return handled;
    // Everything else is taken from the selected recorder only.
    if (!sender.isSelectedRecorder) return handled;
    if (d.size() < 2 || !sumMatches(d)) return handled;

    // The preroll time answer travels without the 0x3E frame.
    if (d[0] == Preroll::AnswerLead0 && d[1] == Preroll::AnswerLead1) {
        if (d.size() < 7) return handled;
        sink_.onPrerollTime(d[5]);
        return true;
    }
    if (d[0] != kLead || d.size() < 4) return handled;
    return dispatch(d) || handled;
}

bool ReplyDecoder::dispatch(std::span<const std::uint8_t> d) {
    const std::uint8_t group = d[2];
    const std::uint8_t code = d[3];
    const std::size_t need = minimumLength(group, code);
    if (need == 0 || d.size() < need) return false;

    if (group == Group::SystemAnswer) {
        sink_.onSystem(d[4] & 0x01, static_cast<int>(le16(d, 23)));
        return true;
    }
    switch (code) {
    case Sense::TimecodeReply:
        if (d[1] != 4) return false;
        sink_.onTimecode(d[4], d[5], d[6], d[7]);
        return true;
    case Sense::Status: {
        StatusReply s;
        s.transport = d[5];
        s.motion = d[6];
        s.reference = d[20];
        s.standard = d[21];
        s.quality = d[22];
        s.audio = d[23];
        s.file = static_cast<std::uint16_t>(le16(d, 25));
        s.clip = static_cast<std::uint16_t>(le16(d, 27));
        s.sequence = d[29];
        sink_.onStatus(s);
        return true;
    }
    case Sense::ErrorText:
        sink_.onErrorText(nameFromField(d.subspan(4, 23)));
        return true;
    case Sense::CueEntry: {
        const int k = static_cast<int>(le16(d, 4));
        if (k >= kTableEntries) return false;
        sink_.onCueEntry(k, d[42] != 0, positionAt(d, 6), nameFromField(d.subspan(10, 32)));
        return true;
    }
    case Sense::ClipEntry: {
        const int k = static_cast<int>(le16(d, 4));
        if (k >= kTableEntries) return false;
        sink_.onClipEntry(k, d[46] != 0, positionAt(d, 6), positionAt(d, 10), nameFromField(d.subspan(14, 32)));
        return true;
    }
    case Sense::Inhibit: {
        const int n = static_cast<int>(le16(d, 4));
        if (n < 1 || n > kTableEntries) return false;
        sink_.onInhibit(n, d[6]);
        return true;
    }
    case Sense::FileName: {
        const int n = static_cast<int>(le16(d, 4));
        if (n < 1 || n > kTableEntries) return false;
        sink_.onFileName(n, nameFromField(d.subspan(6, 32)));
        return true;
    }
    case Sense::SequenceHeader:
        if (d[4] >= kSequences) return false;
        sink_.onSequenceHeader(d[4], d[5], d[6]);
        return true;
    case Sense::SequenceBlock: {
        if (d[4] >= kSequences || d[5] > kLastBlock) return false;
        std::array<std::int16_t, 5> steps{};
        for (std::size_t i = 0; i < steps.size(); ++i)
            steps[i] = static_cast<std::int16_t>(le16(d, 6 + 2 * i));
        sink_.onSequenceBlock(d[4], d[5], steps);
        return true;
    }
    case Sense::Character: {
        std::array<std::uint8_t, 16> data{};
        std::copy_n(d.begin() + 4, data.size(), data.begin());
        sink_.onCharacterAnswer(data);
        return true;
    }
    default:
        sink_.onSettingsAnswer(code, d);
        return true;
    }
}

}  // namespace qz7
