#include "log/event_log.h"

#include <unordered_map>

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <algorithm>
#include <utility>

#include "deck/deck.h"
#include "log/log_reader.h"
#include "net/link_monitor.h"

namespace qz7 {

namespace {

QString hexBytes(const Packet& p) {
    const std::vector<std::uint8_t> wire = p.wire();
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(wire.data()), static_cast<qsizetype>(wire.size())).toHex());
}

// Names are byte strings, one character a byte; other texts are UTF-8.
QString argText(const Arg& a, const std::string& text) {
    return a.name == "name" ? QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()))
                            : QString::fromStdString(text);
}

QJsonObject argsObject(const Args& args) {
    QJsonObject o;
    for (const Arg& a : args) {
        const QString key = QString::fromStdString(a.name);
        if (const auto* n = std::get_if<std::int64_t>(&a.value))
            o.insert(key, static_cast<qint64>(*n));
        else
            o.insert(key, argText(a, std::get<std::string>(a.value)));
    }
    return o;
}

QString latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// What the log last saw of a deck, so that only changes are told.
struct EventLog::Watch {
    QString transport = QStringLiteral("STOP");
    LinkMonitor::State link = LinkMonitor::State::Off;
    QString errorText;
    bool retrieving = false;
    qint64 retrieveRequests = 0;
    // The line of each queued operation whose final outcome is still to come.
    std::unordered_map<std::uint64_t, qint64> commandSeq;
};

EventLog::EventLog(const LogOptions& options, LogWriter::Clock clock, QObject* parent)
    : QObject(parent),
      clock_(clock ? std::move(clock) : LogWriter::Clock([] { return QDateTime::currentDateTimeUtc(); })),
      dir_(options.dir),
      pid_(QCoreApplication::applicationPid()) {
    minuteTimer_.setInterval(static_cast<int>(LogWriter::kRetryMs));
    connect(&minuteTimer_, &QTimer::timeout, this, &EventLog::onMinute);
    repeatTimer_.setInterval(kRepeatMs / 4);
    connect(&repeatTimer_, &QTimer::timeout, this, &EventLog::flushRepeats);
    if (!options.enabled) return;
    writer_ = std::make_unique<LogWriter>(options.dir, options.keepDays, clock_);
    minuteTimer_.start();
    // A folder that cannot be written shows at start (isOff()), not at the first event.
    shownOff_ = !writer_->openNow();
    checkWriter();
}

// The counts of refusals still open go to the file before it closes.
EventLog::~EventLog() { endRuns(clock_(), true); }

QJsonObject EventLog::base(const QString& deck, const QString& origin, const QString& kind, const QString& op) const {
    QJsonObject e;
    e.insert(QStringLiteral("ts"), logTimestamp(clock_()));
    e.insert(QStringLiteral("deck"), deck);
    e.insert(QStringLiteral("origin"), origin);
    e.insert(QStringLiteral("kind"), kind);
    e.insert(QStringLiteral("op"), op);
    e.insert(QStringLiteral("pid"), pid_);
    return e;
}

void EventLog::record(const QString& deck, const Origin& origin, const QString& kind, const QString& op,
                      const QJsonObject& fields) {
    record(deck, QString::fromStdString(origin.text()), kind, op, fields);
}

void EventLog::record(const QString& deck, const QString& origin, const QString& kind, const QString& op,
                      const QJsonObject& fields) {
    QJsonObject e = base(deck, origin, kind, op);
    for (auto it = fields.begin(); it != fields.end(); ++it) e.insert(it.key(), it.value());
    emitEvent(std::move(e));
}

void EventLog::emitEvent(QJsonObject event) {
    event.insert(QStringLiteral("seq"), ++seq_);
    if (writer_) writer_->write(QJsonDocument(event).toJson(QJsonDocument::Compact));
    std::deque<QJsonObject>& ring = recent_[event.value(QLatin1String("deck")).toString()];
    ring.push_back(event);
    if (ring.size() > static_cast<std::size_t>(kRecentPerDeck)) ring.pop_front();
    emit logged(event);
    checkWriter();
}

