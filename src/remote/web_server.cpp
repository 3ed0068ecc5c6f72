#include "remote/web_server.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <cstdio>

#include "deck/deck.h"
#include "deck/deck_view.h"
#include "log/event_log.h"
#include "log/event_sentence.h"
#include "remote/metrics.h"
#include "remote/operations.h"
#include "remote/web_downloads.h"

// Resources of a static library are registered by hand.
static void initWebPage() { Q_INIT_RESOURCE(web_page); }

namespace qz7 {

namespace {

constexpr int kMaxHeaders = 64;
const QByteArray kCookie = "qz7session";

const char* reasonPhrase(int status) {
    switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 409: return "Conflict";
    case 413: return "Content Too Large";
    case 415: return "Unsupported Media Type";
    case 429: return "Too Many Requests";
    case 431: return "Request Header Fields Too Large";
    case 501: return "Not Implemented";
    case 503: return "Service Unavailable";
    case 504: return "Gateway Timeout";
    default: return "Error";
    }
}

// An IPv4 client seen through an IPv6 socket is shown as its IPv4 address.
QHostAddress plain(const QHostAddress& a) {
    bool v4 = false;
    const quint32 ip = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip) : a;
}

// What the limits count as one client: an IPv4 address, or an IPv6 /64 (one
// host may hold a whole /64).
QString clientKey(const QHostAddress& address) {
    const QHostAddress a = plain(address);
    if (a.protocol() != QAbstractSocket::IPv6Protocol) return a.toString();
    Q_IPV6ADDR bytes = a.toIPv6Address();
    for (int i = 8; i < 16; ++i) bytes[i] = 0;
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

QString latin1(const std::string& bytes) { return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// Equal without telling, by its time, how much of a guess was right.
bool sameSecret(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size()) return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

const char* kindName(MediaList list) {
    switch (list) {
    case MediaList::Files: return "files";
    case MediaList::Clips: return "clips";
    default: return "cues";
    }
}

constexpr MediaList kShownLists[] = {MediaList::Files, MediaList::Clips, MediaList::Cues};

std::size_t listSlot(MediaList list) { return list == MediaList::Files ? 0 : list == MediaList::Clips ? 1 : 2; }

// "filled=1" among the query's parameters.
bool queryFlag(const QByteArray& query, const QByteArray& name) {
    for (const QByteArray& part : query.split('&'))
        if (part == name + "=1") return true;
    return false;
}

// A JSON value as a command argument; false for what no argument can be.
bool commandValue(const QJsonValue& v, CommandValue& out) {
    if (v.isDouble()) {
        out = v.toDouble();
        return true;
    }
    if (v.isString()) {
        out = v.toString().toStdString();
        return true;
    }
    return false;
}

}  // namespace

struct WebServer::Request {
    QByteArray method;
    QByteArray path;
    QByteArray query;  // after '?'
    std::map<QByteArray, QByteArray> headers;  // names in lower case
    QByteArray body;

    QByteArray header(const QByteArray& name) const {
        auto it = headers.find(name);
        return it == headers.end() ? QByteArray() : it->second;
    }
    bool has(const QByteArray& name) const { return headers.count(name) != 0; }
};

struct WebServer::DeckEntry {
    QString name;
    QPointer<Deck> deck;
    std::unique_ptr<DeckTarget> target;
    bool stateDirty = false;
    std::array<bool, 3> listDirty{};
    std::array<QTimer*, 3> listTimer{};
    std::vector<QMetaObject::Connection> connections;

    ~DeckEntry() {
        for (const auto& c : connections) QObject::disconnect(c);
        for (QTimer* t : listTimer) delete t;
    }
};

WebServer::Config WebServer::configFrom(const WebOptions& options, const QString& token) {
    Config c;
    c.bind = options.bind;
    c.port = options.port;
    c.served = options.servedNetworks();
    c.token = token;
    c.tokenFile = options.tokenFile;
    c.hosts = options.hosts;
    return c;
}

WebServer::WebServer(Config config, QObject* parent)
    : QObject(parent),
      config_(std::move(config)),
      ws_(std::make_unique<QWebSocketServer>(QStringLiteral("qz7"), QWebSocketServer::NonSecureMode)) {
    initWebPage();
    server_.setMaxPendingConnections(kMaxRequests);
    ws_->setMaxPendingConnections(kMaxClients);
    ws_->setHandshakeTimeout(kRequestTimeoutMs);
    connect(&server_, &QTcpServer::newConnection, this, &WebServer::onNewConnection);
    connect(ws_.get(), &QWebSocketServer::newConnection, this, &WebServer::onWebSocket);
    clock_.start();
    pingTimer_.setInterval(config_.pingIntervalMs);
    connect(&pingTimer_, &QTimer::timeout, this, &WebServer::pingClients);
    watchTokenFile();
}

WebServer::~WebServer() {
    for (auto& [socket, reading] : reading_) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
    reading_.clear();
    for (auto& [socket, handover] : handshaking_) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    handshaking_.clear();
    for (Client& c : clients_) {
        c.socket->disconnect(this);
        c.socket->abort();
        delete c.socket;
        delete c.tcp.data();
    }
    clients_.clear();
    decks_.clear();
}

bool WebServer::start(QString* error) {
    if (!server_.listen(config_.bind, config_.port)) {
        if (error)
            *error = QStringLiteral("cannot listen on TCP %1:%2: %3")
                         .arg(config_.bind.toString())
                         .arg(config_.port)
                         .arg(server_.errorString());
        return false;
    }
    return true;
}

quint16 WebServer::port() const { return server_.serverPort(); }
QHostAddress WebServer::address() const { return server_.serverAddress(); }

// --- decks

WebServer::DeckEntry* WebServer::entry(const QString& name) const {
    auto it = decks_.find(name);
    return it == decks_.end() || !it->second->deck ? nullptr : it->second.get();
}

QStringList WebServer::deckNames() const {
    QStringList out;
    for (const auto& [name, e] : decks_) out << name;
    return out;
}

QJsonArray WebServer::deckNameArray() const { return QJsonArray::fromStringList(deckNames()); }

void WebServer::setDecks(const QList<Deck*>& decks) {
    QStringList wanted;
    for (Deck* d : decks) wanted << d->name();
    std::vector<QString> gone;
    for (const auto& [name, e] : decks_)
        if (!wanted.contains(name) || !e->deck || !decks.contains(e->deck.data())) gone.push_back(name);
    for (const QString& name : gone) {
        decks_.erase(name);
        forgetDeck(name);
    }

    std::vector<DeckEntry*> added;
    for (Deck* d : decks) {
        if (decks_.count(d->name())) continue;
        auto e = std::make_unique<DeckEntry>();
        DeckEntry* raw = e.get();
        e->name = d->name();
        e->deck = d;
        e->target = std::make_unique<DeckTarget>(*d);
        e->connections.push_back(connect(&d->view(), &DeckView::changed, this, [this, raw] { stateMoved(raw); }));
        e->connections.push_back(connect(d, &Deck::listChanged, this, [this, raw](MediaList list) { listMoved(raw, list); }));
        const QString name = e->name;
        e->connections.push_back(connect(d, &QObject::destroyed, this, [this, name] { removeDeck(name); }));
        e->connections.push_back(connect(d, &Deck::outcomeReported, this,
                                         [this, name](const OutcomeReport& r) { outcomeReported(name, r); }));
        e->connections.push_back(connect(d, &Deck::alarmRaised, this, [this, name](const QString& text) {
            broadcast({{QStringLiteral("type"), QStringLiteral("alarm")}, {QStringLiteral("deck"), name}, {QStringLiteral("text"), text}});
        }));
        for (std::size_t k = 0; k < 3; ++k) {
            auto* timer = new QTimer;
            timer->setSingleShot(true);
            timer->setInterval(config_.listIntervalMs);
            const MediaList list = kShownLists[k];
            connect(timer, &QTimer::timeout, this, [this, raw, list, k] {
                if (!raw->listDirty[k] || !raw->deck) return;
                raw->listDirty[k] = false;
                broadcast(listMessage(*raw, list));
                raw->listTimer[k]->start();
            });
            e->listTimer[k] = timer;
        }
        decks_[name] = std::move(e);
        added.push_back(raw);
    }
    // Told after every reload, changed or not: a client may check its list.
    broadcast({{QStringLiteral("type"), QStringLiteral("decks")}, {QStringLiteral("decks"), deckNameArray()}});
    for (DeckEntry* e : added) {
        broadcast(deckState(*e));
        for (MediaList list : kShownLists) broadcast(listMessage(*e, list));
    }
}

void WebServer::removeDeck(const QString& name) {
    // From the deck's destroyed signal: its connections are gone with it.
    if (!decks_.erase(name)) return;
    forgetDeck(name);
    broadcast({{QStringLiteral("type"), QStringLiteral("decks")}, {QStringLiteral("decks"), deckNameArray()}});
}

// The deck's view, every field under its own name.
QJsonObject WebServer::deckState(const DeckEntry& e) const {
    QJsonObject state{{QStringLiteral("type"), QStringLiteral("state")}, {QStringLiteral("deck"), e.name}};
    for (const ViewState::FieldValue& f : e.deck->view().state().fields()) {
        const QString name = QLatin1String(f.name);
        if (const auto* text = std::get_if<std::string>(&f.value)) {
            state.insert(name, latin1(*text));
        } else if (const auto* number = std::get_if<int>(&f.value)) {
            state.insert(name, *number);
        } else {
            QJsonArray list;
            for (const std::string& item : std::get<std::vector<std::string>>(f.value)) list.append(latin1(item));
            state.insert(name, list);
        }
    }
    return state;
}

QJsonObject WebServer::listMessage(const DeckEntry& e, MediaList list) const {
    QJsonArray lines;
    for (const std::string& line : e.deck->listLines(list)) lines.append(latin1(line));
    return {{QStringLiteral("type"), QStringLiteral("list")},
            {QStringLiteral("deck"), e.name},
            {QStringLiteral("kind"), QLatin1String(kindName(list))},
            {QStringLiteral("lines"), lines}};
}

QJsonObject WebServer::filledList(const DeckEntry& e, MediaList list) const {
    // Files are numbered from 1, clips and cues from 0, as the lists show them.
    const int first = list == MediaList::Files ? 1 : 0;
    QJsonArray entries;
    const std::vector<std::string>& lines = e.deck->listLines(list);
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].find_first_not_of(' ') == std::string::npos) continue;
        entries.append(QJsonObject{{QStringLiteral("number"), static_cast<int>(k) + first},
                                   {QStringLiteral("line"), latin1(lines[k])}});
    }
    return {{QStringLiteral("type"), QStringLiteral("list")},
            {QStringLiteral("deck"), e.name},
            {QStringLiteral("kind"), QLatin1String(kindName(list))},
            {QStringLiteral("entries"), entries}};
}

