// One view of a deck: what the OSC status, the web page and its API, and the
// event log show of it, kept in one ViewState and told with one signal that
// says which fields moved. The deck owns it; every front end reads the same.
// QtCore only.
#pragma once

#include <QObject>

#include "deck/view_state.h"

namespace qz7 {

class Deck;

class DeckView : public QObject {
    Q_OBJECT
public:
    explicit DeckView(Deck& deck, QObject* parent = nullptr);

    const ViewState& state() const { return state_; }

signals:
    // fields: the ViewState::Field bits that changed.
    void changed(qz7::ViewState::Fields fields);

private:
    void update(ViewState next);
    void followLink(ViewState& next) const;
    void followHosts(ViewState& next) const;

    Deck& deck_;
    ViewState state_;
};

}  // namespace qz7
