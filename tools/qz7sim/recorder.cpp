#include "recorder.h"

#include <algorithm>
#include <cstdio>

#include "link/protocol.h"

namespace qz7sim {

namespace {

using qz7::Group::Answer;
using qz7::Group::Operate;
using qz7::Group::Sense;
using qz7::Group::System;
using qz7::Group::SystemAnswer;

// Codes the panel uses that protocol.h does not name.
constexpr std::uint8_t kSystemReply = 0x01;    // 0x33 0x01 answers 0x32 0x01
constexpr std::uint8_t kTimecodePreset = qz7::Op::TimecodePreset;
constexpr std::uint8_t kDeleteSequenceTag = 0x07;

// Status reply bits.
constexpr std::uint8_t kBitPlay = 0x01, kBitRec = 0x02, kBitFfwd = 0x04, kBitRwd = 0x08, kBitStop = 0x20;
constexpr std::uint8_t kBitVar = 0x08, kBitJog = 0x10;
constexpr std::uint8_t kBitError = 0x20;      // byte 22
constexpr std::uint8_t kBitAesEbu = 0x10, kBitSrc = 0x20, kBitClipMode = 0x40;  // byte 23
constexpr std::uint8_t kBitSequenceMode = 0x80;  // byte 29

struct SpeedRow {
    std::uint8_t code;
    int num;
    int den;
};
// FF/RWD speed bytes.
constexpr std::array<SpeedRow, 5> kWindSpeeds{{{0x80, 100, 1}, {0x76, 50, 1}, {0x6D, 25, 1}, {0x60, 10, 1}, {0x56, 5, 1}}};
// Slow motion speed bytes.
constexpr std::array<SpeedRow, 9> kSlowSpeeds{{{0x50, 3, 1},
                                               {0x4B, 2, 1},
                                               {0x40, 1, 1},
                                               {0x36, 1, 2},
                                               {0x30, 1, 3},
                                               {0x26, 1, 4},
                                               {0x20, 1, 8},
                                               {0x12, 1, 15},
                                               {0x10, 1, 30}}};

template <std::size_t K>
const SpeedRow* findSpeed(const std::array<SpeedRow, K>& table, std::uint8_t code) {
    for (const auto& row : table)
        if (row.code == code) return &row;
    return nullptr;
}

// Builds a 0x3E frame: lead, N, group, code, data, sum.
class Reply {
public:
    Reply(std::uint8_t group, std::uint8_t code) { bytes_ = {qz7::kLead, 0, group, code}; }
    Reply& add(std::uint8_t b) {
        bytes_.push_back(b);
        return *this;
    }
    Reply& add16(unsigned v) { return add(static_cast<std::uint8_t>(v & 0xFF)).add(static_cast<std::uint8_t>((v >> 8) & 0xFF)); }
    Reply& add(std::span<const std::uint8_t> data) {
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    // A text as a zero-padded field of exactly `width` bytes (truncated if longer).
    Reply& addText(const std::string& text, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            bytes_.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
        return *this;
    }
    Bytes done() {
        bytes_[1] = static_cast<std::uint8_t>(bytes_.size() - 4);
        bytes_.push_back(qz7::checksum(bytes_));
        return std::move(bytes_);
    }

private:
    Bytes bytes_;
};

// A name field: its bytes up to the first zero, at most 32.
std::string readName(std::span<const std::uint8_t> field) {
    std::string name;
    for (std::size_t i = 0; i < field.size() && i < kNameBytes && field[i] != 0; ++i)
        name.push_back(static_cast<char>(field[i]));
    return name;
}

Position readPosition(std::span<const std::uint8_t> d, std::size_t p) { return {d[p], d[p + 1], d[p + 2], d[p + 3]}; }

std::int16_t readStep(std::span<const std::uint8_t> d, std::size_t p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(qz7::le16(d, p)));
}

int bcdDigits(std::uint8_t b) {
    const int hi = b >> 4, lo = b & 0x0F;
    return (hi > 9 || lo > 9) ? -1 : hi * 10 + lo;
}

std::string numbered(const char* prefix, int n) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s %03d", prefix, n);
    return buf;
}

bool isGap(const std::vector<int>& gaps, int k) { return std::find(gaps.begin(), gaps.end(), k) != gaps.end(); }

std::string gapProblem(const char* option, const char* what, const std::vector<int>& gaps, int count) {
    for (int k : gaps)
        if (k < 0 || k >= count)
            return std::string(option) + ": " + std::to_string(k) + " is not among the " + std::to_string(count) +
                   " demo " + what + (count > 0 ? " (0.." + std::to_string(count - 1) + ")" : "");
    return {};
}

}  // namespace

