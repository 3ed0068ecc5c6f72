// The link to the recorder pair as one object: the two endpoints, the command
// stack, the poll cycle, the reply decoder and the poll driver. The operator's
// side queues commands, applies a device and stops the link here; every
// decoded reply comes back as a typed signal. Signals are delivered directly
// on the GUI thread, inside the poll tick that read the reply.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "link/command_stack.h"
#include "link/poll_cycle.h"
#include "link/reply_decoder.h"
#include "net/device_pair.h"
#include "net/poll_driver.h"
#include "net/udp_transport.h"

namespace qz7 {

// The poll cycle's pace: the program keeps 20 ms and 33 ms; tests of data
// paths run faster.
struct LinkTiming {
    std::chrono::microseconds interval = PollDriver::kInterval;
    std::chrono::microseconds replyWait = PollDriver::kReplyWait;
    // Ticks from a clock shared with other links (then at the clock's interval).
    TickClock* clock = nullptr;
};

class RecorderLink : public QObject, private ReplySink {
    Q_OBJECT
public:
    explicit RecorderLink(const DevicePair& devices, LinkTiming timing = {}, QObject* parent = nullptr);
    ~RecorderLink() override;

    const DevicePair& devices() const { return devices_; }

    // Nothing is sent at once: the poll cycle sends the newest command on its
    // next command turn. A full stack throws LinkError and keeps every slot.
    void queue(const Packet& packet);

    // "Apply": the link on, endpoint 1 on the selected recorder, endpoint 2
    // on its partner (unused without one), then the link-start command.
    void apply(const QString& selectedHost, const QString& partnerHost);
    // "Scan": the link off until the next "Apply".
    void stop();
    bool linkEnabled() const { return cycle_.linkEnabled(); }

    // Where a command goes: the selected recorder, then its partner when there
    // is one. Before the first "Apply" that is the known pair.
    QStringList targetHosts() const;

    // Start-up state: link off, nothing queued.
    void reset();

    CommandStack& commandStack() { return stack_; }
    UdpTransport& transport() { return *transport_; }
    PollDriver& pollDriver() { return *driver_; }
    PollCycle& pollCycle() { return cycle_; }
    ReplyDecoder& decoder() { return decoder_; }

signals:
    void linkEnabledChanged(bool on);
    // An error from a poll tick (a refused send, an unreadable socket).
    void tickError(const QString& message);

    void discovered(const QString& senderAddress);
    void timecodeReceived(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours);
    void statusReceived(const qz7::StatusReply& status);
    void errorTextReceived(const std::string& text);
    void systemReceived(int diskConfiguration, int recordedFileCount);
    void cueEntryReceived(int cue, bool present, const qz7::PositionBytes& position, const std::string& name);
    void clipEntryReceived(int clip, bool present, const qz7::PositionBytes& in, const qz7::PositionBytes& out,
                           const std::string& name);
    void inhibitReceived(int fileNumber, std::uint8_t flag);
    void fileNameReceived(int fileNumber, const std::string& name);
    void sequenceHeaderReceived(int sequence, std::uint8_t blockCount, std::uint8_t entryCount);
    void sequenceBlockReceived(int sequence, int block, const std::array<std::int16_t, 5>& steps);
    // The whole datagram, at least as long as the code's answer.
    void settingsAnswerReceived(std::uint8_t code, const QByteArray& datagram);
    void characterAnswerReceived(const std::array<std::uint8_t, 16>& data);
    void prerollTimeReceived(std::uint8_t secondsByte);

private:
    void onDiscovery(const std::string& senderAddress) override;
    void onTimecode(std::uint8_t frames, std::uint8_t seconds, std::uint8_t minutes, std::uint8_t hours) override;
    void onStatus(const StatusReply& status) override;
    void onErrorText(const std::string& text) override;
    void onSystem(int diskConfiguration, int recordedFileCount) override;
    void onCueEntry(int cue, bool present, const PositionBytes& position, const std::string& name) override;
    void onClipEntry(int clip, bool present, const PositionBytes& in, const PositionBytes& out,
                     const std::string& name) override;
    void onInhibit(int fileNumber, std::uint8_t flag) override;
    void onFileName(int fileNumber, const std::string& name) override;
    void onSequenceHeader(int sequence, std::uint8_t blockCount, std::uint8_t entryCount) override;
    void onSequenceBlock(int sequence, int block, const std::array<std::int16_t, 5>& steps) override;
    void onSettingsAnswer(std::uint8_t code, std::span<const std::uint8_t> datagram) override;
    void onCharacterAnswer(const std::array<std::uint8_t, 16>& data) override;
    void onPrerollTime(std::uint8_t secondsByte) override;

    DevicePair devices_;
    CommandStack stack_;
    std::unique_ptr<UdpTransport> transport_;
    PollCycle cycle_;
    ReplyDecoder decoder_;
    std::unique_ptr<PollDriver> driver_;
};

}  // namespace qz7