void WebServer::stateMoved(DeckEntry* e) {
    // A reply moves the timecode and the status at once: one message a turn.
    e->stateDirty = true;
    if (flushQueued_) return;
    flushQueued_ = true;
    QTimer::singleShot(0, this, &WebServer::flushStates);
}

void WebServer::flushStates() {
    flushQueued_ = false;
    for (auto& [name, e] : decks_) {
        if (!e->stateDirty || !e->deck) continue;
        e->stateDirty = false;
        broadcast(deckState(*e));
    }
}

void WebServer::listMoved(DeckEntry* e, MediaList list) {
    if (!MediaLines::kept(list)) return;
    // A "Retrieve" changes a line per reply: at most one message each 250 ms.
    const std::size_t k = listSlot(list);
    if (e->listTimer[k]->isActive()) {
        e->listDirty[k] = true;
        return;
    }
    broadcast(listMessage(*e, list));
    e->listTimer[k]->start();
}

// The page shows each event as the panel's Event Log window does: one
// sentence, in the machine room's local time.
namespace {
QJsonObject withSentence(QJsonObject event) {
    event.insert(QStringLiteral("text"), eventSentence(event, true));
    return event;
}
}  // namespace

void WebServer::followLog(EventLog& log) {
    setEventFeed([&log](const QString& deck) {
        QJsonArray events;
        for (const QJsonValue& e : log.recent(deck, kEventsShown)) events.append(withSentence(e.toObject()));
        return events;
    });
    connect(&log, &EventLog::logged, this, &WebServer::eventLogged);
    connect(this, &WebServer::refused, &log, [&log](const QString& client, const QString& op, const QString& reason) {
        log.record(QString(), Origin::web(client.toStdString()), QStringLiteral("refused"), op,
                   {{QStringLiteral("outcome"), reason}});
    });
    connect(this, &WebServer::tokenReloaded, &log, [&log](const QString& why) {
        log.record(QString(), Origin::web({}), QStringLiteral("system"), QStringLiteral("token"),
                   {{QStringLiteral("outcome"), why.isEmpty() ? QStringLiteral("new token; every session ended")
                                                              : why + QStringLiteral("; no one gets in until it is mended")}});
    });
}

