// The recorded file list: "REC" "FILES" panel (Panel9) with ListBox2 and
// "OPEN". A double-click renames or inhibits a file in "File Name Edit";
// "Last File Erase" lives in the main window's Clear menu.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace qz7 {

class TForm1;

class FileListPanel : public QWidget {
    Q_OBJECT
public:
    FileListPanel(TForm1& main, QWidget* parent);

    QListWidget* ListBox2;  // line k = recorded file k + 1
    QPushButton* BitBtn7;   // "OPEN"

public slots:
    void BitBtn7Click();
    void ListBox2DblClick();

private:
    TForm1& main_;
};

}  // namespace qz7
