// The "Character" page (TabSheet8): the recorder's character overlay. There
// is no "SET": every change queues the whole page as one command.
#pragma once

#include <QWidget>
#include <array>

#include "deck/origin.h"
#include "link/settings.h"

class QCheckBox;
class QPushButton;

namespace qz7 {

class Deck;
class RadioGroup;

class CharacterPage : public QWidget {
    Q_OBJECT
public:
    CharacterPage(Deck& deck, QWidget* parent);

    // The buttons keep the position within these; an answer may set any byte.
    static constexpr int kMaxHorizontal = 40;
    static constexpr int kMaxVertical = 20;

    int horizontal() const { return horizontal_; }
    int vertical() const { return vertical_; }

    // The page as it stands: what every change sends.
    CharacterSettings value() const;

    // "Character display"
    QCheckBox* CheckBox1;   // "Disk mode"
    QCheckBox* CheckBox2;   // "Remain time"
    QCheckBox* CheckBox3;   // "Reference"
    QCheckBox* CheckBox12;  // "File count"
    QCheckBox* CheckBox13;  // "Quality"
    QCheckBox* CheckBox14;  // "Standard"
    QCheckBox* CheckBox15;  // "Operation mode"
    QCheckBox* CheckBox16;  // "Time code"
    RadioGroup* RadioGroup1;   // "Audio Level"
    RadioGroup* RadioGroup16;  // "Character insertion"
    RadioGroup* RadioGroup23;  // "Caharcter Size for 1080"
    // "Position"
    QPushButton* BitBtn19;  // "U"
    QPushButton* BitBtn23;  // "D"
    QPushButton* BitBtn24;  // "L"
    QPushButton* BitBtn29;  // "R"

public slots:
    void CheckBox1Click();
    void CheckBox2Click();
    void CheckBox3Click();
    void CheckBox12Click();
    void CheckBox13Click();
    void CheckBox14Click();
    void CheckBox15Click();
    void CheckBox16Click();
    void RadioGroup1Click();
    void RadioGroup16Click();
    void RadioGroup23Click();
    void BitBtn19Click();
    void BitBtn23Click();
    void BitBtn24Click();
    void BitBtn29Click();

private:
    void sendSettings(const Origin& origin = Origin::panel());
    // The recorder's answer: positions first, then each control in byte
    // order; every control it changes sends the page once more, as it stands
    // with the whole answer applied.
    void applyAnswer(const CharacterSettings& answer);
    void setFromAnswer(const CharacterSettings& answer);
    // The eight display items in command byte order (bytes 5 to 12).
    std::array<QCheckBox*, 8> items() const;

    Deck& deck_;
    int horizontal_ = 0;
    int vertical_ = 0;
    int deferredCommands_ = -1;  // >= 0 while an answer is applied: commands owed
};

}  // namespace qz7
