// The media model: the one writer of the file, clip, cue and sequence tables
// and their counts. Its operations are named for what the operator does or
// what a reply brings; every line or count it changes is reported to its
// observer, and the lists redraw themselves from those reports. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "media/media_tables.h"

namespace qz7 {

// The lists that show the tables.
enum class MediaList {
    Files,          // recorded files
    Clips,          // the clip list
    ScheduleClips,  // the clip list of "Sequence Play"
    Cues,           // cue marks
    Sequences,      // the sequence list
};

// How a line is written.
enum class LineWrite {
    Replace,       // the list rule: line k of k lines appends, beyond that is an error
    Grow,          // missing lines before k are first filled with " "
    IfReachable,   // the list rule where the list reaches line k; a line further off is left alone
};

class MediaObserver {
public:
    virtual ~MediaObserver() = default;
    // May throw (a line the list does not hold): the operation ends there.
    virtual void lineChanged(MediaList list, int line, const std::string& text, LineWrite how) = 0;
    // Appends blank lines to a list ("Retrieve").
    virtual void blankLinesAppended(MediaList list, int count) = 0;
    // The recorded file count, clip count or cue count changed.
    virtual void countsChanged() {}
};

class MediaModel {
public:
    // Entries asked for by "Retrieve" in the cue and clip tables.
    static constexpr int kRetrievedEntries = 100;

    void setObserver(MediaObserver* observer) { observer_ = observer; }
    const MediaTables& tables() const { return tables_; }
    // Direct access for test set-up: nothing is reported.
    MediaTables& tablesForTesting() { return tables_; }
    int recordedFileCount() const { return tables_.recordedFileCount; }
    int clipCount() const { return tables_.clipCount; }
    int cueCount() const { return tables_.cueCount; }
    const FileEntry& file(int k) const { return tables_.files.at(index(k)); }
    const ClipEntry& clip(int k) const { return tables_.clips.at(index(k)); }
    const CueEntry& cue(int k) const { return tables_.cues.at(index(k)); }
    const SequenceRecord& sequence(int s) const { return tables_.sequences.at(index(s)); }

    // Start-up: empty tables, zero counts. Lists are not touched.
    void reset();

    // --- replies
    void applySystem(int recordedFileCount);
    void applyCueReply(int k, bool present, const PositionBytes& position, const std::string& name);
    void applyClipReply(int k, bool present, const PositionBytes& in, const PositionBytes& out,
                        const std::string& name);
    void applyInhibit(int fileNumber, std::uint8_t flag);
    void applyFileName(int fileNumber, const std::string& name);
    void applySequenceHeader(int s, std::uint8_t blockCount, std::uint8_t entryCount);
    void applySequenceBlock(int s, int block, const std::array<std::int16_t, 5>& steps);

    // --- operator actions
    // "Retrieve": 512 blank lines in each main list, cue and clip counts back
    // to zero. Returns how many recorded files to ask for (at most the table).
    int beginRetrieve();
    // REC: a new file; its number shows at once. Returns the new count.
    int recordStarted();
    // "File Name Edit" OK.
    void editFile(int k, const std::string& name, std::uint8_t inhibit);
    // "Last file erase" OK: false when there is no file to erase.
    bool eraseLastFile();
    // Clip page SAVE and DEL.
    const ClipEntry& saveClip(int k, const ClipEntry& edited);
    const ClipEntry& deleteClip(int k);
    // MARK: the first free cue slot takes the position; -1 when all are used.
    int markCue(const Timecode& position);
    // Cue DEL: the slot is free again; the count stays what the recorder reported.
    const CueEntry& deleteCue(int k);
    // "CUE Edit" OK.
    const CueEntry& editCue(int k, const Timecode& position, const std::string& name);
    // "Sequence Play" SAVE then EDIT: the edited steps and count into the table.
    const SequenceRecord& saveSequence(int s, const SequenceRecord& edited);
    // The sequence list: line s shows sequence s's number once the recorder
    // reported it or the editor saved it there, and goes blank on DEL or a clear.
    bool sequenceListed(int s) const { return s >= 0 && s < kSequenceCount && listed_[index(s)]; }
    void listSequence(int s);
    void unlistSequence(int s);
    // The Clear menu.
    void clearCues();
    void clearClips();
    void clearSequences();

private:
    static std::size_t index(int k) { return static_cast<std::size_t>(k); }
    void line(MediaList list, int k, const std::string& text, LineWrite how = LineWrite::Replace);
    void counts();

    MediaTables tables_;
    std::array<bool, kSequenceCount> listed_{};
    MediaObserver* observer_ = nullptr;
};

}  // namespace qz7
