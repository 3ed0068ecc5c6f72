// The windows over a deck of their own, polling from the start, as qz7cont
// assembles them without OSC, web or log. The deck is made before the
// windows and outlives them.
#pragma once

#include <memory>

#include "deck/deck.h"
#include "ui/forms.h"

namespace qz7::test {

struct OwnedDeck {
    std::unique_ptr<Deck> ownedDeck;
};

class StandaloneForms : private OwnedDeck, public Forms {
public:
    explicit StandaloneForms(const DevicePair& devices = DevicePair(), LinkTiming timing = {})
        : OwnedDeck{std::make_unique<Deck>(devices, timing)}, Forms(*ownedDeck) {
        ownedDeck->start();
    }
    ~StandaloneForms() override { ownedDeck->shutdown(); }
};

}  // namespace qz7::test
