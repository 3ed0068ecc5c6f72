#include "remote/remote_session.h"

#include "deck/deck.h"

namespace qz7 {

namespace {
Direction direction(int d) { return d < 0 ? Direction::Reverse : Direction::Forward; }
Origin from(const std::string& sender) { return Origin::osc(sender); }
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
        next.number = s.number.caption + " " + s.number.number + (s.number.marker == " " ? "" : " " + s.number.marker);
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

std::string RemoteSession::play(const std::string& s) { return deck_.play(from(s)).refusal; }
std::string RemoteSession::stop(const std::string& s, bool lock) { return deck_.stop(lock, from(s)).refusal; }
std::string RemoteSession::record(const std::string& s) { return deck_.record(from(s)).refusal; }
std::string RemoteSession::fastForward(const std::string& s, int item) {
    return deck_.wind(Direction::Forward, item, from(s)).refusal;
}
std::string RemoteSession::rewind(const std::string& s, int item) {
    return deck_.wind(Direction::Reverse, item, from(s)).refusal;
}
std::string RemoteSession::slow(const std::string& s, int d, int item) {
    return deck_.slow(direction(d), item, from(s)).refusal;
}
std::string RemoteSession::jog(const std::string& s, int d) { return deck_.jog(direction(d), from(s)).refusal; }
std::string RemoteSession::monitorEE(const std::string& s) { return deck_.monitorEE(from(s)).refusal; }
std::string RemoteSession::monitorPB(const std::string& s) { return deck_.monitorPB(from(s)).refusal; }
std::string RemoteSession::openFile(const std::string& s, int n) { return deck_.openFile(n, from(s)).refusal; }
std::string RemoteSession::openClip(const std::string& s, int n) { return deck_.openClip(n, from(s)).refusal; }
std::string RemoteSession::openSequence(const std::string& s, int n) { return deck_.openSequence(n, from(s)).refusal; }
std::string RemoteSession::markCue(const std::string& s) { return deck_.markCue(from(s)).refusal; }
std::string RemoteSession::searchCue(const std::string& s, int n) { return deck_.searchCue(n, false, from(s)).refusal; }
std::string RemoteSession::goTo(const std::string& s, const std::string& timecode) {
    return deck_.goTo(timecode, from(s)).refusal;
}

}  // namespace qz7