void WebServer::eventLogged(const QJsonObject& event) {
    const QString deck = event.value(QStringLiteral("deck")).toString();
    if (!entry(deck)) return;
    broadcast({{QStringLiteral("type"), QStringLiteral("event")},
               {QStringLiteral("deck"), deck},
               {QStringLiteral("event"), withSentence(event)}});
}

// --- HTTP

void WebServer::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        const QHostAddress peer = socket->peerAddress();
        if (!insideNetworks(peer, config_.served)) {
            // Nothing at all for a client outside the served networks.
            ++counters_.notServed;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const QString key = clientKey(peer);
        // One address holds a few unfinished requests: its oldest ends for a
        // new one, so slow heads from one place never lock out another.
        QTcpSocket* oldest = nullptr;
        int held = 0;
        for (const auto& [s, r] : reading_) {
            if (r.key != key) continue;
            ++held;
            if (!oldest || r.serial < reading_[oldest].serial) oldest = s;
        }
        if (held >= kMaxRequestsPerAddress) {
            ++counters_.dropped;
            forget(oldest);
            oldest->disconnect(this);
            oldest->abort();
            oldest->deleteLater();
        } else if (static_cast<int>(reading_.size()) >= kMaxRequests) {
            ++counters_.dropped;
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Qt reads no further than this: a request that does not fit is refused.
        socket->setReadBufferSize(kMaxHead + kMaxBody + 4);
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, this, [this, socket] {
            if (held_.count(socket)) {
                answerHeld(socket);
                return;
            }
            ++counters_.dropped;
            forget(socket);
            socket->disconnect(this);
            socket->abort();
            socket->deleteLater();
        });
        deadline->start(kRequestTimeoutMs);
        reading_[socket] = {deadline, key, ++serial_};
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadable(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            forget(socket);
            socket->deleteLater();
        });
    }
}

void WebServer::forget(QTcpSocket* socket) {
    held_.erase(socket);
    auto it = reading_.find(socket);
    if (it == reading_.end()) return;
    delete it->second.deadline;
    reading_.erase(it);
}

void WebServer::onReadable(QTcpSocket* socket) {
    // A held request has been read: what more it sends is not a request.
    if (!reading_.count(socket) || held_.count(socket)) return;
    // Peeked, not read: an upgrade goes to the WebSocket server unread.
    const QByteArray data = socket->peek(kMaxHead + kMaxBody + 4);
    const qsizetype headEnd = data.indexOf("\r\n\r\n");
    if (headEnd < 0 || headEnd > kMaxHead) {
        if (data.size() > kMaxHead) respond(socket, 431, "text/plain", "request head too long\n");
        return;
    }
    Request r;
    const QList<QByteArray> lines = data.left(headEnd).split('\n');
    const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
    if (first.size() != 3 || !first[2].startsWith("HTTP/1.")) {
        respond(socket, 400, "text/plain", "bad request line\n");
        return;
    }
    r.method = first[0];
    r.path = first[1];
    if (const qsizetype q = r.path.indexOf('?'); q >= 0) {
        r.query = r.path.mid(q + 1);
        r.path.truncate(q);
    }
    if (lines.size() - 1 > kMaxHeaders) {
        respond(socket, 431, "text/plain", "too many header fields\n");
        return;
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            respond(socket, 400, "text/plain", "bad header field\n");
            return;
        }
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        // Two Hosts or two Origins could be read differently by a proxy.
        if (r.headers.count(name) && (name == "host" || name == "origin" || name == "content-length" ||
                                      name == "authorization" || name == "content-type")) {
            respond(socket, 400, "text/plain", "repeated header field\n");
            return;
        }
        r.headers[name] = r.headers.count(name) ? r.headers[name] + "; " + value : value;
    }
    if (r.has("transfer-encoding")) {
        respond(socket, 501, "text/plain", "chunked bodies are not taken\n");
        return;
    }
    qint64 length = 0;
    if (r.has("content-length")) {
        bool ok = false;
        length = r.header("content-length").toLongLong(&ok);
        if (!ok || length < 0) {
            respond(socket, 400, "text/plain", "bad Content-Length\n");
            return;
        }
        if (length > kMaxBody) {
            respond(socket, 413, "text/plain", "body over 4 KiB\n");
            return;
        }
    }
    const bool isUpgrade = r.header("upgrade").toLower() == "websocket";
    if (!isUpgrade) {
        if (data.size() < headEnd + 4 + length) return;  // the body is still coming
        socket->read(headEnd + 4);
        r.body = socket->read(length);
    }
    handle(socket, r);
}

void WebServer::respond(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
                        const QByteArray& extraHeaders) {
    forget(socket);
    ++counters_.requests;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    head += "Content-Type: " + type + "\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    head += "Cache-Control: no-store\r\n";
    head += "X-Content-Type-Options: nosniff\r\n";
    // No other site may frame the page and have the operator tap its buttons.
    head += "X-Frame-Options: DENY\r\n";
    head += "Content-Security-Policy: default-src 'self'; connect-src 'self'; frame-ancestors 'none'\r\n";
    head += extraHeaders;
    head += "Connection: close\r\n\r\n";
    socket->disconnect(this);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(head + body);
    socket->disconnectFromHost();
    // A client that never reads its answer does not keep the socket.
    QTimer::singleShot(kRequestTimeoutMs, socket, [socket] { socket->abort(); });
}

void WebServer::respondJson(QTcpSocket* socket, int status, const QJsonObject& body) {
    respond(socket, status, "application/json", QJsonDocument(body).toJson(QJsonDocument::Compact));
}

