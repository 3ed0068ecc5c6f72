#include "remote/remote_control.h"

#include "deck/deck.h"
#include "net/link_monitor.h"
#include "remote/osc_server.h"
#include "remote/remote_session.h"

namespace qz7 {

RemoteControl::RemoteControl(Deck& deck, const RemoteOptions& options, QObject* parent)
    : QObject(parent),
      deck_(deck),
      session_(std::make_unique<RemoteSession>(deck)),
      server_(std::make_unique<OscServer>(*session_, OscServer::configFrom(options))) {
    connect(&deck_.monitor(), &LinkMonitor::changed, this,
            [this] { session_->setLinkState(LinkMonitor::remoteWord(deck_.monitor().state())); });
    connect(session_.get(), &RemoteSession::stateChanged, this,
            [this](const RemoteState& state) { server_->publish(state); });
}

RemoteControl::~RemoteControl() = default;

bool RemoteControl::start(QString* error) {
    if (!server_->start(error)) return false;
    server_->publish(session_->state());
    return true;
}

}  // namespace qz7
