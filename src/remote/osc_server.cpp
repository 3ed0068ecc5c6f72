#include "remote/osc_server.h"

#include <QNetworkDatagram>
#include <algorithm>
#include <cstdio>
#include <exception>

#include "deck/deck.h"

namespace qz7 {

namespace {
// Datagrams read per wake-up: a flood waits in the socket's queue while the
// window and the poll cycle get their turn.
constexpr int kBatch = 64;

OscDispatcher::Clock steadyOr(OscDispatcher::Clock clock) {
    return clock ? std::move(clock) : OscDispatcher::Clock([] { return std::chrono::steady_clock::now(); });
}
}  // namespace

OscServer::Config OscServer::configFrom(const RemoteOptions& options) {
    Config c;
    c.bind = options.bind;
    c.port = options.port;
    c.obeyed = options.obeyedNetworks();
    c.verbose = options.verbose;
    return c;
}

OscServer::OscServer(RemoteDeck& deck, Config config, OscDispatcher::Clock clock, QObject* parent)
    : QObject(parent), config_(std::move(config)), socket_(this), clock_(steadyOr(std::move(clock))), dispatcher_(deck, clock_),
      single_(&deck) {
    init();
}

OscServer::OscServer(RemoteDecks& decks, Config config, OscDispatcher::Clock clock, QObject* parent)
    : QObject(parent), config_(std::move(config)), socket_(this), clock_(steadyOr(std::move(clock))), dispatcher_(decks, clock_),
      rack_(&decks) {
    init();
}

void OscServer::init() {
    socket_.setObjectName(QStringLiteral("OscSocket"));
    connect(&socket_, &QUdpSocket::readyRead, this, &OscServer::readPending);
    if (single_) watch({});
}

void OscServer::watch(const std::string& name) {
    RemoteDeck* target = rack_ ? rack_->remoteDeck(name) : single_;
    Deck* deck = target ? target->deck() : nullptr;
    Watched& w = watched_[name];
    if (deck == nullptr || w.deck == deck) return;
    // A deck of that name made again (a rack reload, which publishes the new
    // deck before any command reaches it): the old one's owed outcomes went
    // with it.
    if (w.followed) {
        disconnect(w.reports);
        dispatcher_.forgetDeck(name);
    }
    w.followed = true;
    w.deck = deck;
    w.reports = connect(deck, &Deck::outcomeReported, this,
                        [this, name](const OutcomeReport& r) { outcomeReported(name, r); });
}

void OscServer::outcomeReported(const std::string& deck, const OutcomeReport& report) {
    // A slot: nothing may escape into Qt's frames.
    try {
        send(dispatcher_.outcome(deck, report));
    } catch (const std::exception& e) {
        note(QStringLiteral("error while reporting an outcome: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        note(QStringLiteral("error while reporting an outcome"));
    }
}

bool OscServer::start(QString* error) {
    if (!socket_.bind(config_.bind, config_.port)) {
        if (error)
            *error = QStringLiteral("cannot listen for OSC on %1:%2: %3")
                         .arg(config_.bind.toString())
                         .arg(config_.port)
                         .arg(socket_.errorString());
        return false;
    }
    // Always said: with port 0 this is the only way to learn the port.
    note(QStringLiteral("listening on %1:%2, obeying %3")
             .arg(config_.bind.toString())
             .arg(socket_.localPort())
             .arg(networksText(config_.obeyed)),
         true);
    return true;
}

void OscServer::readPending() {
    // A slot: nothing may escape into Qt's frames.
    try {
        for (int n = 0; n < kBatch && socket_.hasPendingDatagrams(); ++n) {
            // One byte more than the dispatcher takes, so a longer datagram shows.
            const QNetworkDatagram d = socket_.receiveDatagram(OscDispatcher::kMaxDatagram + 1);
            if (!d.isValid()) break;
            ++counters_.received;
            bool v4 = false;
            const quint32 ip = d.senderAddress().toIPv4Address(&v4);
            const QHostAddress sender = v4 ? QHostAddress(ip) : d.senderAddress();
            const OscPeer from{sender.toString().toStdString(), static_cast<std::uint16_t>(d.senderPort())};
            if (!insideNetworks(sender, config_.obeyed)) {
                ++counters_.notAllowed;
                note(QStringLiteral("dropped a datagram from %1:%2, outside %3 (%4 so far)")
                         .arg(sender.toString())
                         .arg(d.senderPort())
                         .arg(networksText(config_.obeyed))
                         .arg(counters_.notAllowed));
                continue;
            }
            if (static_cast<std::size_t>(d.data().size()) > OscDispatcher::kMaxDatagram) {
                ++counters_.oversized;
                note(QStringLiteral("dropped an oversized datagram from %1:%2 (%3 so far)")
                         .arg(sender.toString())
                         .arg(d.senderPort())
                         .arg(counters_.oversized));
                continue;
            }
            const QByteArray bytes = d.data();
            const auto replies = dispatcher_.handle(
                {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())},
                from);
            note(QString::fromStdString(dispatcher_.lastOutcome()));
            send(replies);
            for (const std::string& deck : dispatcher_.commanded()) watch(deck);
        }
    } catch (const std::exception& e) {
        note(QStringLiteral("error while reading: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        note(QStringLiteral("error while reading"));
    }
    emit datagramsHandled();
}

void OscServer::publish(const std::string& deck, const ViewState& state) {
    watch(deck);
    offer(deck, true, state);
}

void OscServer::publish(const ViewState& state) { offer({}, false, state); }

void OscServer::offer(const std::string& deck, bool rack, const ViewState& state) {
    try {
        Outgoing& o = outgoing_[deck];
        if (o.timer == nullptr) {
            o.timer = new QTimer(this);
            o.timer->setSingleShot(true);
            connect(o.timer, &QTimer::timeout, this, [this, deck, rack] { flush(deck, rack); });
        }
        const auto now = clock_();
        if (!o.timer->isActive() && (!o.sent || now - *o.sent >= kStatusInterval)) {
            o.sent = now;
            send(rack ? dispatcher_.publish(deck, state) : dispatcher_.publish(state));
            return;
        }
        o.held = state;
        if (!o.timer->isActive()) {
            using std::chrono::milliseconds;
            const auto since = o.sent ? std::chrono::duration_cast<milliseconds>(now - *o.sent) : milliseconds(0);
            o.timer->start(std::clamp(kStatusInterval - since, milliseconds(1), kStatusInterval));
        }
    } catch (const std::exception& e) {
        note(QStringLiteral("error while publishing: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        note(QStringLiteral("error while publishing"));
    }
}

// A timer's slot: nothing may escape into Qt's frames.
void OscServer::flush(const std::string& deck, bool rack) {
    try {
        auto it = outgoing_.find(deck);
        if (it == outgoing_.end() || !it->second.held) return;
        const ViewState state = std::move(*it->second.held);
        it->second.held.reset();
        it->second.sent = clock_();
        send(rack ? dispatcher_.publish(deck, state) : dispatcher_.publish(state));
    } catch (const std::exception& e) {
        note(QStringLiteral("error while publishing: %1").arg(QString::fromUtf8(e.what())));
    } catch (...) {
        note(QStringLiteral("error while publishing"));
    }
}

// Replies go out from the listening socket, so a client sees them come from
// the port it sends to.
void OscServer::send(const std::vector<OscDatagram>& datagrams) {
    for (const OscDatagram& d : datagrams) {
        if (d.bytes.empty()) continue;
        const QHostAddress to(QString::fromStdString(d.to.host));
        const qint64 sent = socket_.writeDatagram(reinterpret_cast<const char*>(d.bytes.data()),
                                                  static_cast<qint64>(d.bytes.size()), to, d.to.port);
        if (sent < 0) {
            ++counters_.sendFailures;
            note(QStringLiteral("could not send to %1:%2: %3")
                     .arg(QString::fromStdString(d.to.host))
                     .arg(d.to.port)
                     .arg(socket_.errorString()));
        }
    }
}

void OscServer::note(const QString& line, bool always) {
    if (!config_.verbose && !always) return;
    if (log_)
        log_(line);
    else
        std::fprintf(stderr, "%s: osc: %s\n", qPrintable(config_.program), qPrintable(line));
}

}  // namespace qz7
