// Recorded file list: OPEN, the "File Name Edit" dialog and "Last File Erase".
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "media_list_helpers.h"
#include "ui/file_name_dialog.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/widgets.h"

namespace qz7::test {
namespace {

class FileListTest : public MediaListTest {
protected:
    void SetUp() override {
        MediaListTest::SetUp();
        fillListsAsRetrieve(main());
        list = control<QListWidget>(main(), "ListBox2");
    }

    // 0x82 for a file number, as transmitted.
    static Bytes nameWrite(int fileNumber, const std::string& name) {
        Bytes b{0x3E, 0x22, 0x34, 0x82, static_cast<std::uint8_t>(fileNumber), static_cast<std::uint8_t>(fileNumber >> 8)};
        b.insert(b.end(), name.begin(), name.end());
        b.resize(6 + 32, 0x00);
        return sent(b);
    }

    struct Shown {
        QString number, name;
        bool inhibit = false;
    };
    // Double-clicks line k and answers the dialog: OK with the given name and
    // flag, or Cancel. Returns what the dialog showed.
    Shown editLine(int k, bool ok, const QString& name = {}, bool inhibit = false) {
        Shown shown;
        whenModalShows([&](QWidget* w) {
            auto* d = qobject_cast<FileNameDialog*>(w);
            ASSERT_NE(d, nullptr);
            shown = {d->fileNumberLabel->text(), d->nameEdit->text(), d->inhibitBox->isChecked()};
            if (!ok) {
                d->nameEdit->setText(QStringLiteral("SHOULD NOT STICK"));
                click(d->cancelButton);
                return;
            }
            d->nameEdit->setText(name);
            d->inhibitBox->setChecked(inhibit);
            click(d->okButton);
        });
        doubleClickLine(list, k);
        return shown;
    }

    void eraseLastFile(bool ok, QString* shownNumber = nullptr) {
        whenModalShows([ok, shownNumber](QWidget* w) {
            auto* d = qobject_cast<LastFileEraseDialog*>(w);
            ASSERT_NE(d, nullptr);
            // Says where, as the other confirmations do.
            EXPECT_EQ(d->recordersLabel->text(), QStringLiteral("on 192.168.1.20 and 192.168.1.21"));
            if (shownNumber) *shownNumber = d->fileNumberLabel->text();
            click(ok ? d->okButton : d->cancelButton);
        });
        control<QAction>(main(), "LastFileErase2")->trigger();
    }

    QListWidget* list = nullptr;
};

TEST_F(FileListTest, OpenActsOnlyOnRecordedFiles) {
    tables().recordedFileCount = 9;
    click(control<QPushButton>(main(), "BitBtn7"));  // nothing selected
    clickLine(list, 9);
    click(control<QPushButton>(main(), "BitBtn7"));
    EXPECT_TRUE(takeQueued().empty());

    clickLine(list, 8);
    click(control<QPushButton>(main(), "BitBtn7"));
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x50, 0x09, 0x00, 0x00})}));
}

TEST_F(FileListTest, EditDialogOkWritesNameAndInhibitAndRedrawsTheLine) {
    tables().files[0].name = "OLD";
    Shown shown = editLine(0, true, QStringLiteral("NEWNAME"), true);
    EXPECT_EQ(shown.number, "001  ");
    EXPECT_EQ(shown.name, "OLD");
    EXPECT_FALSE(shown.inhibit);
    // Inhibit first on the wire: the stack sends last in first.
    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x8C, 0x01, 0x00, 0x01}), nameWrite(1, "NEWNAME")}));
    EXPECT_EQ(lines(list)[0], "001 * NEWNAME");
    EXPECT_EQ(tables().files[0].name, "NEWNAME");
    EXPECT_EQ(tables().files[0].inhibit, 1);

    // The fields are set afresh from the table on the next showing.
    shown = editLine(0, true, QStringLiteral("NEWNAME"), false);
    EXPECT_EQ(shown.name, "NEWNAME");
    EXPECT_TRUE(shown.inhibit);
    EXPECT_EQ(takeTransmitOrder(),
              (std::vector<Bytes>{sent({0x3E, 0x03, 0x34, 0x8C, 0x01, 0x00, 0x00}), nameWrite(1, "NEWNAME")}));
    EXPECT_EQ(lines(list)[0], "001   NEWNAME");
}

TEST_F(FileListTest, EditDialogCancelOrCloseChangesNothing) {
    tables().files[2] = FileEntry{"KEEP", 1};
    replaceLine(list, 2, fileLine(3, tables().files[2]));
    editLine(2, false);
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().files[2].name, "KEEP");
    EXPECT_EQ(lines(list)[2], "003 * KEEP");

    whenModalShows([](QWidget* w) { w->close(); });
    doubleClickLine(list, 2);
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(tables().files[2].name, "KEEP");
}

TEST_F(FileListTest, LinesPastTheTableOpenNoDialog) {
    fillListsAsRetrieve(main());  // "Retrieve" pressed twice: 1024 lines
    list->setCurrentRow(600);
    EXPECT_FALSE(showsDialog([&] { doubleClickLine(list, 600); }));
    EXPECT_TRUE(takeQueued().empty());
}

TEST_F(FileListTest, LastFileEraseOkErasesTheNewestFile) {
    QString number;
    eraseLastFile(true, &number);  // no files: the dialog shows, nothing goes out
    EXPECT_EQ(number, "000  ");
    EXPECT_TRUE(takeQueued().empty());

    MediaTables& t = tables();
    t.recordedFileCount = 5;
    for (int k = 0; k < 5; ++k) {
        t.files[static_cast<std::size_t>(k)].name = "F" + std::to_string(k + 1);
        replaceLine(list, k, fileLine(k + 1, t.files[static_cast<std::size_t>(k)]));
    }
    eraseLastFile(false, &number);
    EXPECT_EQ(number, "005  ");
    EXPECT_TRUE(takeQueued().empty());
    EXPECT_EQ(t.recordedFileCount, 5);

    eraseLastFile(true);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x51, 0xC3}}));
    EXPECT_EQ(t.recordedFileCount, 4);
    EXPECT_EQ(lines(list)[4], " ");
    EXPECT_EQ(lines(list)[3], "004   F4");
    EXPECT_EQ(t.files[4].name, "F5") << "only the line goes blank";

    // A new recording takes the erased number again.
    click(control<QPushButton>(main(), "BitBtn3"));
    EXPECT_EQ(lines(list)[4], "005  ");
}

TEST_F(FileListTest, LastFileEraseBeforeRetrieveErasesWithoutAnError) {
    list->clear();
    tables().recordedFileCount = 3;  // from the system reply
    eraseLastFile(true);
    EXPECT_EQ(takeQueued(), (std::vector<Bytes>{{0x3E, 0x00, 0x34, 0x51, 0xC3}}));
    EXPECT_EQ(tables().recordedFileCount, 2);
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(ErrorBox::shownCount(), 0);
}

}  // namespace
}  // namespace qz7::test