bool WebServer::hostAllowed(const QTcpSocket* socket, const QByteArray& host) const {
    QByteArray name = host.toLower();
    QByteArray portText;
    if (name.startsWith('[')) {
        const qsizetype close = name.indexOf(']');
        if (close < 0) return false;
        portText = name.mid(close + 1);
        name = name.mid(1, close - 1);
        if (!portText.isEmpty() && !portText.startsWith(':')) return false;
        portText = portText.mid(1);
    } else if (const qsizetype colon = name.indexOf(':'); colon >= 0) {
        portText = name.mid(colon + 1);
        name = name.left(colon);
    }
    if (!portText.isEmpty() && portText != QByteArray::number(port())) return false;
    if (name.isEmpty()) return false;
    const QString n = QString::fromLatin1(name);
    if (config_.hosts.contains(n)) return true;
    QHostAddress literal;
    if (literal.setAddress(n)) {
        // The address the client reached, or the one bound.
        literal = plain(literal);
        if (literal == plain(socket->localAddress()) || literal == plain(config_.bind)) return true;
        return isLoopback(config_.bind) && isLoopback(literal);
    }
    return isLoopback(config_.bind) && n == QLatin1String("localhost");
}

bool WebServer::originForeign(const Request& r) const {
    // Scripts and curl send no Origin: their token and address judge them.
    if (!r.has("origin")) return false;
    return r.header("origin").toLower() != "http://" + r.header("host").toLower();
}

// --- tokens and sessions

namespace {
// Sessions are looked up by this, so a lookup's time tells nothing of the ids held.
QByteArray sessionDigest(const QByteArray& id) { return QCryptographicHash::hash(id, QCryptographicHash::Sha256); }
}  // namespace

qint64 WebServer::sessionEnd(const Request& r) {
    for (const QByteArray& part : r.header("cookie").split(';')) {
        const QByteArray p = part.trimmed();
        if (!p.startsWith(kCookie + '=')) continue;
        auto it = sessions_.find(sessionDigest(p.mid(kCookie.size() + 1)));
        if (it == sessions_.end()) continue;
        if (it->second > clock_.elapsed()) return it->second;
        sessions_.erase(it);
    }
    return 0;
}

QByteArray WebServer::newSession() {
    const qint64 now = clock_.elapsed();
    std::erase_if(sessions_, [now](const auto& s) { return s.second <= now; });
    if (static_cast<int>(sessions_.size()) >= kMaxSessions)
        sessions_.erase(std::min_element(sessions_.begin(), sessions_.end(),
                                         [](const auto& a, const auto& b) { return a.second < b.second; }));
    // 256 bits from the system's CSPRNG.
    quint32 words[8];
    QRandomGenerator::system()->fillRange(words);
    const QByteArray id = QByteArray(reinterpret_cast<const char*>(words), sizeof words)
                              .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
    sessions_[sessionDigest(id)] = now + config_.sessionLifetimeMs;
    return id;
}

void WebServer::endSessions() {
    sessions_.clear();
    if (config_.token.isEmpty() && !tokenBroken_) return;
    // A socket lives on what let it in: the old token or one of its sessions.
    while (!clients_.empty()) dropClient(clients_.back().socket);
    std::vector<QTcpSocket*> handing;
    for (const auto& [socket, handover] : handshaking_) handing.push_back(socket);
    for (QTcpSocket* socket : handing) socket->abort();
}

int WebServer::retryAfter(const QString& key) {
    auto it = failures_.find(key);
    if (it == failures_.end()) return 0;
    const qint64 now = clock_.elapsed();
    std::deque<qint64>& at = it->second.atMs;
    while (!at.empty() && now - at.front() >= kFailureWindowMs) at.pop_front();
    if (at.empty()) {
        failures_.erase(it);
        return 0;
    }
    if (static_cast<int>(at.size()) < kMaxFailures) {
        it->second.told = false;
        return 0;
    }
    return static_cast<int>((kFailureWindowMs - (now - at.front()) + 999) / 1000);
}

void WebServer::failed(const QTcpSocket* socket, const char* op) {
    const QHostAddress peer = plain(socket->peerAddress());
    const qint64 now = clock_.elapsed();
    // Addresses whose failures are a minute old are forgotten, so that many
    // addresses cost no more than the last minute's.
    if (failures_.size() > 256)
        std::erase_if(failures_, [now](const auto& f) { return f.second.atMs.empty() || now - f.second.atMs.back() >= kFailureWindowMs; });
    std::deque<qint64>& at = failures_[clientKey(peer)].atMs;
    at.push_back(now);
    while (static_cast<int>(at.size()) > kMaxFailures) at.pop_front();
    ++counters_.unauthorized;
    emit refused(peer.toString(), QLatin1String(op), QStringLiteral("wrong token"));
}

void WebServer::respondThrottled(QTcpSocket* socket, const char* op, bool json) {
    const QHostAddress peer = plain(socket->peerAddress());
    const QString key = clientKey(peer);
    const int seconds = retryAfter(key);
    ++counters_.throttled;
    // Once in the log per throttling: a flood of refusals would flood it.
    Failures& f = failures_[key];
    if (!f.told) {
        f.told = true;
        emit refused(peer.toString(), QLatin1String(op),
                     QStringLiteral("throttled: %1 wrong tokens within a minute; refused for %2 s").arg(kMaxFailures).arg(seconds));
    }
    const QByteArray header = "Retry-After: " + QByteArray::number(seconds) + "\r\n";
    if (json)
        respond(socket, 429, "application/json", R"({"error":"too many wrong tokens; try again later"})", header);
    else
        respond(socket, 429, "text/plain", "too many wrong tokens; try again later\n", header);
}

WebServer::Auth WebServer::authorize(const QTcpSocket* socket, const Request& r, const char* op, qint64* ends) {
    if (config_.token.isEmpty() && !tokenBroken_) return Auth::Ok;
    if (const qint64 end = sessionEnd(r)) {
        if (ends) *ends = end;
        return Auth::Ok;
    }
    const QByteArray auth = r.header("authorization");
    if (!auth.startsWith("Bearer ")) return Auth::None;
    // While throttled not even the right token is tried: it would still be a guess.
    if (retryAfter(clientKey(socket->peerAddress())) > 0) return Auth::Throttled;
    if (!tokenBroken_ && sameSecret(auth.mid(7).trimmed(), config_.token.toLatin1())) return Auth::Ok;
    failed(socket, op);
    return Auth::Wrong;
}

