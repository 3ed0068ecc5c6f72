// The protocol's vocabulary: every packet the panel sends, made by a named
// function. Handlers queue what these return and never build bytes themselves.
// Plain C++, no Qt.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/protocol.h"

namespace qz7 {

// Which way the tape-like transport runs.
enum class Direction { Forward, Reverse };

constexpr std::size_t kNameBytes = 32;
// Name field: exactly 32 bytes, the name then zero bytes (longer names are cut).
std::array<std::uint8_t, kNameBytes> nameField(const std::string& name);

namespace cmd {

// Speed bytes of the FF/RWD and SLOW SPEED boxes, by item index.
constexpr std::array<std::uint8_t, 5> kWindSpeeds{0x80, 0x76, 0x6D, 0x60, 0x56};
constexpr std::array<std::uint8_t, 9> kSlowSpeeds{0x50, 0x4B, 0x40, 0x36, 0x30, 0x26, 0x20, 0x12, 0x10};

using qz7::Direction;

// --- transport and monitor
Packet play();
Packet record();
Packet stop(bool lock);                                 // LOCK 0x02, NORM 0x00
Packet wind(Direction direction, int speedItem);       // fast forward / rewind; item clamped to the last
Packet slow(Direction direction, int speedItem);       // item 0..8
Packet jog(Direction direction);
Packet monitorEE();
Packet monitorPB();
Packet errorReset();

// --- device and system
Packet linkStart();
Packet eraseDisks(std::uint8_t raidItem);
Packet errorTextRequest();

// --- list refresh and entry requests: 0x36 code, entry number little-endian
Packet entryRequest(std::uint8_t senseCode, int index);
Packet sequenceHeaderRequest(int sequence);
Packet sequenceBlockRequest(int sequence, int block);
// A settings page's read request (0x36 code, no data).
Packet settingsRequest(std::uint8_t senseCode);
Packet prerollRequest();

// --- settings
Packet timecodeSettings(std::uint8_t settingsByte);
Packet timecodePreset(std::uint8_t hoursBcd, std::uint8_t minutesBcd, std::uint8_t secondsBcd,
                      std::uint8_t framesBcd);
Packet genlock(std::uint8_t mode, std::uint8_t horizontal, std::uint8_t vertical);
Packet testSignal(std::uint8_t pattern, std::uint8_t audio);
Packet audioInput(std::uint8_t flag);
Packet audioChannels(std::uint8_t channels);
Packet audioDelay(std::uint8_t item);
Packet sampleRateConverter(std::uint8_t flag);
Packet compressionQuality(std::uint8_t quality);
Packet anc(std::uint8_t flag);
Packet playbackMode(std::uint8_t item);
Packet recordMode(std::uint8_t modeBits, unsigned rate);  // rate as 16 bits, low byte first
Packet prerollPreset(std::uint8_t secondsBcd);
Packet stillMode(std::uint8_t item);
// The character overlay: the 16 data bytes as the page lays them out.
Packet character(const std::array<std::uint8_t, 16>& data);

// --- recorded files
Packet openFile(int fileNumber);
Packet eraseLastFile();
Packet fileNameWrite(int fileNumber, const std::string& name);
Packet inhibitWrite(int fileNumber, std::uint8_t flag);

// --- clips
Packet openClip(int clip);
Packet clipWrite(int clip, const PositionBytes& in, const PositionBytes& out, const std::string& name,
                 std::uint8_t flag);

// --- cue marks and search
Packet cueWrite(int cue, const PositionBytes& position, const std::string& name, std::uint8_t flag);
// Cue (flag 0x01: preroll before the mark) or Srh (0x00: at the mark).
Packet goToCue(int cue, std::uint8_t flag);
Packet timecodeSearch(const PositionBytes& position);

// --- sequences
Packet openSequence(int sequence);
Packet deleteSequence(int sequence);
// The transfer of one sequence in queue order: end marker, blocks from the
// last down to 1, then block 0, so that they arrive first block first.
// blockCount is capped at 26; no packets when entryCount is 0.
std::vector<Packet> sequenceTransfer(int sequence, int entryCount, int blockCount,
                                     const std::int16_t* steps, std::size_t stepCount);

// --- clear menu
Packet clearCues();
Packet clearClips();
Packet clearSequences();

}  // namespace cmd
}  // namespace qz7
