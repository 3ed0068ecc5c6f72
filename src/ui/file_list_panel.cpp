#include "ui/file_list_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/protocol.h"
#include "ui/file_name_dialog.h"
#include "ui/forms.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/main_window.h"
#include "ui/widgets.h"

namespace qz7 {

FileListPanel::FileListPanel(TForm1& main, QWidget* parent) : QWidget(parent), main_(main) {
    setObjectName(QStringLiteral("Panel9"));
    ListBox2 = new QListWidget(this);
    ListBox2->setObjectName(QStringLiteral("ListBox2"));
    BitBtn7 = makeButton(QStringLiteral("BitBtn7"), QStringLiteral("OPEN"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(QStringLiteral("Label_REC"), QStringLiteral("REC"), this));
    layout->addWidget(makeLabel(QStringLiteral("Label_FILES"), QStringLiteral("FILES"), this));
    layout->addWidget(ListBox2);
    layout->addWidget(BitBtn7);

    connect(BitBtn7, &QPushButton::clicked, this, &FileListPanel::BitBtn7Click);
    connect(ListBox2, &QListWidget::itemDoubleClicked, this, &FileListPanel::ListBox2DblClick);
}

// Only recorded files can be opened: lines at or past the count are blank.
void FileListPanel::BitBtn7Click() {
    const int k = selectedLine(ListBox2);
    if (k < 0 || k >= main_.tables().recordedFileCount) return;
    Packet p = Packet::frame(Group::Operate, Op::OpenFile);
    p.add16(static_cast<unsigned>(k + 1));
    p.add(0x00);
    main_.queue(p.finish());
}

void FileListPanel::ListBox2DblClick() {
    const int k = selectedLine(ListBox2);
    // A list refreshed twice holds lines past the table; they name no file.
    if (k < 0 || k >= kTableSize) return;
    FileEntry& file = main_.tables().files[static_cast<std::size_t>(k)];
    TForm3* dialog = main_.forms().form3();
    dialog->Label2->setText(QString::asprintf("%03d  ", k + 1));
    dialog->entryIndex = k;
    dialog->Edit1->setText(fromBytes(file.name));
    dialog->CheckBox1->setChecked(file.inhibit == 1);
    dialog->exec();
    if (main_.fileEditAnswer != 1) return;
    // Queued name first: the stack sends the inhibit write before it.
    main_.queue(fileNameWrite(k + 1, file.name));
    main_.queue(inhibitWrite(k + 1, file.inhibit));
    replaceLine(ListBox2, k, fileLine(k + 1, file));
    main_.fileEditAnswer = 0;
}

// Clear > "Last File Erase". The erased file's table entry keeps its name and
// flag; only its line goes blank.
void TForm1::LastFileErase2Click() {
    TForm4* dialog = forms().form4();
    dialog->Label3->setText(QString::asprintf("%03d  ", tables_.recordedFileCount));
    dialog->exec();
    if (eraseAnswer == 1 && tables_.recordedFileCount > 0) {
        queue(Packet::frame(Group::Operate, Op::EraseLastFile));
        const int erased = --tables_.recordedFileCount;
        // Before "Retrieve" the list may not hold the line yet: nothing to blank then.
        QListWidget* list = fileList_->ListBox2;
        if (erased < list->count()) replaceLine(list, erased, kBlankLine);
    }
    eraseAnswer = 0;
}

}  // namespace qz7