const std::vector<SettingSpec>& settingSpecs() {
    // Defaults follow the panel's initial selections where it has them.
    static const std::vector<SettingSpec> specs{
        {qz7::Op::CompressionQuality, 1, {0x00}, "compression quality"},
        {qz7::Op::Genlock, 3, {0x00, 0x00, 0x00}, "genlock source, fixed standard, PSF"},
        {qz7::Op::AudioInput, 1, {0x01}, "audio input (1 = AES/EBU)"},
        {qz7::Op::AudioChannels, 1, {0x08}, "audio channels"},
        {qz7::Op::SampleRateConverter, 1, {0x00}, "sample rate converter"},
        {qz7::Op::RecordMode, 3, {0x00, 0x1E, 0x00}, "record mode, intermittent rate"},
        {qz7::Op::PlaybackMode, 1, {0x00}, "playback mode"},
        {qz7::Op::TimecodeSettings, 1, {0x10}, "time code settings"},
        {qz7::Op::TestSignal, 2, {0x00, 0x00}, "test signal video, audio"},
        {qz7::Op::AudioDelay, 1, {0x00}, "audio delay (half frames)"},
        {qz7::Op::Character,
         16,
         {0x01, 0x01, 0x01, 0x02, 0x00, 0x10, 0x0E, 0x0F, 0x0D, 0x0B, 0x0A, 0x0C, 0x09, 0x11, 0x02, 0x00},
         "character overlay"},
        {qz7::Op::Anc, 1, {0x00}, "ANC"},
        {qz7::Op::StillMode, 1, {0x01}, "still mode"},
    };
    return specs;
}

namespace {
const SettingSpec* findSetting(std::uint8_t code) {
    for (const auto& row : settingSpecs())
        if (row.code == code) return &row;
    return nullptr;
}
}  // namespace

std::string configProblem(const Config& config) {
    const auto outside = [](int v, int hi) { return v < 0 || v > hi; };
    if (outside(config.files, kTableSize)) return "--files: " + std::to_string(config.files) + " is not in 0..512";
    if (outside(config.clips, kTableSize)) return "--clips: " + std::to_string(config.clips) + " is not in 0..512";
    if (outside(config.cues, kTableSize)) return "--cues: " + std::to_string(config.cues) + " is not in 0..512";
    if (outside(config.sequences, kSequenceCount))
        return "--sequences: " + std::to_string(config.sequences) + " is not in 0..16";
    if (auto why = gapProblem("--clip-gaps", "clips", config.clipGaps, config.clips); !why.empty()) return why;
    return gapProblem("--cue-gaps", "cues", config.cueGaps, config.cues);
}

const char* transportName(Transport t) {
    switch (t) {
    case Transport::Stop: return "STOP";
    case Transport::Play: return "PLAY";
    case Transport::Record: return "REC";
    case Transport::FastForward: return "F.FWD";
    case Transport::Rewind: return "RWD";
    case Transport::SlowForward: return "VAR FWD";
    case Transport::SlowReverse: return "VAR REV";
    case Transport::JogForward: return "JOG FWD";
    case Transport::JogReverse: return "JOG REV";
    }
    return "?";
}

