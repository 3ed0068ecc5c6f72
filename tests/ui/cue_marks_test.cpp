// Cue marks: Mrk, CLR, SEL, Cue and Srh in both modes, and the "CUE Edit" dialog.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/cue_edit_dialog.h"
#include "ui/cue_group.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class CueMarksTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        fillListsAsRetrieve(main());
        group = control<CueGroup>(main(), "GroupBox5");
        list = control<QListWidget>(main(), "ListBox4");
        // The Control page's preroll field at its layout value, where it exists yet.
        if (auto* preroll = main().findChild<QLineEdit*>(QStringLiteral("MaskEdit10")))
            preroll->setText(QStringLiteral("06"));
    }

    // 0x80 as transmitted; position bytes frames first.
    static Bytes cueWritePacket(int cue, const Bytes& position, const std::string& name, std::uint8_t flag) {
        Bytes b{0x3E, 0x27, 0x34, 0x80, static_cast<std::uint8_t>(cue), static_cast<std::uint8_t>(cue >> 8)};
        b.insert(b.end(), position.begin(), position.end());
        Bytes field(32, 0x00);
        std::copy(name.begin(), name.end(), field.begin());
        b.insert(b.end(), field.begin(), field.end());
        b.push_back(flag);
        return sent(b);
    }
    static Bytes search(const Bytes& position) {
        Bytes b{0x3E, 0x04, 0x34, 0x31};
        b.insert(b.end(), position.begin(), position.end());
        return sent(b);
    }
    void markThree() {
        showTimecode(0x01, 0x02, 0x03, 0x04);
        for (int i = 0; i < 3; ++i) click(control<QPushButton>(main(), "BitBtn20"));
        takeQueued();
    }

    CueGroup* group = nullptr;
    QListWidget* list = nullptr;
};

TEST_F(CueMarksTest, MrkFillsTheLowestFreeSlotAndClrFreesIt) {
    showTimecode(0x01, 0x02, 0x03, 0x04);
    click(control<QPushButton>(main(), "BitBtn20"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cueWritePacket(0, {0x04, 0x03, 0x02, 0x01}, " ", 0x01)}));
    EXPECT_EQ(lines(list)[0], "01:02:03:04  ");
    EXPECT_EQ(selectedLine(list), 0);
    EXPECT_EQ(tables().cueCount, 1);

    click(control<QPushButton>(main(), "BitBtn20"));
    click(control<QPushButton>(main(), "BitBtn20"));
    takeQueued();
    EXPECT_EQ(tables().cueCount, 3);

    clickLine(list, 1);
    click(control<QPushButton>(main(), "BitBtn14"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cueWritePacket(1, {0, 0, 0, 0}, " ", 0x00)}));
    EXPECT_EQ(lines(list)[1], " ");
    EXPECT_EQ(tables().cues[1].used, 0);
    EXPECT_EQ(tables().cueCount, 3) << "CLR leaves the count";

    showTimecode(0x05, 0x06, 0x07, 0x08);
    clickLine(list, 2);
    click(control<QPushButton>(main(), "BitBtn20"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cueWritePacket(1, {0x08, 0x07, 0x06, 0x05}, " ", 0x01)}));
    EXPECT_EQ(lines(list)[1], "05:06:07:08  ");
    EXPECT_EQ(lines(list)[2], "01:02:03:04  ");
    EXPECT_EQ(selectedLine(list), 1);
    EXPECT_EQ(tables().cueCount, 3);
}

