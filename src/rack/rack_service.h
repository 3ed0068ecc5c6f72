// qz7rack as a program: its command line, the configuration it makes, its
// assembly (the rack, the log, OSC and the web remote over the rack), and
// reloading the file on SIGHUP.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

#include "rack/assembly.h"
#include "rack/rack.h"
#include "rack/rack_config.h"
#include "remote/remote_options.h"

namespace qz7 {

class EventLog;
class OscServer;
class WebServer;

struct RackOptions {
    QList<DeckConfig> decks;  // --deck
    QString configFile;     // --config
    RemoteOptions remote;   // --osc ... as given on the command line
    WebOptions web;         // --http ... as given on the command line
    LogOptions log;         // --log-dir, --log-keep-days, --no-log
    bool checkConfig = false;
    // --log-export FROM TO [--csv]: print a range of the log and exit.
    bool logExport = false;
    QString exportFrom, exportTo;
    bool csv = false;
    bool help = false;
    bool version = false;
    QString error;  // the command line was not understood
};

RackOptions parseRackOptions(const QStringList& arguments);
QString rackUsageText();

// What the command line and the file make together.
struct RackSetup {
    QList<DeckConfig> decks;
    OscSection fileOsc;
    RemoteOptions osc;
    WebSection fileHttp;
    WebOptions http;
    QString webToken;
    LogOptions fileLog;
    LogOptions log;  // "" dir: no log file (the program fills in its default)
};
// "" or why the configuration is refused (the file's line included).
QString loadRackSetup(const RackOptions& options, RackSetup& setup);
// --log-export: the range as JSON lines (or CSV) in out; lines that are not
// JSON are counted in *skipped. "" or why not.
QString exportLog(const RackOptions& options, const RackSetup& setup, QByteArray& out, int* skipped = nullptr);

class RackService : public QObject {
    Q_OBJECT
public:
    RackService(RackOptions options, RackSetup setup, LinkTiming timing = {}, Rack::Log log = {},
                QObject* parent = nullptr);
    ~RackService() override;

    // Opens the OSC endpoint (when configured) and starts every deck.
    bool start(QString* error);
    // Reads the file again and brings the decks to it; a bad file changes
    // nothing. Returns what it did, as logged.
    QString reload();

    Rack& rack() { return rack_; }
    OscServer* osc() { return assembly_.osc(); }
    WebServer* web() { return assembly_.web(); }
    // Every deck's events and the reloads.
    EventLog* eventLog() { return &assembly_.eventLog(); }

private:
    RackOptions options_;
    RackSetup setup_;
    Assembly assembly_;
    Rack& rack_;
    void say(const QString& line) const { assembly_.say(line); }
};

}  // namespace qz7
