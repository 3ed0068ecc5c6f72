// The Sequence page and the "Sequence Play" editor: editing a working copy,
// sending it block by block, opening and deleting sequences on the recorder,
// and the block requests made on entering the page.
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "panel_fixture.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class SequenceTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        linkOn();
    }
    ScheduleWindow& editor() { return *forms->scheduleWindow(); }

    // Clips 0..count-1 named "c<k>", as the clip entry replies would leave them.
    void makeClips(int count) {
        for (int k = 0; k < count; ++k) {
            tables().clips[static_cast<std::size_t>(k)].name = "c" + std::to_string(k);
            replaceLineGrowing(editor().clipList, k, clipLine(k, "c" + std::to_string(k)));
        }
        tables().clipCount = count;
    }

    void makeSequence(int s, const std::vector<int>& steps) {
        SequenceRecord& r = tables().sequences[static_cast<std::size_t>(s)];
        r.clear();
        for (std::size_t i = 0; i < steps.size(); ++i) r.steps[i] = static_cast<std::int16_t>(steps[i]);
        r.entryCount = static_cast<std::uint8_t>(steps.size());
        r.blockCount = static_cast<std::uint8_t>(steps.size() / 5 + 1);
        deck().mediaForTesting().listSequence(s);
    }

    static std::vector<int> ascending(int count, int first = 0) {
        std::vector<int> v;
        for (int i = 0; i < count; ++i) v.push_back(first + i);
        return v;
    }

    std::vector<int> workingSteps() const {
        const SequenceRecord& w = forms->scheduleWindow()->workingCopy;
        return std::vector<int>(w.steps.begin(), w.steps.begin() + w.entryCount);
    }

    static void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

    // Selects sequence s, presses EDIT and runs `work` while the editor is
    // shown; `work` ends with SAVE or CLOSE (a forgotten one is closed).
    void edit(int s, const std::function<void()>& work) {
        control<QListWidget>(main(), "ListBox3")->setCurrentRow(s);
        bool ran = false;
        whenModalShows([&](QWidget* shown) {
            EXPECT_EQ(shown, &editor());
            work();
            ran = true;
            if (editor().isVisible()) editor().reject();
        });
        click(control<QPushButton>(main(), "BitBtn18"));
        EXPECT_TRUE(ran);
    }

    // ADD with clip c at step line p.
    void add(int c, int p) {
        editor().clipList->setCurrentRow(c);
        editor().stepList->setCurrentRow(p);
        click(editor().addStepButton);
    }
    void del(int p) {
        editor().stepList->setCurrentRow(p);
        click(editor().deleteStepButton);
    }
    std::string stepText(int k) { return toBytes(editor().stepList->item(k)->text()); }
};

TEST_F(SequenceTest, AddInsertsTheSelectedClipAndMovesLaterStepsDown) {
    makeClips(20);
    makeSequence(1, {10, 11, 12, 13, 14});
    edit(0, [&] {
        add(3, 0);
        EXPECT_EQ(editor().workingCopy.entryCount, 1);
        EXPECT_EQ(stepText(0), "  1  003  c3");
        EXPECT_EQ(stepText(1), "  2  ");
        click(editor().closeButton);
    });
    edit(1, [&] {
        add(3, 2);
        EXPECT_EQ(workingSteps(), (std::vector<int>{10, 11, 3, 12, 13, 14}));
        EXPECT_EQ(stepText(0), "  1  010  c10");
        EXPECT_EQ(stepText(1), "  2  011  c11");
        EXPECT_EQ(stepText(2), "  3  003  c3");
        EXPECT_EQ(stepText(5), "  6  014  c14");
        EXPECT_EQ(stepText(6), "  7  ");
        // Right after the last step appends.
        add(7, 6);
        EXPECT_EQ(workingSteps(), (std::vector<int>{10, 11, 3, 12, 13, 14, 7}));
        click(editor().closeButton);
    });
}

