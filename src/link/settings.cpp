#include "link/settings.h"

#include <algorithm>

#include "link/commands.h"

namespace qz7 {

namespace {
std::uint8_t u8(int v) { return static_cast<std::uint8_t>(v); }
std::uint8_t flag(int item) { return item == 1 ? 1 : 0; }

// An item as a group with `items` items shows it: past the end is the last.
int limit(int item, int items) { return std::min(item, items - 1); }

// The answer holds this many data bytes between its four header bytes and its sum.
bool has(std::span<const std::uint8_t> answer, std::size_t dataBytes) { return answer.size() > 4 + dataBytes; }

bool isBcd(std::uint8_t b) { return (b >> 4) <= 9 && (b & 0x0F) <= 9; }
}  // namespace

const char* pageName(SettingsPage page) {
    switch (page) {
    case SettingsPage::Timecode: return "timecode";
    case SettingsPage::Genlock: return "genlock";
    case SettingsPage::TestSignal: return "test-signal";
    case SettingsPage::Audio: return "audio";
    case SettingsPage::Video: return "video";
    case SettingsPage::Character: return "character";
    case SettingsPage::Control: return "control";
    }
    return "";
}

std::vector<Packet> readRequests(SettingsPage page) {
    using cmd::settingsRequest;
    switch (page) {
    case SettingsPage::Timecode: return {settingsRequest(Sense::TimecodeSettings)};
    case SettingsPage::Genlock: return {settingsRequest(Sense::Genlock)};
    case SettingsPage::TestSignal: return {settingsRequest(Sense::TestSignal)};
    case SettingsPage::Audio: return {settingsRequest(Sense::AudioDelay)};
    case SettingsPage::Video:
        return {settingsRequest(Sense::CompressionQuality), settingsRequest(Sense::Anc)};
    case SettingsPage::Character: return {settingsRequest(Sense::Character)};
    case SettingsPage::Control:
        return {settingsRequest(Sense::RecordMode), settingsRequest(Sense::PlaybackMode), cmd::prerollRequest(),
                settingsRequest(Sense::StillMode)};
    }
    return {};
}

// --- timecode

std::uint8_t TimecodeSettings::settingsByte() const {
    std::uint8_t b = 0;
    if (count == 1) b |= 0x01;
    if (userBit == 1) b |= 0x02;
    return static_cast<std::uint8_t>(b | ((source << 2) & 0x1C));
}

std::vector<Packet> TimecodeSettings::packets() const { return {cmd::timecodeSettings(settingsByte())}; }

SettingsFields TimecodeSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    if (code != Sense::TimecodeSettings || !has(a, 1)) return 0;
    count = (a[4] & 0x01) ? 1 : 0;
    userBit = (a[4] & 0x02) ? 1 : 0;
    source = limit((a[4] & 0x1C) >> 2, 5);
    return All;
}

void TimecodeSettings::merge(const TimecodeSettings& a, SettingsFields f) {
    if (f & Source) source = a.source;
    if (f & Count) count = a.count;
    if (f & UserBit) userBit = a.userBit;
}

Packet TimecodePreset::packet() const { return cmd::timecodePreset(hours, minutes, seconds, frames); }

// --- genlock

std::vector<Packet> GenlockSettings::packets() const {
    return {cmd::genlock(u8(source & 0x03), u8(fixedStandard & 0x03), u8(psf & 0x03))};
}

SettingsFields GenlockSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    if (code != Sense::Genlock || !has(a, 3)) return 0;
    source = a[4] & 0x03;
    fixedStandard = limit(a[5] & 0x03, 2);
    psf = limit(a[6] & 0x03, 2);
    return All;
}

void GenlockSettings::merge(const GenlockSettings& a, SettingsFields f) {
    if (f & Source) source = a.source;
    if (f & FixedStandard) fixedStandard = a.fixedStandard;
    if (f & Psf) psf = a.psf;
}

// --- test signal

std::vector<Packet> TestSignalSettings::packets() const {
    return {cmd::testSignal(u8(video & 0x03), u8(audio & 0x03))};
}

SettingsFields TestSignalSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    if (code != Sense::TestSignal || !has(a, 2)) return 0;
    video = limit(a[4] & 0x07, 4);
    audio = limit(a[5] & 0x03, 2);
    return All;
}

void TestSignalSettings::merge(const TestSignalSettings& a, SettingsFields f) {
    if (f & Video) video = a.video;
    if (f & Audio) audio = a.audio;
}

// --- audio

std::vector<Packet> AudioSettings::packets() const {
    // Items OFF, 2, 4, 6 are their counts; any other item is 8.
    const std::uint8_t count = channels >= 0 && channels < 4 ? u8(2 * channels) : 8;
    return {cmd::audioInput(flag(input)), cmd::audioChannels(count), cmd::audioDelay(u8(delay)),
            cmd::sampleRateConverter(flag(converter))};
}

SettingsFields AudioSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    if (code != Sense::AudioDelay || !has(a, 1)) return 0;
    const int halfFrames = static_cast<std::int8_t>(a[4]);
    if (halfFrames < 0 || halfFrames > 11) return 0;
    delay = halfFrames;
    return Delay;
}

// Bits 0-3 the channel count, bit 4 AES/EBU input, bit 5 converter on.
SettingsFields AudioSettings::readStatus(std::uint8_t audioByte) {
    SettingsFields set = Input | Converter;
    const int count = audioByte & 0x0F;
    if (count % 2 == 0 && count <= 8) {
        channels = count / 2;
        set |= Channels;
    }
    input = (audioByte & 0x10) ? 1 : 0;
    converter = (audioByte & 0x20) ? 1 : 0;
    return set;
}

