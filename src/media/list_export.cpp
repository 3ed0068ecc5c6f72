#include "media/list_export.h"

#include <algorithm>
#include <cstdio>

namespace qz7 {

namespace {

constexpr const char* kEnd = "\r\n";

bool blank(const std::vector<std::string>& lines, int k) {
    const auto i = static_cast<std::size_t>(k);
    return i >= lines.size() || lines[i].empty() || lines[i] == kBlankLine;
}

std::string number(int n) { return std::to_string(n); }

// EDL lines carry a name in a comment: a line break or control byte in it
// would end the comment and start a line no editor understands.
std::string edlText(std::string_view latin1) {
    std::string clean(latin1);
    for (char& c : clean) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = ' ';
    }
    return latin1ToUtf8(clean);
}

std::string edlHead(std::string_view title) {
    return "TITLE: " + edlText(title) + kEnd + "FCM: NON-DROP FRAME" + kEnd + kEnd;
}

std::string edlEvent(int event, const std::string& srcIn, const std::string& srcOut, const std::string& recIn,
                     const std::string& recOut) {
    char line[128];
    std::snprintf(line, sizeof line, "%03d  %-8s %-5s %-8s %s %s %s %s", event, "AX", "V", "C", srcIn.c_str(),
                  srcOut.c_str(), recIn.c_str(), recOut.c_str());
    return std::string(line) + kEnd;
}

}  // namespace

ListRows listRows(const MediaModel& model, const std::vector<std::string>& clipLines,
                  const std::vector<std::string>& cueLines) {
    ListRows rows;
    const int files = std::clamp(model.recordedFileCount(), 0, kTableSize);
    for (int k = 0; k < files; ++k) rows.files.push_back({k + 1, model.file(k).name, model.file(k).inhibit != 0});
    for (int k = 0; k < kTableSize; ++k) {
        if (!blank(clipLines, k)) rows.clips.push_back({k, model.clip(k).in, model.clip(k).out, model.clip(k).name});
        if (!blank(cueLines, k)) rows.cues.push_back({k, model.cue(k).position, model.cue(k).name});
    }
    for (int s = 0; s < kSequenceCount; ++s) {
        if (!model.sequenceListed(s)) continue;
        const SequenceRecord& r = model.sequence(s);
        const int count = std::min<int>(r.entryCount, kSequenceSteps);
        for (int i = 0; i < count; ++i) {
            SequenceStepRow step{s, i + 1, r.steps[static_cast<std::size_t>(i)], {}, {}};
            if (step.clip >= 0 && step.clip < kTableSize && !blank(clipLines, step.clip)) {
                step.in = model.clip(step.clip).in;
                step.out = model.clip(step.clip).out;
            }
            rows.steps.push_back(step);
        }
    }
    return rows;
}

std::string latin1ToUtf8(std::string_view latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char c : latin1) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

bool formulaLike(std::string_view cell) {
    std::size_t i = 0;
    while (i < cell.size() && cell[i] == '\'') ++i;
    return i < cell.size() && (cell[i] == '=' || cell[i] == '+' || cell[i] == '-' || cell[i] == '@');
}

std::string csvCellUtf8(std::string_view utf8) {
    std::string cell = formulaLike(utf8) ? "'" + std::string(utf8) : std::string(utf8);
    if (cell.find_first_of(",\"\r\n") == std::string::npos) return cell;
    std::string quoted = "\"";
    for (char c : cell) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string csvCell(std::string_view latin1) { return csvCellUtf8(latin1ToUtf8(latin1)); }

int timecodeFrames(const Timecode& t, int frameBase) {
    if (!t.inRange(frameBase)) return -1;
    return ((std::stoi(t.hours) * 60 + std::stoi(t.minutes)) * 60 + std::stoi(t.seconds)) * frameBase +
           std::stoi(t.frames);
}

std::string framesText(long long frames, int frameBase) {
    if (frameBase <= 0) frameBase = 30;
    const long long day = 24LL * 3600 * frameBase;
    frames = ((frames % day) + day) % day;
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld:%02lld", frames / (3600LL * frameBase),
                  frames / (60LL * frameBase) % 60, frames / frameBase % 60, frames % frameBase);
    return text;
}

