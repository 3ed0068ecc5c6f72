#include "deck/deck_view.h"

#include "deck/deck.h"
#include "net/link_monitor.h"

namespace qz7 {

namespace {
std::string latin1(const QString& text) { return text.toLatin1().toStdString(); }
}  // namespace

DeckView::DeckView(Deck& deck, QObject* parent) : QObject(parent), deck_(deck) {
    ViewState first;
    first.timecode = deck_.status().timecode.text();
    followLink(first);
    followHosts(first);
    state_ = std::move(first);

    const LinkMonitor& monitor = deck_.monitor();
    connect(&monitor, &LinkMonitor::changed, this, [this] {
        ViewState next = state_;
        followLink(next);
        update(std::move(next));
    });
    // Apply and Scan move where commands go.
    const auto hosts = [this] {
        ViewState next = state_;
        followHosts(next);
        followLink(next);
        update(std::move(next));
    };
    connect(&deck_, &Deck::applied, this, hosts);
    connect(&deck_, &Deck::linkEnabledChanged, this, hosts);
    connect(&deck_, &Deck::timecodeChanged, this, [this](const Timecode& tc) {
        ViewState next = state_;
        next.timecode = tc.text();
        update(std::move(next));
    });
    // Transport and number only once the recorder has reported them.
    connect(&deck_, &Deck::statusChanged, this, [this] {
        const DeckStatus& s = deck_.status();
        ViewState next = state_;
        next.transport = s.transport;
        next.rec = s.rec ? 1 : 0;
        next.number = numberText(s.number);
        update(std::move(next));
    });
    connect(&deck_, &Deck::errorLineChanged, this, [this] {
        ViewState next = state_;
        next.error = deck_.status().errorText;
        update(std::move(next));
    });
    const auto alarm = [this] {
        ViewState next = state_;
        next.alarm = deck_.alarm();
        update(std::move(next));
    };
    connect(&deck_, &Deck::alarmRaised, this, alarm);
    connect(&deck_, &Deck::alarmAcknowledged, this, alarm);
}

void DeckView::followLink(ViewState& next) const {
    const LinkMonitor& m = deck_.monitor();
    next.link = linkWord(m.state());
    next.lamp = latin1(m.lampText());
    next.lampState = lampStateWord(m.state());
}

void DeckView::followHosts(ViewState& next) const {
    next.hosts.clear();
    for (const QString& h : deck_.targetHosts()) next.hosts.push_back(latin1(h));
    // Before the first Apply: the pair as configured.
    if (next.hosts.empty()) {
        next.hosts.push_back(latin1(deck_.devices().first));
        if (!deck_.devices().single) next.hosts.push_back(latin1(deck_.devices().second));
    }
}

void DeckView::update(ViewState next) {
    const ViewState::Fields moved = next.differences(state_);
    if (moved == 0) return;
    state_ = std::move(next);
    emit changed(moved);
}

}  // namespace qz7
