// A program as it runs: its decks, the event log, the OSC endpoint, the web
// remote and its lines on stderr, built one way for qz7cont (one deck, shown
// in the window or run headless) and for qz7rack (a rack of decks). The
// window is handed the deck; the assembly starts the deck's poll cycle.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "log/log_options.h"
#include "net/recorder_link.h"
#include "remote/remote_options.h"
#include "remote/web_options.h"

namespace qz7 {

class Deck;
class EventLog;
class Metrics;
class OscServer;
class Rack;
class RemoteControl;
class WebServer;

struct AssemblyConfig {
    QString program = QStringLiteral("qz7cont");  // the prefix of every stderr line
    // A window shows the link, the errors and the log's state itself: they
    // stay off stderr.
    bool window = false;
    RemoteOptions osc;
    WebOptions http;
    QString webToken;
    LogOptions log;  // dir "": no log file
};

class Assembly : public QObject {
    Q_OBJECT
public:
    // Where the lines go: stderr with the program's prefix unless told.
    using Lines = std::function<void(const QString&)>;
    explicit Assembly(AssemblyConfig config, LinkTiming timing = {}, Lines lines = {}, QObject* parent = nullptr);
    ~Assembly() override;

    // qz7cont: its one deck, logged and watched, not yet polling.
    Deck& makeDeck(const DevicePair& devices, const QString& name);
    // qz7rack: the decks on one loop; every deck it starts is logged and watched.
    Rack& makeRack();

    // Opens the OSC endpoint and the web remote over the deck or the rack,
    // then starts the deck's poll cycle (a rack starts each deck as it applies
    // it). False with the reason when a front end cannot listen.
    bool start(QString* error);
    // The web page lists the rack's decks as they are now.
    void showDecksOnWeb();
    // Stops the polling of every deck; the front ends stay until the end.
    void shutdown();

    // One line on stderr (or where the lines go).
    void say(const QString& line) const { lines_(line); }
    const Lines& lines() const { return lines_; }

    Deck* deck() const { return deck_.get(); }
    Rack* rack() const { return rack_.get(); }
    EventLog& eventLog() const { return *eventLog_; }
    OscServer* osc() const { return osc_.get(); }
    WebServer* web() const { return web_.get(); }

private:
    // The deck's lines on stderr: link changes and errors, each once.
    void watch(Deck& deck, const QString& prefix);

    AssemblyConfig config_;
    LinkTiming timing_;
    Lines lines_;
    // The log outlives the decks (their last events), the decks outlive the
    // front ends that call them.
    std::unique_ptr<EventLog> eventLog_;
    std::unique_ptr<Metrics> metrics_;  // GET /metrics: follows every deck watched
    std::unique_ptr<Deck> deck_;
    std::unique_ptr<Rack> rack_;
    std::unique_ptr<RemoteControl> remote_;
    std::unique_ptr<OscServer> osc_;
    std::unique_ptr<WebServer> web_;
};

}  // namespace qz7
