// The OSC endpoint: one UDP socket on the GUI thread's event loop. It drops
// datagrams from senders outside the obeyed networks, hands the rest to the
// dispatcher, and sends what the dispatcher answers. Nothing here blocks.
// The socket is Qt's rather than a liblo server's: liblo 0.31 binds every
// interface and cannot be held to 127.0.0.1. liblo decodes and encodes (the
// dispatcher matches patterns itself); no liblo thread runs.
// Status goes out at most once per deck per kStatusInterval: a burst of
// changes (a timecode with every reply of a tick) reaches the subscribers as
// its last state, so what one subscriber is sent stays bounded.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUdpSocket>
#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "remote/osc_dispatcher.h"
#include "remote/remote_options.h"

namespace qz7 {

class Deck;

class OscServer : public QObject {
    Q_OBJECT
public:
    struct Config {
        QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
        quint16 port = 0;  // 0: any free port
        QList<OscNetwork> obeyed;
        bool verbose = false;
        QString program = QStringLiteral("qz7cont");  // the prefix of its stderr lines
    };
    static Config configFrom(const RemoteOptions& options);

    // The poll cycle's tick: one status batch per deck per tick at most.
    static constexpr std::chrono::milliseconds kStatusInterval{20};

    struct Counters {
        quint64 received = 0;    // datagrams read from the socket
        quint64 notAllowed = 0;  // from a sender outside the obeyed networks
        quint64 oversized = 0;   // longer than any OSC command, dropped unread
        quint64 sendFailures = 0;
    };

    OscServer(RemoteDeck& deck, Config config, OscDispatcher::Clock clock = {}, QObject* parent = nullptr);
    // The rack: /qz7/deck/NAME/... for each of decks.
    OscServer(RemoteDecks& decks, Config config, OscDispatcher::Clock clock = {}, QObject* parent = nullptr);

    // Binds the socket. False with the reason in error when it cannot.
    bool start(QString* error);
    quint16 port() const { return socket_.localPort(); }

    // Sends the fields that changed since the last publish to the subscribers:
    // at once, or when kStatusInterval has passed since the last batch.
    void publish(const ViewState& state);
    void publish(const std::string& deck, const ViewState& state);

    const Counters& counters() const { return counters_; }
    const OscDispatcher::Counters& dispatchCounters() const { return dispatcher_.counters(); }
    std::vector<OscPeer> subscribers() { return dispatcher_.subscribers(); }

    // A deck's report of an operation ("" the panel's deck): the final one
    // to the command's sender, a not confirmed one to the subscribers too.
    // The decks behind the RemoteDecks are followed by themselves (from their
    // first publish or command on); this is for tests and other callers.
    void outcomeReported(const std::string& deck, const OutcomeReport& report);

    // Where --verbose lines go; stderr unless replaced (tests).
    void setLog(std::function<void(const QString&)> log) { log_ = std::move(log); }

signals:
    // After each batch of datagrams read; tests wait on it.
    void datagramsHandled();

private:
    void init();
    void readPending();
    void send(const std::vector<OscDatagram>& datagrams);
    void note(const QString& line, bool always = false);
    // One deck's state ("" and rack false: the panel's); sent or held.
    void offer(const std::string& deck, bool rack, const ViewState& state);
    void flush(const std::string& deck, bool rack);
    // Follows the outcome reports of the deck behind the name, once.
    void watch(const std::string& deck);

    struct Outgoing {
        std::optional<ViewState> held;  // the latest state not yet sent
        std::optional<std::chrono::steady_clock::time_point> sent;
        QTimer* timer = nullptr;
    };

    Config config_;
    QUdpSocket socket_;
    OscDispatcher::Clock clock_;
    OscDispatcher dispatcher_;
    Counters counters_;
    std::map<std::string, Outgoing> outgoing_;  // by deck
    RemoteDeck* single_ = nullptr;
    RemoteDecks* rack_ = nullptr;
    struct Watched {
        QPointer<Deck> deck;
        QMetaObject::Connection reports;
        bool followed = false;
    };
    std::map<std::string, Watched> watched_;  // by deck
    std::function<void(const QString&)> log_;
};

}  // namespace qz7
