// The settings pages' side of the deck: reading each page back from the
// recorder and writing it, as typed values.
#pragma once

#include <QObject>

namespace qz7 {

class Deck;
class RecorderLink;

class DeckSettings : public QObject {
    Q_OBJECT
public:
    // Queues through the deck; reads the recorder's answers from the link.
    DeckSettings(Deck& deck, RecorderLink& link, QObject* parent = nullptr);

private:
    Deck& deck_;
    RecorderLink& link_;
};

}  // namespace qz7
