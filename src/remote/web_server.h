// The web remote: one TCP port serves the page, a JSON API and the WebSocket
// /ws, on the program's event loop. Every request is read here first, bounded
// (head 8 KiB, body 4 KiB), and checked before anything acts: the client's
// address against the served networks, Host against the names this server
// answers to (DNS rebinding), Origin against the page's own origin (another
// site open in the same browser), and the token. Only then is an upgrade
// handed to QWebSocketServer, which does the framing. Commands run the table
// of operations (operations.h) with the client as the origin; a deck's state
// is its view (deck_view.h), field by field.
//
// No client can hold the server: each address has a few unfinished requests
// and WebSockets, a head has 3 s, a socket that stops answering pings or
// reading what it is sent is dropped, and wrong tokens are throttled per
// address. A login gives a session of 12 h, kept in memory; the token itself
// never leaves the server.
#pragma once

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTimer>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "deck/outcome_report.h"
#include "media/media_model.h"
#include "remote/operations.h"
#include "remote/web_options.h"

class QFileSystemWatcher;
class QTcpSocket;
class QWebSocket;
class QWebSocketServer;

namespace qz7 {

class EventLog;

class Deck;

class WebServer : public QObject {
    Q_OBJECT
public:
    struct Config {
        QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
        quint16 port = 0;  // 0: any free port
        QList<OscNetwork> served;
        QString token;      // empty: none asked (loopback only)
        QString tokenFile;  // watched: a change takes the new token and ends every session
        QStringList hosts;  // names besides the bound address
        // Tests shorten these.
        int listIntervalMs = kListIntervalMs;
        int pingIntervalMs = kPingIntervalMs;
        int pongTimeoutMs = kPongTimeoutMs;
        qint64 sessionLifetimeMs = kSessionLifetimeS * 1000;
    };
    static Config configFrom(const WebOptions& options, const QString& token);

    static constexpr int kListIntervalMs = 250;
    static constexpr int kMaxClients = 64;            // WebSocket clients at once
    static constexpr int kMaxClientsPerAddress = 4;
    static constexpr int kMaxRequests = 256;          // HTTP requests being read at once
    static constexpr int kMaxRequestsPerAddress = 4;  // a fifth ends the address's oldest
    static constexpr qint64 kMaxHead = 8192;
    static constexpr qint64 kMaxBody = 4096;     // also the longest WebSocket message
    static constexpr qint64 kMaxBacklog = 1 << 20;  // unsent bytes before a client is dropped
    static constexpr qint64 kSocketReadBuffer = 64 * 1024;  // read per turn from a WebSocket
    static constexpr int kRequestTimeoutMs = 3000;  // the whole request, head and body
    static constexpr int kPingIntervalMs = 15000;
    static constexpr int kPongTimeoutMs = 45000;  // no pong this long: the client is gone
    static constexpr int kMaxFailures = 5;        // wrong tokens per address and minute
    static constexpr int kFailureWindowMs = 60000;
    static constexpr qint64 kSessionLifetimeS = 12 * 3600;
    static constexpr int kMaxSessions = 256;  // a further login ends the oldest
    // Commands of one WebSocket client whose outcomes are still followed; a
    // further one forgets the oldest.
    static constexpr int kMaxAwaitedPerClient = 32;
    // The longest a POST ...?wait=1 is held for its operation's final outcome.
    static constexpr int kWaitMs = 1000;

    struct Counters {
        quint64 requests = 0;      // HTTP requests answered
        quint64 notServed = 0;     // connections from outside the served networks, closed unread
        quint64 forbidden = 0;     // 403: foreign Host or Origin
        quint64 unauthorized = 0;  // 401
        quint64 dropped = 0;       // clients dropped: too slow, too many, too long a message
        quint64 throttled = 0;     // 429: too many wrong tokens from the address
    };

    explicit WebServer(Config config, QObject* parent = nullptr);
    ~WebServer() override;

