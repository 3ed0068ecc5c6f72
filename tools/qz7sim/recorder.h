// The simulated recorder: every table and setting the panel reads or writes,
// and the protocol handler that turns one request datagram into its replies.
// Plain C++, no Qt, so tests can drive it without a socket.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qz7sim {

using Bytes = std::vector<std::uint8_t>;

// Demo content and start-up state.
struct Config {
    int files = 0;      // recorded files "FILE 001" ..; every third one inhibited
    int clips = 0;      // clips "CLIP 000" ..
    int cues = 0;       // cue marks "CUE 000" ..
    int sequences = 0;  // sequences of existing clips (none without clips)
    // Demo entries left empty, so a table can have holes: cues = 6 with
    // cueGaps {2, 3, 4} holds cues 0, 1 and 5. Numbers outside the demo
    // entries are ignored here; configProblem() names them.
    std::vector<int> clipGaps;
    std::vector<int> cueGaps;
    std::string error;  // non-empty: the error flag is up with this text until an error reset
    std::uint8_t standard = 0x00;  // status byte 21 (0x00 = 1080/59.94I)
    bool refuseRecord = false;     // REC commands are ignored (a full or protected disk)
};

// What is wrong with a configuration, in a few words for the command line;
// empty when it is fine. The Recorder itself clamps and ignores what is out of range.
std::string configProblem(const Config& config);

enum class Transport { Stop, Play, Record, FastForward, Rewind, SlowForward, SlowReverse, JogForward, JogReverse };

// What the status reply's number line shows.
enum class Mode { File, Clip, Sequence };

constexpr int kTableSize = 512;     // cues, clips, files
constexpr int kSequenceCount = 16;
constexpr int kSequenceSteps = 130; // 26 blocks of five
constexpr int kMaxEntries = 128;    // used steps of a sequence
constexpr int kNameBytes = 32;
constexpr int kErrorTextBytes = 23;
constexpr int kFrameRate = 30;
constexpr std::int64_t kDayFrames = std::int64_t{24} * 3600 * kFrameRate;

// Positions are kept as the four bytes that came over the wire (frames, seconds,
// minutes, hours, BCD) so that whatever the panel wrote reads back byte for byte.
using Position = std::array<std::uint8_t, 4>;

struct Cue {
    bool used = false;
    Position position{};
    std::string name;
    bool operator==(const Cue&) const = default;
};

struct Clip {
    bool used = false;
    Position in{};
    Position out{};
    std::string name;
    bool operator==(const Clip&) const = default;
};

struct File {
    std::string name;
    bool inhibited = false;
    bool operator==(const File&) const = default;
};

struct Sequence {
    int entries = 0;  // leading used steps; 0 = no sequence
    int blocks = 0;
    std::array<std::int16_t, kSequenceSteps> steps = emptySteps();
    bool operator==(const Sequence&) const = default;

    static std::array<std::int16_t, kSequenceSteps> emptySteps() {
        std::array<std::int16_t, kSequenceSteps> s{};
        s.fill(-1);
        return s;
    }
};

// Everything the recorder holds. Comparable, so tests can check that a bad
// datagram changed nothing.
struct State {
    std::vector<File> files;  // recorded files 1..files.size()
    std::array<Cue, kTableSize> cues{};
    std::array<Clip, kTableSize> clips{};
    std::array<Sequence, kSequenceCount> sequences{};

    Transport transport = Transport::Stop;
    int speedNum = 0;         // signed frames-per-frame ratio of the current motion
    int speedDen = 1;
    std::int64_t frame = 0;   // timecode as a frame count, 0 .. kDayFrames - 1
    std::int64_t fraction = 0;  // sub-frame remainder of slow motion, in 1/(1000*speedDen) frames

    Mode mode = Mode::File;
    int currentFile = 0;
    int currentClip = 0;
    int currentSequence = 0;

    bool refuseRecord = false;

    bool errorActive = false;
    std::string errorText;

    std::uint8_t raid = 0;    // HDD configuration: 0 RAID 0, 1 RAID 1
    bool monitorEE = true;
    std::uint8_t standard = 0x00;
    std::uint8_t preroll = 0x06;  // preroll seconds, as the preset packet carried it
    std::map<std::uint8_t, Bytes> settings;  // keyed by code, see settingSpecs()

    bool operator==(const State&) const = default;
};

// One row of the settings store: a 0x34 command that sets it and a 0x36 request
// that reads it back under the same code. Add a row to support another setting.
struct SettingSpec {
    std::uint8_t code;
    std::uint8_t length;       // data bytes of the command and of the answer
    Bytes defaults;
    const char* what;
};
const std::vector<SettingSpec>& settingSpecs();

class Recorder {
public:
    explicit Recorder(const Config& config = {});

    // Validates one datagram and applies it; returns the replies to send back
    // (none for commands, one for requests). Anything malformed is ignored.
    std::vector<Bytes> handle(std::span<const std::uint8_t> datagram);

    // Moves the timecode by the given wall-clock time at the current speed.
    void advance(int milliseconds);

    const State& state() const { return state_; }
    State& state() { return state_; }  // for tests and tools that set things up directly

    // Conveniences over state().
    void raiseError(const std::string& text);
    void clearError();
    // Someone at the recorder's own panel pressed STOP.
    void stopAtPanel();
    bool setTimecode(int hours, int minutes, int seconds, int frames);
    Position timecode() const;  // frames, seconds, minutes, hours in BCD
    int prerollSeconds() const;  // the preset preroll as a number (0 if not BCD)
    int fileCount() const { return static_cast<int>(state_.files.size()); }
    const Bytes& setting(std::uint8_t code) const;

    // Timecode arithmetic (non-drop 30 frames per second).
    static Position toPosition(std::int64_t frame);
    static std::optional<std::int64_t> toFrame(const Position& p);  // nullopt for bad BCD or range

private:
    std::vector<Bytes> onSystem(std::uint8_t code, std::span<const std::uint8_t> data);
    std::vector<Bytes> onSense(std::uint8_t code, std::span<const std::uint8_t> data);
    void onOperate(std::uint8_t code, std::span<const std::uint8_t> data);

    void setMotion(Transport t, int num, int den);
    void seek(std::int64_t frame);
    void record();
    void cueWrite(std::span<const std::uint8_t> data);
    void clipWrite(std::span<const std::uint8_t> data);
    void sequenceTransfer(std::span<const std::uint8_t> data);
    bool openClip(int k);
    bool openSequence(int s);
    void eraseDisks(std::uint8_t config);

    Bytes statusReply() const;
    Bytes timecodeReply() const;
    Bytes systemReply() const;

    void fillDemo(const Config& config);

    State state_;
};

// Human-readable name of a motion, for logs.
const char* transportName(Transport t);

}  // namespace qz7sim
