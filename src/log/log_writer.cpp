#include "log/log_writer.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz7 {

namespace {
QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }
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

qint64 LogWriter::takeLost() {
    const qint64 n = lost_;
    lost_ = 0;
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
}

bool LogWriter::open(const QDate& day, const QDateTime& now) {
    close();
    if (!QDir().mkpath(dir_)) {
        fail(QStringLiteral("cannot make the log folder %1").arg(dir_), now);
        return false;
    }
    const QString path = QDir(dir_).filePath(fileName(day));
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        fail(QStringLiteral("cannot open %1: %2").arg(path, systemError(errno)), now);
        return false;
    }
    fd_ = fd;
    day_ = day;
    prune(day);
    return true;
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

bool LogWriter::write(const QByteArray& line) {
    const QDateTime now = clock_();
    if (off_) {
        if (now < retryAt_ || !retry()) {
            ++lost_;
            return false;
        }
    }
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
    if (n == static_cast<ssize_t>(size)) return true;
    if (n < 0) {
        fail(QStringLiteral("cannot write %1: %2").arg(currentFile(), systemError(errno)), now);
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
