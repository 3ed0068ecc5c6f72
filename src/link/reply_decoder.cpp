#include "link/reply_decoder.h"

#include <algorithm>

#include "link/protocol.h"

namespace qz7 {

namespace {
constexpr int kTableEntries = 512;
constexpr int kSequences = 16;
constexpr int kLastBlock = 25;  // 26 blocks of five cover the 130 steps

using Datagram = std::span<const std::uint8_t>;

PositionBytes positionAt(Datagram d, std::size_t p) { return {d[p], d[p + 1], d[p + 2], d[p + 3]}; }

bool isDiscovery(Datagram d) {
    return d.size() >= kDiscovery.size() && std::equal(kDiscovery.begin(), kDiscovery.end(), d.begin());
}

bool sumMatches(Datagram d) { return !d.empty() && checksum(d.first(d.size() - 1)) == d.back(); }

// One decoder per reply kind. Each runs only on a datagram at least as long as
// its row's minimum, and returns nothing when it refuses the reply (a count,
// an index or a value outside the tables) before anything is handed over.
using Decoded = std::optional<Reply>;

Decoded timecode(Datagram d) {
    if (d[1] != 4) return std::nullopt;
    return TimecodeReply{d[4], d[5], d[6], d[7]};
}

Decoded status(Datagram d) {
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
    return s;
}

Decoded systemReply(Datagram d) { return SystemReply{d[4] & 0x01, static_cast<int>(le16(d, 23))}; }

Decoded errorText(Datagram d) { return ErrorTextReply{nameFromField(d.subspan(4, 23))}; }

Decoded cueEntry(Datagram d) {
    const int k = static_cast<int>(le16(d, 4));
    if (k >= kTableEntries) return std::nullopt;
    return CueEntryReply{k, d[42] != 0, positionAt(d, 6), nameFromField(d.subspan(10, 32))};
}

Decoded clipEntry(Datagram d) {
    const int k = static_cast<int>(le16(d, 4));
    if (k >= kTableEntries) return std::nullopt;
    return ClipEntryReply{k, d[46] != 0, positionAt(d, 6), positionAt(d, 10), nameFromField(d.subspan(14, 32))};
}

// File numbers count from 1.
Decoded inhibit(Datagram d) {
    const int n = static_cast<int>(le16(d, 4));
    if (n < 1 || n > kTableEntries) return std::nullopt;
    return InhibitReply{n, d[6]};
}

Decoded fileName(Datagram d) {
    const int n = static_cast<int>(le16(d, 4));
    if (n < 1 || n > kTableEntries) return std::nullopt;
    return FileNameReply{n, nameFromField(d.subspan(6, 32))};
}

Decoded sequenceHeader(Datagram d) {
    if (d[4] >= kSequences) return std::nullopt;
    return SequenceHeaderReply{d[4], d[5], d[6]};
}

Decoded sequenceBlock(Datagram d) {
    if (d[4] >= kSequences || d[5] > kLastBlock) return std::nullopt;
    SequenceBlockReply b{d[4], d[5], {}};
    for (std::size_t i = 0; i < b.steps.size(); ++i) b.steps[i] = static_cast<std::int16_t>(le16(d, 6 + 2 * i));
    return b;
}

Decoded character(Datagram d) {
    std::array<std::uint8_t, 16> data{};
    std::copy_n(d.begin() + 4, data.size(), data.begin());
    return SettingsAnswer<CharacterSettings>{CharacterSettings::fromAnswer(data), CharacterSettings::All};
}

// A settings answer read by the one page it belongs to. An answer the page
// cannot show (an audio delay past its items) is refused.
template <typename Page>
Decoded settings(Datagram d) {
    SettingsAnswer<Page> answer;
    answer.fields = answer.value.read(d[3], d);
    if (answer.fields == 0) return std::nullopt;
    return answer;
}

// The preroll time answer, 74 31 ..., seconds in byte 5.
Decoded preroll(Datagram d) {
    SettingsAnswer<ControlSettings> answer;
    answer.fields = answer.value.readPreroll(d[5]);
    if (answer.fields == 0) return std::nullopt;
    return answer;
}

struct ReplyKind {
    std::uint8_t group;
    std::uint8_t code;
    std::size_t minimumLength;  // sum included
    Decoded (*decode)(Datagram);
};

// Every reply the panel takes. A frame whose group and code are not here is
// dropped unreported.
constexpr ReplyKind kReplies[] = {
    {Group::Answer, Sense::TimecodeReply, 9, timecode},
    {Group::Answer, Sense::Status, 31, status},
    {Group::SystemAnswer, Sys::LinkStart, 26, systemReply},
    {Group::Answer, Sense::CueEntry, 44, cueEntry},
    {Group::Answer, Sense::ClipEntry, 48, clipEntry},
    {Group::Answer, Sense::Inhibit, 8, inhibit},
    {Group::Answer, Sense::FileName, 39, fileName},
    {Group::Answer, Sense::SequenceHeader, 8, sequenceHeader},
    {Group::Answer, Sense::SequenceBlock, 17, sequenceBlock},
    {Group::Answer, Sense::ErrorText, 28, errorText},
    {Group::Answer, Sense::Character, 21, character},
    // Settings answers, each read by its page: one data byte, three for
    // genlock and record mode, two for the test signal.
    {Group::Answer, Sense::Genlock, 8, settings<GenlockSettings>},
    {Group::Answer, Sense::RecordMode, 8, settings<ControlSettings>},
    {Group::Answer, Sense::TestSignal, 7, settings<TestSignalSettings>},
    {Group::Answer, Sense::CompressionQuality, 6, settings<VideoSettings>},
    {Group::Answer, Sense::PlaybackMode, 6, settings<ControlSettings>},
    {Group::Answer, Sense::TimecodeSettings, 6, settings<TimecodeSettings>},
    {Group::Answer, Sense::AudioDelay, 6, settings<AudioSettings>},
    {Group::Answer, Sense::Anc, 6, settings<VideoSettings>},
    {Group::Answer, Sense::StillMode, 6, settings<ControlSettings>},
};

constexpr bool eachKindOnce() {
    for (std::size_t i = 0; i < std::size(kReplies); ++i)
        for (std::size_t j = i + 1; j < std::size(kReplies); ++j)
            if (kReplies[i].group == kReplies[j].group && kReplies[i].code == kReplies[j].code) return false;
    return true;
}
static_assert(eachKindOnce(), "a group and code may have one row only");

const ReplyKind* findKind(std::uint8_t group, std::uint8_t code) {
    const auto row = std::find_if(std::begin(kReplies), std::end(kReplies),
                                  [&](const ReplyKind& k) { return k.group == group && k.code == code; });
    return row == std::end(kReplies) ? nullptr : row;
}
}  // namespace

std::string nameFromField(std::span<const std::uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
    return std::string(field.begin(), end);
}

std::size_t ReplyDecoder::minimumLength(std::uint8_t group, std::uint8_t code) {
    const ReplyKind* kind = findKind(group, code);
    return kind ? kind->minimumLength : 0;
}

std::optional<Reply> decodeReply(std::span<const std::uint8_t> d, const Sender& sender, bool linkEnabled) {
    // A discovery datagram counts from anyone, link on or off; it carries no
    // sum. Its first byte is no reply's lead, so it is the datagram's only reply.
    if (isDiscovery(d)) return DiscoveryReply{sender.address};
    if (!linkEnabled) return std::nullopt;
    // Everything else is taken from the selected recorder only.
    if (!sender.isSelectedRecorder) return std::nullopt;
    if (d.size() < 2 || !sumMatches(d)) return std::nullopt;

    // The preroll time answer travels without the 0x3E frame.
    if (d[0] == Preroll::AnswerLead0 && d[1] == Preroll::AnswerLead1) {
        if (d.size() < 7) return std::nullopt;
        return preroll(d);
    }
    if (d[0] != kLead || d.size() < 4) return std::nullopt;
    const ReplyKind* kind = findKind(d[2], d[3]);
    if (!kind || d.size() < kind->minimumLength) return std::nullopt;
    return kind->decode(d);
}

bool ReplyDecoder::decode(std::span<const std::uint8_t> d, const Sender& sender, bool linkEnabled) {
    std::optional<Reply> reply = decodeReply(d, sender, linkEnabled);
    if (!reply) return false;
    sink_.take(*reply);
    return true;
}

}  // namespace qz7