Recorder::Recorder(const Config& config) {
    for (const auto& row : settingSpecs()) state_.settings[row.code] = row.defaults;
    state_.standard = config.standard;
    fillDemo(config);
    if (!config.error.empty()) raiseError(config.error);
    state_.refuseRecord = config.refuseRecord;
}

void Recorder::fillDemo(const Config& config) {
    const int files = std::clamp(config.files, 0, kTableSize);
    for (int n = 1; n <= files; ++n) state_.files.push_back({numbered("FILE", n), n % 3 == 0});
    state_.currentFile = files > 0 ? 1 : 0;

    // Clip k: one minute apart, each 30 s 15 frames long. A gap keeps its
    // number's place, so clip 5 is at 00:05:00:00 whatever lies before it.
    const int clips = std::clamp(config.clips, 0, kTableSize);
    std::vector<int> existing;
    for (int k = 0; k < clips; ++k) {
        if (isGap(config.clipGaps, k)) continue;
        const std::int64_t in = std::int64_t{k} * 60 * kFrameRate;
        state_.clips[static_cast<std::size_t>(k)] = {true, toPosition(in), toPosition(in + 30 * kFrameRate + 15),
                                                     numbered("CLIP", k)};
        existing.push_back(k);
    }

    // Cue k at 00:00:05:00 + k × 10 s.
    const int cues = std::clamp(config.cues, 0, kTableSize);
    for (int k = 0; k < cues; ++k)
        if (!isGap(config.cueGaps, k))
            state_.cues[static_cast<std::size_t>(k)] = {true, toPosition((5 + std::int64_t{k} * 10) * kFrameRate),
                                                        numbered("CUE", k)};

    // Sequence s: 3 to 6 existing clips, starting at a different clip each.
    const int sequences = existing.empty() ? 0 : std::clamp(config.sequences, 0, kSequenceCount);
    for (int s = 0; s < sequences; ++s) {
        Sequence& seq = state_.sequences[static_cast<std::size_t>(s)];
        seq.entries = 3 + s % 4;
        seq.blocks = seq.entries / 5 + 1;
        for (int i = 0; i < seq.entries; ++i)
            seq.steps[static_cast<std::size_t>(i)] =
                static_cast<std::int16_t>(existing[static_cast<std::size_t>(s * 2 + i) % existing.size()]);
    }
}

void Recorder::raiseError(const std::string& text) {
    state_.errorActive = true;
    state_.errorText = text;
}

void Recorder::clearError() {
    state_.errorActive = false;
    state_.errorText.clear();
}

const Bytes& Recorder::setting(std::uint8_t code) const {
    static const Bytes none;
    const auto it = state_.settings.find(code);
    return it == state_.settings.end() ? none : it->second;
}

Position Recorder::toPosition(std::int64_t frame) {
    frame = ((frame % kDayFrames) + kDayFrames) % kDayFrames;
    const int f = static_cast<int>(frame % kFrameRate);
    const int s = static_cast<int>(frame / kFrameRate % 60);
    const int m = static_cast<int>(frame / (kFrameRate * 60) % 60);
    const int h = static_cast<int>(frame / (kFrameRate * 3600));
    return {qz7::toBcd(f), qz7::toBcd(s), qz7::toBcd(m), qz7::toBcd(h)};
}

std::optional<std::int64_t> Recorder::toFrame(const Position& p) {
    const int f = bcdDigits(p[0]), s = bcdDigits(p[1]), m = bcdDigits(p[2]), h = bcdDigits(p[3]);
    if (f < 0 || s < 0 || m < 0 || h < 0 || f >= kFrameRate || s >= 60 || m >= 60 || h >= 24) return std::nullopt;
    return ((std::int64_t{h} * 60 + m) * 60 + s) * kFrameRate + f;
}