TEST_F(CueMarksTest, CueAndSrhInListModeGoToSearchableLinesOnly) {
    markThree();
    clickLine(list, 2);
    click(control<QPushButton>(main(), "BitBtn22"));
    click(control<QPushButton>(main(), "BitBtn21"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x53, 0x02, 0x00, 0x01}),
                                                sent({0x3E, 0x03, 0x34, 0x53, 0x02, 0x00, 0x00})}));

    clickLine(list, 3);  // at the cue count
    click(control<QPushButton>(main(), "BitBtn22"));
    click(control<QPushButton>(main(), "BitBtn21"));
    list->clearSelection();
    click(control<QPushButton>(main(), "BitBtn22"));
    click(control<QPushButton>(main(), "BitBtn14"));  // CLR needs a line too
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(CueMarksTest, TypedPositionModeSearchesTheTypedTimecode) {
    markThree();
    clickLine(list, 1);
    click(control<QPushButton>(main(), "BitBtn17"));
    EXPECT_EQ(group->typedPositionMode, 1);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_TRUE(control<QLineEdit>(main(), "MaskEdit1")->isEnabled());

    // Cue stops the preroll (06 s at 30 frames) short, wrapping past midnight.
    control<QLineEdit>(main(), "MaskEdit1")->setText(QStringLiteral("00:00:03:10"));
    click(control<QPushButton>(main(), "BitBtn22"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{search({0x10, 0x57, 0x59, 0x23})}));
    control<QLineEdit>(main(), "MaskEdit1")->setText(QStringLiteral("10:00:00:00"));
    click(control<QPushButton>(main(), "BitBtn22"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{search({0x00, 0x54, 0x59, 0x09})}));

    control<QLineEdit>(main(), "MaskEdit1")->setText(QStringLiteral("12:34:56:07"));
    click(control<QPushButton>(main(), "BitBtn21"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{search({0x07, 0x56, 0x34, 0x12})}));

    // CLR acts on the line selected before the switch.
    click(control<QPushButton>(main(), "BitBtn14"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cueWritePacket(1, {0, 0, 0, 0}, " ", 0x00)}));

    click(control<QPushButton>(main(), "BitBtn17"));
    EXPECT_EQ(group->typedPositionMode, 0);
    EXPECT_TRUE(list->isEnabled());
    EXPECT_FALSE(control<QLineEdit>(main(), "MaskEdit1")->isEnabled());
}

TEST_F(CueMarksTest, HalfTypedPositionSendsNothingAndSaysWhy) {
    click(control<QPushButton>(main(), "BitBtn17"));
    control<QLineEdit>(main(), "MaskEdit1")->setText(QStringLiteral("12:3"));  // "12:3_:__:__"
    click(control<QPushButton>(main(), "BitBtn21"));
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("12:3 :  :  ")));
    ErrorBox::dismiss();

    click(control<QPushButton>(main(), "BitBtn22"));
    EXPECT_EQ(ErrorBox::shownCount(), 2);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'3 ' は整数ではありません"));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(CueMarksTest, EditDialogOkRewritesTheCue) {
    markThree();
    QString shownPosition, shownName;
    whenModalShows([&](QWidget* w) {
        auto* d = qobject_cast<CueEditDialog*>(w);
        ASSERT_NE(d, nullptr);
        shownPosition = d->positionEdit->displayText();
        shownName = d->nameEdit->text();
        d->positionEdit->setText(QStringLiteral("00:10:00:00"));
        d->nameEdit->setText(QStringLiteral("INTRO"));
        click(d->okButton);
    });
    doubleClickLine(list, 1);
    EXPECT_EQ(shownPosition, "01:02:03:04");
    EXPECT_EQ(shownName, " ");
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{cueWritePacket(1, {0x00, 0x00, 0x10, 0x00}, "INTRO", 0x01)}));
    EXPECT_EQ(lines(list)[1], "00:10:00:00 INTRO");
    EXPECT_EQ(tables().cues[1].name, "INTRO");
}

TEST_F(CueMarksTest, EditDialogCancelCloseOrHalfTypedOkChangeNothing) {
    markThree();
    auto editAndThen = [&](const std::function<void(CueEditDialog*)>& finish) {
        whenModalShows([finish](QWidget* w) {
            auto* d = qobject_cast<CueEditDialog*>(w);
            ASSERT_NE(d, nullptr);
            d->nameEdit->setText(QStringLiteral("CHANGED"));
            finish(d);
        });
        doubleClickLine(list, 0);
    };
    editAndThen([](CueEditDialog* d) { click(d->cancelButton); });
    editAndThen([](CueEditDialog* d) { d->close(); });
    editAndThen([](CueEditDialog* d) {
        d->positionEdit->setText(QStringLiteral("00:1"));
        click(d->okButton);  // refused: the dialog stays open
        EXPECT_TRUE(d->isVisible());
        d->cancel();
    });
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(lines(list)[0], "01:02:03:04  ");
    EXPECT_EQ(tables().cues[0].name, " ");
    EXPECT_EQ(tables().cues[0].position, (Timecode{"01", "02", "03", "04"}));
}

TEST_F(CueMarksTest, DoubleClickOnAFreeSlotOrPastTheTableShowsNoDialog) {
    markThree();
    EXPECT_FALSE(showsDialog([&] { doubleClickLine(list, 5); }));
    fillListsAsRetrieve(main());  // "Retrieve" twice: lines past the table
    list->setCurrentRow(700);
    EXPECT_FALSE(showsDialog([&] { group->editSelectedCue(); }));
    click(control<QPushButton>(main(), "BitBtn14"));  // CLR past the table touches nothing
    EXPECT_TRUE(takeQueued().empty());
}

}  // namespace
}  // namespace qz7::test
