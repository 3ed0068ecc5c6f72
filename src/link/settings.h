// The settings pages as typed values: what each page sends when it is set and
// what the recorder's answers say, one struct per page. Radio group choices are
// item indexes (item 0 first, as the page lists them). Values decoded from an
// answer are what the page shows: masked as the recorder packs them and
// limited to the group's last item. Plain C++, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "link/protocol.h"

namespace qz7 {

// Which fields of a page's value an answer set. The pages whose fields come
// in separate answers (audio, video, control) set only those; merge() takes
// them into what the page already holds.
using SettingsFields = unsigned;

// The pages that read their settings back when the operator enters them.
enum class SettingsPage { Timecode, Genlock, TestSignal, Audio, Video, Character, Control };

// "timecode", "genlock", "test-signal", "audio", "video", "character", "control".
const char* pageName(SettingsPage page);
// The read requests of a page, in queue order (the recorder gets them last first).
std::vector<Packet> readRequests(SettingsPage page);

struct TimecodeSettings {
    static constexpr SettingsPage kPage = SettingsPage::Timecode;
    enum Field : SettingsFields { Source = 1, Count = 2, UserBit = 4, All = 7 };
    int source = 0;   // "TCG Source": EXT, Internal REC, VITC, PB, Internal FREE
    int count = 0;    // "TC Count": Full frame, Drop frame
    int userBit = 0;  // "User bit": Internal, EXT

    // Bit 0 drop frame, bit 1 external user bit, bits 2-4 the source.
    std::uint8_t settingsByte() const;
    std::vector<Packet> packets() const;
    // Takes the answer 0x72 (the whole datagram, byte 4 the first data byte).
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const TimecodeSettings& answer, SettingsFields fields);
    bool operator==(const TimecodeSettings&) const = default;
};

// "TIME CODE SET": hours first, each the BCD byte of what its field holds.
// The fields are not checked; the recorder judges the digits.
struct TimecodePreset {
    std::uint8_t hours = 0, minutes = 0, seconds = 0, frames = 0;

    Packet packet() const;
    bool operator==(const TimecodePreset&) const = default;
};

struct GenlockSettings {
    static constexpr SettingsPage kPage = SettingsPage::Genlock;
    enum Field : SettingsFields { Source = 1, FixedStandard = 2, Psf = 4, All = 7 };
    int source = 0;         // "Genlock source": AUTO, EXT, VIDEO IN, Internal
    int fixedStandard = 0;  // "Fixed Standard": OFF, 1080/59.94i
    int psf = 0;            // "PSF mode": OFF, ON

    std::vector<Packet> packets() const;
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const GenlockSettings& answer, SettingsFields fields);
    bool operator==(const GenlockSettings&) const = default;
};

struct TestSignalSettings {
    static constexpr SettingsPage kPage = SettingsPage::TestSignal;
    enum Field : SettingsFields { Video = 1, Audio = 2, All = 3 };
    int video = 0;  // "Video": OFF, Color bar, Ramp, Black
    int audio = 0;  // "Audio": OFF, 1 kHz

    std::vector<Packet> packets() const;
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const TestSignalSettings& answer, SettingsFields fields);
    bool operator==(const TestSignalSettings&) const = default;
};

struct AudioSettings {
    static constexpr SettingsPage kPage = SettingsPage::Audio;
    enum Field : SettingsFields { Input = 1, Channels = 2, Converter = 4, Delay = 8, All = 15 };
    int input = 0;      // "Input": Embedded, AES/EBU
    int channels = 0;   // "Audio channels": OFF, 2, 4, 6, 8
    int converter = 0;  // "Sample rate converter": Bypass, ON
    int delay = 0;      // "Audio delay (frame)": 0 to 5.5 in half frames, the item is the count

    // Input, channel count, delay, converter: the recorder sets the converter first.
    std::vector<Packet> packets() const;
    // Takes the delay answer 0x77. A delay outside the page's items changes nothing.
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Input, channels and converter come with a status reply (its byte 23).
    // A channel count the page does not offer leaves the channels out.
    SettingsFields readStatus(std::uint8_t audioByte);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const AudioSettings& answer, SettingsFields fields);
    bool operator==(const AudioSettings&) const = default;
};

struct VideoSettings {
    static constexpr SettingsPage kPage = SettingsPage::Video;
    enum Field : SettingsFields { Quality = 1, Anc = 2, All = 3 };
    int quality = 0;  // "Compression Quality": High quality, Long play 1, Long play 2, Lossless
    int anc = 0;      // "ANC": OFF, ON

    // Quality, then ANC: the recorder sets ANC first.
    std::vector<Packet> packets() const;
    // Takes the quality answer 0x64 and the ANC answer 0x79, each on its own.
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const VideoSettings& answer, SettingsFields fields);
    bool operator==(const VideoSettings&) const = default;
};

struct ControlSettings {
    static constexpr SettingsPage kPage = SettingsPage::Control;
    enum Field : SettingsFields { RecordMode = 1, Rate = 2, PlaybackMode = 4, Preroll = 8, StillMode = 16, All = 31 };
    int recordMode = 0;         // "Record mode": NORMAL, LOOP, INHIBIT, INTERMITTENT
    unsigned rate = 0;          // "Intermittent rate" in frames, sent as 16 bits
    int playbackMode = 0;       // "Playback mode": NORMAL, LOOP, DUBBING PLAY
    std::uint8_t preroll = 0;   // "Preroll time" seconds as BCD, as its field holds them
    int stillMode = 0;          // "Stll mode": Frame, Field

    // One bit per mode: NORMAL 0x00, LOOP 0x01, INHIBIT 0x02, INTERMITTENT 0x04.
    std::uint8_t recordModeBits() const;
    // Playback mode, record mode with the rate, preroll, still mode: the
    // recorder gets them in the reverse order.
    std::vector<Packet> packets() const;
    // Takes the answers 0x70 (record mode and rate), 0x71 and 0x8B.
    SettingsFields read(std::uint8_t code, std::span<const std::uint8_t> answer);
    // Takes byte 5 of the preroll answer: the seconds with a flag in the top
    // bit. Seconds that are not two BCD digits change nothing.
    SettingsFields readPreroll(std::uint8_t secondsByte);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const ControlSettings& answer, SettingsFields fields);
    bool operator==(const ControlSettings&) const = default;
};

// The character overlay, the whole page in one command of 16 data bytes.
struct CharacterSettings {
    static constexpr SettingsPage kPage = SettingsPage::Character;
    enum Field : SettingsFields { All = 1 };  // an answer sets the whole page
    int horizontal = 0;  // position; only the low byte is sent, an answer gives -128..127
    int vertical = 0;
    int audioLevel = 0;  // "Audio Level": OFF, 1, 2, 3, 4
    // "Character display", each sent as its own item code when shown.
    bool diskMode = false, remainTime = false, reference = false, fileCount = false;
    bool quality = false, standard = false, operationMode = false, timeCode = false;
    int insertion = 0;      // "Character insertion": OFF, ON
    int size = 0;           // "Caharcter Size for 1080": Large, Small

    std::array<std::uint8_t, 16> data() const;
    Packet packet() const;
    // The answer's data bytes, laid out as the command's.
    static CharacterSettings fromAnswer(const std::array<std::uint8_t, 16>& data);
    // Takes the fields an answer set (`fields`), leaving the others.
    void merge(const CharacterSettings& answer, SettingsFields fields);
    bool operator==(const CharacterSettings&) const = default;
};

}  // namespace qz7