Position Recorder::timecode() const { return toPosition(state_.frame); }

int Recorder::prerollSeconds() const { return std::max(0, bcdDigits(state_.preroll)); }

bool Recorder::setTimecode(int hours, int minutes, int seconds, int frames) {
    if (hours < 0 || hours >= 24 || minutes < 0 || minutes >= 60 || seconds < 0 || seconds >= 60 || frames < 0 ||
        frames >= kFrameRate)
        return false;
    seek(((std::int64_t{hours} * 60 + minutes) * 60 + seconds) * kFrameRate + frames);
    return true;
}

void Recorder::seek(std::int64_t frame) {
    state_.frame = ((frame % kDayFrames) + kDayFrames) % kDayFrames;
    state_.fraction = 0;
}

void Recorder::advance(int milliseconds) {
    if (milliseconds <= 0 || state_.speedNum == 0 || state_.speedDen <= 0) return;
    // Frames moved = ms × 30 × num / (1000 × den); the remainder carries over so
    // slow speeds add up exactly over many small steps.
    const std::int64_t scale = std::int64_t{1000} * state_.speedDen;
    const std::int64_t units = state_.fraction + std::int64_t{milliseconds} * kFrameRate * state_.speedNum;
    std::int64_t frames = units / scale;
    state_.fraction = units % scale;
    if (state_.fraction < 0) {  // keep the remainder non-negative when moving backwards
        state_.fraction += scale;
        --frames;
    }
    state_.frame = (((state_.frame + frames) % kDayFrames) + kDayFrames) % kDayFrames;
}

void Recorder::setMotion(Transport t, int num, int den) {
    if (state_.speedNum != num || state_.speedDen != den) state_.fraction = 0;
    state_.transport = t;
    state_.speedNum = num;
    state_.speedDen = den;
}

// ---------------------------------------------------------------------------
// Reception

std::vector<Bytes> Recorder::handle(std::span<const std::uint8_t> d) {
    if (d.size() < 3) return {};
    if (qz7::checksum(d.first(d.size() - 1)) != d.back()) return {};

    if (d[0] == qz7::kLead) {
        if (d.size() < 5 || static_cast<std::size_t>(d[1]) + 5 != d.size()) return {};
        const auto data = d.subspan(4, d[1]);
        switch (d[2]) {
        case System: return onSystem(d[3], data);
        case Sense: return onSense(d[3], data);
        case Operate: onOperate(d[3], data); return {};
        default: return {};
        }
    }
    // The two preroll packets travel without the frame.
    if (d.size() == 7 && d[0] == qz7::Preroll::PresetLead0 && d[1] == qz7::Preroll::PresetLead1) {
        // 44 31 FF SS MM HH: only the seconds count. Seconds that are not two
        // BCD digits are refused like any bad position, so Cue never runs
        // with a preroll nobody can read back.
        if (bcdDigits(d[3]) >= 0) state_.preroll = d[3];
        return {};
    }
    if (d.size() == 3 && d[0] == qz7::Preroll::RequestLead0 && d[1] == qz7::Preroll::RequestLead1) {
        Bytes answer{qz7::Preroll::AnswerLead0, qz7::Preroll::AnswerLead1, 0x00, 0x00, 0x00, state_.preroll};
        answer.push_back(qz7::checksum(answer));
        return {answer};
    }
    return {};
}

std::vector<Bytes> Recorder::onSystem(std::uint8_t code, std::span<const std::uint8_t> data) {
    if (code == qz7::Sys::LinkStart) return {systemReply()};
    if (code == qz7::Sys::EraseDisks && data.size() == 1) eraseDisks(data[0]);
    return {};
}

void Recorder::eraseDisks(std::uint8_t config) {
    state_.raid = config & 0x01;
    state_.files.clear();
    state_.currentFile = 0;
    state_.mode = Mode::File;
    setMotion(Transport::Stop, 0, 1);
    seek(0);
}

