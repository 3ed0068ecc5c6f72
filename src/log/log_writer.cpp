#include "log/log_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz7 {

namespace {

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// Each folder made on the way is 0750: the log is the operators' business.
// "" or why not.
QString makeFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) == 0)
        return S_ISDIR(st.st_mode) ? QString() : QStringLiteral("%1 is not a folder").arg(path);
    const QString parent = QFileInfo(path).path();
    if (parent != path)
        if (QString why = makeFolder(parent); !why.isEmpty()) return why;
    if (::mkdir(native.constData(), 0750) != 0 && errno != EEXIST) return systemError(errno);
    return {};
}

}  // namespace

LogWriter::LogWriter(QString dir, int keepDays, Clock clock)
    : dir_(std::move(dir)),
      keepDays_(keepDays),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); })),
      write_([](int fd, const void* data, size_t size) { return ::write(fd, data, size); }) {}

LogWriter::~LogWriter() { close(); }

QString LogWriter::fileName(const QDate& day) {
    return QStringLiteral("events-%1.jsonl").arg(day.toString(QStringLiteral("yyyy-MM-dd")));
}

QDate LogWriter::dayOf(const QString& name) {
    if (name.size() != 23 || !name.startsWith(QLatin1String("events-")) || !name.endsWith(QLatin1String(".jsonl")))
        return {};
    return QDate::fromString(name.mid(7, 10), QStringLiteral("yyyy-MM-dd"));
}

QString LogWriter::currentFile() const { return fd_ < 0 ? QString() : QDir(dir_).filePath(fileName(day_)); }

LogWriter::Gap LogWriter::takeGap() {
    Gap gap{lost_, since_, gapReason_};
    lost_ = 0;
    since_ = {};
    gapReason_.clear();
    return gap;
}

qint64 LogWriter::takeRepaired() {
    const qint64 n = repaired_;
    repaired_ = 0;
    return n;
}

void LogWriter::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void LogWriter::fail(const QString& reason, const QDateTime& now) {
    close();
    off_ = true;
    reason_ = reason;
    retryAt_ = now.addMSecs(kRetryMs);
    if (!since_.isValid()) since_ = now;
    gapReason_ = reason;
}

bool LogWriter::open(const QDate& day, const QDateTime& now) {
    close();
    if (const QString why = makeFolder(QDir::cleanPath(QFileInfo(dir_).absoluteFilePath())); !why.isEmpty()) {
        fail(QStringLiteral("cannot make the log folder %1: %2").arg(dir_, why), now);
        return false;
    }
    const QString path = QDir(dir_).filePath(fileName(day));
    const QByteArray native = QFile::encodeName(path);
    // Read as well, for the tail's repair; O_NONBLOCK so that a FIFO put at
    // the name cannot hold the open.
    const int fd =
        ::open(native.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0640);
    if (fd < 0) {
        const int error = errno;
        fail(error == ELOOP   ? QStringLiteral("%1 is a symbolic link; the log does not follow it").arg(path)
             : error == ENXIO ? QStringLiteral("%1 is not a regular file").arg(path)
                              : QStringLiteral("cannot open %1: %2").arg(path, systemError(error)),
             now);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fail(QStringLiteral("%1 is not a regular file").arg(path), now);
        return false;
    }
    if (::fcntl(fd, F_SETFL, O_APPEND) != 0) {
        // Still appends; a regular file never blocks anyway.
    }
    // A day file made world-readable by an older version becomes private.
    if ((st.st_mode & (S_IWGRP | S_IRWXO)) != 0 && ::fchmod(fd, st.st_mode & 0740) != 0) {
        // Not ours to change: written as it is.
    }
    fd_ = fd;
    dev_ = st.st_dev;
    ino_ = st.st_ino;
    day_ = day;
    checkAt_ = now.addMSecs(kCheckMs);
    lastGood_ = now;
    unchecked_ = {};
    uncheckedLines_ = 0;
    if (repairDue_) {
        repairDue_ = false;
        repairTail(path);
    }
    prune(day);
    return true;
}

