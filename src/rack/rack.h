// The rack: every configured deck on one event loop, each with its own poll
// driver, started and applied on its line. Applying a new deck list starts
// the new decks, stops the removed ones, restarts the changed ones and leaves
// the rest alone: their Deck objects are not touched, so they keep polling.
// The decks share one tick timer, so the rack wakes once a tick to send
// every deck's packet, not once per deck.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

#include "deck/deck.h"
#include "net/recorder_link.h"
#include "rack/rack_config.h"
#include "remote/operations.h"

namespace qz7 {

class Deck;
class TickClock;

class Rack : public QObject, public RemoteDecks {
    Q_OBJECT
public:
    using Log = std::function<void(const QString&)>;
    explicit Rack(LinkTiming timing = {}, Log log = {}, QObject* parent = nullptr);
    ~Rack() override;

    struct Change {
        QStringList started, stopped, restarted, kept;
    };
    // Brings the running set to decks (already checked with checkDecks).
    Change apply(const QList<DeckConfig>& decks);
    // Stops every deck.
    void shutdown();

    QStringList names() const;
    // The one timer every deck ticks on.
    const TickClock& tickClock() const { return *timing_.clock; }
    Deck* deck(const QString& name) const;

    std::vector<std::string> deckNames() const override;
    RemoteDeck* remoteDeck(const std::string& name) override;
    ViewState deckState(const std::string& name) const override;

signals:
    // A deck was made and named; it is applied right after.
    void deckStarted(qz7::Deck* deck);
    // What a subscriber of this deck sees changed (also once when it starts).
    void stateChanged(const std::string& deck, const qz7::ViewState& state);

private:
    struct Entry;
    void start(const DeckConfig& deckConfig);
    void stop(const QString& name);

    std::unique_ptr<TickClock> clock_;  // declared before the decks: they leave it first
    LinkTiming timing_;
    Log log_;
    std::map<QString, std::unique_ptr<Entry>> decks_;
};

}  // namespace qz7