std::vector<Bytes> Recorder::onSense(std::uint8_t code, std::span<const std::uint8_t> data) {
    switch (code) {
    case qz7::Sense::Status: return {statusReply()};
    case qz7::Sense::Timecode: return {timecodeReply()};
    case qz7::Sense::CueEntry: {
        if (data.size() != 2) return {};
        const unsigned k = qz7::le16(data, 0);
        if (k >= kTableSize) return {};
        const Cue& cue = state_.cues[k];
        Reply r(Answer, code);
        r.add16(k).add(cue.position).addText(cue.name, kNameBytes).add(cue.used ? 1 : 0);
        return {r.done()};
    }
    case qz7::Sense::ClipEntry: {
        if (data.size() != 2) return {};
        const unsigned k = qz7::le16(data, 0);
        if (k >= kTableSize) return {};
        const Clip& clip = state_.clips[k];
        Reply r(Answer, code);
        r.add16(k).add(clip.in).add(clip.out).addText(clip.name, kNameBytes).add(clip.used ? 1 : 0);
        return {r.done()};
    }
    case qz7::Sense::FileName:
    case qz7::Sense::Inhibit: {
        if (data.size() != 2) return {};
        const unsigned n = qz7::le16(data, 0);
        if (n < 1 || n > state_.files.size()) return {};
        const File& file = state_.files[n - 1];
        Reply r(Answer, code);
        r.add16(n);
        if (code == qz7::Sense::FileName)
            r.addText(file.name, kNameBytes);
        else
            r.add(file.inhibited ? 1 : 0);
        return {r.done()};
    }
    case qz7::Sense::ErrorText: {
        Reply r(Answer, code);
        r.addText(state_.errorActive ? state_.errorText : std::string(), kErrorTextBytes);
        return {r.done()};
    }
    case qz7::Sense::SequenceHeader: {
        if (data.size() != 1 || data[0] >= kSequenceCount) return {};
        const Sequence& seq = state_.sequences[data[0]];
        Reply r(Answer, code);
        r.add(data[0]).add(static_cast<std::uint8_t>(seq.blocks)).add(static_cast<std::uint8_t>(seq.entries));
        return {r.done()};
    }
    case qz7::Sense::SequenceBlock: {
        if (data.size() != 2 || data[0] >= kSequenceCount || data[1] >= kSequenceSteps / 5) return {};
        const Sequence& seq = state_.sequences[data[0]];
        Reply r(Answer, code);
        r.add(data[0]).add(data[1]);
        for (int i = 0; i < 5; ++i)
            r.add16(static_cast<std::uint16_t>(seq.steps[static_cast<std::size_t>(data[1] * 5 + i)]));
        return {r.done()};
    }
    default: break;
    }
    if (const SettingSpec* row = findSetting(code)) {
        Reply r(Answer, code);
        r.add(setting(row->code));
        return {r.done()};
    }
    return {};
}

