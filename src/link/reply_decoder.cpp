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
// its row's minimum, and returns false when it refuses the reply (a count or
// an index outside the tables) before calling the sink.

bool timecode(Datagram d, ReplySink& sink) {
    if (d[1] != 4) return false;
    sink.onTimecode(d[4], d[5], d[6], d[7]);
    return true;
}

bool status(Datagram d, ReplySink& sink) {
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
    sink.onStatus(s);
    return true;
}

bool systemReply(Datagram d, ReplySink& sink) {
    sink.onSystem(d[4] & 0x01, static_cast<int>(le16(d, 23)));
    return true;
}

bool errorText(Datagram d, ReplySink& sink) {
    sink.onErrorText(nameFromField(d.subspan(4, 23)));
    return true;
}

bool cueEntry(Datagram d, ReplySink& sink) {
    const int k = static_cast<int>(le16(d, 4));
    if (k >= kTableEntries) return false;
    sink.onCueEntry(k, d[42] != 0, positionAt(d, 6), nameFromField(d.subspan(10, 32)));
    return true;
}

bool clipEntry(Datagram d, ReplySink& sink) {
    const int k = static_cast<int>(le16(d, 4));
    if (k >= kTableEntries) return false;
    sink.onClipEntry(k, d[46] != 0, positionAt(d, 6), positionAt(d, 10), nameFromField(d.subspan(14, 32)));
    return true;
}

// File numbers count from 1.
bool inhibit(Datagram d, ReplySink& sink) {
    const int n = static_cast<int>(le16(d, 4));
    if (n < 1 || n > kTableEntries) return false;
    sink.onInhibit(n, d[6]);
    return true;
}

bool fileName(Datagram d, ReplySink& sink) {
    const int n = static_cast<int>(le16(d, 4));
    if (n < 1 || n > kTableEntries) return false;
    sink.onFileName(n, nameFromField(d.subspan(6, 32)));
    return true;
}

bool sequenceHeader(Datagram d, ReplySink& sink) {
    if (d[4] >= kSequences) return false;
    sink.onSequenceHeader(d[4], d[5], d[6]);
    return true;
}

bool sequenceBlock(Datagram d, ReplySink& sink) {
    if (d[4] >= kSequences || d[5] > kLastBlock) return false;
    std::array<std::int16_t, 5> steps{};
    for (std::size_t i = 0; i < steps.size(); ++i) steps[i] = static_cast<std::int16_t>(le16(d, 6 + 2 * i));
    sink.onSequenceBlock(d[4], d[5], steps);
    return true;
}

bool character(Datagram d, ReplySink& sink) {
    std::array<std::uint8_t, 16> data{};
    std::copy_n(d.begin() + 4, data.size(), data.begin());
    sink.onCharacterAnswer(data);
    return true;
}

// The settings pages read their own bytes: they get the whole datagram.
bool settings(Datagram d, ReplySink& sink) {
    sink.onSettingsAnswer(d[3], d);
    return true;
}

struct ReplyKind {
    std::uint8_t group;
    std::uint8_t code;
    std::size_t minimumLength;  // sum included
    bool (*decode)(Datagram, ReplySink&);
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
    // Settings answers: one data byte, three for genlock and record mode, two for the test signal.
    {Group::Answer, Sense::Genlock, 8, settings},
    {Group::Answer, Sense::RecordMode, 8, settings},
    {Group::Answer, Sense::TestSignal, 7, settings},
    {Group::Answer, Sense::CompressionQuality, 6, settings},
    {Group::Answer, Sense::PlaybackMode, 6, settings},
    {Group::Answer, Sense::TimecodeSettings, 6, settings},
    {Group::Answer, Sense::AudioDelay, 6, settings},
    {Group::Answer, Sense::Anc, 6, settings},
    {Group::Answer, Sense::StillMode, 6, settings},
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
    const ReplyKind* kind = findKind(d[2], d[3]);
    if (!kind || d.size() < kind->minimumLength) return false;
    return kind->decode(d, sink_);
}

}  // namespace qz7
