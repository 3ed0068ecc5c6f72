// The "CLIPS" panel (Panel6): the clip list ListBox1 and "OPEN". Selecting a
// line loads that clip into the " Clip" page; a double-click also brings the
// page to the front.
#pragma once

#include <QWidget>

class QListWidget;
class QPushButton;

namespace qz7 {

class ClipPage;
class Deck;

class ClipListPanel : public QWidget {
    Q_OBJECT
public:
    ClipListPanel(Deck& deck, ClipPage& clipPage, QWidget* parent);

    QListWidget* ListBox1;  // line k = clip k
    QPushButton* BitBtn15;  // "OPEN"

signals:
    // A double-click: the " Clip" page should come to the front.
    void clipPageWanted();

public slots:
    void ListBox1Click();
    void ListBox1DblClick();
    void BitBtn15Click();

private:
    Deck& deck_;
    ClipPage& clipPage_;
};

}  // namespace qz7