void WebServer::watchTokenFile() {
    if (config_.tokenFile.isEmpty()) return;
    watcher_ = new QFileSystemWatcher(this);
    // The directory too: an editor that saves by renaming replaces the file
    // the watch was on.
    watcher_->addPath(QFileInfo(config_.tokenFile).absolutePath());
    watcher_->addPath(config_.tokenFile);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { reloadToken(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        if (!watcher_->files().contains(config_.tokenFile) && QFileInfo::exists(config_.tokenFile)) reloadToken();
    });
}

QString WebServer::reloadToken() {
    if (config_.tokenFile.isEmpty()) return {};
    if (watcher_ && !watcher_->files().contains(config_.tokenFile) && QFileInfo::exists(config_.tokenFile))
        watcher_->addPath(config_.tokenFile);
    WebOptions options;
    options.tokenFile = config_.tokenFile;
    QString token;
    const QString why = readWebToken(options, token);
    tokenBroken_ = !why.isEmpty();
    if (!tokenBroken_) config_.token = token;
    endSessions();
    emit tokenReloaded(why);
    return why;
}

void WebServer::handle(QTcpSocket* socket, const Request& r) {
    if (!r.has("host")) {
        respond(socket, 400, "text/plain", "no Host\n");
        return;
    }
    if (!hostAllowed(socket, r.header("host"))) {
        // A page of another name that resolves here (DNS rebinding).
        ++counters_.forbidden;
        respond(socket, 403, "text/plain", "unknown host\n");
        return;
    }
    const bool post = r.method == "POST";
    if (!post && r.method != "GET") {
        respond(socket, 405, "text/plain", "GET or POST\n", "Allow: GET, POST\r\n");
        return;
    }
    if (r.path == "/ws") {
        upgrade(socket, r);
        return;
    }
    if (post && originForeign(r)) {
        ++counters_.forbidden;
        respond(socket, 403, "text/plain", "foreign origin\n");
        return;
    }
    if (!post) {
        static const std::map<QByteArray, std::pair<const char*, QByteArray>> kFiles = {
            {"/", {":/qz7web/index.html", "text/html; charset=utf-8"}},
            {"/index.html", {":/qz7web/index.html", "text/html; charset=utf-8"}},
            {"/app.js", {":/qz7web/app.js", "text/javascript; charset=utf-8"}},
            {"/app.css", {":/qz7web/app.css", "text/css; charset=utf-8"}},
        };
        if (auto it = kFiles.find(r.path); it != kFiles.end()) {
            QFile file(QString::fromLatin1(it->second.first));
            if (!file.open(QIODevice::ReadOnly)) {
                respond(socket, 404, "text/plain", "not built in\n");
                return;
            }
            respond(socket, 200, it->second.second, file.readAll());
            return;
        }
    }
    if (post && r.path == "/login") {
        handleLogin(socket, r);
        return;
    }
    const bool metrics = !post && r.path == "/metrics" && metrics_;
    if (!metrics && !r.path.startsWith("/api/")) {
        respond(socket, 404, "text/plain", "not found\n");
        return;
    }
    switch (authorize(socket, r, "bearer")) {
    case Auth::Ok: break;
    case Auth::Throttled: respondThrottled(socket, "bearer", true); return;
    case Auth::None: ++counters_.unauthorized; [[fallthrough]];
    case Auth::Wrong: respondJson(socket, 401, {{QStringLiteral("error"), QStringLiteral("token needed")}}); return;
    }
    if (metrics) {
        respond(socket, 200, Metrics::kContentType, metrics_());
        return;
    }
    handleApi(socket, r, plain(socket->peerAddress()).toString());
}

namespace {
// A POST's body as a JSON object; an empty body is no arguments.
bool jsonBody(const QByteArray& body, QJsonObject& out, QString& why) {
    if (body.trimmed().isEmpty()) return true;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        why = error.error != QJsonParseError::NoError ? QStringLiteral("bad JSON: ") + error.errorString()
                                                      : QStringLiteral("bad JSON: not an object");
        return false;
    }
    out = doc.object();
    return true;
}

bool isJson(const QByteArray& contentType) {
    return contentType.split(';').value(0).trimmed().toLower() == "application/json";
}
}  // namespace

bool WebServer::readJsonBody(QTcpSocket* socket, const Request& r, QJsonObject& body) {
    if (!isJson(r.header("content-type"))) {
        respondJson(socket, 415, {{QStringLiteral("error"), QStringLiteral("Content-Type must be application/json")}});
        return false;
    }
    QString why;
    if (!jsonBody(r.body, body, why)) {
        respondJson(socket, 400, {{QStringLiteral("error"), why}});
        return false;
    }
    return true;
}

void WebServer::handleLogin(QTcpSocket* socket, const Request& r) {
    if (config_.token.isEmpty() && !tokenBroken_) {
        respondJson(socket, 401, {{QStringLiteral("error"), QStringLiteral("no token is asked here")}});
        return;
    }
    if (retryAfter(clientKey(socket->peerAddress())) > 0) {
        respondThrottled(socket, "login", true);
        return;
    }
    QJsonObject body;
    if (!readJsonBody(socket, r, body)) return;
    const QByteArray given = body.value(QStringLiteral("token")).toString().toLatin1();
    if (tokenBroken_ || !sameSecret(given, config_.token.toLatin1())) {
        failed(socket, "login");
        respondJson(socket, 401, {{QStringLiteral("error"), QStringLiteral("wrong token")}});
        return;
    }
    // The cookie holds a session, not the token: it ends by itself, and with
    // every change of the token file.
    respond(socket, 200, "application/json", R"({"ok":true})",
            "Set-Cookie: " + kCookie + '=' + newSession() +
                "; Path=/; Max-Age=" + QByteArray::number((config_.sessionLifetimeMs + 999) / 1000) +
                "; HttpOnly; SameSite=Strict\r\n");
}

