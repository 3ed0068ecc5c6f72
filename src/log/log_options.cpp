#include "log/log_options.h"

#include <QDir>

#include "deck/command_line.h"

namespace qz7 {

bool LogOptions::operator==(const LogOptions& o) const {
    return enabled == o.enabled && dir == o.dir && keepDays == o.keepDays;
}

QString parseKeepDays(const QString& text, int& days) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1 || n > 36500) return QStringLiteral("keep-days wants a number of days 1..36500, not '%1'").arg(text);
    days = n;
    return {};
}

bool takeLogOption(const QStringList& arguments, int& i, LogOptions& o, QString& error) {
    const QString& a = arguments[i];
    auto value = [&](const QString& name, QString& v) { return takeOptionValue(arguments, i, name, v, error); };
    QString v;
    if (a == QLatin1String("--no-log")) {
        o.enabled = false;
        o.enabledGiven = true;
        return true;
    }
    if (value(QStringLiteral("--log-dir"), v)) {
        if (!error.isEmpty()) return true;
        if (v.isEmpty()) error = QStringLiteral("--log-dir needs a folder");
        o.dir = v;
        o.dirGiven = true;
        return true;
    }
    if (value(QStringLiteral("--log-keep-days"), v)) {
        if (!error.isEmpty()) return true;
        if (const QString why = parseKeepDays(v, o.keepDays); !why.isEmpty()) error = QStringLiteral("--log-") + why;
        o.keepDaysGiven = true;
        return true;
    }
    return false;
}

QString logUsageText() {
    return QStringLiteral(
        "  --log-dir DIR           write the event log (JSON lines, one file per UTC day) to DIR\n"
        "  --log-keep-days N       remove log files older than N days (default 90)\n"
        "  --no-log                write no event log\n");
}

LogOptions mergeLog(const LogOptions& file, const LogOptions& cl) {
    LogOptions o = file;
    if (cl.enabledGiven) o.enabled = cl.enabled;
    if (cl.dirGiven) o.dir = cl.dir;
    if (cl.keepDaysGiven) o.keepDays = cl.keepDays;
    o.enabledGiven = file.enabledGiven || cl.enabledGiven;
    o.dirGiven = file.dirGiven || cl.dirGiven;
    o.keepDaysGiven = file.keepDaysGiven || cl.keepDaysGiven;
    return o;
}

namespace {
// Qt 6.4 has no standard location for state files.
QString stateHome() {
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) return xdg;
    return QDir::homePath() + QStringLiteral("/.local/state");
}
}  // namespace

QString defaultPanelLogDir() { return stateHome() + QStringLiteral("/qz7cont/log"); }

QString defaultServiceLogDir() {
    // systemd's LogsDirectory= names the folder it made (several are parted by ':').
    const QString given = qEnvironmentVariable("LOGS_DIRECTORY").section(QLatin1Char(':'), 0, 0);
    if (!given.isEmpty()) return given;
    return stateHome() + QStringLiteral("/qz7rack/log");
}

}  // namespace qz7
