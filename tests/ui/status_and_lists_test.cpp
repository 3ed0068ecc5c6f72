// Replies applied to the status panel and to the media lists.
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "panel_fixture.h"
#include "ui/radio_group.h"
#include "ui/schedule_window.h"
#include "ui/status_panel.h"

namespace qz7::test {
namespace {

// A status reply with the given bytes set (position, value).
Bytes status(std::initializer_list<std::pair<int, std::uint8_t>> bytes) {
    Bytes d = blankReply(0x37, 0x60, 31);
    for (auto [p, v] : bytes) d[static_cast<std::size_t>(p)] = v;
    fixSum(d);
    return d;
}

class StatusPanelTest : public PanelTest {
protected:
};

TEST_F(StatusPanelTest, TransportWordStandardQualityAndReference) {
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("STOP"));
    feed(status({{5, 0x03}}));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("REC"));  // REC wins over PLAY
    feed(status({{5, 0x01}, {6, 0x10}}));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("JOG"));
    feed(status({{6, 0x38}}));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("SHUTTLE"));
    feed(status({{20, 0x04}}));
    EXPECT_EQ(control<QLabel>(main(), "Label4")->text(), QStringLiteral("SHUTTLE")) << "no bit keeps the word";
    EXPECT_EQ(control<QLabel>(main(), "Label24")->text(), QStringLiteral("EXT"));
    feed(status({{20, 0x08}, {21, 0x13}, {22, 0x05}}));
    EXPECT_EQ(control<QLabel>(main(), "Label24")->text(), QStringLiteral("INPUT"));
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), QStringLiteral("1080/24PSF   "));
    EXPECT_EQ(control<QLabel>(main(), "Label11")->text(), QStringLiteral("EHQ     "));
    feed(status({{21, 0x0C}, {20, 0x00}}));
    EXPECT_EQ(control<QLabel>(main(), "Label7")->text(), QStringLiteral("UNKNOWN       "));
    EXPECT_EQ(control<QLabel>(main(), "Label24")->text(), QStringLiteral("INPUT")) << "0x00 leaves the reference";
}

TEST_F(StatusPanelTest, ErrorLatchRequestsTheTextOnceAndBlanksTheLineWhenCleared) {
    const Bytes errorRequest{0x3E, 0x01, 0x36, 0x83, 0x00, 0xF8};
    feed(status({{22, 0x23}}));
    EXPECT_EQ(control<QLabel>(main(), "Label11")->text(), QStringLiteral("LOSSLESS"));
    EXPECT_EQ(deck().status().errorLatch, true);
    feed(status({{22, 0x23}}));
    EXPECT_EQ(takeQueued(), std::vector<Bytes>{errorRequest});

    Bytes text = blankReply(0x37, 0x83, 28);
    for (int i = 4; i < 27; ++i) text[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>('A' + i - 4);
    fixSum(text);
    feed(text);
    EXPECT_EQ(control<ClickableLabel>(main(), "Label36")->text(), QStringLiteral("ERR : ABCDEFGHIJKLMNOPQRSTUVW"));

    // Double-click resets only while the latch is up.
    QTest::mouseDClick(control<ClickableLabel>(main(), "Label36"), Qt::LeftButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x89, 0xFB}}));
    feed(status({{22, 0x03}}));
    EXPECT_EQ(deck().status().errorLatch, false);
    EXPECT_EQ(control<ClickableLabel>(main(), "Label36")->text(), QStringLiteral(" "));
    feed(status({{22, 0x03}}));
    QTest::mouseDClick(control<ClickableLabel>(main(), "Label36"), Qt::LeftButton);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(StatusPanelTest, NumberLineInFileClipAndSequenceMode) {
    feed(status({{23, 0x40}, {27, 0x2C}, {28, 0x01}}));
    EXPECT_EQ(control<QLabel>(main(), "Label37")->text(), QStringLiteral("CLIP No. :"));
    EXPECT_EQ(control<QLabel>(main(), "Label40")->text(), QStringLiteral("300"));
    EXPECT_EQ(control<QLabel>(main(), "Label25")->text(), QStringLiteral(" "));
    feed(status({{25, 0x05}, {26, 0x80}}));
    EXPECT_EQ(control<QLabel>(main(), "Label37")->text(), QStringLiteral("REC FILE :"));
    EXPECT_EQ(control<QLabel>(main(), "Label40")->text(), QStringLiteral("005"));
    EXPECT_EQ(control<QLabel>(main(), "Label25")->text(), QStringLiteral("*"));
    feed(status({{25, 0x90}, {26, 0x01}}));
    EXPECT_EQ(control<QLabel>(main(), "Label40")->text(), QStringLiteral("400"));
    feed(status({{23, 0x40}, {29, 0x83}, {27, 0x07}, {28, 0x00}}));
    EXPECT_EQ(control<QLabel>(main(), "Label37")->text(), QStringLiteral("SEQ No. :"));
    EXPECT_EQ(control<QLabel>(main(), "Label40")->text(), QStringLiteral("003"));
    EXPECT_EQ(control<QLabel>(main(), "Label25")->text(), QStringLiteral("C 007"));
}