void Recorder::onOperate(std::uint8_t code, std::span<const std::uint8_t> data) {
    namespace Op = qz7::Op;
    switch (code) {
    case Op::Stop: setMotion(Transport::Stop, 0, 1); return;
    case Op::Play: setMotion(Transport::Play, 1, 1); return;
    case Op::Record: record(); return;
    case Op::FastForward:
    case Op::Rewind: {
        const SpeedRow* row = data.size() == 1 ? findSpeed(kWindSpeeds, data[0]) : nullptr;
        if (!row) return;
        if (code == Op::FastForward)
            setMotion(Transport::FastForward, row->num, row->den);
        else
            setMotion(Transport::Rewind, -row->num, row->den);
        return;
    }
    case Op::SlowForward:
    case Op::SlowReverse: {
        const SpeedRow* row = data.size() == 1 ? findSpeed(kSlowSpeeds, data[0]) : nullptr;
        if (!row) return;
        if (code == Op::SlowForward)
            setMotion(Transport::SlowForward, row->num, row->den);
        else
            setMotion(Transport::SlowReverse, -row->num, row->den);
        return;
    }
    // Jog has no speed byte: the simulator jogs at normal speed.
    case Op::JogForward: setMotion(Transport::JogForward, 1, 1); return;
    case Op::JogReverse: setMotion(Transport::JogReverse, -1, 1); return;
    case Op::MonitorEE: state_.monitorEE = true; return;
    case Op::MonitorPB: state_.monitorEE = false; return;
    case Op::ErrorReset: clearError(); return;

    case Op::TimecodeSearch:
        if (data.size() == 4)
            if (const auto f = toFrame(readPosition(data, 0))) {
                setMotion(Transport::Stop, 0, 1);
                seek(*f);
            }
        return;
    case kTimecodePreset:  // hours, minutes, seconds, frames: display order
        if (data.size() == 4)
            if (const auto f = toFrame({data[3], data[2], data[1], data[0]})) seek(*f);
        return;

    case Op::CueWrite: cueWrite(data); return;
    case Op::ClipWrite: clipWrite(data); return;
    // Name and inhibit writes name an existing file: a number above the
    // recorded file count (or 0) is ignored, as there is no file to mark.
    case Op::FileNameWrite: {
        if (data.size() != 2 + kNameBytes) return;
        const unsigned n = qz7::le16(data, 0);
        if (n >= 1 && n <= state_.files.size()) state_.files[n - 1].name = readName(data.subspan(2));
        return;
    }
    case Op::InhibitWrite: {
        if (data.size() != 3) return;
        const unsigned n = qz7::le16(data, 0);
        if (n >= 1 && n <= state_.files.size()) state_.files[n - 1].inhibited = data[2] != 0;
        return;
    }
    // The clears and the erase carry no data (N = 0); any data means a
    // malformed packet, refused before it wipes a table.
    case Op::EraseLastFile:
        if (data.empty() && !state_.files.empty()) {
            state_.files.pop_back();
            state_.currentFile = std::min(state_.currentFile, fileCount());
        }
        return;
    case Op::OpenFile: {
        if (data.size() != 3) return;
        const unsigned n = qz7::le16(data, 0);
        if (n < 1 || n > state_.files.size()) return;
        state_.mode = Mode::File;
        state_.currentFile = static_cast<int>(n);
        setMotion(Transport::Stop, 0, 1);
        seek(0);
        return;
    }
    case Op::OpenClip:
        if (data.size() == 3) openClip(static_cast<int>(qz7::le16(data, 0)));
        return;
    case Op::GoToCue: {
        // Cue (last byte 1) stops the preroll time before the mark, so a play
        // from there runs up to speed at the mark; Srh (0) stops at the mark.
        // There is no material before 00:00:00:00 to run up from: clamp there.
        if (data.size() != 3 || data[2] > 0x01) return;
        const unsigned k = qz7::le16(data, 0);
        if (k >= kTableSize || !state_.cues[k].used) return;
        if (const auto f = toFrame(state_.cues[k].position)) {
            const std::int64_t preroll = data[2] == 0x01 ? std::int64_t{prerollSeconds()} * kFrameRate : 0;
            setMotion(Transport::Stop, 0, 1);
            seek(std::max<std::int64_t>(0, *f - preroll));
        }
        return;
    }
    case Op::OpenSequence:
        if (data.size() == 1) openSequence(data[0]);
        return;
    case Op::DeleteSequence:
        if (data.size() == 5 && data[0] == kDeleteSequenceTag && data[1] < kSequenceCount) {
            state_.sequences[data[1]] = Sequence{};
            if (state_.mode == Mode::Sequence && state_.currentSequence == data[1]) state_.mode = Mode::File;
        }
        return;
    case Op::SequenceTransfer: sequenceTransfer(data); return;
    case Op::ClearCues:
        if (data.empty()) state_.cues.fill(Cue{});
        return;
    case Op::ClearClips:
        if (!data.empty()) return;
        state_.clips.fill(Clip{});
        if (state_.mode == Mode::Clip) state_.mode = Mode::File;
        return;
    case Op::ClearSequences:
        if (!data.empty()) return;
        state_.sequences.fill(Sequence{});
        if (state_.mode == Mode::Sequence) state_.mode = Mode::File;
        return;
    default: break;
    }
    // Settings: the command's data must have the setting's exact length.
    if (const SettingSpec* row = findSetting(code))
        if (data.size() == row->length) state_.settings[code].assign(data.begin(), data.end());
}

