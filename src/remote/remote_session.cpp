#include "remote/remote_session.h"

#include "deck/deck.h"

namespace qz7 {

namespace {
Direction direction(int d) { return d < 0 ? Direction::Reverse : Direction::Forward; }
}  // namespace

RemoteSession::RemoteSession(Deck& deck, QObject* parent) : QObject(parent), deck_(deck) {
    state_.timecode = deck_.status().timecode.text();
    connect(&deck_, &Deck::timecodeChanged, this, [this](const Timecode& tc) {
        RemoteState next = state_;
        next.timecode = tc.text();
        update(next);
    });
    // Transport and number only once the recorder has reported them.
    connect(&deck_, &Deck::statusChanged, this, [this] {
        const DeckStatus& s = deck_.status();
        RemoteState next = state_;
        next.transport = s.transport;
        next.rec = s.rec ? 1 : 0;
        next.number = numberText(s.number);
        update(next);
    });
    connect(&deck_, &Deck::errorLineChanged, this, [this] {
        RemoteState next = state_;
        next.error = deck_.status().errorText;
        update(next);
    });
}

void RemoteSession::setLinkState(const std::string& link) {
    RemoteState next = state_;
    next.link = link;
    update(next);
}

void RemoteSession::update(RemoteState next) {
    if (next == state_) return;
    state_ = std::move(next);
    emit stateChanged(state_);
}

std::string RemoteSession::play(const Origin& o) { return deck_.play(o).refusal; }
std::string RemoteSession::stop(const Origin& o, bool lock) { return deck_.stop(lock, o).refusal; }
std::string RemoteSession::record(const Origin& o) { return deck_.record(o).refusal; }
std::string RemoteSession::fastForward(const Origin& o, int item) {
    return deck_.wind(Direction::Forward, item, o).refusal;
}
std::string RemoteSession::rewind(const Origin& o, int item) {
    return deck_.wind(Direction::Reverse, item, o).refusal;
}
std::string RemoteSession::slow(const Origin& o, int d, int item) {
    return deck_.slow(direction(d), item, o).refusal;
}
std::string RemoteSession::jog(const Origin& o, int d) { return deck_.jog(direction(d), o).refusal; }
std::string RemoteSession::monitorEE(const Origin& o) { return deck_.monitorEE(o).refusal; }
std::string RemoteSession::monitorPB(const Origin& o) { return deck_.monitorPB(o).refusal; }
std::string RemoteSession::openFile(const Origin& o, int n) { return deck_.openFile(n, o).refusal; }
std::string RemoteSession::openClip(const Origin& o, int n) { return deck_.openClip(n, o).refusal; }
std::string RemoteSession::openSequence(const Origin& o, int n) { return deck_.openSequence(n, o).refusal; }
std::string RemoteSession::markCue(const Origin& o) { return deck_.markCue(o).refusal; }
std::string RemoteSession::searchCue(const Origin& o, int n) { return deck_.searchCue(n, false, o).refusal; }
std::string RemoteSession::retrieve(const Origin& o) { return deck_.retrieve(o).refusal; }
std::string RemoteSession::goTo(const Origin& o, const std::string& timecode) {
    return deck_.goTo(timecode, o).refusal;
}

}  // namespace qz7
