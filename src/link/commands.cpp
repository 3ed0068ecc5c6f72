#include "link/commands.h"

#include <algorithm>

namespace qz7 {

std::array<std::uint8_t, kNameBytes> nameField(const std::string& name) {
    std::array<std::uint8_t, kNameBytes> field{};
    for (std::size_t i = 0; i < name.size() && i < kNameBytes; ++i) field[i] = static_cast<std::uint8_t>(name[i]);
    return field;
}

namespace cmd {

namespace {
Packet op(std::uint8_t code, std::initializer_list<std::uint8_t> data = {}) {
    return Packet::frame(Group::Operate, code, data);
}
std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }
}  // namespace

Packet play() { return op(Op::Play); }
Packet record() { return op(Op::Record); }
Packet stop(bool lock) { return op(Op::Stop, {u8(lock ? 0x02 : 0x00)}); }

Packet wind(Direction direction, int speedItem) {
    const int last = static_cast<int>(kWindSpeeds.size()) - 1;
    const auto item = static_cast<std::size_t>(std::clamp(speedItem, 0, last));
    return op(direction == Direction::Forward ? Op::FastForward : Op::Rewind, {kWindSpeeds[item]});
}

Packet slow(Direction direction, int speedItem) {
    return op(direction == Direction::Forward ? Op::SlowForward : Op::SlowReverse,
              {kSlowSpeeds.at(static_cast<std::size_t>(speedItem))});
}

Packet jog(Direction direction) { return op(direction == Direction::Forward ? Op::JogForward : Op::JogReverse); }
Packet monitorEE() { return op(Op::MonitorEE); }
Packet monitorPB() { return op(Op::MonitorPB); }
Packet errorReset() { return op(Op::ErrorReset); }

Packet linkStart() { return Packet::frame(Group::System, Sys::LinkStart); }
Packet eraseDisks(std::uint8_t raidItem) { return Packet::frame(Group::System, Sys::EraseDisks, {raidItem}); }
Packet errorTextRequest() { return Packet::frame(Group::Sense, Sense::ErrorText, {0x00}); }

Packet entryRequest(std::uint8_t senseCode, int index) {
    return Packet::frame(Group::Sense, senseCode, {u8(index & 0xFF), u8((index >> 8) & 0xFF)});
}
Packet sequenceHeaderRequest(int sequence) { return Packet::frame(Group::Sense, Sense::SequenceHeader, {u8(sequence)}); }
Packet sequenceBlockRequest(int sequence, int block) {
    return Packet::frame(Group::Sense, Sense::SequenceBlock, {u8(sequence), u8(block)});
}
Packet settingsRequest(std::uint8_t senseCode) { return Packet::frame(Group::Sense, senseCode); }
Packet prerollRequest() { return Packet::raw({Preroll::RequestLead0, Preroll::RequestLead1}); }

Packet timecodeSettings(std::uint8_t settingsByte) { return op(Op::TimecodeSettings, {settingsByte}); }
Packet timecodePreset(std::uint8_t hoursBcd, std::uint8_t minutesBcd, std::uint8_t secondsBcd,
                      std::uint8_t framesBcd) {
    return op(Op::TimecodePreset, {hoursBcd, minutesBcd, secondsBcd, framesBcd});
}
Packet genlock(std::uint8_t mode, std::uint8_t horizontal, std::uint8_t vertical) {
    return op(Op::Genlock, {mode, horizontal, vertical});
}
Packet testSignal(std::uint8_t pattern, std::uint8_t audio) { return op(Op::TestSignal, {pattern, audio}); }
Packet audioInput(std::uint8_t flag) { return op(Op::AudioInput, {flag}); }
Packet audioChannels(std::uint8_t channels) { return op(Op::AudioChannels, {channels}); }
Packet audioDelay(std::uint8_t item) { return op(Op::AudioDelay, {item}); }
Packet sampleRateConverter(std::uint8_t flag) { return op(Op::SampleRateConverter, {flag}); }
Packet compressionQuality(std::uint8_t quality) { return op(Op::CompressionQuality, {quality}); }
Packet anc(std::uint8_t flag) { return op(Op::Anc, {flag}); }
Packet playbackMode(std::uint8_t item) { return op(Op::PlaybackMode, {item}); }
Packet recordMode(std::uint8_t modeBits, unsigned rate) {
    Packet p = op(Op::RecordMode, {modeBits});
    p.add16(rate & 0xFFFF);
    return p.finish();
}
// Frames, seconds, minutes, hours; only the seconds are set.
Packet prerollPreset(std::uint8_t secondsBcd) {
    return Packet::raw({Preroll::PresetLead0, Preroll::PresetLead1, 0x00, secondsBcd, 0x00, 0x00});
}
Packet stillMode(std::uint8_t item) { return op(Op::StillMode, {item}); }
Packet character(const std::array<std::uint8_t, 16>& data) {
    Packet p = op(Op::Character);
    p.add(data);
    return p.finish();
}

Packet openFile(int fileNumber) {
    Packet p = op(Op::OpenFile);
    p.add16(static_cast<unsigned>(fileNumber));
    p.add(0x00);
    return p.finish();
}
Packet eraseLastFile() { return op(Op::EraseLastFile); }
Packet fileNameWrite(int fileNumber, const std::string& name) {
    Packet p = op(Op::FileNameWrite);
    p.add16(static_cast<unsigned>(fileNumber));
    p.add(nameField(name));
    return p.finish();
}
Packet inhibitWrite(int fileNumber, std::uint8_t flag) {
    Packet p = op(Op::InhibitWrite);
    p.add16(static_cast<unsigned>(fileNumber));
    p.add(flag);
    return p.finish();
}

Packet openClip(int clip) {
    Packet p = op(Op::OpenClip);
    p.add16(static_cast<unsigned>(clip));
    p.add(0x00);
    return p.finish();
}
Packet clipWrite(int clip, const PositionBytes& in, const PositionBytes& out, const std::string& name,
                 std::uint8_t flag) {
    Packet p = op(Op::ClipWrite);
    p.add16(static_cast<unsigned>(clip));
    p.add(in);
    p.add(out);
    p.add(nameField(name));
    p.add(flag);
    return p.finish();
}

Packet cueWrite(int cue, const PositionBytes& position, const std::string& name, std::uint8_t flag) {
    Packet p = op(Op::CueWrite);
    p.add16(static_cast<unsigned>(cue));
    p.add(position);
    p.add(nameField(name));
    p.add(flag);
    return p.finish();
}
Packet goToCue(int cue, std::uint8_t flag) {
    Packet p = op(Op::GoToCue);
    p.add16(static_cast<unsigned>(cue));
    p.add(flag);
    return p.finish();
}
Packet timecodeSearch(const PositionBytes& position) {
    Packet p = op(Op::TimecodeSearch);
    p.add(position);
    return p.finish();
}

Packet openSequence(int sequence) { return op(Op::OpenSequence, {u8(sequence)}); }
Packet deleteSequence(int sequence) { return op(Op::DeleteSequence, {0x07, u8(sequence), 0x00, 0x00, 0x00}); }

std::vector<Packet> sequenceTransfer(int sequence, int entryCount, int blockCount, const std::int16_t* steps,
                                     std::size_t stepCount) {
    constexpr int kStepsPerBlock = 5;
    constexpr int kMaxBlocks = 26;
    enum Marker : std::uint8_t { FirstBlock = 0x00, NextBlock = 0x01, EndOfTransfer = 0x02 };
    std::vector<Packet> packets;
    if (entryCount == 0) return packets;
    const auto seq = u8(sequence);
    const int blocks = std::min(blockCount, kMaxBlocks);
    auto addSteps = [&](Packet& p, int block) {
        for (int i = 0; i < kStepsPerBlock; ++i) {
            const auto at = static_cast<std::size_t>(block * kStepsPerBlock + i);
            p.add16(static_cast<std::uint16_t>(at < stepCount ? steps[at] : -1));
        }
    };
    Packet end = op(Op::SequenceTransfer, {EndOfTransfer, seq});
    for (int i = 0; i < 11; ++i) end.add(0x00);
    packets.push_back(end.finish());
    for (int j = blocks - 1; j >= 1; --j) {
        Packet p = op(Op::SequenceTransfer, {NextBlock, seq, u8(j)});
        addSteps(p, j);
        packets.push_back(p.finish());
    }
    Packet first = op(Op::SequenceTransfer, {FirstBlock, seq, 0x00});
    addSteps(first, 0);
    packets.push_back(first.finish());
    return packets;
}

Packet clearCues() { return op(Op::ClearCues); }
Packet clearClips() { return op(Op::ClearClips); }
Packet clearSequences() { return op(Op::ClearSequences); }

}  // namespace cmd
}  // namespace qz7