// A kill in the middle of a line leaves its first part without a newline;
// the next line would be glued to it. Cut back to the last whole line.
void LogWriter::repairTail(const QString& path) {
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || st.st_size == 0) return;
    const off_t end = st.st_size;
    off_t keep = -1;
    char chunk[4096];
    for (off_t pos = end; pos > 0 && keep < 0;) {
        const off_t from = std::max<off_t>(0, pos - static_cast<off_t>(sizeof chunk));
        const ssize_t n = ::pread(fd_, chunk, static_cast<size_t>(pos - from), from);
        if (n != pos - from) return;  // unreadable: the readers skip the cut line
        for (ssize_t i = n - 1; i >= 0; --i) {
            if (chunk[i] == '\n') {
                keep = from + i + 1;
                break;
            }
        }
        pos = from;
    }
    if (keep < 0) keep = 0;
    if (keep == end) return;
    // Another process appending this moment has moved the end: its line is whole.
    if (::fstat(fd_, &st) != 0 || st.st_size != end || ::ftruncate(fd_, keep) != 0) return;
    repaired_ += end - keep;
    repairedFile_ = path;
}

// Lines written since the last good look went to a file nobody will read if
// the name now leads elsewhere (or nowhere): those count as lost.
bool LogWriter::stillThere(const QDateTime& now) {
    checkAt_ = now.addMSecs(kCheckMs);
    const QString path = currentFile();
    struct stat st {};
    QString why;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        const int error = errno;
        why = error == ENOENT || error == ENOTDIR ? QStringLiteral("%1 was removed").arg(path)
                                                  : QStringLiteral("cannot look at %1: %2").arg(path, systemError(error));
    }
    else if (st.st_dev != dev_ || st.st_ino != ino_)
        why = QStringLiteral("%1 was replaced").arg(path);
    if (why.isEmpty()) {
        lastGood_ = now;
        unchecked_ = {};
        uncheckedLines_ = 0;
        return true;
    }
    lost_ += uncheckedLines_;
    if (!since_.isValid()) since_ = uncheckedLines_ > 0 ? unchecked_ : lastGood_;
    gapReason_ = why;
    unchecked_ = {};
    uncheckedLines_ = 0;
    close();
    return false;
}

// Days before today - keepDays go; a file of another name is never touched.
void LogWriter::prune(const QDate& today) {
    if (keepDays_ < 0) return;
    const QDate oldest = today.addDays(-keepDays_);
    const QDir dir(dir_);
    const QStringList names =
        dir.entryList({QStringLiteral("events-*.jsonl")}, QDir::Files | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        const QDate day = dayOf(name);
        if (day.isValid() && day < oldest) QFile::remove(dir.filePath(name));
    }
}

bool LogWriter::openNow() {
    if (off_) return retry();
    const QDateTime now = clock_();
    return open(now.date(), now);
}

bool LogWriter::retry() {
    if (!off_) return true;
    const QDateTime now = clock_();
    if (!open(now.date(), now)) return false;
    off_ = false;
    reason_.clear();
    return true;
}

void LogWriter::check() {
    if (off_ || fd_ < 0) return;
    const QDateTime now = clock_();
    if (stillThere(now) && now.date() == day_) return;
    open(now.date(), now);
}

bool LogWriter::write(const QByteArray& line) {
    const QDateTime now = clock_();
    if (off_) {
        if (now < retryAt_ || !retry()) {
            ++lost_;
            return false;
        }
    }
    // Before a new day's file too, so that the old one's last second is checked.
    if (fd_ >= 0 && (now >= checkAt_ || now.date() != day_)) stillThere(now);
    if (fd_ < 0 || now.date() != day_) {
        if (!open(now.date(), now)) {
            ++lost_;
            return false;
        }
    }
    QByteArray out = line;
    out.append('\n');
    const auto size = static_cast<size_t>(out.size());
    ssize_t n;
    do {
        n = write_(fd_, out.constData(), size);
    } while (n < 0 && errno == EINTR);
    const int error = errno;
    if (n == static_cast<ssize_t>(size)) {
        if (uncheckedLines_++ == 0) unchecked_ = now;
        return true;
    }
    if (n < 0) {
        fail(QStringLiteral("cannot write %1: %2").arg(currentFile(), systemError(error)), now);
    } else {
        // Part of the line went out: cut it off again, unless another process
        // has appended behind it meanwhile (its line must not be cut).
        const QString path = currentFile();
        const off_t end = ::lseek(fd_, 0, SEEK_CUR);  // O_APPEND: just past our bytes
        struct stat st {};
        if (end >= n && ::fstat(fd_, &st) == 0 && st.st_size == end) {
            if (::ftruncate(fd_, end - n) != 0) {
                // Left for the reader, which skips a line it cannot parse.
            }
        }
        fail(QStringLiteral("cannot write %1: only %2 of %3 bytes went out (disk full?)").arg(path).arg(n).arg(size),
             now);
    }
    ++lost_;
    return false;
}

}  // namespace qz7
