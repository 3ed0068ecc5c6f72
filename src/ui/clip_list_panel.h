// The "CLIPS" panel (objectName "Panel6"): the clip list and "OPEN". Selecting a
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

    QListWidget* clipList;  // line k = clip k
    QPushButton* openClipButton;

signals:
    // A double-click: the " Clip" page should come to the front.
    void clipPageWanted();

public slots:
    void showSelectedClip();
    void showSelectedClipPage();
    void openClip();

private:
    Deck& deck_;
    ClipPage& clipPage_;
};

}  // namespace qz7
