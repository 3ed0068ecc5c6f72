#include "media/media_model.h"

#include <algorithm>

namespace qz7 {

void MediaModel::line(MediaList list, int k, const std::string& text, LineWrite how) {
    if (observer_) observer_->lineChanged(list, k, text, how);
}

void MediaModel::counts() {
    if (observer_) observer_->countsChanged();
}

void MediaModel::reset() {
    tables_.reset();
    listed_.fill(false);
    counts();
}

void MediaModel::applySystem(int recordedFileCount) {
    tables_.recordedFileCount = recordedFileCount;
    counts();
}

// An empty slot blanks its line and leaves the table as it was.
void MediaModel::applyCueReply(int k, bool present, const PositionBytes& position, const std::string& name) {
    if (!present) {
        line(MediaList::Cues, k, kBlankLine);
        return;
    }
    CueEntry& e = tables_.cues.at(index(k));
    e.position = Timecode::fromBytes(position);
    e.name = name;
    line(MediaList::Cues, k, cueLine(e));
    e.used = 1;
    ++tables_.cueCount;
    counts();
}

void MediaModel::applyClipReply(int k, bool present, const PositionBytes& in, const PositionBytes& out,
                                const std::string& name) {
    if (!present) {
        line(MediaList::Clips, k, kBlankLine);
        return;
    }
    ClipEntry& e = tables_.clips.at(index(k));
    e.in = Timecode::fromBytes(in);
    e.out = Timecode::fromBytes(out);
    e.name = name;
    const std::string text = clipLine(k, e.name);
    line(MediaList::Clips, k, text);
    // The "Sequence Play" list starts with 100 lines; a higher clip grows it.
    line(MediaList::ScheduleClips, k, text, LineWrite::Grow);
    ++tables_.clipCount;
    counts();
}

void MediaModel::applyInhibit(int fileNumber, std::uint8_t flag) { tables_.files.at(index(fileNumber - 1)).inhibit = flag; }

void MediaModel::applyFileName(int fileNumber, const std::string& name) {
    FileEntry& e = tables_.files.at(index(fileNumber - 1));
    e.name = name;
    line(MediaList::Files, fileNumber - 1, fileLine(fileNumber, e));
}

void MediaModel::applySequenceHeader(int s, std::uint8_t blockCount, std::uint8_t entryCount) {
    SequenceRecord& r = tables_.sequences.at(index(s));
    r.blockCount = blockCount;
    r.entryCount = entryCount;
    if (entryCount != 0) listSequence(s);
}

void MediaModel::applySequenceBlock(int s, int block, const std::array<std::int16_t, 5>& steps) {
    SequenceRecord& r = tables_.sequences.at(index(s));
    for (std::size_t i = 0; i < steps.size(); ++i)
        if (steps[i] >= 0) r.steps.at(index(5 * block) + i) = steps[i];
}

int MediaModel::beginRetrieve() {
    if (observer_) {
        observer_->blankLinesAppended(MediaList::Clips, kTableSize);
        observer_->blankLinesAppended(MediaList::Files, kTableSize);
        observer_->blankLinesAppended(MediaList::Cues, kTableSize);
    }
    tables_.cueCount = 0;
    tables_.clipCount = 0;
    counts();
    // The file table has 512 rows; a larger count asks for those only.
    return std::min(tables_.recordedFileCount, kTableSize);
}

int MediaModel::recordStarted() {
    const int count = ++tables_.recordedFileCount;
    counts();
    line(MediaList::Files, count - 1, recordedLine(count), LineWrite::Grow);
    return count;
}

void MediaModel::editFile(int k, const std::string& name, std::uint8_t inhibit) {
    FileEntry& file = tables_.files.at(index(k));
    file.name = name;
    file.inhibit = inhibit;
    line(MediaList::Files, k, fileLine(k + 1, file));
}

// The erased file's entry keeps its name and flag; only its line goes blank.
// Before "Retrieve" the list may not reach the line: nothing to blank then.
bool MediaModel::eraseLastFile() {
    if (tables_.recordedFileCount <= 0) return false;
    const int erased = --tables_.recordedFileCount;
    counts();
    line(MediaList::Files, erased, kBlankLine, LineWrite::IfReachable);
    return true;
}

// Before "Retrieve", or past the "Sequence Play" list's first 100 lines, the
// line does not exist yet; creating it keeps table, lists and recorder agreed.
const ClipEntry& MediaModel::saveClip(int k, const ClipEntry& edited) {
    ClipEntry& clip = tables_.clips.at(index(k));
    clip = edited;
    const std::string text = clipLine(k, clip.name);
    line(MediaList::Clips, k, text, LineWrite::Grow);
    line(MediaList::ScheduleClips, k, text, LineWrite::Grow);
    if (k >= tables_.clipCount) {
        tables_.clipCount = k + 1;
        counts();
    }
    return clip;
}

const ClipEntry& MediaModel::deleteClip(int k) {
    ClipEntry& clip = tables_.clips.at(index(k));
    clip = ClipEntry{};  // "00" eight times and the name " ", as the page's fields show
    line(MediaList::Clips, k, kBlankLine, LineWrite::Grow);
    line(MediaList::ScheduleClips, k, kBlankLine, LineWrite::Grow);
    if (k == tables_.clipCount - 1) {
        tables_.clipCount = k;
        counts();
    }
    return clip;
}

// Freed slots are filled again before higher ones.
int MediaModel::markCue(const Timecode& position) {
    int k = 0;
    while (k < kTableSize && tables_.cues[index(k)].used != 0) ++k;
    if (k == kTableSize) return -1;
    CueEntry& cue = tables_.cues[index(k)];
    cue.position = position;
    line(MediaList::Cues, k, cueLine(cue), LineWrite::Grow);
    cue.used = 1;
    if (k >= tables_.cueCount) {
        tables_.cueCount = k + 1;
        counts();
    }
    return k;
}

const CueEntry& MediaModel::deleteCue(int k) {
    CueEntry& cue = tables_.cues.at(index(k));
    cue.position = Timecode{};
    cue.name = kBlankLine;
    line(MediaList::Cues, k, kBlankLine);
    cue.used = 0;
    return cue;
}

const CueEntry& MediaModel::editCue(int k, const Timecode& position, const std::string& name) {
    CueEntry& cue = tables_.cues.at(index(k));
    cue.position = position;
    cue.name = name;
    line(MediaList::Cues, k, cueLine(cue));
    cue.used = 1;
    return cue;
}

const SequenceRecord& MediaModel::saveSequence(int s, const SequenceRecord& edited) {
    SequenceRecord& record = tables_.sequences.at(index(s));
    std::copy_n(edited.steps.begin(), kEditableSteps, record.steps.begin());
    record.entryCount = edited.entryCount;
    record.blockCount = static_cast<std::uint8_t>(record.entryCount / 5 + 1);
    return record;
}

// Ascending, so a list shorter than the table grows to 512 lines.
void MediaModel::clearCues() {
    for (int k = 0; k < kTableSize; ++k) {
        line(MediaList::Cues, k, kBlankLine);
        tables_.cues[index(k)] = CueEntry();
    }
    tables_.cueCount = 0;
    counts();
}

void MediaModel::clearClips() {
    for (int k = 0; k < kTableSize; ++k) {
        line(MediaList::Clips, k, kBlankLine);
        line(MediaList::ScheduleClips, k, kBlankLine);
        tables_.clips[index(k)] = ClipEntry();
    }
    tables_.clipCount = 0;
    counts();
}

void MediaModel::listSequence(int s) {
    line(MediaList::Sequences, s, sequenceLine(s));
    listed_.at(index(s)) = true;
}

void MediaModel::unlistSequence(int s) {
    line(MediaList::Sequences, s, kBlankLine);
    listed_.at(index(s)) = false;
}

void MediaModel::clearSequences() {
    for (int s = 0; s < kSequenceCount; ++s) {
        unlistSequence(s);
        tables_.sequences[index(s)].clear();
    }
}

}  // namespace qz7
