// Clip list and the " Clip" page: loading a clip, IN/OUT, SAVE, DEL, OPEN.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class ClipListTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        list = control<QListWidget>(main(), "ListBox1");
        playList = forms->scheduleWindow()->clipList;
    }

    // The start (IN) or stop (OUT) fields of the " Clip" page, hours first.
    std::array<QLineEdit*, 4> fields(bool start) {
        static const char* const names[2][4] = {{"MaskEdit6", "MaskEdit7", "MaskEdit8", "MaskEdit9"},
                                                {"MaskEdit2", "MaskEdit3", "MaskEdit4", "MaskEdit5"}};
        std::array<QLineEdit*, 4> out{};
        for (int i = 0; i < 4; ++i) out[i] = control<QLineEdit>(main(), names[start][i]);
        return out;
    }
    void setPosition(bool start, const char* h, const char* m, const char* s, const char* f) {
        const auto edits = fields(start);
        for (int i = 0; const char* text : {h, m, s, f}) edits[i++]->setText(QString::fromLatin1(text));
    }
    QStringList shown(bool start) {
        QStringList out;
        for (QLineEdit* e : fields(start)) out << maskedText(e);
        return out;
    }
    QStringList start() { return shown(true); }
    QStringList stop() { return shown(false); }
    void openLine(int k) {
        clickLine(list, k);
        click(control<QPushButton>(main(), "BitBtn15"));
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
    EXPECT_EQ(maskedText(control<QLineEdit>(main(), "MaskEdit16")), "007");
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"}));
    EXPECT_EQ(stop(), (QStringList{"05", "06", "07", "08"}));
    EXPECT_EQ(control<QLineEdit>(main(), "LabeledEdit2")->text(), "SEVEN");

    QTest::keyClick(list, Qt::Key_Down);  // the keyboard selects and loads too
    EXPECT_EQ(maskedText(control<QLineEdit>(main(), "MaskEdit16")), "008");
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(control<QLineEdit>(main(), "LabeledEdit2")->text(), " ");

    ASSERT_NE(control<QTabWidget>(main(), "PageControl1")->currentIndex(), MainWindow::ClipTab);
    doubleClickLine(list, 7);
    EXPECT_EQ(control<QTabWidget>(main(), "PageControl1")->currentIndex(), MainWindow::ClipTab);
    EXPECT_EQ(maskedText(control<QLineEdit>(main(), "MaskEdit16")), "007");
}

TEST_F(ClipListTest, InAndOutCopyTheRunningTimecode) {
    showTimecode(0x10, 0x20, 0x30, 0x15);
    click(control<QPushButton>(main(), "BitBtn13"));
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_EQ(stop(), (QStringList{"00", "00", "00", "00"}));

    showTimecode(0x11, 0x22, 0x33, 0x23);
    click(control<QPushButton>(main(), "BitBtn16"));
    EXPECT_EQ(stop(), (QStringList{"11", "22", "33", "23"}));
    EXPECT_EQ(start(), (QStringList{"10", "20", "30", "15"}));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, SaveStoresTheClipInBothListsAndSendsIt) {
    fillListsAsRetrieve(main());
    tables().clipCount = 5;
    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("012"));
    setPosition(true, "00", "01", "02", "03");
    setPosition(false, "00", "01", "10", "00");
    control<QLineEdit>(main(), "LabeledEdit2")->setText(QStringLiteral("AB"));
    click(control<QPushButton>(main(), "BitBtn27"));

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

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("003"));
    click(control<QPushButton>(main(), "BitBtn27"));
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
    control<QLineEdit>(main(), "LabeledEdit2")->setText(QStringLiteral("FIELD"));

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("004"));
    click(control<QPushButton>(main(), "BitBtn28"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{clipWritePacket(4, {0, 0, 0, 0}, {0, 0, 0, 0}, " ", 0x00)}));
    EXPECT_EQ(start(), (QStringList{"00", "00", "00", "00"}));
    EXPECT_EQ(control<QLineEdit>(main(), "LabeledEdit2")->text(), " ");
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
    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("002"));
    click(control<QPushButton>(main(), "BitBtn28"));
    EXPECT_EQ(t.clipCount, 4);
    takeQueued();
    openLine(2);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x52, 0x02, 0x00, 0x00})}));
    list->clearSelection();
    click(control<QPushButton>(main(), "BitBtn15"));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(ClipListTest, BadClipNumbersAndHalfTypedPositionsChangeNothing) {
    fillListsAsRetrieve(main());
    const int countBefore = tables().clipCount;
    const auto mainLines = lines(list);
    const auto playLines = lines(playList);
    setPosition(true, "01", "02", "03", "04");

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("512"));
    click(control<QPushButton>(main(), "BitBtn27"));
    EXPECT_EQ(ErrorBox::shownCount(), 1);
    EXPECT_TRUE(ErrorBox::lastMessage().contains(QStringLiteral("512")));
    ErrorBox::dismiss();
    click(control<QPushButton>(main(), "BitBtn28"));
    EXPECT_EQ(ErrorBox::shownCount(), 2);
    ErrorBox::dismiss();
    EXPECT_EQ(start(), (QStringList{"01", "02", "03", "04"})) << "DEL stopped before clearing the fields";

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("1"));  // shows "1__"
    click(control<QPushButton>(main(), "BitBtn27"));
    EXPECT_EQ(ErrorBox::lastMessage(), QStringLiteral("'1  ' は整数ではありません"));
    ErrorBox::dismiss();

    // A half-typed field would go out as a byte that is not BCD.
    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("001"));
    control<QLineEdit>(main(), "MaskEdit3")->setText(QStringLiteral("1"));
    click(control<QPushButton>(main(), "BitBtn27"));
    EXPECT_EQ(ErrorBox::shownCount(), 4);

    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().clipCount, countBefore);
    EXPECT_EQ(lines(list), mainLines);
    EXPECT_EQ(lines(playList), playLines);
}

TEST_F(ClipListTest, SaveAndDeleteCreateMissingLinesInsteadOfStoppingHalfway) {
    // Before "Retrieve" the main list is empty; "Sequence Play" has 100 lines.
    control<QLineEdit>(main(), "LabeledEdit2")->setText(QStringLiteral("X"));
    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("003"));
    click(control<QPushButton>(main(), "BitBtn27"));
    EXPECT_EQ(lines(list), (std::vector<std::string>{" ", " ", " ", " 003  X"}));
    EXPECT_EQ(playList->count(), 100);
    EXPECT_EQ(lines(playList)[3], " 003  X");

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("150"));
    click(control<QPushButton>(main(), "BitBtn27"));
    EXPECT_EQ(playList->count(), 151);
    EXPECT_EQ(lines(playList)[150], " 150  X");
    EXPECT_EQ(tables().clipCount, 151);

    control<QLineEdit>(main(), "MaskEdit16")->setText(QStringLiteral("200"));
    click(control<QPushButton>(main(), "BitBtn28"));
    EXPECT_EQ(list->count(), 201);
    EXPECT_EQ(playList->count(), 201);
    EXPECT_EQ(lines(list)[200], " ");

    EXPECT_EQ(takeQueued().size(), 3u);
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

}  // namespace
}  // namespace qz7::test