void WebServer::handleApi(QTcpSocket* socket, const Request& r, const QString& client) {
    const QList<QByteArray> parts = r.path.mid(5).split('/');  // after "/api/"
    if (parts.value(0) != "decks") {
        respondJson(socket, 404, {{QStringLiteral("error"), QStringLiteral("not found")}});
        return;
    }
    if (parts.size() == 1 || (parts.size() == 2 && parts[1].isEmpty())) {
        if (r.method != "GET") {
            respondJson(socket, 405, {{QStringLiteral("error"), QStringLiteral("GET")}});
            return;
        }
        QJsonArray all;
        for (const auto& [name, e] : decks_) {
            if (!e->deck) continue;
            QJsonObject s = deckState(*e);
            s.remove(QStringLiteral("type"));
            all.append(s);
        }
        respond(socket, 200, "application/json", QJsonDocument(all).toJson(QJsonDocument::Compact));
        return;
    }
    const QString name = QString::fromLatin1(parts[1]);
    DeckEntry* e = entry(name);
    if (!e) {
        respondJson(socket, 404, {{QStringLiteral("error"), QStringLiteral("no deck ") + name}});
        return;
    }
    const QByteArray rest = parts.mid(2).join('/');
    if (r.method == "GET") {
        if (rest.isEmpty()) {
            QJsonObject s = deckState(*e);
            s.remove(QStringLiteral("type"));
            respondJson(socket, 200, s);
            return;
        }
        if (const std::optional<ListDownload> d = listDownload(*e->deck, rest)) {
            respond(socket, 200, d->contentType, d->body, d->headers);
            return;
        }
        for (MediaList list : kShownLists) {
            if (rest != kindName(list)) continue;
            QJsonObject m = queryFlag(r.query, "filled") ? filledList(*e, list) : listMessage(*e, list);
            m.remove(QStringLiteral("type"));
            respondJson(socket, 200, m);
            return;
        }
        respondJson(socket, 404, {{QStringLiteral("error"), QStringLiteral("not found")}});
        return;
    }
    // POST /api/decks/NAME/OP
    const std::string op = rest.toStdString();
    if (!findOperation(op)) {
        respondJson(socket, 404, {{QStringLiteral("error"), QStringLiteral("no operation ") + QString::fromLatin1(rest)}});
        return;
    }
    QJsonObject body;
    if (!readJsonBody(socket, r, body)) return;
    CommandArgs args;
    for (auto it = body.begin(); it != body.end(); ++it) {
        CommandValue v;
        if (!commandValue(it.value(), v)) {
            respondJson(socket, 400, {{QStringLiteral("error"), it.key() + QStringLiteral(" must be a number or a text")}});
            return;
        }
        args[it.key().toStdString()] = std::move(v);
    }
    const CommandResult result = runCommand(*e->target, op, args, Origin::web(client.toStdString()));
    const QString reason = QString::fromStdString(result.reason);
    switch (result.status) {
    case CommandResult::Status::Queued: respondQueued(socket, r, name, result.outcome); return;
    case CommandResult::Status::Refused: respondJson(socket, 409, {{QStringLiteral("refused"), reason}}); return;
    case CommandResult::Status::BadArguments: respondJson(socket, 400, {{QStringLiteral("error"), reason}}); return;
    case CommandResult::Status::UnknownOperation: respondJson(socket, 404, {{QStringLiteral("error"), reason}}); return;
    }
}

// --- WebSocket

void WebServer::upgrade(QTcpSocket* socket, const Request& r) {
    if (r.method != "GET" || r.header("upgrade").toLower() != "websocket") {
        respond(socket, 400, "text/plain", "/ws is a WebSocket\n");
        return;
    }
    if (originForeign(r)) {
        ++counters_.forbidden;
        respond(socket, 403, "text/plain", "foreign origin\n");
        return;
    }
    qint64 ends = 0;
    switch (authorize(socket, r, "bearer", &ends)) {
    case Auth::Ok: break;
    case Auth::Throttled: respondThrottled(socket, "bearer", false); return;
    case Auth::None: ++counters_.unauthorized; [[fallthrough]];
    case Auth::Wrong: respond(socket, 401, "text/plain", "token needed\n"); return;
    }
    // Sockets being handed over count already.
    const QString key = clientKey(socket->peerAddress());
    int pending = 0;
    for (const auto& [s, h] : handshaking_) pending += h.key == key;
    if (clientCount() + static_cast<int>(handshaking_.size()) >= kMaxClients ||
        clientsOf(key) + pending >= kMaxClientsPerAddress) {
        ++counters_.dropped;
        respond(socket, 503, "text/plain", "too many clients\n");
        return;
    }
    forget(socket);
    socket->disconnect(this);
    handshaking_[socket] = {key, ends};
    // A handshake that fails or times out leaves by this; one that succeeds
    // is taken over in onWebSocket().
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        if (handshaking_.erase(socket)) socket->deleteLater();
    });
    ws_->handleConnection(socket);
}

int WebServer::clientsOf(const QString& key) const {
    return static_cast<int>(std::count_if(clients_.begin(), clients_.end(), [&key](const Client& c) { return c.key == key; }));
}

void WebServer::onWebSocket() {
    while (QWebSocket* socket = ws_->nextPendingConnection()) {
        // The TCP socket it was handed as: the same peer.
        QTcpSocket* tcp = nullptr;
        qint64 ends = 0;
        for (const auto& [s, h] : handshaking_)
            if (s->peerPort() == socket->peerPort() && s->peerAddress() == socket->peerAddress()) {
                tcp = s;
                ends = h.endsMs;
            }
        const QString key = clientKey(socket->peerAddress());
        if (tcp) {
            handshaking_.erase(tcp);
            tcp->disconnect(this);
        }
        if (!tcp || clientCount() >= kMaxClients || clientsOf(key) >= kMaxClientsPerAddress) {
            ++counters_.dropped;
            socket->abort();
            socket->deleteLater();
            if (tcp) tcp->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setMaxAllowedIncomingMessageSize(kMaxBody);
        socket->setMaxAllowedIncomingFrameSize(kMaxBody);
        // A bounded read each turn, and after each the backlog checked: Qt
        // answers every ping with a pong by itself, so a client that sends
        // pings and never reads would otherwise grow the backlog unseen.
        socket->setReadBufferSize(kSocketReadBuffer);
        connect(tcp, &QTcpSocket::readyRead, this, [this, socket] { checkBacklog(socket); });
        clients_.push_back({socket, plain(socket->peerAddress()).toString(), key, tcp, clock_.elapsed(), ends});
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString& text) { onMessage(socket, text); });
        connect(socket, &QWebSocket::binaryMessageReceived, this, [this, socket] { dropClient(socket); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { dropClient(socket); });
        connect(socket, &QWebSocket::pong, this, [this, socket] {
            for (Client& c : clients_)
                if (c.socket == socket) c.heardMs = clock_.elapsed();
        });
        if (!pingTimer_.isActive()) pingTimer_.start();
        emit clientsChanged(clientCount());
        greet(socket);
    }
}

