// The panel's copy of what the recorder holds: recorded files, clips, cue
// marks and sequences, with the text forms of their list lines and the wire
// encodings that every list write command shares. Plain C++; names are byte
// strings (one byte per character on screen).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/protocol.h"
#include "link/timecode.h"

namespace qz7 {

constexpr int kTableSize = 512;
constexpr int kSequenceCount = 16;
constexpr int kSequenceSteps = 130;   // 26 blocks of five
constexpr int kEditableSteps = 128;   // the editor's step list

struct FileEntry {
    std::string name = " ";
    std::uint8_t inhibit = 0;
};

struct ClipEntry {
    Timecode in, out;
    std::string name = " ";
};

struct CueEntry {
    Timecode position;
    std::string name = " ";
    std::uint8_t used = 0;
};

struct SequenceRecord {
    std::uint8_t entryCount = 0;
    std::uint8_t blockCount = 0;
    std::array<std::int16_t, kSequenceSteps> steps;
    SequenceRecord() { steps.fill(-1); }
    void clear() { *this = SequenceRecord(); }
};

struct MediaTables {
    std::array<FileEntry, kTableSize> files;
    std::array<ClipEntry, kTableSize> clips;
    std::array<CueEntry, kTableSize> cues;
    std::array<SequenceRecord, kSequenceCount> sequences;
    int recordedFileCount = 0;
    int clipCount = 0;
    int cueCount = 0;

    void reset() { *this = MediaTables(); }
};

// List line formats.
std::string fileLine(int fileNumber, const FileEntry& entry);  // "%03d * " or "%03d   ", then the name
std::string recordedLine(int fileCount);                       // "%03d  " of the new count
std::string clipLine(int clip, const std::string& name);       // " %03d  " then the name
std::string cueLine(const CueEntry& entry);                    // "hh:mm:ss:ff " then the name
std::string sequenceLine(int sequence);                        // "%03d"
inline const std::string kBlankLine = " ";

// Step k of a sequence: "%3d  " of k + 1, then for a clip "%03d  " and its
// name (a clip number beyond the table shows its number only).
std::string stepLine(int step, int clip, const MediaTables& tables);

// Write commands shared by the list editors, from table entries.
Packet cueWrite(int cue, const CueEntry& entry, std::uint8_t flag);
Packet clipWrite(int clip, const ClipEntry& entry, std::uint8_t flag);
Packet fileNameWrite(int fileNumber, const std::string& name);
Packet inhibitWrite(int fileNumber, std::uint8_t flag);
// The packets that send sequence s to the recorder, in queue order: the end
// packet first, then blocks B-1 down to 1, then block 0, so that the recorder,
// served last in first out, receives block 0 first and the end packet last.
// Empty when the sequence has no steps.
std::vector<Packet> sequenceTransfer(int s, const SequenceRecord& record);

}  // namespace qz7
