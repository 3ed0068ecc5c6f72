// The web remote: one TCP port serves the page, a JSON API and the WebSocket
// /ws, on the program's event loop. Every request is read here first, bounded
// (head 8 KiB, body 4 KiB), and checked before anything acts: the client's
// address against the served networks, Host against the names this server
// answers to (DNS rebinding), Origin against the page's own origin (another
// site open in the same browser), and the token. Only then is an upgrade
// handed to QWebSocketServer, which does the framing. Commands go through the
// shared vocabulary (remote_command.h) with the client as the origin.
#pragma once

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "media/media_model.h"
#include "remote/web_options.h"

class QTcpSocket;
class QTimer;
class QWebSocket;
class QWebSocketServer;

namespace qz7 {

class EventLog;

class Deck;
class RemoteSession;

class WebServer : public QObject {
    Q_OBJECT
public:
    struct Config {
        QHostAddress bind = QHostAddress(QHostAddress::LocalHost);
        quint16 port = 0;  // 0: any free port
        QList<OscNetwork> served;
        QString token;      // empty: none asked (loopback only)
        QStringList hosts;  // names besides the bound address
        int listIntervalMs = kListIntervalMs;  // tests shorten it
    };
    static Config configFrom(const WebOptions& options, const QString& token);

    static constexpr int kListIntervalMs = 250;
    static constexpr int kMaxClients = 16;       // WebSocket clients at once
    static constexpr int kMaxRequests = 32;      // HTTP requests being read at once
    static constexpr qint64 kMaxHead = 8192;
    static constexpr qint64 kMaxBody = 4096;     // also the longest WebSocket message
    static constexpr qint64 kMaxBacklog = 1 << 20;  // unsent bytes before a client is dropped
    static constexpr int kRequestTimeoutMs = 10000;

    struct Counters {
        quint64 requests = 0;      // HTTP requests answered
        quint64 notServed = 0;     // connections from outside the served networks, closed unread
        quint64 forbidden = 0;     // 403: foreign Host or Origin
        quint64 unauthorized = 0;  // 401
        quint64 dropped = 0;       // clients dropped: too slow, too many, too long a message
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
    // every new one. The log outlives the server.
    void followLog(const EventLog& log);
    static constexpr int kEventsShown = 50;

    int clientCount() const { return static_cast<int>(clients_.size()); }
    const Counters& counters() const { return counters_; }

public slots:
    // A new event of the log (it names its deck): to every client.
    void eventLogged(const QJsonObject& event);

signals:
    void clientsChanged(int count);

private:
    struct Request;
    struct DeckEntry;
    struct Client {
        QWebSocket* socket;
        QString address;
    };

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
    bool authorized(const Request& request) const;

    void onWebSocket();
    void onMessage(QWebSocket* socket, const QString& text);
    void dropClient(QWebSocket* socket);
    void send(QWebSocket* socket, const QJsonObject& message);
    void broadcast(const QJsonObject& message);
    void greet(QWebSocket* socket);

    QJsonObject deckState(const DeckEntry& entry) const;
    QJsonObject listMessage(const DeckEntry& entry, MediaList list) const;
    void stateMoved(DeckEntry* entry);
    void flushStates();
    void listMoved(DeckEntry* entry, MediaList list);
    void removeDeck(const QString& name);
    QJsonArray deckNameArray() const;
    DeckEntry* entry(const QString& name) const;

    Config config_;
    QTcpServer server_;
    std::unique_ptr<QWebSocketServer> ws_;
    std::map<QTcpSocket*, QTimer*> reading_;  // requests being read, with their deadline
    std::vector<Client> clients_;
    std::map<QString, std::unique_ptr<DeckEntry>> decks_;
    bool flushQueued_ = false;
    EventFeed eventFeed_;
    Counters counters_;
};

}  // namespace qz7
