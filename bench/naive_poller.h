// The poll cycle as a straight port of the original would run it: every 20 ms
// the tick sends a status request and then blocks the GUI thread in
// QUdpSocket::waitForReadyRead for up to 33 ms. It exists only to be measured
// beside the panel's own tick, which waits without blocking.
#pragma once

#include <QHostAddress>
#include <QTimer>
#include <QUdpSocket>
#include <vector>

namespace qz7bench {

class NaivePoller {
public:
    explicit NaivePoller(const QHostAddress& device, quint16 port = 20000);
    void start() { timer_.start(); }
    void stop() { timer_.stop(); }
    long long ticks() const { return ticks_; }
    long long replies() const { return replies_; }
    const std::vector<long long>& tickStamps() const { return stamps_; }
    void clear() { stamps_.clear(); }

private:
    void tick();

    QHostAddress device_;
    quint16 port_;
    QUdpSocket socket_;
    QTimer timer_;
    int requestToggle_ = 0;
    long long ticks_ = 0;
    long long replies_ = 0;
    std::vector<long long> stamps_;
};

}  // namespace qz7bench
