// Cue marks read from a file: what "Save Cue List" wrote comes back byte for
// byte, a logger's two columns are taken, and one bad line refuses the whole
// file with its line number.
#include <gtest/gtest.h>

#include <string>

#include "media/cue_import.h"
#include "media/list_export.h"
#include "media/media_lines.h"

namespace qz7 {
namespace {

Timecode tc(const char* text) { return *Timecode::parse(text); }

TEST(CueImport, ReadsTheSavedListAndALoggersColumns) {
    // Names the export must quote, mark as text or widen to UTF-8.
    const std::vector<CueRow> saved{{0, tc("01:00:00:00"), "Goal, left"},
                                    {3, tc("01:02:03:04"), "Say \"cut\"\nnow"},
                                    {9, tc("23:59:59:29"), "=1+1"},
                                    {11, tc("00:00:00:00"), "\xC4\xEF\xBC"}};
    const CueImport back = importCues("\xEF\xBB\xBF" + cuesCsv(saved), 30);
    ASSERT_FALSE(back.error) << back.error->text();
    ASSERT_EQ(back.marks.size(), saved.size());
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(back.marks[i].position, saved[i].position);
        EXPECT_EQ(back.marks[i].name, saved[i].name);
    }
    EXPECT_EQ(back.marks[2].line, 5);  // after the header and a name that spans two lines

    const CueImport logger = importCues("TC,Comment\n\n00:00:10:00, wide shot\n00:00:20:24,\n", 25);
    ASSERT_FALSE(logger.error) << logger.error->text();
    ASSERT_EQ(logger.marks.size(), 2u);
    EXPECT_EQ(logger.marks[0].name, " wide shot");
    EXPECT_EQ(logger.marks[1].line, 4);
    EXPECT_EQ(logger.marks[1].name, "");
    EXPECT_EQ(importCues("00:00:01:00,a\r\n00:00:02:00,b", 30).marks.size(), 2u);
}

TEST(CueImport, OneBadLineRefusesTheFileNamingTheLine) {
    const struct {
        std::string file;
        int frameBase;
        int line;
        std::string reason;
    } cases[] = {
        {"00:00:01:00,a\n00:00:01:25,b\n", 25, 2, "'00:00:01:25' is not a time at 25 frames a second"},
        {"00:00:01:00,a\n24:00:00:00,b\n", 30, 2, "'24:00:00:00' is not a time at 30 frames a second"},
        {"timecode,name\n00:00:01:00,a\n1:00:00:00,b\n", 30, 3, "'1:00:00:00' is not a timecode hh:mm:ss:ff"},
        {"00:00:01:00,a\n00:00:02:00,Goal, left\n", 30, 2, "3 fields, not 2 (a name holding a comma must be in quotes)"},
        {"00:00:01:00,\xEF\xBC\xA1\xEF\xBC\xA2\n", 30, 1, "the name holds '\xEF\xBC\xA1', which has no single-byte form"},
        {"00:00:01:00,\xFF\n", 30, 1, "the name is not UTF-8"},
        {"00:00:01:00,a\n00:00:01:00," + std::string(33, 'x') + "\n", 30, 2,
         "the name is 33 characters; the recorder keeps 32"},
        {"number,timecode,name\r\nx,00:00:01:00,a\r\n", 30, 2, "'x' is not a cue number"},
        {"00:00:01:00,a\n00:00:02:00,\"open\n00:00:03:00,c\n", 30, 2, "a quoted field is not closed"},
        {"timecode,name\n", 30, 1, "no cue marks in the file"},
        {"00:00:01:00\n", 30, 1, "1 columns; expected timecode,name or number,timecode,name"},
    };
    for (const auto& c : cases) {
        const CueImport r = importCues(c.file, c.frameBase);
        ASSERT_TRUE(r.error) << c.file;
        EXPECT_TRUE(r.marks.empty());
        EXPECT_EQ(r.error->text(), "line " + std::to_string(c.line) + ": " + c.reason) << c.file;
    }
    std::string many = "timecode,name\n";
    for (int i = 0; i < 513; ++i) many += "00:00:01:00,c\n";
    const CueImport tooMany = importCues(many, 30);
    ASSERT_TRUE(tooMany.error);
    EXPECT_EQ(tooMany.error->text(), "line 514: more than 512 cue marks; the recorder keeps 512");
}

TEST(CueImport, FreeSlotsAreThoseNeitherTheTableNorTheListHolds) {
    MediaModel model;
    MediaLines lines;
    model.setObserver(&lines);
    model.beginRetrieve();
    model.applyCueReply(0, true, tc("00:00:01:00").bytes(), "a");
    model.applyCueReply(2, true, tc("00:00:02:00").bytes(), "b");
    model.markCue(tc("00:00:03:00"));  // slot 1
    EXPECT_EQ(freeCueSlots(model, lines.lines(MediaList::Cues), 3), (std::vector<int>{3, 4, 5}));
    model.deleteCue(2);
    EXPECT_EQ(freeCueSlots(model, lines.lines(MediaList::Cues), 2), (std::vector<int>{2, 3}));
    EXPECT_EQ(freeCueSlots(model, lines.lines(MediaList::Cues), 600).size(), 510u);
}

}  // namespace
}  // namespace qz7
