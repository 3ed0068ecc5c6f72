// The link to the recorder pair as one object: the two endpoints, the command
// stack, the poll cycle, the reply decoder and the poll driver. The operator's
// side queues commands, applies a device and stops the link here; every
// decoded reply comes back as one typed value (replyReceived). Signals are
// delivered directly on the GUI thread, inside the poll tick that read the reply.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

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

    // Every reply the decoder took, one typed value each, oldest first.
    void replyReceived(const qz7::Reply& reply);

private:
    void take(const Reply& reply) override;

    DevicePair devices_;
    CommandStack stack_;
    std::unique_ptr<UdpTransport> transport_;
    PollCycle cycle_;
    ReplyDecoder decoder_;
    std::unique_ptr<PollDriver> driver_;
};

}  // namespace qz7
