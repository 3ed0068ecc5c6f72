#include "media/cue_import.h"

#include <algorithm>

#include "link/commands.h"
#include "media/list_export.h"

namespace qz7 {

namespace {

struct Record {
    int line = 0;
    std::vector<std::string> fields;
};

// RFC 4180 records, each with the line it starts on; a quoted field may hold
// commas, doubled quotes and line breaks.
std::vector<Record> records(std::string_view csv, std::optional<CueImportError>& error) {
    std::vector<Record> out;
    Record record{1, {}};
    std::string field;
    int line = 1;
    bool inQuotes = false, quotedField = false, any = false;
    const auto endRecord = [&] {
        if (any || !field.empty()) {
            record.fields.push_back(field);
            out.push_back(record);
        }
        record = Record{line, {}};
        field.clear();
        quotedField = any = false;
    };
    for (std::size_t i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (c == '\n' || (c == '\r' && (i + 1 == csv.size() || csv[i + 1] != '\n'))) ++line;
        if (inQuotes) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < csv.size() && csv[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                inQuotes = false;
            }
            continue;
        }
        if (c == '"' && field.empty() && !quotedField) {
            inQuotes = quotedField = any = true;
        } else if (c == ',') {
            record.fields.push_back(field);
            field.clear();
            quotedField = false;
            any = true;
        } else if (c == '\n') {
            endRecord();
        } else if (c == '\r') {
            if (i + 1 < csv.size() && csv[i + 1] == '\n') continue;  // the \n ends it
            endRecord();
        } else {
            field += c;
            any = true;
        }
    }
    if (inQuotes) error = CueImportError{record.line, "a quoted field is not closed"};
    endRecord();
    return out;
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

bool hasDigit(const std::string& s) { return std::any_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }); }

bool decimal(const std::string& s) {
    return !s.empty() && s.size() <= 6 && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The name as the recorder keeps it: each character one byte. "" when it
// fits, else why not.
std::string nameBytes(const std::string& utf8, std::string& bytes) {
    bytes.clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        if (length == 0 || i + static_cast<std::size_t>(length) > utf8.size()) return "the name is not UTF-8";
        unsigned code = length == 1 ? b : b & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) return "the name is not UTF-8";
            code = (code << 6) | (c & 0x3F);
        }
        if (length == 2 && code < 0x80) return "the name is not UTF-8";
        if (code > 0xFF)
            return "the name holds '" + utf8.substr(i, static_cast<std::size_t>(length)) +
                   "', which has no single-byte form";
        bytes += static_cast<char>(code);
        i += static_cast<std::size_t>(length);
    }
    if (bytes.size() > kNameBytes)
        return "the name is " + std::to_string(bytes.size()) + " characters; the recorder keeps " +
               std::to_string(kNameBytes);
    return {};
}

}  // namespace

CueImport importCues(std::string_view file, int frameBase) {
    CueImport result;
    const auto refuse = [&](int line, std::string why) {
        result.marks.clear();
        result.error = CueImportError{line, std::move(why)};
        return result;
    };
    if (file.substr(0, 3) == "\xEF\xBB\xBF") file.remove_prefix(3);
    std::optional<CueImportError> broken;
    std::vector<Record> rows = records(file, broken);
    // Blank lines say nothing.
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const Record& r) { return r.fields.size() == 1 && trimmed(r.fields[0]).empty(); }),
               rows.end());
    if (rows.empty()) return refuse(broken ? broken->line : 1, broken ? broken->reason : "no cue marks in the file");

    // A first line without a digit is a header ("number,timecode,name",
    // "timecode,name", "TC,Comment"): it tells the columns and is skipped.
    std::size_t first = 0;
    const std::size_t columns = rows[0].fields.size();
    if (std::none_of(rows[0].fields.begin(), rows[0].fields.end(), hasDigit)) first = 1;
    if (columns != 2 && columns != 3)
        return refuse(rows[0].line, std::to_string(columns) +
                                        " columns; expected timecode,name or number,timecode,name");
    if (first == rows.size()) return refuse(rows[0].line, "no cue marks in the file");

    for (std::size_t r = first; r < rows.size(); ++r) {
        const Record& row = rows[r];
        if (result.marks.size() == static_cast<std::size_t>(kTableSize))
            return refuse(row.line, "more than " + std::to_string(kTableSize) + " cue marks; the recorder keeps " +
                                        std::to_string(kTableSize));
        if (row.fields.size() != columns)
            return refuse(row.line, std::to_string(row.fields.size()) + " fields, not " + std::to_string(columns) +
                                        " (a name holding a comma must be in quotes)");
        const std::size_t at = columns == 3 ? 1 : 0;
        if (columns == 3 && !decimal(trimmed(row.fields[0])))
            return refuse(row.line, "'" + row.fields[0] + "' is not a cue number");
        const std::string tcText = trimmed(row.fields[at]);
        const std::optional<Timecode> tc = Timecode::parse(tcText);
        if (!tc) return refuse(row.line, "'" + tcText + "' is not a timecode hh:mm:ss:ff");
        if (!tc->inRange(frameBase))
            return refuse(row.line, "'" + tcText + "' is not a time at " + std::to_string(frameBase) +
                                        " frames a second");
        std::string cell = row.fields[at + 1];
        // "Save Cue List" put an apostrophe before a name that looks like a formula.
        if (!cell.empty() && cell[0] == '\'' && formulaLike(cell)) cell.erase(0, 1);
        CueMark mark{row.line, *tc, {}};
        if (std::string why = nameBytes(cell, mark.name); !why.empty()) return refuse(row.line, why);
        result.marks.push_back(std::move(mark));
    }
    // A quote left open swallowed the rest of the file into one field.
    if (broken) return refuse(broken->line, broken->reason);
    return result;
}

std::vector<int> freeCueSlots(const MediaModel& model, const std::vector<std::string>& cueLines, int wanted) {
    std::vector<int> slots;
    for (int k = 0; k < kTableSize && static_cast<int>(slots.size()) < wanted; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool lineBlank = i >= cueLines.size() || cueLines[i].empty() || cueLines[i] == kBlankLine;
        if (model.cue(k).used == 0 && lineBlank) slots.push_back(k);
    }
    return slots;
}

std::vector<Packet> cueLoad(int slot, const CueMark& mark) {
    return {cmd::entryRequest(Sense::CueEntry, slot), cmd::cueWrite(slot, mark.position.bytes(), mark.name, 0x01)};
}

}  // namespace qz7
