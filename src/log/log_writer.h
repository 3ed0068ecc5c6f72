// The event log's file: one JSON line per event, one file per UTC day
// (events-YYYY-MM-DD.jsonl), old days removed. Each line goes out with one
// write() on a descriptor opened O_APPEND, so a crash or a kill leaves whole
// lines only, and several processes may share the folder. A write cut short
// (a full disk) is truncated back to the line's start. A line that cannot be
// written turns the log off, with the reason, until the next try a minute
// later; control never waits for the log.
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>
#include <sys/types.h>

namespace qz7 {

class LogWriter {
public:
    // Now, in UTC. Tests pass a clock of their own to cross midnight.
    using Clock = std::function<QDateTime()>;
    static constexpr qint64 kRetryMs = 60'000;

    LogWriter(QString dir, int keepDays, Clock clock = {});
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Appends line and a newline. False: the line was not written (the log
    // is off, or went off now).
    bool write(const QByteArray& line);
    // While off: tries to open the day's file again now, without waiting for
    // the minute. True once the log is on.
    bool retry();
    // Opens today's file now, so that a folder that cannot be written is
    // known at start and not at the first event. True when it is open.
    bool openNow();

    bool off() const { return off_; }
    QString reason() const { return reason_; }
    QString dir() const { return dir_; }
    int keepDays() const { return keepDays_; }
    // The file written to now ("" while none is open).
    QString currentFile() const;
    // Lines not written since the log went off (cleared when it comes back).
    qint64 lost() const { return lost_; }
    qint64 takeLost();

    static QString fileName(const QDate& day);
    // The day of a file name made by fileName; invalid for any other name.
    static QDate dayOf(const QString& fileName);

    // Tests replace write(2) to cut a write short.
    using WriteFn = std::function<ssize_t(int fd, const void* data, size_t size)>;
    void setWriteForTesting(WriteFn fn) { write_ = std::move(fn); }

private:
    bool open(const QDate& day, const QDateTime& now);
    void prune(const QDate& today);
    void fail(const QString& reason, const QDateTime& now);
    void close();

    QString dir_;
    int keepDays_;
    Clock clock_;
    WriteFn write_;
    int fd_ = -1;
    QDate day_;
    bool off_ = false;
    QString reason_;
    QDateTime retryAt_;
    qint64 lost_ = 0;
};

}  // namespace qz7
