#include "media/media_tables.h"

#include <cstdio>

namespace qz7 {

namespace {
std::string format(const char* fmt, int v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}
}  // namespace

std::string fileLine(int fileNumber, const FileEntry& entry) {
    return format(entry.inhibit ? "%03d * " : "%03d   ", fileNumber) + entry.name;
}

std::string recordedLine(int fileCount) { return format("%03d  ", fileCount); }

std::string clipLine(int clip, const std::string& name) { return format(" %03d  ", clip) + name; }

std::string cueLine(const CueEntry& entry) { return entry.position.text() + " " + entry.name; }

std::string sequenceLine(int sequence) { return format("%03d", sequence); }

std::string stepLine(int step, int clip, const MediaTables& tables) {
    std::string line = format("%3d  ", step + 1);
    if (clip < 0) return line;
    line += format("%03d  ", clip);
    if (clip < kTableSize) line += tables.clips[static_cast<std::size_t>(clip)].name;
    return line;
}

Packet cueWrite(int cue, const CueEntry& entry, std::uint8_t flag) {
    return cmd::cueWrite(cue, entry.position.bytes(), entry.name, flag);
}

Packet clipWrite(int clip, const ClipEntry& entry, std::uint8_t flag) {
    return cmd::clipWrite(clip, entry.in.bytes(), entry.out.bytes(), entry.name, flag);
}

Packet fileNameWrite(int fileNumber, const std::string& name) { return cmd::fileNameWrite(fileNumber, name); }

Packet inhibitWrite(int fileNumber, std::uint8_t flag) { return cmd::inhibitWrite(fileNumber, flag); }

std::vector<Packet> sequenceTransfer(int s, const SequenceRecord& record) {
    return cmd::sequenceTransfer(s, record.entryCount, record.blockCount, record.steps.data(), record.steps.size());
}

}  // namespace qz7