void AudioSettings::merge(const AudioSettings& a, SettingsFields f) {
    if (f & Input) input = a.input;
    if (f & Channels) channels = a.channels;
    if (f & Converter) converter = a.converter;
    if (f & Delay) delay = a.delay;
}

// --- video

std::vector<Packet> VideoSettings::packets() const {
    return {cmd::compressionQuality(u8(std::min(quality, 3))), cmd::anc(flag(anc))};
}

SettingsFields VideoSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    if (!has(a, 1)) return 0;
    if (code == Sense::CompressionQuality) {
        // Codes above "Lossless" are not qualities the page knows: "High quality".
        const int q = a[4] & 0x07;
        quality = q > 3 ? 0 : q;
        return Quality;
    }
    if (code == Sense::Anc) {
        anc = a[4] & 0x01;
        return Anc;
    }
    return 0;
}

void VideoSettings::merge(const VideoSettings& a, SettingsFields f) {
    if (f & Quality) quality = a.quality;
    if (f & Anc) anc = a.anc;
}

// --- control

std::uint8_t ControlSettings::recordModeBits() const {
    static constexpr std::uint8_t kBits[] = {0x00, 0x01, 0x02};
    return recordMode >= 0 && recordMode < 3 ? kBits[recordMode] : 0x04;
}

std::vector<Packet> ControlSettings::packets() const {
    return {cmd::playbackMode(u8(playbackMode)), cmd::recordMode(recordModeBits(), rate),
            cmd::prerollPreset(preroll), cmd::stillMode(u8(stillMode))};
}

SettingsFields ControlSettings::read(std::uint8_t code, std::span<const std::uint8_t> a) {
    switch (code) {
    case Sense::RecordMode: {
        if (!has(a, 3)) return 0;
        // Bit 0 wins over bit 1, bit 1 over bit 2.
        const std::uint8_t bits = a[4];
        recordMode = (bits & 0x01) ? 1 : (bits & 0x02) ? 2 : (bits & 0x04) ? 3 : 0;
        rate = le16(a, 5);
        return RecordMode | Rate;
    }
    case Sense::PlaybackMode:
        if (!has(a, 1)) return 0;
        playbackMode = limit(a[4] & 0x03, 3);
        return PlaybackMode;
    case Sense::StillMode:
        if (!has(a, 1)) return 0;
        stillMode = limit(a[4] & 0x03, 2);
        return StillMode;
    default: return 0;
    }
}

// A byte that is not two decimal digits would show with a gap in the field
// and make the next preset and cue search wrong.
SettingsFields ControlSettings::readPreroll(std::uint8_t secondsByte) {
    const auto seconds = static_cast<std::uint8_t>(secondsByte & 0x7F);
    if (!isBcd(seconds)) return 0;
    preroll = seconds;
    return Preroll;
}

void ControlSettings::merge(const ControlSettings& a, SettingsFields f) {
    if (f & RecordMode) recordMode = a.recordMode;
    if (f & Rate) rate = a.rate;
    if (f & PlaybackMode) playbackMode = a.playbackMode;
    if (f & Preroll) preroll = a.preroll;
    if (f & StillMode) stillMode = a.stillMode;
}

// --- character

namespace {
// The display items' codes, in command bytes 5 to 12.
constexpr std::array<std::uint8_t, 8> kItemCodes{0x10, 0x0E, 0x0F, 0x0D, 0x0B, 0x0A, 0x0C, 0x09};

std::array<bool CharacterSettings::*, 8> displayItems() {
    return {&CharacterSettings::diskMode,  &CharacterSettings::remainTime, &CharacterSettings::reference,
            &CharacterSettings::fileCount, &CharacterSettings::quality,    &CharacterSettings::standard,
            &CharacterSettings::operationMode, &CharacterSettings::timeCode};
}
}  // namespace

std::array<std::uint8_t, 16> CharacterSettings::data() const {
    std::array<std::uint8_t, 16> d{};
    d[0] = u8(horizontal & 0xFF);
    d[1] = u8(vertical & 0xFF);
    // Level n (1..4) is the pair 2n-1, 2n; "OFF" is 0, 0.
    d[2] = u8(audioLevel > 0 ? 2 * audioLevel - 1 : 0);
    d[3] = u8(audioLevel > 0 ? 2 * audioLevel : 0);
    d[4] = 0x00;
    const auto shown = displayItems();
    for (std::size_t i = 0; i < shown.size(); ++i) d[5 + i] = this->*shown[i] ? kItemCodes[i] : std::uint8_t{0};
    d[13] = 0x11;
    d[14] = insertion == 1 ? 0x02 : 0x00;
    d[15] = size == 1 ? 0x01 : 0x00;
    return d;
}

Packet CharacterSettings::packet() const { return cmd::character(data()); }

CharacterSettings CharacterSettings::fromAnswer(const std::array<std::uint8_t, 16>& d) {
    CharacterSettings s;
    s.horizontal = static_cast<std::int8_t>(d[0]);
    s.vertical = static_cast<std::int8_t>(d[1]);
    // The first byte of the level pair: 0, 1, 3, 5 for "OFF" to "3"; anything else is "4".
    switch (d[2]) {
    case 0x00: s.audioLevel = 0; break;
    case 0x01: s.audioLevel = 1; break;
    case 0x03: s.audioLevel = 2; break;
    case 0x05: s.audioLevel = 3; break;
    default: s.audioLevel = 4; break;
    }
    const auto shown = displayItems();
    for (std::size_t i = 0; i < shown.size(); ++i) s.*shown[i] = d[5 + i] != 0;
    s.insertion = d[14] != 0 ? 1 : 0;
    s.size = (d[15] & 0x01) ? 1 : 0;
    return s;
}

void CharacterSettings::merge(const CharacterSettings& a, SettingsFields f) {
    if (f & All) *this = a;
}

}  // namespace qz7
