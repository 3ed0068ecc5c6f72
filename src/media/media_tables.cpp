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

std::string bcdText(std::uint8_t b) { return format("%02x", b); }

Timecode Timecode::fromBytes(const PositionBytes& b) {
    return Timecode{bcdText(b[3]), bcdText(b[2]), bcdText(b[1]), bcdText(b[0])};
}

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

std::array<std::uint8_t, kNameBytes> nameField(const std::string& name) {
    std::array<std::uint8_t, kNameBytes> field{};
    for (std::size_t i = 0; i < name.size() && i < kNameBytes; ++i)
        field[i] = static_cast<std::uint8_t>(name[i]);
    return field;
}

Packet cueWrite(int cue, const CueEntry& entry, std::uint8_t flag) {
    Packet p = Packet::frame(Group::Operate, Op::CueWrite);
    p.add16(static_cast<unsigned>(cue));
    p.add(entry.position.bytes());
    p.add(nameField(entry.name));
    p.add(flag);
    return p.finish();
}

Packet clipWrite(int clip, const ClipEntry& entry, std::uint8_t flag) {
    Packet p = Packet::frame(Group::Operate, Op::ClipWrite);
    p.add16(static_cast<unsigned>(clip));
    p.add(entry.in.bytes());
    p.add(entry.out.bytes());
    p.add(nameField(entry.name));
    p.add(flag);
    return p.finish();
}

Packet fileNameWrite(int fileNumber, const std::string& name) {
    Packet p = Packet::frame(Group::Operate, Op::FileNameWrite);
    p.add16(static_cast<unsigned>(fileNumber));
    p.add(nameField(name));
    return p.finish();
}

Packet inhibitWrite(int fileNumber, std::uint8_t flag) {
    Packet p = Packet::frame(Group::Operate, Op::InhibitWrite);
    p.add16(static_cast<unsigned>(fileNumber));
    p.add(flag);
    return p.finish();
}

}  // namespace qz7
