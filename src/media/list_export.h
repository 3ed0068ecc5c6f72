// The lists as files an editor or a spreadsheet opens: CSV for the file,
// clip, cue and sequence lists, CMX3600 EDL for clips and cue marks. UTF-8,
// CRLF line ends, one header row. Names are byte strings shown one byte a
// character (Latin-1), so they are written as those characters. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/media_model.h"

namespace qz7 {

// Rows as the panel numbers them: files from 1, clips and cues from 0,
// sequences from 0 and their steps from 1.
struct FileRow {
    int number = 0;
    std::string name;
    bool inhibited = false;
};

struct ClipRow {
    int number = 0;
    Timecode in, out;
    std::string name;
};

struct CueRow {
    int number = 0;
    Timecode position;
    std::string name;
};

// One step of a sequence: the clip it plays (-1 when the panel has not read
// the step) and, when the clip list holds that clip, its in and out.
struct SequenceStepRow {
    int sequence = 0;
    int step = 1;
    int clip = -1;
    std::optional<Timecode> in, out;
};

struct ListRows {
    std::vector<FileRow> files;
    std::vector<ClipRow> clips;
    std::vector<CueRow> cues;
    std::vector<SequenceStepRow> steps;
};

// What the panel lists, empty entries left out: the recorded files, the clips
// and cues whose list line is not blank (the lines as the deck keeps them),
// and the steps of every sequence the sequence list shows.
ListRows listRows(const MediaModel& model, const std::vector<std::string>& clipLines,
                  const std::vector<std::string>& cueLines);

// --- CSV (RFC 4180)
// One cell: Latin-1 bytes as UTF-8; a cell a spreadsheet would take for a
// formula (=, +, -, @ first, after any apostrophes) gets one apostrophe in
// front; quoted when it holds a comma, a quote or a line break.
std::string csvCell(std::string_view latin1);
// A cell that is already UTF-8 (headers, numbers, timecodes).
std::string csvCellUtf8(std::string_view utf8);
bool formulaLike(std::string_view cell);
std::string latin1ToUtf8(std::string_view latin1);

std::string filesCsv(const std::vector<FileRow>& rows);
// Duration is out - in at frameBase frames a second (wrapping at midnight);
// empty where in or out is not a real timecode.
std::string clipsCsv(const std::vector<ClipRow>& rows, int frameBase);
std::string cuesCsv(const std::vector<CueRow>& rows);
std::string sequencesCsv(const std::vector<SequenceStepRow>& rows);

// --- EDL (CMX3600, non-drop frame, CRLF)
// Frames since midnight of a real timecode, or -1.
int timecodeFrames(const Timecode& t, int frameBase);
// hh:mm:ss:ff of a frame count (wrapping at 24 hours).
std::string framesText(long long frames, int frameBase);

// One cut event per clip on reel AX: source in/out the clip's in/out, record
// times running on from 01:00:00:00, the name as "* FROM CLIP NAME:". A clip
// whose in or out is not a real timecode is left out.
std::string clipsEdl(const std::vector<ClipRow>& rows, int frameBase, std::string_view title);
// One one-frame event per cue at its own timecode (source and record), with
// the cue as an Avid-style locator "* LOC: hh:mm:ss:ff RED name".
std::string cuesEdl(const std::vector<CueRow>& rows, int frameBase, std::string_view title);

// The files offered by "Save ... List" and the web API, by name: files.csv,
// clips.csv, clips.edl, cues.csv, cues.edl, sequences.csv. title heads an
// EDL ("<deck> clips"). Empty for any other name.
std::optional<std::string> listFile(const ListRows& rows, std::string_view file, int frameBase,
                                    std::string_view deckName);
inline constexpr const char* kListFiles[] = {"files.csv", "clips.csv", "clips.edl",
                                             "cues.csv",  "cues.edl",  "sequences.csv"};

}  // namespace qz7
