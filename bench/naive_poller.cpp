#include "naive_poller.h"

#include "link/poll_cycle.h"
#include "link/protocol.h"
#include "probes.h"

namespace qz7bench {

NaivePoller::NaivePoller(const QHostAddress& device, quint16 port) : device_(device), port_(port) {
    socket_.bind(QHostAddress(QHostAddress::AnyIPv4), 0);
    timer_.setInterval(20);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
}

void NaivePoller::tick() {
    ++ticks_;
    stamps_.push_back(nowNs());
    requestToggle_ ^= 1;
    const auto send = [this](const auto& bytes) {
        socket_.writeDatagram(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()), device_,
                              port_);
    };
    if (requestToggle_ == 1)
        send(qz7::PollCycle::kTimecodeRequest);
    else
        send(qz7::PollCycle::kStatusRequest);
    // The blocking receive: nothing else runs on this thread meanwhile.
    if (socket_.waitForReadyRead(33) && socket_.hasPendingDatagrams()) {
        char buffer[qz7::kMaxDatagram];
        socket_.readDatagram(buffer, sizeof buffer);
        ++replies_;
    }
}

}  // namespace qz7bench
