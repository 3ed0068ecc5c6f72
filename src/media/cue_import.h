// Cue marks read from a CSV file: the one "Save Cue List" writes
// (number,timecode,name with its header) or a logger's timecode,name, with or
// without a header. The whole file is checked before anything is written: one
// bad line refuses the file, naming the line and why. Plain C++.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/protocol.h"
#include "media/media_model.h"

namespace qz7 {

struct CueMark {
    int line = 0;  // where it stands in the file, from 1
    Timecode position;
    std::string name;  // bytes, one a character, at most kNameBytes
};

struct CueImportError {
    int line = 0;
    std::string reason;
    std::string text() const { return "line " + std::to_string(line) + ": " + reason; }
};

struct CueImport {
    std::vector<CueMark> marks;
    std::optional<CueImportError> error;  // set: marks is empty
};

// Reads a whole file (UTF-8, a byte order mark allowed, CRLF or LF). Every
// timecode must be a real time at frameBase frames a second, every name fit
// the recorder's name field in single-byte characters, and there are at
// most kTableSize marks.
CueImport importCues(std::string_view file, int frameBase);

// The first `wanted` cue slots that are free: no cue in the table and a
// blank line in the cue list. Fewer when the table has not that many.
std::vector<int> freeCueSlots(const MediaModel& model, const std::vector<std::string>& cueLines, int wanted);

// What a loaded cue sends, in queue order: a read of the slot, then its write,
// so that the recorder takes the write first and its answer to the read
// shows the cue in the list as the recorder holds it.
std::vector<Packet> cueLoad(int slot, const CueMark& mark);

}  // namespace qz7
