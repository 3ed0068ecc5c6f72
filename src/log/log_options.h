// Where the event log goes and how long it is kept: --log-dir DIR,
// --log-keep-days N and --no-log on both programs, and the rack's [log]
// section. The panel's default folder is $XDG_STATE_HOME/qz7cont/log
// (~/.local/state when unset); the service's is the folder systemd gives it
// (LogsDirectory=qz7rack).
#pragma once

#include <QString>
#include <QStringList>

namespace qz7 {

struct LogOptions {
    bool enabled = true;
    QString dir;        // "": the program's default
    int keepDays = 90;  // files of days older than this are removed
    // What was given, so that the command line can win over a file.
    bool enabledGiven = false;
    bool dirGiven = false;
    bool keepDaysGiven = false;
    bool operator==(const LogOptions& other) const;
};

// Takes the log option at arguments[i] (and its value). False: not a log
// option. error is set when the option is one but its value is bad.
bool takeLogOption(const QStringList& arguments, int& i, LogOptions& options, QString& error);
// "" or why N is not a number of days.
QString parseKeepDays(const QString& text, int& days);
QString logUsageText();

// The command line wins over the file, option by option.
LogOptions mergeLog(const LogOptions& file, const LogOptions& commandLine);

QString defaultPanelLogDir();
QString defaultServiceLogDir();

}  // namespace qz7