TEST_F(StatusPanelTest, TimecodeMasksFlagBitsAndNeedsFourDataBytes) {
    feed(reply(0x37, 0x04, {0x64, 0x59, 0x59, 0x23}));
    const auto shown = [this] {
        return QStringList{control<QLabel>(main(), "Label3")->text(), control<QLabel>(main(), "Label30")->text(), control<QLabel>(main(), "Label31")->text(), control<QLabel>(main(), "Label32")->text()}
            .join(QLatin1Char(':'));
    };
    EXPECT_EQ(shown(), QStringLiteral("23:59:59:24"));
    feed(reply(0x37, 0x04, {0x01, 0x02, 0x03}));
    EXPECT_EQ(shown(), QStringLiteral("23:59:59:24"));
}

class ListRepliesTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        fillListsAsRetrieve(main());
    }
    static Bytes cue(int k, bool used, std::initializer_list<std::uint8_t> pos, const std::string& name) {
        Bytes d = blankReply(0x37, 0x80, 44);
        d[4] = static_cast<std::uint8_t>(k & 0xFF);
        d[5] = static_cast<std::uint8_t>(k >> 8);
        std::copy(pos.begin(), pos.end(), d.begin() + 6);
        std::copy(name.begin(), name.end(), d.begin() + 10);
        d[42] = used ? 1 : 0;
        fixSum(d);
        return d;
    }
    static Bytes clip(int k, bool used, const std::string& name) {
        Bytes d = blankReply(0x37, 0x81, 48);
        d[4] = static_cast<std::uint8_t>(k & 0xFF);
        d[5] = static_cast<std::uint8_t>(k >> 8);
        d[6] = 0x10;
        d[10] = 0x20;
        std::copy(name.begin(), name.end(), d.begin() + 14);
        d[46] = used ? 1 : 0;
        fixSum(d);
        return d;
    }
};

TEST_F(ListRepliesTest, CueEntriesFillTableAndLineAndCountEveryReply) {
    feed(cue(300, true, {0x04, 0x03, 0x02, 0x01}, "OPENING"));
    feed(cue(300, true, {0x04, 0x03, 0x02, 0x01}, "OPENING"));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox4"))[300], "01:02:03:04 OPENING");
    EXPECT_EQ(tables().cues[300].used, 1);
    EXPECT_EQ(tables().cueCount, 2);
    feed(cue(300, false, {}, ""));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox4"))[300], " ");
    EXPECT_EQ(tables().cues[300].name, "OPENING") << "an empty slot leaves the table";
    EXPECT_EQ(tables().cueCount, 2);
}

