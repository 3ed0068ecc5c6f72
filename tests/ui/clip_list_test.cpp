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
        list = main().clipListPanel()->ListBox1;
        playList = main().forms().form2()->ListBox1;
    }

    void setPosition(bool start, const char* h, const char* m, const char* s, const char* f) {
        const auto fields = start ? std::array{page->MaskEdit2, page->MaskEdit3, page->MaskEdit4, page->MaskEdit5}
                                  : std::array{page->MaskEdit6, page->MaskEdit7, page->MaskEdit8, page->MaskEdit9};
        fields[0]->setText(QString::fromLatin1(h));
        fields[1]->setText(QString::fromLatin1(m));
        fields[2]->setText(QString::fromLatin1(s));
        fields[3]->setText(QString::fromLatin1(f));
    }
    QStringList start() const {
        return {maskedText(page->MaskEdit2), maskedText(page->MaskEdit3), maskedText(page->MaskEdit4),
                maskedText(page->MaskEdit5)};
    }
    QStringList stop() const {
        return {maskedText(page->MaskEdit6), maskedText(page->MaskEdit7), maskedText(page->MaskEdit8),
                maskedText(page->MaskEdit9)};
    }
    void openLine(int k) {
        clickLine(list, k);
        click(main().clipListPanel()->BitBtn15);
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
    EXPECT_EQ(maskedText(page->MaskEdit16), "007");
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"}));
    EXPECT_EQ(stop(), (QStringList{"05", "06", "07", "08"}));
    EXPECT_EQ(page->LabeledEdit2->text(), "SEVEN");

    QTest::keyClick(list, Qt::Key_Down);  // the keyboard selects and loads too
    EXPECT_EQ(maskedText(page->MaskEdit16), "008");
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(page->LabeledEdit2->text(), " ");

    ASSERT_NE(main().PageControl1()->currentIndex(), TForm1::ClipTab);
    doubleClickLine(list, 7);
    EXPECT_EQ(main().PageControl1()->currentIndex(), TForm1::ClipTab);
    EXPECT_EQ(maskedText(page->MaskEdit16), "007");
}

TEST_F(ClipListTest, InAndOutCopyTheRunningTimecode) {
    showTimecode(0x10, 0x20, 0x30, 0x15);
    click(page->BitBtn13);
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_EQ(stop(), (QStringList{"00", "00", "00", "00"}));

    showTimecode(0x11, 0x22, 0x33, 0x23);
    click(page->BitBtn16);
    EXPECT_EQ(stop(), (QStringList{"11", "22", "33", "23"}));
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, SaveStoresTheClipInBothListsAndSendsIt) {
    fillListsAsRetrieve(main());
    tables().clipCount = 5;
    page->MaskEdit16->setText(QStringLiteral("012"));
    setPosition(true, "00", "01", "02", "03");
    setPosition(false, "00", "01", "10", "00");
    page->LabeledEdit2->setText(QStringLiteral("AB"));
    click(page->BitBtn27);

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

    page->MaskEdit16->setText(QStringLiteral("003"));
    click(page->BitBtn27);
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
    page->LabeledEdit2->setText(QStringLiteral("FIELD"));

    page->MaskEdit16->setText(QStringLiteral("004"));
    click(page->BitBtn28);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{clipWritePacket(4, {0, 0, 0, 0}, {0, 0, 0, 0}, " ", 0x00)}));
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(page->LabeledEdit2->text(), " ");
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
    page->MaskEdit16->setText(QStringLiteral("002"));
    click(page->BitBtn28);
    EXPECT_EQ(t.clipCount, 4);
    takeQueued();
    openLine(2);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x52, 0x02, 0x00, 0x00})}));
    list->clearSelection();
    click(main().clipListPanel()->BitBtn15);
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, BadClipNumbersAndHalfTypedPositionsChangeNothing) {
    fillListsAsRetrieve(main());
    const int countBefore = tables().clipCount;
    const auto mainLines = lines(list);
    const auto playLines = lines(playList);
    setPosition(true, "01", "02", "03", "04");

    page->MaskEdit16->setText(QStringLiteral("512"));
    click(page->BitBtn27);
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("512")));
    ErrorBox::dismiss();
    click(page->BitBtn28);
    EXPECT_EQ(ErrorBox::shownCount(), 2);
    ErrorBox::dismiss();
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"})) << "DEL stopped before clearing the fields";

    page->MaskEdit16->setText(QStringLiteral("1"));  // shows "1__"
    click(page->BitBtn27);
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'1  ' は整数ではありません"));
    ErrorBox::dismiss();

    // A half-typed field would go out as a byte that is not BCD.
    page->MaskEdit16->setText(QStringLiteral("001"));
    page->MaskEdit3->setText(QStringLiteral("1"));
    click(page->BitBtn27);
    EXPECT_EQ(ErrorBox::shownCount(), 4);

    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().clipCount, countBefore);
    EXPECT_EQ(lines(list), mainLines);
    EXPECT_EQ(lines(playList), playLines);
}

TEST_F(ClipListTest, SaveAndDeleteCreateMissingLinesInsteadOfStoppingHalfway) {
    // Before "Retrieve" the main list is empty; "Sequence Play" has 100 lines.
    page->LabeledEdit2->setText(QStringLiteral("X"));
    page->MaskEdit16->setText(QStringLiteral("003"));
    click(page->BitBtn27);
    EXPECT_EQ(lines(list), (std::vector<std::string>{" ", " ", " ", " 003  X"}));
    EXPECT_EQ(playList->count(), 100);
    EXPECT_EQ(lines(playList)[3], " 003  X");

    page->MaskEdit16->setText(QStringLiteral("150"));
    click(page->BitBtn27);
    EXPECT_EQ(playList->count(), 151);
    EXPECT_EQ(lines(playList)[150], " 150  X");
    EXPECT_EQ(tables().clipCount, 151);

    page->MaskEdit16->setText(QStringLiteral("200"));
    click(page->BitBtn28);
    EXPECT_EQ(list->count(), 201);
    EXPECT_EQ(playList->count(), 201);
    EXPECT_EQ(lines(list)[200], " ");

    EXPECT_EQ(takeQueued().size(), 3u);
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

}  // namespace
}  // namespace qz7::test
