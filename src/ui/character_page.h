// The "Character" page (objectName "TabSheet8"): the recorder's character overlay. There
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
    QCheckBox* diskModeBox;
    QCheckBox* remainTimeBox;
    QCheckBox* referenceBox;
    QCheckBox* fileCountBox;
    QCheckBox* qualityBox;
    QCheckBox* standardBox;
    QCheckBox* operationModeBox;
    QCheckBox* timeCodeBox;
    RadioGroup* audioLevelGroup;
    RadioGroup* insertionGroup;
    RadioGroup* sizeGroup;  // "Caharcter Size for 1080"
    // "Position"
    QPushButton* upButton;
    QPushButton* downButton;
    QPushButton* leftButton;
    QPushButton* rightButton;

public slots:
    // Any display item, level, insertion or size changed: the page goes out.
    void sendSettings();
    void moveUp();
    void moveDown();
    void moveLeft();
    void moveRight();

private:
    void sendFrom(const Origin& origin);
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
