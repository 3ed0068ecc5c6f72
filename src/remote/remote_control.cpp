#include "remote/remote_control.h"

#include "deck/deck.h"
#include "deck/deck_view.h"
#include "remote/osc_server.h"

namespace qz7 {

RemoteControl::RemoteControl(Deck& deck, const RemoteOptions& options, QObject* parent)
    : QObject(parent),
      deck_(deck),
      target_(deck),
      server_(std::make_unique<OscServer>(target_, OscServer::configFrom(options))) {
    const DeckView& view = deck_.view();
    connect(&view, &DeckView::changed, this, [this, &view](ViewState::Fields fields) {
        if (fields & ViewState::kPublished) server_->publish(view.state());
    });
}

RemoteControl::~RemoteControl() = default;

bool RemoteControl::start(QString* error) {
    if (!server_->start(error)) return false;
    server_->publish(deck_.view().state());
    return true;
}

}  // namespace qz7
