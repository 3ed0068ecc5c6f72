#include "rack/assembly.h"

#include <QRegularExpression>
#include <cstdio>

#include "deck/deck.h"
#include "log/event_log.h"
#include "link/status_text.h"
#include "net/link_monitor.h"
#include "rack/rack.h"
#include "remote/metrics.h"
#include "remote/osc_server.h"
#include "remote/remote_control.h"
#include "remote/web_server.h"

namespace qz7 {

Assembly::Assembly(AssemblyConfig config, LinkTiming timing, Lines lines, QObject* parent)
    : QObject(parent), config_(std::move(config)), timing_(timing), lines_(std::move(lines)) {
    if (!lines_) {
        // A line may begin with systemd's priority ("<3>" an error): it stays
        // in front, where the journal reads it.
        const QByteArray prefix = config_.program.toLocal8Bit();
        lines_ = [prefix](const QString& line) {
            static const QRegularExpression priority(QStringLiteral("^<[0-7]>"));
            const qsizetype level = priority.match(line).hasMatch() ? 3 : 0;
            std::fprintf(stderr, "%s%s: %s\n", qPrintable(line.left(level)), prefix.constData(),
                         qPrintable(line.mid(level)));
        };
    }
    const LogOptions& log = config_.log;
    eventLog_ = std::make_unique<EventLog>(LogOptions{log.enabled && !log.dir.isEmpty(), log.dir, log.keepDays});
    metrics_ = std::make_unique<Metrics>();
    metrics_->setEventLog(*eventLog_);
    if (config_.window) return;
    // Without a window the log's trouble is one line each way.
    const auto logState = [this](bool off, const QString& why) {
        say(off ? QStringLiteral("LOG OFF: %1 (control goes on; trying again every minute)").arg(why)
                : QStringLiteral("log: writing again to %1").arg(eventLog_->dir()));
    };
    connect(eventLog_.get(), &EventLog::offChanged, this, logState);
    if (eventLog_->isOff()) logState(true, eventLog_->offReason());
}

Assembly::~Assembly() {
    web_.reset();
    osc_.reset();
    remote_.reset();
    shutdown();
}

Deck& Assembly::makeDeck(const DevicePair& devices, const QString& name) {
    deck_ = std::make_unique<Deck>(devices, timing_);
    deck_->setName(name);
    watch(*deck_, QString());
    return *deck_;
}

Rack& Assembly::makeRack() {
    rack_ = std::make_unique<Rack>(timing_, lines_);
    // Made and named, not yet applied: the log and the lines see its first moment.
    connect(rack_.get(), &Rack::deckStarted, this,
            [this](Deck* deck) { watch(*deck, QStringLiteral("deck %1: ").arg(deck->name())); });
    return *rack_;
}

void Assembly::watch(Deck& deck, const QString& prefix) {
    eventLog_->attach(deck);
    metrics_->attach(deck);
    if (config_.window) return;
    // The deck leaves out a repeat of the same failure, as the window does.
    connect(&deck, &Deck::errorRaised, this, [this, prefix](const QString& message) { say(prefix + message); });
    const LinkMonitor& monitor = deck.monitor();
    // Link changes, not every second of a silence. The text shown lives as
    // long as the connection: it dies with the deck.
    auto shown = std::make_shared<QString>();
    connect(&monitor, &LinkMonitor::changed, this, [this, prefix, &monitor, shown] {
        const QString text = QString::fromStdString(linkLine(monitor.state(), monitor.address().toStdString()));
        if (text != *shown) say(prefix + QStringLiteral("link: %1").arg(*shown = text));
    });
    // Alarms and the recorder's error text are errors for the journal: one
    // line each, an error text once while it stands. An alarm that only
    // repeats the error text just said adds no line.
    const QString error = QStringLiteral("<3>");
    auto errorText = std::make_shared<QString>();
    const auto errorAlarm = [](const QString& text) { return QStringLiteral("recorder error: ") + text; };
    connect(&deck, &Deck::errorLineChanged, this, [this, &deck, prefix, error, errorText, errorAlarm] {
        const QString text = QString::fromLatin1(deck.status().errorText.data(),
                                                 static_cast<qsizetype>(deck.status().errorText.size()))
                                 .trimmed();
        if (text == *errorText) return;
        *errorText = text;
        if (!text.isEmpty() && QString::fromStdString(deck.alarm()) != errorAlarm(text))
            say(error + prefix + errorAlarm(text));
    });
    connect(&deck, &Deck::alarmRaised, this, [this, prefix, error, errorText, errorAlarm](const QString& text) {
        if (errorText->isEmpty() || text != errorAlarm(*errorText)) say(error + prefix + QStringLiteral("ALARM ") + text);
    });
}

bool Assembly::start(QString* error) {
    if (config_.osc.osc) {
        if (rack_) {
            OscServer::Config osc = OscServer::configFrom(config_.osc);
            osc.program = config_.program;
            osc_ = std::make_unique<OscServer>(*rack_, osc);
            if (!osc_->start(error)) return false;
            connect(rack_.get(), &Rack::stateChanged, osc_.get(),
                    [this](const std::string& deck, const ViewState& state) { osc_->publish(deck, state); });
        } else if (deck_) {
            remote_ = std::make_unique<RemoteControl>(*deck_, config_.osc);
            if (!remote_->start(error)) return false;
        }
    }
    if (config_.http.http) {
        web_ = std::make_unique<WebServer>(WebServer::configFrom(config_.http, config_.webToken));
        if (!web_->start(error)) return false;
        web_->followLog(*eventLog_);
        web_->setMetrics([this] { return metrics_->render(); });
        if (deck_) web_->setDecks({deck_.get()});
        // Scripts and tests read the port when 0 asked for any free one.
        say(QStringLiteral("web remote on http://%1:%2/").arg(web_->address().toString()).arg(web_->port()));
    }
    // The poll cycle ticks from here on; nothing is sent before an Apply.
    if (deck_) deck_->start();
    return true;
}

void Assembly::showDecksOnWeb() {
    if (!web_ || !rack_) return;
    QList<Deck*> decks;
    for (const QString& name : rack_->names()) decks << rack_->deck(name);
    web_->setDecks(decks);
}

void Assembly::shutdown() {
    if (rack_) rack_->shutdown();
    if (deck_) deck_->shutdown();
}

}  // namespace qz7
