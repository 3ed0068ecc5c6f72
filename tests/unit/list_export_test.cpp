// The lists as files: cells a spreadsheet takes as text and an importer
// splits right, EDL events whose times add up, and only what the lists show.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "media/list_export.h"
#include "media/media_lines.h"

namespace qz7 {
namespace {

Timecode tc(const char* text) { return *Timecode::parse(text); }

// Names as the recorder keeps them: bytes, one a character on screen. The
// last is the UTF-8 of "ＡＢ" as another program may have written it; the
// panel shows its six bytes as six characters, and so does the file.
const std::string kComma = "Goal, left";
const std::string kQuote = "The \"big\" one";
const std::string kLatin1 = "Caf\xE9";
const std::string kWide = "\xEF\xBC\xA1\xEF\xBC\xA2";
const std::string kFormula = "=HYPERLINK(\"x\")";

TEST(ListExport, CsvCellsAreTextUtf8AndQuotedWhereNeeded) {
    const std::vector<CueRow> cues{{0, tc("01:00:00:00"), kComma},  {1, tc("01:00:01:00"), kQuote},
                                   {2, tc("01:00:02:00"), kLatin1}, {3, tc("01:00:03:00"), kWide},
                                   {7, tc("01:00:07:00"), kFormula}, {8, tc("01:00:08:00"), "'-5 dB"}};
    EXPECT_EQ(cuesCsv(cues),
              "number,timecode,name\r\n"
              "0,01:00:00:00,\"Goal, left\"\r\n"
              "1,01:00:01:00,\"The \"\"big\"\" one\"\r\n"
              "2,01:00:02:00,Caf\xC3\xA9\r\n"
              "3,01:00:03:00,\xC3\xAF\xC2\xBC\xC2\xA1\xC3\xAF\xC2\xBC\xC2\xA2\r\n"
              "7,01:00:07:00,\"'=HYPERLINK(\"\"x\"\")\"\r\n"
              "8,01:00:08:00,''-5 dB\r\n");
    EXPECT_EQ(csvCellUtf8("a\nb"), "\"a\nb\"");
    EXPECT_EQ(csvCell("@SUM"), "'@SUM");

    EXPECT_EQ(filesCsv({{1, kComma, false}, {2, "+1", true}}),
              "number,name,inhibited\r\n1,\"Goal, left\",no\r\n2,'+1,yes\r\n");
    // Durations at the recorder's rate, across midnight too; none for a
    // position that is no time of day.
    EXPECT_EQ(clipsCsv({{0, tc("00:00:10:00"), tc("00:00:12:10"), "a"},
                        {4, tc("23:59:59:20"), tc("00:00:00:05"), "b"},
                        {5, Timecode{"1a", "00", "00", "00"}, tc("00:00:01:00"), "c"}},
                       25),
              "number,in,out,duration,name\r\n0,00:00:10:00,00:00:12:10,00:00:02:10,a\r\n"
              "4,23:59:59:20,00:00:00:05,00:00:00:10,b\r\n5,1a:00:00:00,00:00:01:00,,c\r\n");
    EXPECT_EQ(sequencesCsv({{2, 1, 4, tc("00:00:10:00"), tc("00:00:12:00")}, {2, 2, -1, {}, {}}}),
              "sequence,step,clip,in,out\r\n2,1,4,00:00:10:00,00:00:12:00\r\n2,2,,,\r\n");
}

// Reads an EDL the way an editor does: whitespace-separated event fields,
// comments attached to the event before them.
struct EdlEvent {
    std::string number, reel, track, transition, srcIn, srcOut, recIn, recOut;
    std::vector<std::string> comments;
};
std::vector<EdlEvent> readEdl(const std::string& edl, std::string& title, std::string& fcm) {
    std::vector<EdlEvent> events;
    std::istringstream in(edl);
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_TRUE(!line.empty() && line.back() == '\r') << "line without CRLF: " << line;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("TITLE: ", 0) == 0) title = line.substr(7);
        else if (line.rfind("FCM: ", 0) == 0) fcm = line.substr(5);
        else if (line.rfind("* ", 0) == 0 && !events.empty()) events.back().comments.push_back(line.substr(2));
        else if (!line.empty()) {
            EdlEvent e;
            std::istringstream f(line);
            f >> e.number >> e.reel >> e.track >> e.transition >> e.srcIn >> e.srcOut >> e.recIn >> e.recOut;
            EXPECT_TRUE(f) << "short event line: " << line;
            events.push_back(e);
        }
    }
    return events;
}

