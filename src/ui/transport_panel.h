// The transport panel (objectName "Panel7"): play, record, stop, wind, slow and jog, EE/PB.
// Every button queues one command; the status display shows what follows.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QComboBox;
class QPushButton;

#include "deck/origin.h"
#include "link/commands.h"

namespace qz7 {

class RadioGroup;
class Deck;

class TransportPanel : public QWidget {
    Q_OBJECT
public:
    TransportPanel(Deck& deck, QWidget* parent);

    // The speed box's item matching its text exactly, or -1 for typed text
    // that matches none.
    static int itemIndex(const QComboBox* box);

    // 1 = the arrows jog; 0 = they run slow motion at the slow speed.
    int jogMode = 0;

    // REC lit red while the recorder reports recording.
    void showRecording(bool recording);

    QPushButton* reverseButton;
    QPushButton* jogButton;
    QPushButton* varButton;
    QPushButton* forwardButton;
    QComboBox* windSpeedBox;  // "FF/RWD SPEED"
    QComboBox* slowSpeedBox;  // "SLOW SPEED"
    QPushButton* rewindButton;
    QPushButton* fastForwardButton;
    QPushButton* playButton;
    QPushButton* recordButton;
    RadioGroup* monitorGroup;  // "EE" / "PB"
    QPushButton* stopButton;
    RadioGroup* stopModeGroup;  // "LOCK" / "NORM"

public slots:
    void play();
    void record();
    void stop();
    void fastForward();
    void rewind();
    void stepForward();
    void stepReverse();
    void selectJog();
    void selectVar();
    void switchMonitor();

private:
    void showJogMode();
    void playFrom(const Origin& origin);
    void recordFrom(const Origin& origin);
    void stopFrom(const Origin& origin);
    void wind(Direction direction, const Origin& origin);
    void arrow(Direction direction);

    Deck& deck_;
};

}  // namespace qz7
