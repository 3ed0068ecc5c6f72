// Clip list and the " Clip" page: loading a clip, IN/OUT, SAVE, DEL, OPEN.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/clip_page.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class ClipListTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        page = main().clipPage();
        list = main().clipListPanel()->clipList;
        playList = main().forms().scheduleWindow()->clipList;
    }

    void setPosition(bool start, const char* h, const char* m, const char* s, const char* f) {
        const auto fields = start ? std::array{page->startHoursEdit, page->startMinutesEdit, page->startSecondsEdit, page->startFramesEdit}
                                  : std::array{page->stopHoursEdit, page->stopMinutesEdit, page->stopSecondsEdit, page->stopFramesEdit};
        fields[0]->setText(QString::fromLatin1(h));
        fields[1]->setText(QString::fromLatin1(m));
        fields[2]->setText(QString::fromLatin1(s));
        fields[3]->setText(QString::fromLatin1(f));
    }
    QStringList start() const {
        return {maskedText(page->startHoursEdit), maskedText(page->startMinutesEdit), maskedText(page->startSecondsEdit),
                maskedText(page->startFramesEdit)};
    }
    QStringList stop() const {
        return {maskedText(page->stopHoursEdit), maskedText(page->stopMinutesEdit), maskedText(page->stopSecondsEdit),
                maskedText(page->stopFramesEdit)};
    }
    void openLine(int k) {
        clickLine(list, k);
        click(main().clipListPanel()->openClipButton);
    }

    // 0x81 as transmitted; positions are position bytes (frames first).
    static Bytes clipWritePacket(int clip, const Bytes& in, const Bytes& out, const std::string& name,
                                 std::uint8_t flag) {
        Bytes b{0x3E, 0x2B, 0x34, 0x81, static_cast<std::uint8_t>(clip), static_cast<std::uint8_t>(clip >> 8)};
        b.insert(b.end(), in.begin(), in.end());
        b.insert(b.end(), out.begin(), out.end());
        Bytes field(32, 0x00);
        std::copy(name.begin(), name.end(), field.begin());
        b.insert(b.end(), field.begin(), field.end());
        b.push_back(flag);
        return sent(b);
    }

    ClipPage* page = nullptr;
    QListWidget* list = nullptr;
    QListWidget* playList = nullptr;
};

TEST_F(ClipListTest, SelectingALineLoadsTheClipAndDoubleClickShowsThePage) {
    fillListsAsRetrieve(main());
    ClipEntry& seven = tables().clips[7];
    seven.in = Timecode{"01", "02", "03", "04"};
    seven.out = Timecode{"05", "06", "07", "08"};
    seven.name = "SEVEN";

    clickLine(list, 7);
    EXPECT_EQ(maskedText(page->clipNumberEdit), "007");
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"}));
    EXPECT_EQ(stop(), (QStringList{"05", "06", "07", "08"}));
    EXPECT_EQ(page->clipNameEdit->text(), "SEVEN");

    QTest::keyClick(list, Qt::Key_Down);  // the keyboard selects and loads too
    EXPECT_EQ(maskedText(page->clipNumberEdit), "008");
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(page->clipNameEdit->text(), " ");

    ASSERT_NE(main().pages()->currentIndex(), MainWindow::ClipTab);
    doubleClickLine(list, 7);
    EXPECT_EQ(main().pages()->currentIndex(), MainWindow::ClipTab);
    EXPECT_EQ(maskedText(page->clipNumberEdit), "007");
}

TEST_F(ClipListTest, InAndOutCopyTheRunningTimecode) {
    showTimecode(0x10, 0x20, 0x30, 0x15);
    click(page->inButton);
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_EQ(stop(), (QStringList{"00", "00", "00", "00"}));

    showTimecode(0x11, 0x22, 0x33, 0x23);
    click(page->outButton);
    EXPECT_EQ(stop(), (QStringList{"11", "22", "33", "23"}));
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, SaveStoresTheClipInBothListsAndSendsIt) {
    fillListsAsRetrieve(main());
    tables().clipCount = 5;
    page->clipNumberEdit->setText(QStringLiteral("012"));
    setPosition(true, "00", "01", "02", "03");
    setPosition(false, "00", "01", "10", "00");
    page->clipNameEdit->setText(QStringLiteral("AB"));
    click(page->saveClipButton);

    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{clipWritePacket(12, {0x03, 0x02, 0x01, 0x00}, {0x00, 0x10, 0x01, 0x00},
                                                                 "AB", 0x01)}));
    const ClipEntry& e = tables().clips[12];
    EXPECT_EQ(e.in, (Timecode{"00", "01", "02", "03"}));
    EXPECT_EQ(e.out, (Timecode{"00", "01", "10", "00"}));
    EXPECT_EQ(e.name, "AB");
    EXPECT_EQ(lines(list)[12], " 012  AB");
    EXPECT_EQ(lines(playList)[12], " 012  AB");
    EXPECT_EQ(tables().clipCount, 13);
    EXPECT_EQ(start(), (QStringList{"00", "01", "02", "03"})) << "saving keeps the fields";

    page->clipNumberEdit->setText(QStringLiteral("003"));
    click(page->saveClipButton);
    EXPECT_EQ(tables().clipCount, 13) << "a clip below the count leaves it";
    EXPECT_EQ(lines(list)[3], " 003  AB");
}

