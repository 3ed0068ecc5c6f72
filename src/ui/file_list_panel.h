// The recorded file list: "REC" "FILES" panel (Panel9) with ListBox2 and
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

    QListWidget* ListBox2;  // line k = recorded file k + 1
    QPushButton* BitBtn7;   // "OPEN"

public slots:
    void BitBtn7Click();
    void ListBox2DblClick();
    // Clear > "Last File Erase".
    void LastFileErase2Click();

private:
    Deck& deck_;
    Forms& forms_;
};

}  // namespace qz7
