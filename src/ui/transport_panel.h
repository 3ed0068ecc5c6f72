// The transport panel (Panel7): play, record, stop, wind, slow and jog, EE/PB.
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

    QPushButton* BitBtn9;      // reverse arrow
    QPushButton* BitBtn11;     // Jog
    QPushButton* BitBtn4;      // Var
    QPushButton* BitBtn10;     // forward arrow
    QComboBox* ComboBox3;      // "FF/RWD SPEED"
    QComboBox* ComboBox4;      // "SLOW SPEED"
    QPushButton* BitBtn6;      // rewind
    QPushButton* BitBtn5;      // fast forward
    QPushButton* BitBtn1;      // play
    QPushButton* BitBtn3;      // record
    RadioGroup* RadioGroup18;  // "EE" / "PB"
    QPushButton* BitBtn2;      // stop
    RadioGroup* RadioGroup19;  // "LOCK" / "NORM"

public slots:
    void BitBtn1Click();   // PLAY
    void BitBtn3Click();   // REC
    void BitBtn2Click();   // STOP
    void BitBtn5Click();   // FF
    void BitBtn6Click();   // REW
    void BitBtn10Click();  // forward arrow
    void BitBtn9Click();   // reverse arrow
    void BitBtn11Click();  // Jog
    void BitBtn4Click();   // Var
    void RadioGroup18Click();

private:
    void showJogMode();
    void play(const Origin& origin);
    void record(const Origin& origin);
    void stop(const Origin& origin);
    void wind(Direction direction, const Origin& origin);
    void arrow(Direction direction);

    Deck& deck_;
};

}  // namespace qz7