void EventLog::refused(QJsonObject event, const QString& reason) {
    const QDateTime now = clock_();
    endRuns(now, false);
    const QChar unit(0x1f);
    const QString key = event.value(QLatin1String("deck")).toString() + unit +
                        event.value(QLatin1String("origin")).toString() + unit +
                        event.value(QLatin1String("op")).toString() + unit + reason;
    if (const auto it = runs_.find(key); it != runs_.end()) {
        ++it->second.repeats;
        it->second.last = std::move(event);
        return;
    }
    runs_.emplace(key, Run{{}, 0, now.addMSecs(kRepeatMs)});
    if (!repeatTimer_.isActive()) repeatTimer_.start();
    emitEvent(std::move(event));
}

void EventLog::flushRepeats() { endRuns(clock_(), false); }

// A run whose second ended with repeats: one line for them (the last one's
// time and arguments, "repeated": how many), and the run goes on for another
// second; a quiet second ends it, and the next refusal is written at once.
void EventLog::endRuns(const QDateTime& now, bool all) {
    QList<QJsonObject> told;
    for (auto it = runs_.begin(); it != runs_.end();) {
        Run& run = it->second;
        if (!all && now < run.until) {
            ++it;
            continue;
        }
        if (run.repeats > 0) {
            QJsonObject e = std::move(run.last);
            e.insert(QStringLiteral("repeated"), run.repeats);
            told.append(std::move(e));
        }
        if (all || run.repeats == 0) {
            it = runs_.erase(it);
            continue;
        }
        run = Run{{}, 0, now.addMSecs(kRepeatMs)};
        ++it;
    }
    if (runs_.empty()) repeatTimer_.stop();
    std::stable_sort(told.begin(), told.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return a.value(QLatin1String("ts")).toString() < b.value(QLatin1String("ts")).toString();
    });
    for (QJsonObject& e : told) emitEvent(std::move(e));
}

void EventLog::retryNow() {
    if (!writer_ || !writer_->off()) return;
    writer_->retry();
    checkWriter();
}

void EventLog::onMinute() {
    if (!writer_) return;
    if (writer_->off()) {
        retryNow();
        return;
    }
    writer_->check();
    checkWriter();
}

// Off, back on, or a stretch the file does not hold: told to listeners and,
// once the file takes lines again, in the file (lost, since, why).
void EventLog::checkWriter() {
    if (!writer_) return;
    if (writer_->off()) {
        if (!shownOff_) {
            shownOff_ = true;
            emit offChanged(true, writer_->reason());
        }
        return;
    }
    const bool wasOff = std::exchange(shownOff_, false);
    if (writer_->gapPending()) {
        const LogWriter::Gap gap = writer_->takeGap();
        // The file was replaced under the log and a new one is open already:
        // told both ways all the same, a stretch is missing.
        if (!wasOff) emit offChanged(true, gap.reason);
        emit offChanged(false, {});
        record(QString(), QStringLiteral("log"), QStringLiteral("system"), QStringLiteral("log/on"),
               {{QStringLiteral("args"), QJsonObject{{QStringLiteral("lost"), gap.lost},
                                                     {QStringLiteral("since"), logTimestamp(gap.since)},
                                                     {QStringLiteral("reason"), gap.reason}}}});
    } else if (wasOff) {
        emit offChanged(false, {});
    }
    if (const qint64 cut = writer_->takeRepaired(); cut > 0)
        record(QString(), QStringLiteral("log"), QStringLiteral("system"), QStringLiteral("log/repair"),
               {{QStringLiteral("args"), QJsonObject{{QStringLiteral("bytes"), cut},
                                                     {QStringLiteral("file"),
                                                      QFileInfo(writer_->repairedFile()).fileName()}}}});
}

QJsonArray EventLog::recent(const QString& deck, int count) const {
    QJsonArray out;
    const auto it = recent_.find(deck);
    if (it == recent_.end() || count <= 0) return out;
    const std::deque<QJsonObject>& ring = it->second;
    const std::size_t n = std::min<std::size_t>(ring.size(), static_cast<std::size_t>(count));
    for (std::size_t i = ring.size() - n; i < ring.size(); ++i) out.append(ring[i]);
    return out;
}