void Recorder::stopAtPanel() { setMotion(Transport::Stop, 0, 1); }

void Recorder::record() {
    if (state_.refuseRecord) return;
    // Every record command starts a new file, as the panel counts one per press.
    if (fileCount() < kTableSize) {
        const int n = fileCount() + 1;
        state_.files.push_back({numbered("REC", n), false});
        state_.currentFile = n;
    }
    state_.mode = Mode::File;
    setMotion(Transport::Record, 1, 1);
}

void Recorder::cueWrite(std::span<const std::uint8_t> data) {
    if (data.size() != 2 + 4 + kNameBytes + 1) return;
    const unsigned k = qz7::le16(data, 0);
    if (k >= kTableSize) return;
    Cue& cue = state_.cues[k];
    if (data[38] == 0) {
        cue = Cue{};
        return;
    }
    cue = {true, readPosition(data, 2), readName(data.subspan(6, kNameBytes))};
}

void Recorder::clipWrite(std::span<const std::uint8_t> data) {
    if (data.size() != 2 + 4 + 4 + kNameBytes + 1) return;
    const unsigned k = qz7::le16(data, 0);
    if (k >= kTableSize) return;
    Clip& clip = state_.clips[k];
    if (data[42] == 0) {
        clip = Clip{};
        if (state_.mode == Mode::Clip && state_.currentClip == static_cast<int>(k)) state_.mode = Mode::File;
        return;
    }
    clip = {true, readPosition(data, 2), readPosition(data, 6), readName(data.subspan(10, kNameBytes))};
}

void Recorder::sequenceTransfer(std::span<const std::uint8_t> data) {
    if (data.size() != 13 || data[1] >= kSequenceCount) return;
    Sequence& seq = state_.sequences[data[1]];
    const std::uint8_t marker = data[0];
    if (marker == 0x00 || marker == 0x01) {
        const int block = marker == 0x00 ? 0 : data[2];
        if (block >= kSequenceSteps / 5) return;
        if (marker == 0x00) seq.steps = Sequence::emptySteps();  // a new transfer replaces the old steps
        for (int i = 0; i < 5; ++i) seq.steps[static_cast<std::size_t>(block * 5 + i)] = readStep(data, 3 + 2 * i);
        return;
    }
    if (marker == 0x02) {
        int entries = 0;
        while (entries < kMaxEntries && seq.steps[static_cast<std::size_t>(entries)] >= 0) ++entries;
        seq.entries = entries;
        seq.blocks = entries > 0 ? entries / 5 + 1 : 0;
    }
}

bool Recorder::openClip(int k) {
    if (k < 0 || k >= kTableSize || !state_.clips[static_cast<std::size_t>(k)].used) return false;
    state_.mode = Mode::Clip;
    state_.currentClip = k;
    setMotion(Transport::Stop, 0, 1);
    if (const auto f = toFrame(state_.clips[static_cast<std::size_t>(k)].in)) seek(*f);
    return true;
}

