// The recorded file list: "REC" "FILES" panel (objectName "Panel9") with the list and
// "OPEN". A double-click renames or inhibits a file in "File Name Edit";
// "Last File Erase" lives in the main window's Clear menu.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace qz7 {

class Forms;
class Deck;

class FileListPanel : public QWidget {
    Q_OBJECT
public:
    FileListPanel(Deck& deck, Forms& forms, QWidget* parent);

    QListWidget* fileList;  // line k = recorded file k + 1
    QPushButton* openFileButton;

public slots:
    void openFile();
    void editSelectedFile();
    // Clear > "Last File Erase".
    void eraseLastFile();

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
