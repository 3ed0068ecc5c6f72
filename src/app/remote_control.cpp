#include "app/remote_control.h"

#include "app/remote/osc_server.h"
#include "app/remote_session.h"
#include "net/link_monitor.h"
#include "net/recorder_link.h"
#include "ui/handler.h"

namespace qz7 {

namespace {
std::string linkWord(LinkMonitor::State state) {
    switch (state) {
    case LinkMonitor::State::Off: return "OFF";
    case LinkMonitor::State::Ok: return "OK";
    default: return "NO REPLY";  // waiting for the first reply, or silent
    }
}
}  // namespace

RemoteControl::RemoteControl(RecorderLink& link, MediaModel& media, LinkMonitor& monitor,
                             const RemoteOptions& options, bool requestErrorTexts, QObject* parent)
    : QObject(parent),
      monitor_(monitor),
      session_(std::make_unique<RemoteSession>(link, media, requestErrorTexts)),
      server_(std::make_unique<OscServer>(*session_, OscServer::configFrom(options))) {
    onSignal(&monitor_, &LinkMonitor::changed, this, [this] { session_->setLinkState(linkWord(monitor_.state())); });
    onSignal(session_.get(), &RemoteSession::stateChanged, this,
             [this](const RemoteState& state) { server_->publish(state); });
}

RemoteControl::~RemoteControl() = default;

bool RemoteControl::start(QString* error) {
    if (!server_->start(error)) return false;
    server_->publish(session_->state());
    return true;
}

}  // namespace qz7