    // Listens. False with the reason when it cannot.
    bool start(QString* error);
    quint16 port() const;
    QHostAddress address() const;

    // The decks shown, each by its name (the rack calls it again after a
    // reload). A deck destroyed while shown leaves by itself.
    void setDecks(const QList<Deck*>& decks);
    QStringList deckNames() const;

    // A deck's last events, sent to each client when it connects.
    using EventFeed = std::function<QJsonArray(const QString& deck)>;
    void setEventFeed(EventFeed feed) { eventFeed_ = std::move(feed); }
    // The page's events from this log: each deck's last 50 on connect, then
    // every new one; and into it every refused token and token file change.
    // The log outlives the server.
    void followLog(EventLog& log);
    static constexpr int kEventsShown = 50;
    // GET /metrics: the Prometheus text (metrics.h), under the rules of /api.
    void setMetrics(std::function<QByteArray()> render) { metrics_ = std::move(render); }

    int clientCount() const { return static_cast<int>(clients_.size()); }
    int unfinishedCount() const { return static_cast<int>(reading_.size()); }
    int sessionCount() const { return static_cast<int>(sessions_.size()); }
    const Counters& counters() const { return counters_; }

    // Reads config.tokenFile again: a good token replaces the old one, a bad
    // file (gone, too short, readable by others) lets no one in until it is
    // good. Every session ends either way. "" or why the file is refused.
    QString reloadToken();

public slots:
    // A new event of the log (it names its deck): to every client.
    void eventLogged(const QJsonObject& event);

signals:
    void clientsChanged(int count);
    // A wrong token or a throttled client (op "login", "bearer"), with the
    // client's address and the reason; followLog() writes each to the log.
    void refused(const QString& client, const QString& op, const QString& reason);
    // The token file changed: why is "" when its new token was taken.
    void tokenReloaded(const QString& why);

private:
    struct Request;
    struct DeckEntry;
    struct Client {
        QWebSocket* socket;
        QString address;
        QString key;                // the address as limits count it (see clientKey)
        QPointer<QTcpSocket> tcp;   // under socket: its backlog is checked as it reads
        qint64 heardMs = 0;         // its last pong (or its connect)
        qint64 endsMs = 0;          // its login session's end; 0: none
    };
    struct Handover {
        QString key;
        qint64 endsMs;
    };
    struct Reading {
        QTimer* deadline;  // while held (?wait=1): when the answer goes with what is known
        QString key;
        quint64 serial;  // the oldest of an address is ended first
    };
    // A WebSocket command the deck queued: its outcome reports go to its client.
    struct Awaited {
        QPointer<QWebSocket> socket;
        QJsonValue id;   // the client's request id
        QString deck;
        std::uint64_t outcome;  // Outcome::id on that deck
    };
    // A POST ...?wait=1 whose answer waits for its operation's final outcome.
    struct Held {
        QString deck;
        std::uint64_t outcome;
        std::optional<OutcomeReport> last;
        qint64 sinceMs;
    };
    struct Failures {
        std::deque<qint64> atMs;  // the last kMaxFailures wrong tokens
        bool told = false;        // this throttling is in the log
    };
    enum class Auth { Ok, None, Wrong, Throttled };

    void onNewConnection();
    void onReadable(QTcpSocket* socket);
    void handle(QTcpSocket* socket, const Request& request);
    void handleApi(QTcpSocket* socket, const Request& request, const QString& clientAddress);
    // A POST body: JSON, else answered here with 415 or 400.
    bool readJsonBody(QTcpSocket* socket, const Request& request, QJsonObject& body);
    void handleLogin(QTcpSocket* socket, const Request& request);
    void upgrade(QTcpSocket* socket, const Request& request);
    void respond(QTcpSocket* socket, int status, const QByteArray& type, const QByteArray& body,
                 const QByteArray& extraHeaders = {});
    void respondJson(QTcpSocket* socket, int status, const QJsonObject& body);
    void forget(QTcpSocket* socket);

