// The event log: who did what to which recorder, and what the recorder did.
// It follows decks: every operation with its origin, named arguments,
// outcome and command bytes, and what the recorder reported that matters on
// air (a new transport word, REC start and stop, the link, an error text
// coming and going, a send error, a Retrieve finishing, the commands a STOP
// took off the stack). A run of one refusal (same deck, origin, operation
// and reason) is one line at once and then one line a second with the count
// ("repeated"), so that a flood cannot fill the disk. Each event is one
// JSON object: written as a line by the LogWriter, kept in a short ring per
// deck for front ends, and told to whoever listens (the viewer, the web page).
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>
#include <deque>
#include <map>
#include <memory>

#include "deck/origin.h"
#include "log/log_options.h"
#include "log/log_writer.h"

namespace qz7 {

class Deck;

class EventLog : public QObject {
    Q_OBJECT
public:
    // Events kept in memory per deck, for recent().
    static constexpr int kRecentPerDeck = 200;
    // A run of one refusal is counted for this long before its line.
    static constexpr int kRepeatMs = 1000;

    // options.dir must be set when options.enabled (the program picks its default).
    explicit EventLog(const LogOptions& options, LogWriter::Clock clock = {}, QObject* parent = nullptr);
    ~EventLog() override;

    // Follows deck from now on, until it is destroyed.
    void attach(Deck& deck);

    // An event that no deck reports (a rack reload, the log itself).
    // deck may be "" for the whole process.
    void record(const QString& deck, const Origin& origin, const QString& kind, const QString& op,
                const QJsonObject& fields = {});
    void record(const QString& deck, const QString& origin, const QString& kind, const QString& op,
                const QJsonObject& fields = {});

    // The deck's last count events, oldest first.
    QJsonArray recent(const QString& deck, int count) const;
    // Every event still held in memory, all decks, in order.
    QList<QJsonObject> kept() const;

    // Writing to a file at all (not --no-log).
    bool enabled() const { return writer_ != nullptr; }
    QString dir() const { return dir_; }
    // A line could not be written: LOG OFF, and why.
    bool isOff() const { return writer_ && writer_->off(); }
    QString offReason() const { return writer_ ? writer_->reason() : QString(); }
    LogWriter* writer() { return writer_.get(); }
    qint64 lastSeq() const { return seq_; }

    // Tries the file again at once (the minute's timer does this by itself).
    void retryNow();
    // Writes the count of each run of refusals whose second has ended (a
    // timer calls this while a run goes on).
    void flushRepeats();

signals:
    // Every event, with its "deck" field; also while the file is off.
    void logged(const QJsonObject& event);
    // The file went off (with the reason) or came back. A log that cannot
    // write from the start is off at once (isOff()) without this signal.
    void offChanged(bool off, const QString& reason);

private:
    struct Watch;
    // One refusal said once, its repeats counted until the second ends.
    struct Run {
        QJsonObject last;
        qint64 repeats = 0;
        QDateTime until;
    };
    void emitEvent(QJsonObject event);
    void refused(QJsonObject event, const QString& reason);
    void endRuns(const QDateTime& now, bool all);
    QJsonObject base(const QString& deck, const QString& origin, const QString& kind, const QString& op) const;
    void checkWriter();
    void onMinute();

    LogWriter::Clock clock_;
    std::unique_ptr<LogWriter> writer_;
    QString dir_;
    qint64 seq_ = 0;
    qint64 pid_ = 0;
    bool shownOff_ = false;
    QTimer minuteTimer_;  // the retry while off, the file's check while on
    QTimer repeatTimer_;
    std::map<QString, Run> runs_;
    std::map<QString, std::deque<QJsonObject>> recent_;
};

}  // namespace qz7