TEST(ListExport, EdlEventsRunOnFromOneHourAndCarryNamesAndLocators) {
    const std::vector<ClipRow> clips{{0, tc("10:00:00:00"), tc("10:00:02:00"), kComma},
                                     {3, Timecode{"00", "00", "0x", "00"}, tc("10:00:00:00"), "skipped"},
                                     {9, tc("11:00:00:00"), tc("11:00:00:15"), "line\r\nbreak"}};
    std::string title, fcm;
    const std::string edl = clipsEdl(clips, 30, "deck A clips");
    EXPECT_EQ(edl.substr(0, edl.find("002")),
              "TITLE: deck A clips\r\nFCM: NON-DROP FRAME\r\n\r\n"
              "001  AX       V     C        10:00:00:00 10:00:02:00 01:00:00:00 01:00:02:00\r\n"
              "* FROM CLIP NAME: Goal, left\r\n\r\n");
    const std::vector<EdlEvent> events = readEdl(edl, title, fcm);
    EXPECT_EQ(title, "deck A clips");
    EXPECT_EQ(fcm, "NON-DROP FRAME");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].number, "002");
    EXPECT_EQ(events[1].srcIn + " " + events[1].srcOut, "11:00:00:00 11:00:00:15");
    EXPECT_EQ(events[1].recIn + " " + events[1].recOut, "01:00:02:00 01:00:02:15");
    EXPECT_EQ(events[1].comments, std::vector<std::string>{"FROM CLIP NAME: line  break"});

    const std::string cueEdl = cuesEdl({{0, tc("00:10:00:24"), "Kick off"}, {5, tc("23:00:00:00"), " "}}, 25, "cues");
    const std::vector<EdlEvent> locators = readEdl(cueEdl, title, fcm);
    ASSERT_EQ(locators.size(), 2u);
    EXPECT_EQ(locators[0].srcIn + " " + locators[0].srcOut + " " + locators[0].recIn + " " + locators[0].recOut,
              "00:10:00:24 00:10:01:00 00:10:00:24 00:10:01:00");
    EXPECT_EQ(locators[0].comments, std::vector<std::string>{"LOC: 00:10:00:24 RED     Kick off"});
    EXPECT_EQ(locators[1].comments, std::vector<std::string>{"LOC: 23:00:00:00 RED     CUE 005"});
}

TEST(ListExport, RowsAreWhatTheListsShowNumberedAsThePanelNumbersThem) {
    MediaModel model;
    MediaLines lines;
    model.setObserver(&lines);
    model.applySystem(3);
    model.beginRetrieve();
    model.applyFileName(1, "one");
    model.applyInhibit(2, 1);
    model.applyClipReply(4, true, tc("00:00:01:00").bytes(), tc("00:00:02:00").bytes(), "clip four");
    model.applyClipReply(5, false, {}, {}, "");
    model.applyCueReply(0, true, tc("00:00:03:00").bytes(), "cue zero");
    model.applyCueReply(2, true, tc("00:00:04:00").bytes(), "cue two");
    model.deleteCue(2);
    SequenceRecord seq;
    seq.entryCount = 2;
    seq.steps[0] = 4;
    model.saveSequence(3, seq);
    model.listSequence(3);
    model.saveSequence(6, seq);  // not listed: not written

    const ListRows rows = listRows(model, lines.lines(MediaList::Clips), lines.lines(MediaList::Cues));
    ASSERT_EQ(rows.files.size(), 3u);
    EXPECT_EQ(rows.files[0].number, 1);
    EXPECT_EQ(rows.files[0].name, "one");
    EXPECT_TRUE(rows.files[1].inhibited);
    ASSERT_EQ(rows.clips.size(), 1u);
    EXPECT_EQ(rows.clips[0].number, 4);
    ASSERT_EQ(rows.cues.size(), 1u);
    EXPECT_EQ(rows.cues[0].name, "cue zero");
    EXPECT_EQ(sequencesCsv(rows.steps), "sequence,step,clip,in,out\r\n3,1,4,00:00:01:00,00:00:02:00\r\n3,2,,,\r\n");
}

}  // namespace
}  // namespace qz7
