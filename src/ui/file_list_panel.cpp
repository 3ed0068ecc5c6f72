#include "ui/file_list_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "deck/deck.h"
#include "ui/confirmation_dialog.h"
#include "ui/file_name_dialog.h"
#include "ui/forms.h"
#include "ui/handler.h"
#include "ui/last_file_erase_dialog.h"
#include "ui/widgets.h"

namespace qz7 {

FileListPanel::FileListPanel(Deck& deck, Forms& forms, QWidget* parent)
    : QWidget(parent), deck_(deck), forms_(forms) {
    setObjectName(QStringLiteral("Panel9"));
    fileList = new QListWidget(this);
    fileList->setObjectName(QStringLiteral("ListBox2"));
    openFileButton = makeButton(QStringLiteral("BitBtn7"), QStringLiteral("OPEN"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(makeLabel(QStringLiteral("Label_REC"), QStringLiteral("REC"), this));
    layout->addWidget(makeLabel(QStringLiteral("Label_FILES"), QStringLiteral("FILES"), this));
    layout->addWidget(fileList);
    layout->addWidget(openFileButton);

    onSignal(openFileButton, &QPushButton::clicked, this, &FileListPanel::openFile);
    onSignal(fileList, &QListWidget::itemDoubleClicked, this, &FileListPanel::editSelectedFile);
}

// Only recorded files can be opened: lines at or past the count are blank.
void FileListPanel::openFile() {
    const int k = selectedLine(fileList);
    if (k < 0) return;
    act(deck_.openFile(k + 1, Origin::panel()));
}

void FileListPanel::editSelectedFile() {
    const int k = selectedLine(fileList);
    // A list refreshed twice holds lines past the table; they name no file.
    if (k < 0 || k >= kTableSize) return;
    const FileEntry& file = deck_.media().file(k);
    const std::optional<FileEdit> edit = forms_.fileNameDialog()->edit(k + 1, file.name, file.inhibit);
    if (!edit) return;
    act(deck_.editFile(k + 1, edit->name, edit->inhibit, Origin::panel()));
}

// The erased file's table entry keeps its name and flag; only its line goes blank.
void FileListPanel::eraseLastFile() {
    if (!forms_.lastFileEraseDialog()->confirm(deck_.media().recordedFileCount(), onHosts(deck_.targetHosts()))) return;
    act(deck_.eraseLastFile(Origin::panel()));
}

}  // namespace qz7