    bool hostAllowed(const QTcpSocket* socket, const QByteArray& host) const;
    bool originForeign(const Request& request) const;
    // The cookie's session or the Bearer token; counts a wrong token.
    // sessionEnd: when the cookie's session ends (0: no session used).
    Auth authorize(const QTcpSocket* socket, const Request& request, const char* op, qint64* sessionEnd = nullptr);
    qint64 sessionEnd(const Request& request);  // 0: no live session
    // Seconds until a throttled address may try again; 0: it may now.
    int retryAfter(const QString& key);
    void failed(const QTcpSocket* socket, const char* op);
    void respondThrottled(QTcpSocket* socket, const char* op, bool json);
    QByteArray newSession();
    void endSessions();  // and every socket opened by a session or the token
    void watchTokenFile();

    void onWebSocket();
    void onMessage(QWebSocket* socket, const QString& text);
    void dropClient(QWebSocket* socket);
    void checkBacklog(QWebSocket* socket);
    void pingClients();
    int clientsOf(const QString& key) const;
    void send(QWebSocket* socket, const QJsonObject& message);
    void broadcast(const QJsonObject& message);
    void greet(QWebSocket* socket);

    // One command from a WebSocket client on one deck (group: its roll, 0 alone).
    void runFromSocket(QWebSocket* socket, const QString& client, const QJsonValue& id, const QString& deck,
                       const QString& op, const CommandArgs& args, QString why, std::uint64_t group);
    void runRoll(QWebSocket* socket, const QString& client, const QJsonValue& id, const QJsonValue& decks,
                 const QString& op, const CommandArgs& args, QString why);
    void await(QWebSocket* socket, const QJsonValue& id, const QString& deck, std::uint64_t outcome);
    void outcomeReported(const QString& deck, const OutcomeReport& report);
    // A queued POST: answered now, or held until its final outcome with ?wait=1.
    void respondQueued(QTcpSocket* socket, const Request& request, const QString& deck, const Outcome& outcome);
    // why: the deck left, so no later report can come.
    void answerHeld(QTcpSocket* socket, const QString& why = {});
    // A deck leaves: what waited for its outcomes is answered or forgotten.
    void forgetDeck(const QString& name);

    QJsonObject deckState(const DeckEntry& entry) const;
    QJsonObject listMessage(const DeckEntry& entry, MediaList list) const;
    // Only the filled lines, each with its number as the panel shows it.
    QJsonObject filledList(const DeckEntry& entry, MediaList list) const;
    void stateMoved(DeckEntry* entry);
    void flushStates();
    void listMoved(DeckEntry* entry, MediaList list);
    void removeDeck(const QString& name);
    QJsonArray deckNameArray() const;
    DeckEntry* entry(const QString& name) const;

    Config config_;
    QTcpServer server_;
    std::unique_ptr<QWebSocketServer> ws_;
    std::map<QTcpSocket*, Reading> reading_;  // requests being read or held, with their deadline
    std::map<QTcpSocket*, Held> held_;        // those of reading_ held for an outcome
    std::deque<Awaited> awaited_;
    quint64 serial_ = 0;
    std::map<QTcpSocket*, Handover> handshaking_;  // handed to ws_, not yet a client
    std::vector<Client> clients_;
    QTimer pingTimer_;
    QElapsedTimer clock_;
    std::map<QString, Failures> failures_;
    std::map<QByteArray, qint64> sessions_;  // SHA-256 of the session id -> its end
    bool tokenBroken_ = false;               // the token file went bad: no one gets in
    QFileSystemWatcher* watcher_ = nullptr;
    std::map<QString, std::unique_ptr<DeckEntry>> decks_;
    bool flushQueued_ = false;
    EventFeed eventFeed_;
    std::function<QByteArray()> metrics_;
    Counters counters_;
};

}  // namespace qz7
