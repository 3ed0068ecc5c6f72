#include "deck/deck_settings.h"

#include "deck/deck.h"

namespace qz7 {

DeckSettings::DeckSettings(Deck& deck, RecorderLink& link, QObject* parent)
    : QObject(parent), deck_(deck), link_(link) {}

}  // namespace qz7