TEST_F(SequenceTest, AddIgnoresStepsPastTheEndAndClipsNotInTheTable) {
    makeClips(5);
    makeSequence(2, {0, 1});
    edit(2, [&] {
        const auto before = lines(editor().stepList);
        add(1, 3);                                  // beyond the first empty step
        add(5, 0);                                  // clip at the clip count
        editor().clipList->setCurrentRow(-1);       // no clip selected
        editor().stepList->setCurrentRow(0);
        click(editor().addStepButton);
        editor().clipList->setCurrentRow(1);        // no step selected
        editor().stepList->setCurrentRow(-1);
        click(editor().addStepButton);
        EXPECT_EQ(workingSteps(), (std::vector<int>{0, 1}));
        EXPECT_EQ(lines(editor().stepList), before);
        click(editor().closeButton);
    });
}

TEST_F(SequenceTest, AFullSequenceTakesNoMoreStepsAndDelMovesTheRestUp) {
    makeClips(200);
    makeSequence(3, ascending(127, 50));
    edit(3, [&] {
        add(7, 0);
        ASSERT_EQ(editor().workingCopy.entryCount, 128);
        EXPECT_EQ(editor().workingCopy.steps[0], 7);
        EXPECT_EQ(editor().workingCopy.steps[127], 176);
        EXPECT_EQ(stepText(127), "128  176  c176");

        // Full: nothing moves, nothing is lost.
        const auto steps = workingSteps();
        const auto shown = lines(editor().stepList);
        add(9, 5);
        EXPECT_EQ(workingSteps(), steps);
        EXPECT_EQ(lines(editor().stepList), shown);

        del(0);
        EXPECT_EQ(editor().workingCopy.entryCount, 127);
        EXPECT_EQ(workingSteps(), ascending(127, 50));
        EXPECT_EQ(stepText(0), "  1  050  c50");
        EXPECT_EQ(stepText(126), "127  176  c176");
        EXPECT_EQ(stepText(127), "128  ");
        EXPECT_EQ(editor().workingCopy.steps[127], -1);
        click(editor().closeButton);
    });
}

TEST_F(SequenceTest, DelOfTheLastStepClearsOnlyThatLineAndEmptyStepsAreLeftAlone) {
    makeClips(10);
    makeSequence(0, {4, 5, 6});
    edit(0, [&] {
        del(3);  // an empty step
        EXPECT_EQ(editor().workingCopy.entryCount, 3);
        const auto before = lines(editor().stepList);
        del(2);
        EXPECT_EQ(workingSteps(), (std::vector<int>{4, 5}));
        auto after = lines(editor().stepList);
        EXPECT_EQ(after[2], "  3  ");
        after[2] = before[2];
        EXPECT_EQ(after, before);
        del(0);
        del(0);
        EXPECT_EQ(editor().workingCopy.entryCount, 0);
        EXPECT_EQ(stepText(0), "  1  ");
        click(editor().closeButton);
    });
}

