#include "rack/rack.h"

#include <cstdio>

#include "deck/deck.h"
#include "net/link_monitor.h"
#include "net/tick_clock.h"
#include "remote/remote_session.h"

namespace qz7 {

struct Rack::Entry {
    DeckConfig deckConfig;
    std::unique_ptr<Deck> deck;
    std::unique_ptr<RemoteSession> session;
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
    e->session = std::make_unique<RemoteSession>(*e->deck);
    Entry* entry = e.get();
    const QString name = deckConfig.name;
    const std::string key = name.toStdString();
    // The deck's lines on stderr are the program's (Assembly::watch).
    const LinkMonitor& monitor = entry->deck->monitor();
    connect(&monitor, &LinkMonitor::changed, this,
            [entry, &monitor] { entry->session->setLinkState(LinkMonitor::remoteWord(monitor.state())); });
    connect(entry->session.get(), &RemoteSession::stateChanged, this,
            [this, key](const RemoteState& state) { emit stateChanged(key, state); });
    decks_[name] = std::move(e);
    emit deckStarted(entry->deck.get());
    entry->deck->start();
    entry->deck->apply(deckConfig.line, Origin::rack());
    emit stateChanged(key, entry->session->state());
}

void Rack::stop(const QString& name) {
    auto it = decks_.find(name);
    if (it == decks_.end()) return;
    std::unique_ptr<Entry> e = std::move(it->second);
    decks_.erase(it);
    e->deck->shutdown();
    // The session's connections die with the deck; the deck's last signals
    // may still reach the session.
    e->deck.reset();
    e->session.reset();
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

RemoteActions* Rack::deckActions(const std::string& name) {
    auto it = decks_.find(QString::fromStdString(name));
    return it == decks_.end() ? nullptr : it->second->session.get();
}

RemoteState Rack::deckState(const std::string& name) const {
    auto it = decks_.find(QString::fromStdString(name));
    return it == decks_.end() ? RemoteState{} : it->second->session->state();
}

}  // namespace qz7