std::string filesCsv(const std::vector<FileRow>& rows) {
    std::string out = std::string("number,name,inhibited") + kEnd;
    for (const FileRow& r : rows)
        out += number(r.number) + ',' + csvCell(r.name) + ',' + (r.inhibited ? "yes" : "no") + kEnd;
    return out;
}

std::string clipsCsv(const std::vector<ClipRow>& rows, int frameBase) {
    std::string out = std::string("number,in,out,duration,name") + kEnd;
    for (const ClipRow& r : rows) {
        const int in = timecodeFrames(r.in, frameBase), outAt = timecodeFrames(r.out, frameBase);
        const std::string duration = in < 0 || outAt < 0 ? std::string() : framesText(outAt - in, frameBase);
        out += number(r.number) + ',' + csvCell(r.in.text()) + ',' + csvCell(r.out.text()) + ',' + duration + ',' +
               csvCell(r.name) + kEnd;
    }
    return out;
}

std::string cuesCsv(const std::vector<CueRow>& rows) {
    std::string out = std::string("number,timecode,name") + kEnd;
    for (const CueRow& r : rows) out += number(r.number) + ',' + csvCell(r.position.text()) + ',' + csvCell(r.name) + kEnd;
    return out;
}

std::string sequencesCsv(const std::vector<SequenceStepRow>& rows) {
    std::string out = std::string("sequence,step,clip,in,out") + kEnd;
    for (const SequenceStepRow& r : rows) {
        out += number(r.sequence) + ',' + number(r.step) + ',' + (r.clip >= 0 ? number(r.clip) : std::string()) + ',' +
               (r.in ? csvCell(r.in->text()) : std::string()) + ',' + (r.out ? csvCell(r.out->text()) : std::string()) +
               kEnd;
    }
    return out;
}

std::string clipsEdl(const std::vector<ClipRow>& rows, int frameBase, std::string_view title) {
    std::string out = edlHead(title);
    long long record = 3600LL * frameBase;  // 01:00:00:00
    int event = 0;  // at most 512 entries: three digits suffice
    for (const ClipRow& r : rows) {
        const int in = timecodeFrames(r.in, frameBase), outAt = timecodeFrames(r.out, frameBase);
        if (in < 0 || outAt < 0) continue;
        const long long day = 24LL * 3600 * frameBase;
        const long long length = ((outAt - in) % day + day) % day;
        out += edlEvent(++event, r.in.text(), r.out.text(), framesText(record, frameBase),
                        framesText(record + length, frameBase));
        out += "* FROM CLIP NAME: " + edlText(r.name) + kEnd + kEnd;
        record += length;
    }
    return out;
}

std::string cuesEdl(const std::vector<CueRow>& rows, int frameBase, std::string_view title) {
    std::string out = edlHead(title);
    int event = 0;
    for (const CueRow& r : rows) {
        const int at = timecodeFrames(r.position, frameBase);
        if (at < 0) continue;
        const std::string tc = r.position.text(), next = framesText(at + 1, frameBase);
        std::string name = edlText(r.name);
        // A locator without text is dropped by some editors: the cue's number stands in.
        if (name.find_first_not_of(' ') == std::string::npos) {
            char fallback[16];
            std::snprintf(fallback, sizeof fallback, "CUE %03d", r.number);
            name = fallback;
        }
        out += edlEvent(++event, tc, next, tc, next);
        out += "* LOC: " + tc + " RED     " + name + kEnd + kEnd;
    }
    return out;
}

std::optional<std::string> listFile(const ListRows& rows, std::string_view file, int frameBase,
                                    std::string_view deckName) {
    const std::string name(deckName);
    if (file == "files.csv") return filesCsv(rows.files);
    if (file == "clips.csv") return clipsCsv(rows.clips, frameBase);
    if (file == "clips.edl") return clipsEdl(rows.clips, frameBase, name + " clips");
    if (file == "cues.csv") return cuesCsv(rows.cues);
    if (file == "cues.edl") return cuesEdl(rows.cues, frameBase, name + " cues");
    if (file == "sequences.csv") return sequencesCsv(rows.steps);
    return std::nullopt;
}

}  // namespace qz7
