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

void RecorderLink::onDiscovery(const std::string& senderAddress) {
    emit discovered(QString::fromStdString(senderAddress));
}
void RecorderLink::onTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) {
    emit timecodeReceived(frames, seconds, minutes, hours);
}
void RecorderLink::onStatus(const StatusReply& status) { emit statusReceived(status); }
void RecorderLink::onErrorText(const std::string& text) { emit errorTextReceived(text); }
void RecorderLink::onSystem(int diskConfiguration, int recordedFileCount) {
    emit systemReceived(diskConfiguration, recordedFileCount);
}
void RecorderLink::onCueEntry(int cue, bool present, const PositionBytes& position, const std::string& name) {
    emit cueEntryReceived(cue, present, position, name);
}
void RecorderLink::onClipEntry(int clip, bool present, const PositionBytes& in, const PositionBytes& out,
                               const std::string& name) {
    emit clipEntryReceived(clip, present, in, out, name);
}
void RecorderLink::onInhibit(int fileNumber, std::uint8_t flag) { emit inhibitReceived(fileNumber, flag); }
void RecorderLink::onFileName(int fileNumber, const std::string& name) { emit fileNameReceived(fileNumber, name); }
void RecorderLink::onSequenceHeader(int sequence, std::uint8_t blockCount, std::uint8_t entryCount) {
    emit sequenceHeaderReceived(sequence, blockCount, entryCount);
}
void RecorderLink::onSequenceBlock(int sequence, int block, const std::array<std::int16_t, 5>& steps) {
    emit sequenceBlockReceived(sequence, block, steps);
}
void RecorderLink::onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> datagram) {
    emit settingsAnswerReceived(code, QByteArray(reinterpret_cast<const char*>(datagram.data()),
                                                 static_cast<qsizetype>(datagram.size())));
}
void RecorderLink::onCharacterAnswer(const std::array<std::uint8_t, 16>& data) { emit characterAnswerReceived(data); }
void RecorderLink::onPrerollTime(std::uint8_t secondsByte) { emit prerollTimeReceived(secondsByte); }

}  // namespace qz7
