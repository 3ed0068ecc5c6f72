// Reading the event log back: a time range from the day files of a folder,
// and the same events as CSV (one column per JSON field) and back again.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace qz7 {

// A UTC time in ISO 8601: "2026-12-08", "2026-12-08T10:00", "2026-12-08T10:00:05",
// "2026-12-08T10:00:05.250", each with or without "Z". A date alone is its
// first millisecond, or with endOfRange its last, so that FROM TO of two
// dates takes both days whole.
std::optional<QDateTime> parseLogTime(const QString& text, bool endOfRange);

// "2026-12-08T10:00:05.250Z", as the log writes ts.
QString logTimestamp(const QDateTime& utc);

// Events with from <= ts <= to, from every day file of dir, in time order
// (lines of several processes interleave by ts). A line that is not a JSON
// object is skipped and counted in *skipped; a last line without its newline
// (cut, or being written now) is left out and not counted.
QList<QJsonObject> readEvents(const QString& dir, const QDateTime& from, const QDateTime& to, int* skipped = nullptr);

// The columns every event has, in this order; fields beyond them follow,
// sorted by name. args, bytes, removed (and any value that is not text) are
// written as compact JSON; read back, args, bytes and removed are JSON again,
// seq, pid, count and repeated numbers, the rest text. A cell that begins
// like a formula (=, +, -, @, after any apostrophes) gets an apostrophe in
// front, so that a spreadsheet shows text; eventsFromCsv takes it away.
QStringList csvColumns(const QList<QJsonObject>& events);
QByteArray eventsToCsv(const QList<QJsonObject>& events);
// The events of a CSV made by eventsToCsv. "" error: read whole.
QList<QJsonObject> eventsFromCsv(const QByteArray& csv, QString* error = nullptr);

}  // namespace qz7