QList<QJsonObject> EventLog::kept() const {
    QList<QJsonObject> out;
    for (const auto& [deck, ring] : recent_) out.append(QList<QJsonObject>(ring.begin(), ring.end()));
    std::sort(out.begin(), out.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return a.value(QLatin1String("seq")).toInteger() < b.value(QLatin1String("seq")).toInteger();
    });
    return out;
}

void EventLog::attach(Deck& deck) {
    auto watch = std::make_shared<Watch>();
    Deck* d = &deck;
    watch->transport = QString::fromStdString(deck.status().transport);
    watch->link = deck.monitor().state();

    auto deckEvent = [this, d](const QString& origin, const QString& kind, const QString& op) {
        QJsonObject e = base(d->name(), origin, kind, op);
        e.insert(QStringLiteral("tc"), QString::fromStdString(d->status().timecode.text()));
        return e;
    };
    const QString recorder = QStringLiteral("recorder");

    connect(d, &Deck::operated, this,
            [this, deckEvent, watch](const Origin& origin, const QString& op, const Outcome& outcome) {
        const bool queued = outcome.queued();
        QJsonObject e = deckEvent(QString::fromStdString(origin.text()),
                                  queued ? QStringLiteral("command") : QStringLiteral("refused"), op);
        e.insert(QStringLiteral("args"), argsObject(outcome.args));
        const QString result = queued ? QStringLiteral("queued") : QString::fromStdString(outcome.refusal);
        e.insert(QStringLiteral("outcome"), result);
        if (outcome.packets.size() == 1) {
            e.insert(QStringLiteral("bytes"), hexBytes(outcome.packets.front()));
        } else if (!outcome.packets.empty()) {
            QJsonArray bytes;
            for (const Packet& p : outcome.packets) bytes.append(hexBytes(p));
            e.insert(QStringLiteral("bytes"), bytes);
        }
        if (origin.group != 0) e.insert(QStringLiteral("group"), static_cast<qint64>(origin.group));
        if (!queued) {
            refused(std::move(e), result);
            return;
        }
        // Bounded like the stack: an operation that never reports (a deck
        // cleared by hand) is forgotten with the oldest.
        if (outcome.id != 0 && watch->commandSeq.size() < 4096) watch->commandSeq[outcome.id] = seq_ + 1;
        emitEvent(std::move(e));
    });

    // One line per final outcome, naming the line of its command.
    connect(d, &Deck::outcomeReported, this, [this, deckEvent, watch](const OutcomeReport& r) {
        if (!r.final) return;
        QJsonObject e = deckEvent(QString::fromStdString(r.origin.text()), QStringLiteral("outcome"),
                                  QString::fromStdString(r.op));
        e.insert(QStringLiteral("outcome"), QString::fromLatin1(r.word()));
        e.insert(QStringLiteral("transport"), latin1(r.transport));
        e.insert(QStringLiteral("ms"), static_cast<qint64>(r.ms));
        if (!r.note.empty()) e.insert(QStringLiteral("note"), latin1(r.note));
        if (r.group != 0) e.insert(QStringLiteral("group"), static_cast<qint64>(r.group));
        if (const auto it = watch->commandSeq.find(r.id); it != watch->commandSeq.end()) {
            e.insert(QStringLiteral("command"), it->second);
            watch->commandSeq.erase(it);
        }
        emitEvent(std::move(e));
    });

    connect(d, &Deck::alarmRaised, this, [this, deckEvent](const QString& text) {
        QJsonObject e = deckEvent(QStringLiteral("recorder"), QStringLiteral("alarm"), QStringLiteral("alarm"));
        e.insert(QStringLiteral("alarm"), text);
        emitEvent(std::move(e));
    });

    // A STOP took the transport commands still waiting off the stack.
    connect(d, &Deck::superseded, this,
            [this, deckEvent](const Origin& by, int count, const QMap<QString, int>& removed) {
                QJsonObject e = deckEvent(QString::fromStdString(by.text()), QStringLiteral("superseded"),
                                          QStringLiteral("stop"));
                QJsonObject ops;
                for (auto it = removed.begin(); it != removed.end(); ++it) ops.insert(it.key(), it.value());
                e.insert(QStringLiteral("count"), count);
                e.insert(QStringLiteral("removed"), ops);
                emitEvent(std::move(e));
            });

    // A new transport word; going into REC or out of it names the file.
    connect(d, &Deck::transportChanged, this, [this, d, watch, deckEvent, recorder](const QString& word) {
        if (word == watch->transport) return;
        const bool recStart = word == QLatin1String("REC");
        const bool recStop = watch->transport == QLatin1String("REC");
        watch->transport = word;
        QJsonObject e = deckEvent(recorder, QStringLiteral("recorder"),
                                  recStart ? QStringLiteral("rec/start")
                                           : recStop ? QStringLiteral("rec/stop") : QStringLiteral("transport"));
        e.insert(QStringLiteral("transport"), word);
        if (recStart || recStop) e.insert(QStringLiteral("file"), latin1(numberText(d->status().number)));
        emitEvent(std::move(e));
    });

    // The recorder's error text coming and going.
    connect(d, &Deck::errorLineChanged, this, [this, d, watch, deckEvent, recorder] {
        const QString text = latin1(d->status().errorText);
        if (text == watch->errorText) return;
        QJsonObject e = deckEvent(recorder, QStringLiteral("recorder"),
                                  text.isEmpty() ? QStringLiteral("error/off") : QStringLiteral("error/on"));
        e.insert(QStringLiteral("error"), text.isEmpty() ? watch->errorText : text);
        watch->errorText = text;
        emitEvent(std::move(e));
    });

    // Send and tick errors (the deck already leaves out a repeat).
    connect(d, &Deck::errorRaised, this, [this, deckEvent](const QString& message) {
        QJsonObject e = deckEvent(QStringLiteral("recorder"), QStringLiteral("error"), QStringLiteral("deck/error"));
        e.insert(QStringLiteral("error"), message);
        emitEvent(std::move(e));
    });

    // OK, NO REPLY and OFF; the wait between "Apply" and the first answer is
    // not a change of its own.
    const LinkMonitor* monitor = &deck.monitor();
    connect(monitor, &LinkMonitor::changed, this, [this, monitor, watch, deckEvent] {
        const LinkMonitor::State state = monitor->state();
        if (state == LinkMonitor::State::Waiting || state == watch->link) return;
        watch->link = state;
        QJsonObject e = deckEvent(QStringLiteral("recorder"), QStringLiteral("link"), QStringLiteral("link"));
        e.insert(QStringLiteral("link"), QString::fromStdString(linkWord(state)));
        if (state != LinkMonitor::State::Off) e.insert(QStringLiteral("address"), monitor->address());
        emitEvent(std::move(e));
    });

    // The Retrieve command is logged as an operation; its end is logged here.
    connect(d, &Deck::retrieveProgressChanged, this, [this, d, watch, deckEvent, recorder] {
        const RetrieveProgressState& r = d->retrieveProgress();
        if (r.running && !watch->retrieving) {
            watch->retrieving = true;
            watch->retrieveRequests = r.total;
            return;
        }
        if (r.running || !watch->retrieving) return;
        watch->retrieving = false;
        QJsonObject e = deckEvent(recorder, QStringLiteral("recorder"), QStringLiteral("retrieve/done"));
        QJsonObject args{{QStringLiteral("requests"), watch->retrieveRequests},
                         {QStringLiteral("missing"), r.incomplete ? r.missing : 0}};
        if (r.incomplete) args.insert(QStringLiteral("unanswered"), latin1(r.missingText));
        e.insert(QStringLiteral("args"), args);
        e.insert(QStringLiteral("outcome"), r.cancelled    ? QStringLiteral("cancelled by apply")
                                            : r.incomplete ? QStringLiteral("incomplete")
                                                           : QStringLiteral("complete"));
        emitEvent(std::move(e));
    });
}

}  // namespace qz7
