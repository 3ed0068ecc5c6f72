#include "net/recorder_link.h"

#include "link/commands.h"

namespace qz7 {

RecorderLink::RecorderLink(const DevicePair& devices, LinkTiming timing, QObject* parent)
    : QObject(parent),
      devices_(devices),
      transport_(std::make_unique<UdpTransport>()),
      cycle_(stack_, *transport_),
      decoder_(*this) {
    setObjectName(QStringLiteral("RecorderLink"));
    // Both endpoints are open from the start with the known pair.
    transport_->endpoint(1).host = devices_.first;
    transport_->endpoint(2).host = devices_.second;
    cycle_.setSecondEndpointUsed(!devices_.single);
    driver_ = std::make_unique<PollDriver>(cycle_, *transport_, decoder_, timing.interval, timing.replyWait,
                                           timing.clock);
    driver_->setErrorReporter([this](const QString& message) { emit tickError(message); });
}

RecorderLink::~RecorderLink() = default;

void RecorderLink::queue(const Packet& packet) { stack_.queue(packet); }

void RecorderLink::reset() {
    cycle_.setLinkEnabled(false);
    stack_.clear();
    emit linkEnabledChanged(false);
}

void RecorderLink::apply(const QString& selectedHost, const QString& partnerHost) {
    cycle_.setLinkEnabled(true);
    for (int i : {1, 2}) {
        Endpoint& ep = transport_->endpoint(i);
        ep.host = i == 1 ? selectedHost : partnerHost;
        ep.port = kDevicePort;
        ep.broadcast = false;
    }
    cycle_.setSecondEndpointUsed(!devices_.single);
    // Told once the new hosts are in place: listeners show the selected one.
    emit linkEnabledChanged(true);
    queue(cmd::linkStart());
}

QStringList RecorderLink::targetHosts() const {
    QStringList hosts{transport_->endpoint(1).host};
    if (!devices_.single) hosts << transport_->endpoint(2).host;
    return hosts;
}

void RecorderLink::stop() {
    cycle_.setLinkEnabled(false);
    // With the link off only discovery datagrams count, from any device.
    transport_->acceptAnySender();
    emit linkEnabledChanged(false);
}

void RecorderLink::take(const Reply& reply) { emit replyReceived(reply); }

}  // namespace qz7
