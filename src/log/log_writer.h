// The event log's file: one JSON line per event, one file per UTC day
// (events-YYYY-MM-DD.jsonl), old days removed. Each line goes out with one
// write() on a descriptor opened O_APPEND, so several processes may share the
// folder. The folder is made 0750 and the files 0640 (they hold client
// addresses); the day's name is opened O_NOFOLLOW, and a symlink or anything
// but a regular file there is refused. A write cut short (a full disk) is
// truncated back to the line's start. A line that cannot be written turns the
// log off, with the reason, until the next try a minute later; control never
// waits for the log.
//
// The kernel gives up a write() to a file at a page boundary when the process
// is killed, so a kill in the middle of a long line can leave its first part
// behind: the first open cuts such a tail back to the last whole line and
// tells how many bytes went (takeRepaired()).
//
// A folder or file removed or replaced under the open descriptor would
// swallow every line: at most once a second, before a write (and when
// check() is called), the file at the name must still be the one open. If it
// is not, the lines written since the last good check are counted lost, the
// folder is made again and a new file opened; takeGap() tells the stretch.
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
    // How often a write looks whether the open file is still at its name.
    static constexpr qint64 kCheckMs = 1'000;

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
    // While on: whether the open file is still at its name, now; if not, a
    // gap and a new file (or the log off, when none can be opened).
    void check();

    bool off() const { return off_; }
    QString reason() const { return reason_; }
    QString dir() const { return dir_; }
    int keepDays() const { return keepDays_; }
    // The file written to now ("" while none is open).
    QString currentFile() const;
    // Lines not written since the gap began (cleared when it is told).
    qint64 lost() const { return lost_; }

    // A stretch the file does not hold: lines lost, since when, and why.
    struct Gap {
        qint64 lost = 0;
        QDateTime since;
        QString reason;
    };
    // True while on with a gap not yet told (the file was replaced under
    // the log and a new one opened at once, or the log came back on).
    bool gapPending() const { return !off_ && since_.isValid(); }
    Gap takeGap();
    // Bytes of a cut last line removed at the first open (0: none), and the file.
    qint64 takeRepaired();
    QString repairedFile() const { return repairedFile_; }

    static QString fileName(const QDate& day);
    // The day of a file name made by fileName; invalid for any other name.
    static QDate dayOf(const QString& fileName);

    // Tests replace write(2) to cut a write short.
    using WriteFn = std::function<ssize_t(int fd, const void* data, size_t size)>;
    void setWriteForTesting(WriteFn fn) { write_ = std::move(fn); }

private:
    bool open(const QDate& day, const QDateTime& now);
    void repairTail(const QString& path);
    bool stillThere(const QDateTime& now);
    void prune(const QDate& today);
    void fail(const QString& reason, const QDateTime& now);
    void close();

    QString dir_;
    int keepDays_;
    Clock clock_;
    WriteFn write_;
    int fd_ = -1;
    dev_t dev_ = 0;
    ino_t ino_ = 0;
    QDate day_;
    bool off_ = false;
    QString reason_;
    QDateTime retryAt_;
    qint64 lost_ = 0;
    QDateTime since_;  // start of the gap not yet told
    QString gapReason_;
    QDateTime checkAt_;      // next look at the name
    QDateTime lastGood_;     // the last look that found the file in place
    QDateTime unchecked_;    // first line written since then
    qint64 uncheckedLines_ = 0;
    bool repairDue_ = true;  // the first open looks at the file's tail
    qint64 repaired_ = 0;
    QString repairedFile_;
};

}  // namespace qz7