void WebServer::dropClient(QWebSocket* socket) {
    auto it = std::find_if(clients_.begin(), clients_.end(), [socket](const Client& c) { return c.socket == socket; });
    if (it == clients_.end()) return;
    QPointer<QTcpSocket> tcp = it->tcp;
    clients_.erase(it);
    std::erase_if(awaited_, [socket](const Awaited& a) { return a.socket == socket; });
    socket->disconnect(this);
    if (tcp) tcp->disconnect(this);
    // abort() drops what was waiting to be sent; both objects go, whichever
    // of them owns the other.
    socket->abort();
    socket->deleteLater();
    if (tcp) tcp->deleteLater();
    if (clients_.empty()) pingTimer_.stop();
    emit clientsChanged(clientCount());
}

void WebServer::checkBacklog(QWebSocket* socket) {
    if (socket->bytesToWrite() <= kMaxBacklog) return;
    ++counters_.dropped;
    dropClient(socket);
}

void WebServer::pingClients() {
    // A tablet that shows the status all day answers; one that vanished does not.
    const qint64 now = clock_.elapsed();
    std::vector<QWebSocket*> silent;
    for (const Client& c : clients_) {
        // A login's session ends its socket too.
        if (now - c.heardMs > config_.pongTimeoutMs || (c.endsMs && now >= c.endsMs))
            silent.push_back(c.socket);
        else
            c.socket->ping();
    }
    for (QWebSocket* s : silent) {
        ++counters_.dropped;
        dropClient(s);
    }
}

void WebServer::send(QWebSocket* socket, const QJsonObject& message) {
    // A client that stopped reading is dropped, not buffered for.
    if (socket->bytesToWrite() > kMaxBacklog) {
        ++counters_.dropped;
        dropClient(socket);
        return;
    }
    socket->sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void WebServer::broadcast(const QJsonObject& message) {
    if (clients_.empty()) return;
    const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
    std::vector<QWebSocket*> slow;
    for (const Client& c : clients_) {
        if (c.socket->bytesToWrite() > kMaxBacklog)
            slow.push_back(c.socket);
        else
            c.socket->sendTextMessage(text);
    }
    for (QWebSocket* s : slow) {
        ++counters_.dropped;
        dropClient(s);
    }
}

void WebServer::greet(QWebSocket* socket) {
    send(socket, {{QStringLiteral("type"), QStringLiteral("decks")}, {QStringLiteral("decks"), deckNameArray()}});
    for (const auto& [name, e] : decks_) {
        if (!e->deck) continue;
        send(socket, deckState(*e));
        for (MediaList list : kShownLists) send(socket, listMessage(*e, list));
        if (eventFeed_)
            send(socket, {{QStringLiteral("type"), QStringLiteral("events")},
                          {QStringLiteral("deck"), name},
                          {QStringLiteral("events"), eventFeed_(name)}});
    }
}

void WebServer::onMessage(QWebSocket* socket, const QString& text) {
    auto it = std::find_if(clients_.begin(), clients_.end(), [socket](const Client& c) { return c.socket == socket; });
    if (it == clients_.end()) return;
    const QString client = it->address;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8());
    if (!doc.isObject()) {
        send(socket, {{QStringLiteral("type"), QStringLiteral("refused")}, {QStringLiteral("reason"), QStringLiteral("bad JSON")}});
        return;
    }
    QJsonObject m = doc.object();
    const QJsonValue id = m.value(QStringLiteral("id"));
    const QString deck = m.value(QStringLiteral("deck")).toString();
    const QString op = m.value(QStringLiteral("op")).toString();
    const bool roll = m.contains(QStringLiteral("decks"));
    const QJsonValue decks = m.value(QStringLiteral("decks"));
    for (const char* key : {"id", "deck", "decks", "op"}) m.remove(QLatin1String(key));
    CommandArgs args;
    QString why;
    for (auto a = m.begin(); a != m.end() && why.isEmpty(); ++a) {
        CommandValue v;
        if (!commandValue(a.value(), v))
            why = a.key() + QStringLiteral(" must be a number or a text");
        else
            args[a.key().toStdString()] = std::move(v);
    }
    if (roll)
        runRoll(socket, client, id, decks, op, args, why);
    else
        runFromSocket(socket, client, id, deck, op, args, why, 0);
}

// --- outcomes: what the deck reports after a command was queued

void WebServer::runFromSocket(QWebSocket* socket, const QString& client, const QJsonValue& id, const QString& deck,
                              const QString& op, const CommandArgs& args, QString why, std::uint64_t group) {
    QJsonObject reply{{QStringLiteral("type"), QStringLiteral("refused")},
                      {QStringLiteral("id"), id},
                      {QStringLiteral("deck"), deck},
                      {QStringLiteral("op"), op}};
    if (group) reply[QStringLiteral("group")] = static_cast<qint64>(group);
    DeckEntry* e = entry(deck);
    if (!e) why = QStringLiteral("no deck ") + deck;
    if (why.isEmpty()) {
        Origin origin = Origin::web(client.toStdString());
        origin.group = group;
        const CommandResult result = runCommand(*e->target, op.toStdString(), args, origin);
        why = QString::fromStdString(result.reason);
        if (result.queued()) {
            reply[QStringLiteral("type")] = QStringLiteral("ack");
            if (result.outcome.id != 0) await(socket, id, deck, result.outcome.id);
        }
    }
    reply[QStringLiteral("reason")] = why;
    send(socket, reply);
}

