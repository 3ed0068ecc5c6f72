// The Clear menu: each clear wipes its table and lists after "Are you sure?"
// and sends one command; Cancel leaves everything as it was.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "panel_fixture.h"
#include "ui/confirmation_dialog.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class ClearMenuTest : public PanelTest {
protected:
    QListWidget* cueList() { return control<QListWidget>(main(), "ListBox4"); }
    QListWidget* clipList() { return control<QListWidget>(main(), "ListBox1"); }
    QListWidget* sequenceClipList() { return forms->scheduleWindow()->clipList; }
    QListWidget* sequenceList() { return control<QListWidget>(main(), "ListBox3"); }

    // Picks a Clear menu item and answers the "Confirmation" dialog.
    void choose(const char* item, QPushButton* ConfirmationDialog::*answer) {
        bool asked = false;
        whenModalShows([&](QWidget* shown) {
            EXPECT_EQ(shown, forms->confirmationDialog());
            asked = true;
            QTest::mouseClick(forms->confirmationDialog()->*answer, Qt::LeftButton);
        });
        control<QAction>(main(), item)->trigger();
        EXPECT_TRUE(asked);
    }
    void confirm(const char* item) { choose(item, &ConfirmationDialog::okButton); }
    void cancel(const char* item) { choose(item, &ConfirmationDialog::cancelButton); }

    // Cues 0..9, clips 0..9 and sequences 0..2 as a list refresh leaves them.
    void fillTables() {
        fillListsAsRetrieve(main());
        for (int k = 0; k < 10; ++k) {
            CueEntry& cue = tables().cues[static_cast<std::size_t>(k)];
            cue.position = Timecode{"01", "02", "03", "04"};
            cue.name = "cue";
            cue.used = 1;
            replaceLine(cueList(), k, cueLine(cue));
            ClipEntry& clip = tables().clips[static_cast<std::size_t>(k)];
            clip.in = Timecode{"00", "00", "10", "00"};
            clip.name = "clip";
            replaceLine(clipList(), k, clipLine(k, clip.name));
            replaceLine(sequenceClipList(), k, clipLine(k, clip.name));
        }
        tables().cueCount = 10;
        tables().clipCount = 10;
        for (int s = 0; s < 3; ++s) {
            SequenceRecord& r = tables().sequences[static_cast<std::size_t>(s)];
            r.entryCount = 2;
            r.blockCount = 1;
            r.steps[0] = 4;
            r.steps[1] = 5;
            r.steps[129] = 6;
            replaceLine(sequenceList(), s, sequenceLine(s));
        }
    }

    static void expectAllBlank(const QListWidget* list, int count) {
        const auto l = lines(list);
        EXPECT_EQ(static_cast<int>(l.size()), count);
        EXPECT_EQ(l, std::vector<std::string>(l.size(), " "));
    }
};

TEST_F(ClearMenuTest, ClearCueBlanksEveryCueAndSendsOneCommand) {
    fillTables();
    confirm("ClearCueList1");
    expectAllBlank(cueList(), 512);
    for (const CueEntry& c : tables().cues) {
        EXPECT_EQ(c.position, Timecode{});
        EXPECT_EQ(c.name, " ");
        EXPECT_EQ(c.used, 0);
    }
    EXPECT_EQ(tables().cueCount, 0);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x83})}));
    // The clips and sequences are not touched.
    EXPECT_EQ(tables().clipCount, 10);
    EXPECT_EQ(tables().sequences[0].entryCount, 2);
}

TEST_F(ClearMenuTest, ClearClipBlanksBothClipListsAndSendsOneCommand) {
    fillTables();
    confirm("ClearClipList1");
    expectAllBlank(clipList(), 512);
    expectAllBlank(sequenceClipList(), 512);  // grown from its 100 lines
    for (const ClipEntry& c : tables().clips) {
        EXPECT_EQ(c.in, Timecode{});
        EXPECT_EQ(c.out, Timecode{});
        EXPECT_EQ(c.name, " ");
    }
    EXPECT_EQ(tables().clipCount, 0);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x84})}));
    EXPECT_EQ(tables().cueCount, 10);
}

TEST_F(ClearMenuTest, ClearSeqEmptiesEverySequenceAndSendsOneCommand) {
    fillTables();
    confirm("ClearSeq1");
    expectAllBlank(sequenceList(), 16);
    for (const SequenceRecord& r : tables().sequences) {
        EXPECT_EQ(r.entryCount, 0);
        EXPECT_EQ(r.blockCount, 0);
        EXPECT_EQ(r.steps, SequenceRecord{}.steps);
    }
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x00, 0x34, 0x86})}));
}

TEST_F(ClearMenuTest, ClearsBeforeRetrieveFillTheEmptyLists) {
    confirm("ClearCueList1");
    confirm("ClearClipList1");
    expectAllBlank(cueList(), 512);
    expectAllBlank(clipList(), 512);
    expectAllBlank(sequenceClipList(), 512);
    EXPECT_EQ(takeQueued().size(), 2u);
}

TEST_F(ClearMenuTest, CancelChangesNothing) {
    fillTables();
    const auto cues = lines(cueList()), clips = lines(clipList()), seqClips = lines(sequenceClipList()),
               seqs = lines(sequenceList());
    for (const char* item : {"ClearCueList1", "ClearClipList1", "ClearSeq1"}) cancel(item);

    // A dialog closed otherwise is no OK.
    bool asked = false;
    whenModalShows([&](QWidget*) {
        asked = true;
        forms->confirmationDialog()->reject();
    });
    control<QAction>(main(), "ClearSeq1")->trigger();
    EXPECT_TRUE(asked);

    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(lines(cueList()), cues);
    EXPECT_EQ(lines(clipList()), clips);
    EXPECT_EQ(lines(sequenceClipList()), seqClips);
    EXPECT_EQ(lines(sequenceList()), seqs);
    EXPECT_EQ(tables().cueCount, 10);
    EXPECT_EQ(tables().clipCount, 10);
    EXPECT_EQ(tables().cues[9].used, 1);
    EXPECT_EQ(tables().cues[9].name, "cue");
    EXPECT_EQ(tables().clips[9].name, "clip");
    EXPECT_EQ(tables().clips[9].in.seconds, "10");
    EXPECT_EQ(tables().sequences[2].entryCount, 2);
    EXPECT_EQ(tables().sequences[2].steps[129], 6);
}

}  // namespace
}  // namespace qz7::test