TEST_F(ClipListTest, DeleteBlanksTheClipAndLowersTheCountOnlyForTheLast) {
    fillListsAsRetrieve(main());
    MediaTables& t = tables();
    t.clipCount = 5;
    t.clips[4] = ClipEntry{Timecode{"01", "00", "00", "00"}, Timecode{"02", "00", "00", "00"}, "FOUR"};
    replaceLine(list, 4, clipLine(4, "FOUR"));
    replaceLine(playList, 4, clipLine(4, "FOUR"));
    setPosition(true, "09", "09", "09", "09");
    page->clipNameEdit->setText(QStringLiteral("FIELD"));

    page->clipNumberEdit->setText(QStringLiteral("004"));
    click(page->deleteClipButton);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{clipWritePacket(4, {0, 0, 0, 0}, {0, 0, 0, 0}, " ", 0x00)}));
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(page->clipNameEdit->text(), " ");
    EXPECT_EQ(t.clips[4].name, " ");
    EXPECT_EQ(t.clips[4].in, Timecode{});
    EXPECT_EQ(lines(list)[4], " ");
    EXPECT_EQ(lines(playList)[4], " ");
    EXPECT_EQ(t.clipCount, 4);

    openLine(4);
    EXPECT_TRUE(takeQueued().empty()) << "the deleted last clip can no longer be opened";
    openLine(3);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x52, 0x03, 0x00, 0x00})}));

    // A clip below the last leaves the count, so its blank line still opens.
    page->clipNumberEdit->setText(QStringLiteral("002"));
    click(page->deleteClipButton);
    EXPECT_EQ(t.clipCount, 4);
    takeQueued();
    openLine(2);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x52, 0x02, 0x00, 0x00})}));
    list->clearSelection();
    click(main().clipListPanel()->openClipButton);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, BadClipNumbersAndHalfTypedPositionsChangeNothing) {
    fillListsAsRetrieve(main());
    const int countBefore = tables().clipCount;
    const auto mainLines = lines(list);
    const auto playLines = lines(playList);
    setPosition(true, "01", "02", "03", "04");

    page->clipNumberEdit->setText(QStringLiteral("512"));
    click(page->saveClipButton);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("512")));
    ErrorBox::dismiss();
    click(page->deleteClipButton);
    EXPECT_EQ(ErrorBox::shownCount(), 2);
    ErrorBox::dismiss();
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"})) << "DEL stopped before clearing the fields";

    page->clipNumberEdit->setText(QStringLiteral("1"));  // shows "1__"
    click(page->saveClipButton);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'1  ' は整数ではありません"));
    ErrorBox::dismiss();

    // A half-typed field would go out as a byte that is not BCD.
    page->clipNumberEdit->setText(QStringLiteral("001"));
    page->startMinutesEdit->setText(QStringLiteral("1"));
    click(page->saveClipButton);
    EXPECT_EQ(ErrorBox::shownCount(), 4);

    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().clipCount, countBefore);
    EXPECT_EQ(lines(list), mainLines);
    EXPECT_EQ(lines(playList), playLines);
}

TEST_F(ClipListTest, SaveAndDeleteCreateMissingLinesInsteadOfStoppingHalfway) {
    // Before "Retrieve" the main list is empty; "Sequence Play" has 100 lines.
    page->clipNameEdit->setText(QStringLiteral("X"));
    page->clipNumberEdit->setText(QStringLiteral("003"));
    click(page->saveClipButton);
    EXPECT_EQ(lines(list), (std::vector<std::string>{" ", " ", " ", " 003  X"}));
    EXPECT_EQ(playList->count(), 100);
    EXPECT_EQ(lines(playList)[3], " 003  X");

    page->clipNumberEdit->setText(QStringLiteral("150"));
    click(page->saveClipButton);
    EXPECT_EQ(playList->count(), 151);
    EXPECT_EQ(lines(playList)[150], " 150  X");
    EXPECT_EQ(tables().clipCount, 151);

    page->clipNumberEdit->setText(QStringLiteral("200"));
    click(page->deleteClipButton);
    EXPECT_EQ(list->count(), 201);
    EXPECT_EQ(playList->count(), 201);
    EXPECT_EQ(lines(list)[200], " ");

    EXPECT_EQ(takeQueued().size(), 3u);
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

}  // namespace
}  // namespace qz7::test