void WebServer::runRoll(QWebSocket* socket, const QString& client, const QJsonValue& id, const QJsonValue& decks,
                        const QString& op, const CommandArgs& args, QString why) {
    // One answer per deck that exists at most: a long list of names is not
    // a long list of answers.
    QStringList names;
    bool named = decks.isArray();
    for (const QJsonValue& v : decks.toArray()) {
        named = named && v.isString();
        if (named && !names.contains(v.toString())) names << v.toString();
    }
    if (!named || names.isEmpty() || names.size() > static_cast<qsizetype>(decks_.size())) {
        const QString reason = !named || names.isEmpty() ? QStringLiteral("decks must be a list of deck names")
                                                         : QStringLiteral("a roll names at most %1 decks").arg(decks_.size());
        send(socket, {{QStringLiteral("type"), QStringLiteral("refused")},
                      {QStringLiteral("id"), id},
                      {QStringLiteral("op"), op},
                      {QStringLiteral("reason"), reason}});
        return;
    }
    const std::uint64_t group = nextRollGroup();
    for (const QString& name : names) runFromSocket(socket, client, id, name, op, args, why, group);
}

void WebServer::await(QWebSocket* socket, const QJsonValue& id, const QString& deck, std::uint64_t outcome) {
    const bool connected = std::any_of(clients_.begin(), clients_.end(), [socket](const Client& c) { return c.socket == socket; });
    if (!connected) return;
    const auto mine = [socket](const Awaited& a) { return a.socket == socket; };
    if (std::count_if(awaited_.begin(), awaited_.end(), mine) >= kMaxAwaitedPerClient)
        awaited_.erase(std::find_if(awaited_.begin(), awaited_.end(), mine));
    awaited_.push_back({socket, id, deck, outcome});
}

void WebServer::outcomeReported(const QString& deck, const OutcomeReport& r) {
    QJsonObject message{{QStringLiteral("type"), QStringLiteral("outcome")},
                        {QStringLiteral("deck"), deck},
                        {QStringLiteral("op"), QString::fromStdString(r.op)},
                        {QStringLiteral("outcome"), QLatin1String(r.word())},
                        {QStringLiteral("transport"), latin1(r.transport)},
                        {QStringLiteral("ms"), static_cast<qint64>(r.ms)},
                        {QStringLiteral("final"), r.final},
                        {QStringLiteral("note"), latin1(r.note)},
                        {QStringLiteral("group"), static_cast<qint64>(r.group)}};
    // Sent after the bookkeeping: a send may drop a client and change awaited_.
    std::vector<std::pair<QPointer<QWebSocket>, QJsonValue>> sends;
    for (auto a = awaited_.begin(); a != awaited_.end();) {
        if (a->deck != deck || a->outcome != r.id) {
            ++a;
            continue;
        }
        sends.emplace_back(a->socket, a->id);
        a = r.final ? awaited_.erase(a) : a + 1;
    }
    for (const auto& [socket, id] : sends) {
        if (!socket) continue;
        message[QStringLiteral("id")] = id;
        send(socket, message);
    }
    std::vector<QTcpSocket*> answered;
    for (auto& [socket, held] : held_) {
        if (held.deck != deck || held.outcome != r.id) continue;
        held.last = r;
        if (r.final) answered.push_back(socket);
    }
    for (QTcpSocket* socket : answered) answerHeld(socket);
}

void WebServer::respondQueued(QTcpSocket* socket, const Request& r, const QString& deck, const Outcome& outcome) {
    // Without ?wait=1, or for an operation no report follows (it sent nothing).
    auto reading = reading_.find(socket);
    if (!queryFlag(r.query, "wait") || outcome.id == 0 || reading == reading_.end()) {
        respond(socket, 200, "application/json", R"({"ok":true})");
        return;
    }
    // Still counted among the address's unfinished requests; its deadline
    // now ends the wait.
    held_[socket] = {deck, outcome.id, std::nullopt, clock_.elapsed()};
    reading->second.deadline->start(kWaitMs);
}

void WebServer::answerHeld(QTcpSocket* socket, const QString& why) {
    auto it = held_.find(socket);
    if (it == held_.end()) return;
    const Held held = it->second;
    held_.erase(it);
    const std::optional<OutcomeReport>& r = held.last;
    // Sent counts as done when nothing later was decided in time; a deck
    // that left (why) will never decide, so only a final word counts then.
    const bool done = r && (r->stage == OutcomeReport::Stage::Sent || r->stage == OutcomeReport::Stage::Confirmed);
    if (done && (why.isEmpty() || r->final)) {
        QJsonObject body{{QStringLiteral("ok"), true},
                         {QStringLiteral("outcome"), QLatin1String(r->word())},
                         {QStringLiteral("transport"), latin1(r->transport)},
                         {QStringLiteral("ms"), static_cast<qint64>(r->ms)}};
        if (!r->note.empty()) body[QStringLiteral("note")] = latin1(r->note);
        respondJson(socket, 200, body);
        return;
    }
    QString transport;
    if (r)
        transport = latin1(r->transport);
    else if (const DeckEntry* e = entry(held.deck))
        transport = latin1(e->deck->view().state().transport);
    const QString note = !why.isEmpty() ? why : r ? latin1(r->note) : QStringLiteral("not sent within %1 ms").arg(kWaitMs);
    respondJson(socket, 504, {{QStringLiteral("outcome"), QLatin1String(r && !done ? r->word() : "not confirmed")},
                              {QStringLiteral("transport"), transport},
                              {QStringLiteral("ms"), r ? static_cast<qint64>(r->ms) : clock_.elapsed() - held.sinceMs},
                              {QStringLiteral("note"), note}});
}

void WebServer::forgetDeck(const QString& name) {
    std::erase_if(awaited_, [&name](const Awaited& a) { return a.deck == name; });
    std::vector<QTcpSocket*> waiting;
    for (const auto& [socket, held] : held_)
        if (held.deck == name) waiting.push_back(socket);
    for (QTcpSocket* socket : waiting) answerHeld(socket, QStringLiteral("deck %1 left").arg(name));
}

}  // namespace qz7