bool Recorder::openSequence(int s) {
    if (s < 0 || s >= kSequenceCount || state_.sequences[static_cast<std::size_t>(s)].entries == 0) return false;
    const int first = state_.sequences[static_cast<std::size_t>(s)].steps[0];
    if (first >= 0) openClip(first);  // cue up the first step's clip when it exists
    state_.mode = Mode::Sequence;
    state_.currentSequence = s;
    if (first >= 0) state_.currentClip = first;
    setMotion(Transport::Stop, 0, 1);
    return true;
}

// ---------------------------------------------------------------------------
// Replies

Bytes Recorder::statusReply() const {
    std::array<std::uint8_t, 26> b{};  // data bytes; b[i] is reply byte i + 4
    auto at = [&b](int replyByte) -> std::uint8_t& { return b[static_cast<std::size_t>(replyByte - 4)]; };

    switch (state_.transport) {
    case Transport::Stop: at(5) = kBitStop; break;
    case Transport::Play: at(5) = kBitPlay; break;
    case Transport::Record: at(5) = kBitRec; break;
    case Transport::FastForward: at(5) = kBitFfwd; break;
    case Transport::Rewind: at(5) = kBitRwd; break;
    case Transport::SlowForward:
    case Transport::SlowReverse: at(6) = kBitVar; break;
    case Transport::JogForward:
    case Transport::JogReverse: at(6) = kBitJog; break;
    }

    // Reference follows the genlock source: EXT, VIDEO IN, Internal; AUTO finds no
    // outside reference in a simulator and locks to internal.
    static constexpr std::array<std::uint8_t, 4> kReference{0x0C, 0x04, 0x08, 0x0C};
    const Bytes& genlock = setting(qz7::Op::Genlock);
    at(20) = kReference[genlock.empty() ? 0 : (genlock[0] & 0x03)];
    at(21) = state_.standard;

    const Bytes& quality = setting(qz7::Op::CompressionQuality);
    at(22) = static_cast<std::uint8_t>((quality.empty() ? 0 : quality[0] & 0x07) | (state_.errorActive ? kBitError : 0));

    const Bytes& channels = setting(qz7::Op::AudioChannels);
    const Bytes& input = setting(qz7::Op::AudioInput);
    const Bytes& src = setting(qz7::Op::SampleRateConverter);
    std::uint8_t audio = channels.empty() ? 0 : (channels[0] & 0x0F);
    if (!input.empty() && input[0] != 0) audio |= kBitAesEbu;
    if (!src.empty() && src[0] != 0) audio |= kBitSrc;
    if (state_.mode == Mode::Clip) audio |= kBitClipMode;
    at(23) = audio;

    const int file = state_.currentFile;
    at(25) = static_cast<std::uint8_t>(file & 0xFF);
    at(26) = static_cast<std::uint8_t>((file >> 8) & 0x7F);
    if (file >= 1 && file <= fileCount() && state_.files[static_cast<std::size_t>(file - 1)].inhibited) at(26) |= 0x80;
    at(27) = static_cast<std::uint8_t>(state_.currentClip & 0xFF);
    at(28) = static_cast<std::uint8_t>((state_.currentClip >> 8) & 0xFF);
    if (state_.mode == Mode::Sequence) at(29) = static_cast<std::uint8_t>(kBitSequenceMode | (state_.currentSequence & 0x7F));

    Reply r(Answer, qz7::Sense::Status);
    r.add(b);
    return r.done();
}

Bytes Recorder::timecodeReply() const {
    Reply r(Answer, qz7::Sense::TimecodeReply);
    r.add(timecode());
    return r.done();
}

Bytes Recorder::systemReply() const {
    std::array<std::uint8_t, 21> b{};  // reply bytes 4..24
    b[0] = state_.raid & 0x01;
    b[19] = static_cast<std::uint8_t>(fileCount() & 0xFF);         // byte 23
    b[20] = static_cast<std::uint8_t>((fileCount() >> 8) & 0xFF);  // byte 24
    Reply r(SystemAnswer, kSystemReply);
    r.add(b);
    return r.done();
}

}  // namespace qz7sim