TEST_F(SequenceTest, SaveUpdatesTheTableAndSendsTheBlocksInRisingOrder) {
    makeClips(10);
    makeSequence(4, {1, 2, 3, 4, 5});
    control<QListWidget>(main(), "ListBox3")->item(4)->setText(QStringLiteral(" "));
    edit(4, [&] {
        add(9, 5);
        click(editor().saveButton);
    });
    EXPECT_EQ(toBytes(control<QListWidget>(main(), "ListBox3")->item(4)->text()), "004");
    const SequenceRecord& r = tables().sequences[4];
    EXPECT_EQ(r.entryCount, 6);
    EXPECT_EQ(r.blockCount, 2);
    EXPECT_EQ(r.steps[5], 9);

    const auto sent = takeTransmitOrder();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], withSum({0x3E, 0x0D, 0x34, 0x8A, 0x00, 0x04, 0x00,
                                0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00}));
    EXPECT_EQ(sent[1], withSum({0x3E, 0x0D, 0x34, 0x8A, 0x01, 0x04, 0x01,
                                0x09, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(sent[2], withSum({0x3E, 0x0D, 0x34, 0x8A, 0x02, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(SequenceTest, ALongSequenceGoesOutAsTwentySixBlocksThenTheEnd) {
    makeClips(200);
    makeSequence(15, ascending(128, 1));
    edit(15, [&] { click(editor().saveButton); });
    const auto sent = takeTransmitOrder();
    ASSERT_EQ(sent.size(), 27u);
    for (int j = 0; j < 26; ++j) {
        EXPECT_EQ(sent[j][4], j == 0 ? 0x00 : 0x01);
        EXPECT_EQ(sent[j][6], j);
        EXPECT_EQ(sent[j][7], 5 * j + 1) << "block " << j;
    }
    // Step 127 is the last one; 128 and 129 go out empty.
    EXPECT_EQ(sent[25][11], 128);
    EXPECT_EQ((Bytes(sent[25].begin() + 13, sent[25].begin() + 17)), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(sent[26][4], 0x02);
}

TEST_F(SequenceTest, CloseAndCancelKeepTheTableAndEditShowsWhatItEdits) {
    makeClips(10);
    makeSequence(6, {1, 2});
    edit(6, [&] {
        add(3, 0);
        click(editor().closeButton);
    });
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().sequences[6].entryCount, 2);
    EXPECT_EQ(tables().sequences[6].steps[0], 1);

    // The discarded edit must not be what the next EDIT shows.
    edit(6, [&] {
        EXPECT_EQ(workingSteps(), (std::vector<int>{1, 2}));
        EXPECT_EQ(stepText(0), "  1  001  c1");
        EXPECT_EQ(stepText(2), "  3  ");
        del(0);
        del(0);
        click(editor().cancelButton);  // CANCEL reloads from the table
        EXPECT_TRUE(editor().isVisible());
        EXPECT_EQ(workingSteps(), (std::vector<int>{1, 2}));
        EXPECT_EQ(stepText(1), "  2  002  c2");
        click(editor().closeButton);
    });
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SequenceTest, SavingAnEmptiedSequenceStoresItButSendsNothing) {
    makeClips(10);
    makeSequence(7, {1, 2});
    edit(7, [&] {
        del(0);
        del(0);
        click(editor().saveButton);
    });
    EXPECT_EQ(tables().sequences[7].entryCount, 0);
    EXPECT_EQ(tables().sequences[7].steps[0], -1);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SequenceTest, ClickingALineShowsThatSequenceFromTheTable) {
    makeClips(10);
    makeSequence(9, {8, 0});
    control<QListWidget>(main(), "ListBox3")->setCurrentRow(9);
    EXPECT_EQ(editor().sequenceNumberLabel->text(), QStringLiteral("009"));
    EXPECT_EQ(stepText(0), "  1  008  c8");
    EXPECT_EQ(stepText(1), "  2  000  c0");
    EXPECT_EQ(stepText(2), "  3  ");

    control<QListWidget>(main(), "ListBox3")->setCurrentRow(10);  // not in use
    EXPECT_EQ(editor().sequenceNumberLabel->text(), QStringLiteral("010"));
    EXPECT_EQ(stepText(0), "  1  ");
    EXPECT_EQ(stepText(127), "128  ");
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(SequenceTest, StepsFromTheRecorderAreShownAndEditedSafely) {
    makeClips(10);
    // The recorder claims 200 steps and names a clip the table does not hold;
    // step 1 arrives empty (0xFF 0xFF), as a lost block would leave it.
    feed(reply(0x37, 0x85, {0x0B, 40, 200}));
    feed(reply(0x37, 0x86, {0x0B, 0x00, 0x58, 0x02, 0xFF, 0xFF, 0x05, 0x00, 0x06, 0x00, 0x07, 0x00}));
    EXPECT_EQ(toBytes(control<QListWidget>(main(), "ListBox3")->item(11)->text()), "011");
    edit(11, [&] {
        EXPECT_EQ(stepText(0), "  1  600  ");
        EXPECT_EQ(editor().workingCopy.entryCount, 128);
        del(0);
        EXPECT_EQ(editor().workingCopy.entryCount, 127);
        // The gap moves with the steps instead of duplicating its neighbour.
        EXPECT_EQ(editor().workingCopy.steps[0], -1);
        EXPECT_EQ(editor().workingCopy.steps[1], 5);
        EXPECT_EQ(editor().workingCopy.steps[3], 7);
        click(editor().closeButton);
    });
}

TEST_F(SequenceTest, OpenAndDelActOnTheSelectedLineOnly) {
    makeSequence(12, {1});
    control<QListWidget>(main(), "ListBox3")->setCurrentRow(12);
    click(control<QPushButton>(main(), "BitBtn12"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x01, 0x34, 0x54, 0x0C})}));

    control<QListWidget>(main(), "ListBox3")->setCurrentRow(3);  // an empty line
    click(control<QPushButton>(main(), "BitBtn12"));
    control<QListWidget>(main(), "ListBox3")->item(3)->setText(QStringLiteral(" "));
    click(control<QPushButton>(main(), "BitBtn12"));
    EXPECT_TRUE(takeQueued().empty());

    control<QListWidget>(main(), "ListBox3")->setCurrentRow(12);
    click(control<QPushButton>(main(), "BitBtn8"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{withSum({0x3E, 0x05, 0x34, 0x85, 0x07, 0x0C, 0, 0, 0})}));
    EXPECT_EQ(toBytes(control<QListWidget>(main(), "ListBox3")->item(12)->text()), " ");
    // The table keeps it until the recorder says otherwise.
    EXPECT_EQ(tables().sequences[12].entryCount, 1);
    click(control<QPushButton>(main(), "BitBtn12"));
    EXPECT_TRUE(takeQueued().empty());

    control<QListWidget>(main(), "ListBox3")->setCurrentRow(-1);
    const auto before = lines(control<QListWidget>(main(), "ListBox3"));
    click(control<QPushButton>(main(), "BitBtn8"));
    click(control<QPushButton>(main(), "BitBtn12"));
    click(control<QPushButton>(main(), "BitBtn18"));
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox3")), before);
}

TEST_F(SequenceTest, EnteringThePageAsksForEveryBlockOfEverySequenceInUse) {
    QTabWidget* tabs = control<QTabWidget>(main(), "PageControl1");
    tabs->setCurrentIndex(MainWindow::SequenceTab);
    tabs->setCurrentIndex(MainWindow::ClipTab);
    EXPECT_TRUE(takeQueued().empty());

    auto& seq = tables().sequences;
    seq[2].entryCount = 6;
    seq[2].blockCount = 2;
    seq[5].entryCount = 1;
    seq[5].blockCount = 1;
    seq[8].blockCount = 3;      // no entries: not in use
    seq[9].entryCount = 3;
    seq[9].blockCount = 0x80;   // a negative count asks for nothing
    seq[14].entryCount = 128;
    seq[14].blockCount = 100;   // no sequence has more than 26 blocks
    tabs->setCurrentIndex(MainWindow::SequenceTab);

    std::vector<Bytes> want{withSum({0x3E, 0x02, 0x36, 0x86, 2, 0}), withSum({0x3E, 0x02, 0x36, 0x86, 2, 1}),
                            withSum({0x3E, 0x02, 0x36, 0x86, 5, 0})};
    for (std::uint8_t j = 0; j < 26; ++j) want.push_back(withSum({0x3E, 0x02, 0x36, 0x86, 14, j}));
    EXPECT_EQ(takeQueued(), want);
}

}  // namespace
}  // namespace qz7::test
