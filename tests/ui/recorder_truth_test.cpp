// What the recorder reports stays what the panel shows and sends back: an
// inhibit flag other than 1, steps past a sequence's entry count, the erased
// file's line just past a short list, and a rate the Control page's field
// cannot hold.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <algorithm>

#include "media_list_helpers.h"
#include "settings_helpers.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/schedule_window.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class RecorderTruthTest : public MediaListTest {
protected:
    // File number low, high, then the name in a 32-byte zero-filled field:
    // the data of a file name reply and of the name write alike.
    static Bytes numberAndName(int fileNumber, const std::string& name) {
        Bytes b(2 + 32, 0x00);
        b[0] = static_cast<std::uint8_t>(fileNumber);
        b[1] = static_cast<std::uint8_t>(fileNumber >> 8);
        std::copy(name.begin(), name.end(), b.begin() + 2);
        return b;
    }

    void eraseLastFile() {
        whenModalShows([](QWidget* w) {
            auto* d = qobject_cast<LastFileEraseDialog*>(w);
            ASSERT_NE(d, nullptr);
            click(d->okButton);
        });
        control<QAction>(main(), "LastFileErase2")->trigger();
    }

    static const Bytes& eraseCommand() {
        static const Bytes b{0x3E, 0x00, 0x34, 0x51, 0xC3};
        return b;
    }

    void recordModeAnswer(std::uint8_t modeBits, unsigned rate) {
        feed(reply(Group::Answer, 0x70,
                   {modeBits, static_cast<std::uint8_t>(rate & 0xFF), static_cast<std::uint8_t>(rate >> 8)}));
    }
};

TEST_F(RecorderTruthTest, AnyNonzeroInhibitFlagOpensTickedAndOkWritesOne) {
    fillListsAsRetrieve(main());
    QListWidget* list = control<QListWidget>(main(), "ListBox2");
    feed(reply(Group::Answer, 0x8C, {0x03, 0x00, 0x02}));
    feed(reply(Group::Answer, 0x82, numberAndName(3, "TAKE3")));
    ASSERT_EQ(lines(list)[2], "003 * TAKE3");

    bool ticked = false;
    whenModalShows([&](QWidget* w) {
        auto* d = qobject_cast<FileNameDialog*>(w);
        ASSERT_NE(d, nullptr);
        ticked = d->inhibitBox->isChecked();
        click(d->okButton);
    });
    doubleClickLine(list, 2);
    EXPECT_TRUE(ticked);

    Bytes nameWrite{0x3E, 0x22, 0x34, 0x82};
    const Bytes data = numberAndName(3, "TAKE3");
    nameWrite.insert(nameWrite.end(), data.begin(), data.end());
    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x8C, 0x03, 0x00, 0x01}), sent(nameWrite)}));
    EXPECT_EQ(tables().files[2].inhibit, 1);
    EXPECT_EQ(lines(list)[2], "003 * TAKE3");
}

TEST_F(RecorderTruthTest, StepsPastTheEntryCountAreNotSentAgain) {
    ScheduleWindow& editor = *forms->scheduleWindow();
    tables().clipCount = 10;
    // The header says three steps; block 0 still holds two from an older version.
    feed(reply(Group::Answer, 0x85, {0x05, 0x01, 0x03}));
    feed(reply(Group::Answer, 0x86, {0x05, 0x00, 0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00, 0x05, 0x00}));

    control<QListWidget>(main(), "ListBox3")->setCurrentRow(5);
    bool ran = false;
    whenModalShows([&](QWidget*) {
        EXPECT_EQ(toBytes(editor.stepList->item(3)->text()), "  4  ");
        editor.clipList->setCurrentRow(9);
        editor.stepList->setCurrentRow(3);
        click(editor.addStepButton);  // ADD right after the last step
        click(editor.saveButton);
        ran = true;
        if (editor.isVisible()) editor.reject();
    });
    click(control<QPushButton>(main(), "BitBtn18"));
    ASSERT_TRUE(ran);

    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{withSum({0x3E, 0x0D, 0x34, 0x8A, 0x00, 0x05, 0x00,
                                           0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x09, 0x00, 0xFF, 0xFF}),
                                  withSum({0x3E, 0x0D, 0x34, 0x8A, 0x02, 0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})}));
    EXPECT_EQ(tables().sequences[5].steps[4], -1);
}

TEST_F(RecorderTruthTest, LastFileEraseAppendsTheLineJustPastTheListAndSkipsFartherOnes) {
    QListWidget* list = control<QListWidget>(main(), "ListBox2");
    list->clear();
    for (int k = 0; k < 4; ++k) list->addItem(fromBytes(recordedLine(k + 1)));

    // Five files, four lines: the erased file's line is the next one.
    tables().recordedFileCount = 5;
    eraseLastFile();
    EXPECT_EQ(takeQueued(), std::vector<Bytes>{eraseCommand()});
    EXPECT_EQ(tables().recordedFileCount, 4);
    ASSERT_EQ(list->count(), 5);
    EXPECT_EQ(lines(list)[4], " ");
    EXPECT_EQ(lines(list)[3], "004  ");

    // Seven files, five lines: line 6 is out of reach and nothing is written.
    tables().recordedFileCount = 7;
    eraseLastFile();
    EXPECT_EQ(takeQueued(), std::vector<Bytes>{eraseCommand()});
    EXPECT_EQ(tables().recordedFileCount, 6);
    EXPECT_EQ(list->count(), 5);
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

TEST_F(RecorderTruthTest, ARateTheFieldCannotHoldIsMarkedUntilAnAnswerItCanHoldOrAnEdit) {
    control<QTabWidget>(main(), "PageControl1")->setCurrentIndex(MainWindow::ControlTab);
    takeQueued();
    QLineEdit* field = control<QLineEdit>(main(), "MaskEdit11");
    const auto marked = [field] { return !field->styleSheet().isEmpty() || !field->toolTip().isEmpty(); };

    recordModeAnswer(0x04, 300);
    EXPECT_EQ(field->text(), QStringLiteral("300"));
    EXPECT_FALSE(marked());

    recordModeAnswer(0x04, 1500);
    EXPECT_EQ(field->text(), QStringLiteral("300"));
    EXPECT_FALSE(field->styleSheet().isEmpty());
    EXPECT_TRUE(field->toolTip().contains(QStringLiteral("1500"))) << field->toolTip().toStdString();

    // SET sends what the field shows, and the mark stays: nothing has read the recorder since.
    press(control<QPushButton>(main(), "Button16"));
    const auto queued = takeQueued();
    ASSERT_EQ(queued.size(), 4u);
    EXPECT_EQ(queued[1], withSum({0x3E, 0x03, 0x34, 0x70, 0x04, 0x2C, 0x01}));
    EXPECT_TRUE(marked());

    recordModeAnswer(0x00, 30);
    EXPECT_EQ(field->text(), QStringLiteral("030"));
    EXPECT_FALSE(marked());

    recordModeAnswer(0x00, 65535);
    EXPECT_TRUE(field->toolTip().contains(QStringLiteral("65535")));
    field->setFocus();
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_2);
    EXPECT_EQ(field->text(), QStringLiteral("230"));
    EXPECT_FALSE(marked());
}

}  // namespace
}  // namespace qz7::test
