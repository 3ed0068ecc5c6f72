// One simulated recorder on one UDP address: receives requests, lets the
// Recorder answer them, and sends each reply back to where its request came from.
#pragma once

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <random>
#include <vector>

#include "recorder.h"

class QUdpSocket;

namespace qz7sim {

struct SimOptions {
    QHostAddress address{QHostAddress::LocalHost};
    quint16 port = 20000;         // 0 binds a free port (see SimServer::port())
    bool verbose = false;         // hex dump of every packet in and out, to stderr
    int dropPercent = 0;          // chance that an incoming request is ignored
    int delayMs = 0;              // replies leave this long after their request
    QString announceHost;         // empty: no discovery datagrams
    bool allowNonLoopback = false;  // announce outside 127.0.0.0/8 (private namespaces only)
    quint32 seed = 1;             // of the drop dice, so a lossy run repeats
    int stallAfterMs = -1;        // >= 0: one stall of stallMs this long after start()
    int stallMs = 2000;           // length of that stall (and of one on SIGUSR1 in qz7sim)
};

class SimServer : public QObject {
    Q_OBJECT
public:
    explicit SimServer(const Config& config = {}, const SimOptions& options = {}, QObject* parent = nullptr);
    ~SimServer() override;

    // Binds and starts announcing. False with a reason on failure.
    bool start(QString* error = nullptr);
    void stop();
    bool isRunning() const;

    QHostAddress address() const;
    quint16 port() const;  // the bound port, also when 0 was asked for

    Recorder& recorder() { return recorder_; }
    const SimOptions& options() const { return options_; }

    // Brings the Recorder's timecode up to the wall clock (done before every request).
    void syncClock();

    // Stops answering for `ms` milliseconds, as a busy recorder does: requests
    // still arrive and are held, and when the time is up every one of them is
    // answered at once, oldest first, against the recorder's state of that
    // moment. A stall while stalled ends at the later of the two ends.
    void stall(int ms);
    bool isStalled() const { return stallTimer_.isActive(); }

    quint64 requestsReceived() const { return received_; }
    quint64 requestsHeld() const { return held_; }  // by stalls, all told
    quint64 requestsDropped() const { return dropped_; }
    quint64 repliesSent() const { return sent_; }

    // Whether discovery datagrams may go to this host: 127.0.0.0/8 only, other
    // unicast IPv4 addresses only with allowNonLoopback; never broadcast.
    static bool announceAllowed(const QHostAddress& host, bool allowNonLoopback);

signals:
    void requestHandled(const QByteArray& request, int replies);
    // A stall is over and its held requests have been answered.
    void stallEnded(int answered);

private slots:
    void readPending();
    void announce();

private:
    struct Request {
        QByteArray bytes;
        QHostAddress peer;
        quint16 port = 0;
    };
    void answer(const Request& request);
    void endStall();
    void send(const QByteArray& datagram, const QHostAddress& to, quint16 port);
    void log(const char* direction, const QHostAddress& peer, quint16 port, const QByteArray& bytes) const;

    Recorder recorder_;
    SimOptions options_;
    std::unique_ptr<QUdpSocket> socket_;
    QTimer announceTimer_;
    QTimer stallTimer_;
    std::vector<Request> backlog_;  // held by the current stall, oldest first
    QHostAddress announceTo_;
    QElapsedTimer clock_;
    qint64 lastMs_ = 0;
    std::mt19937 dice_;
    quint64 received_ = 0, dropped_ = 0, sent_ = 0, held_ = 0;
};

}  // namespace qz7sim
