#include "rack/rack.h"

#include <cstdio>

#include "deck/deck.h"
#include "deck/deck_view.h"
#include "net/link_monitor.h"
#include "net/tick_clock.h"

namespace qz7 {

struct Rack::Entry {
    DeckConfig deckConfig;
    std::unique_ptr<Deck> deck;
    std::unique_ptr<DeckTarget> target;
};

Rack::Rack(LinkTiming timing, Log log, QObject* parent)
    : QObject(parent), timing_(timing), log_(log ? std::move(log) : Log([](const QString& line) {
          std::fprintf(stderr, "qz7rack: %s\n", qPrintable(line));
      })) {
    // Every deck ticks on one timer: one wake sends all their packets.
    if (!timing_.clock) {
        clock_ = std::make_unique<TickClock>(timing_.interval);
        timing_.clock = clock_.get();
    }
}

Rack::~Rack() { shutdown(); }

Rack::Change Rack::apply(const QList<DeckConfig>& decks) {
    Change change;
    QStringList wanted;
    for (const DeckConfig& d : decks) wanted << d.name;
    for (auto it = decks_.begin(); it != decks_.end();) {
        const QString name = it->first;
        ++it;
        if (!wanted.contains(name)) {
            stop(name);
            change.stopped << name;
        }
    }
    for (const DeckConfig& d : decks) {
        auto it = decks_.find(d.name);
        if (it == decks_.end()) {
            start(d);
            change.started << d.name;
        } else if (!it->second->deckConfig.sameDeck(d)) {
            stop(d.name);
            start(d);
            change.restarted << d.name;
        } else {
            it->second->deckConfig.where = d.where;
            change.kept << d.name;
        }
    }
    return change;
}

void Rack::start(const DeckConfig& deckConfig) {
    auto e = std::make_unique<Entry>();
    e->deckConfig = deckConfig;
    e->deck = std::make_unique<Deck>(deckConfig.devices, timing_);
    e->deck->setName(deckConfig.name);
    e->target = std::make_unique<DeckTarget>(*e->deck);
    Entry* entry = e.get();
    const QString name = deckConfig.name;
    const std::string key = name.toStdString();
    // The deck's lines on stderr are the program's (Assembly::watch).
    const DeckView& view = entry->deck->view();
    connect(&view, &DeckView::changed, this, [this, key, &view](ViewState::Fields fields) {
        if (fields & ViewState::kPublished) emit stateChanged(key, view.state());
    });
    decks_[name] = std::move(e);
    emit deckStarted(entry->deck.get());
    entry->deck->start();
    entry->deck->apply(deckConfig.line, Origin::rack());
    emit stateChanged(key, entry->deck->view().state());
}

void Rack::stop(const QString& name) {
    auto it = decks_.find(name);
    if (it == decks_.end()) return;
    std::unique_ptr<Entry> e = std::move(it->second);
    decks_.erase(it);
    e->deck->shutdown();
    // The view's connections die with the deck.
    e->target.reset();
    e->deck.reset();
    log_(QStringLiteral("deck %1: stopped").arg(name));
}

void Rack::shutdown() {
    // stop() erases the entry: it gets a copy of the name, not the map's key.
    while (!decks_.empty()) stop(QString(decks_.begin()->first));
}

QStringList Rack::names() const {
    QStringList out;
    for (const auto& [name, e] : decks_) out << name;
    return out;
}

Deck* Rack::deck(const QString& name) const {
    auto it = decks_.find(name);
    return it == decks_.end() ? nullptr : it->second->deck.get();
}

std::vector<std::string> Rack::deckNames() const {
    std::vector<std::string> out;
    for (const auto& [name, e] : decks_) out.push_back(name.toStdString());
    return out;
}

RemoteDeck* Rack::remoteDeck(const std::string& name) {
    auto it = decks_.find(QString::fromStdString(name));
    return it == decks_.end() ? nullptr : it->second->target.get();
}

ViewState Rack::deckState(const std::string& name) const {
    auto it = decks_.find(QString::fromStdString(name));
    return it == decks_.end() ? ViewState{} : it->second->deck->view().state();
}

}  // namespace qz7