TEST_F(ListRepliesTest, ClipEntriesFillBothClipListsAndGrowTheSequencePlayList) {
    feed(clip(200, true, "WIDE"));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox1"))[200], " 200  WIDE");
    EXPECT_EQ(forms->scheduleWindow()->clipList->count(), 201);
    EXPECT_EQ(lines(forms->scheduleWindow()->clipList)[200], " 200  WIDE");
    EXPECT_EQ(lines(forms->scheduleWindow()->clipList)[150], " ");
    EXPECT_EQ(tables().clips[200].in.frames, "10");
    EXPECT_EQ(tables().clips[200].out.frames, "20");
    feed(clip(200, false, ""));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox1"))[200], " ");
    EXPECT_EQ(lines(forms->scheduleWindow()->clipList)[200], " 200  WIDE");
    EXPECT_EQ(tables().clipCount, 1);
}

TEST_F(ListRepliesTest, InhibitThenNameDrawsTheStarAndSequenceRepliesFillTheRecord) {
    feed(reply(0x37, 0x8C, {0x03, 0x00, 0x01}));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox2"))[2], " ") << "the inhibit reply alone draws nothing";
    Bytes name = blankReply(0x37, 0x82, 39);
    name[4] = 3;
    const std::string n = "NEWS";
    std::copy(n.begin(), n.end(), name.begin() + 6);
    fixSum(name);
    feed(name);
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox2"))[2], "003 * NEWS");

    feed(reply(0x37, 0x85, {4, 2, 7}));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox3"))[4], "004");
    EXPECT_EQ(tables().sequences[4].blockCount, 2);
    feed(reply(0x37, 0x85, {5, 0, 0}));
    EXPECT_EQ(lines(control<QListWidget>(main(), "ListBox3"))[5], "");
    feed(reply(0x37, 0x86, {4, 1, 0xFF, 0xFF, 0xC8, 0x00, 0x03, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));
    const auto& steps = tables().sequences[4].steps;
    EXPECT_EQ(steps[5], -1);
    EXPECT_EQ(steps[6], 200);
    EXPECT_EQ(steps[7], 3);
}

TEST_F(ListRepliesTest, SystemReplySelectsTheDiskConfigurationAndEnablesRetrieve) {
    Bytes sys = blankReply(0x33, 0x01, 26);
    sys[4] = 0x01;
    sys[23] = 0x05;
    fixSum(sys);
    feed(sys);
    EXPECT_EQ(control<RadioGroup>(main(), "RadioGroup2")->itemIndex(), 1);
    EXPECT_EQ(tables().recordedFileCount, 5);
    EXPECT_TRUE(control<QPushButton>(main(), "Button6")->isEnabled());
}

TEST_F(ListRepliesTest, MalformedRepliesChangeNothing) {
    const auto before = [&] {
        return std::make_tuple(lines(control<QListWidget>(main(), "ListBox4")), lines(control<QListWidget>(main(), "ListBox1")),
                               lines(control<QListWidget>(main(), "ListBox2")), lines(control<QListWidget>(main(), "ListBox3")),
                               tables().cueCount, tables().clipCount,
                               control<QLabel>(main(), "Label4")->text(), tables().sequences[15].steps);
    };
    const auto snapshot = before();
    Bytes badSum = cue(1, true, {1, 2, 3, 4}, "X");
    badSum.back() += 1;
    Bytes shortClip = clip(1, true, "X");
    shortClip.erase(shortClip.begin() + 20);
    fixSum(shortClip);
    const Bytes statusFromElsewhere = status({{5, 0x01}});
    for (const Bytes& d : {badSum, shortClip, cue(512, true, {}, "X"), clip(700, true, "X"),
                           reply(0x37, 0x82, {0x00, 0x00}), reply(0x37, 0x85, {16, 1, 1}),
                           reply(0x37, 0x86, {15, 26, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}), reply(0x37, 0xEE, {1, 2}),
                           Bytes(8192, 0x00), Bytes{0x3E}})
        feed(d);
    deck().linkForTesting().decoder().decode(statusFromElsewhere, Sender{"127.0.0.2", false}, true);
    EXPECT_EQ(before(), snapshot);
}

}  // namespace
}  // namespace qz7::test
