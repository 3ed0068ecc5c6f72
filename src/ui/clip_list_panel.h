// The "CLIPS" panel (Panel6): the clip list ListBox1 and "OPEN". Selecting a
// line loads that clip into the " Clip" page; a double-click also brings the
// page to the front.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace qz7 {

class TForm1;

class ClipListPanel : public QWidget {
    Q_OBJECT
public:
    ClipListPanel(TForm1& main, QWidget* parent);

    QListWidget* ListBox1;  // line k = clip k
    QPushButton* BitBtn15;  // "OPEN"

public slots:
    void ListBox1Click();
    void ListBox1DblClick();
    void BitBtn15Click();

private:
    TForm1& main_;
};

}  // namespace qz7
