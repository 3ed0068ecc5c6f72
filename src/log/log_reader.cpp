#include "log/log_reader.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QTimeZone>
#include <algorithm>

#include "log/log_writer.h"
#include "media/list_export.h"

namespace qz7 {

std::optional<QDateTime> parseLogTime(const QString& input, bool endOfRange) {
    QString text = input.trimmed();
    if (text.endsWith(QLatin1Char('Z'))) text.chop(1);
    if (text.size() == 10) {
        const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (!day.isValid()) return std::nullopt;
        const QDateTime start(day, QTime(0, 0), QTimeZone::utc());
        return endOfRange ? start.addDays(1).addMSecs(-1) : start;
    }
    for (const char* format : {"yyyy-MM-ddTHH:mm", "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-ddTHH:mm:ss.zzz"}) {
        QDateTime t = QDateTime::fromString(text, QLatin1String(format));
        if (!t.isValid()) continue;
        t.setTimeZone(QTimeZone::utc());
        return t;
    }
    return std::nullopt;
}

QString logTimestamp(const QDateTime& utc) {
    return utc.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + QLatin1Char('Z');
}

QList<QJsonObject> readEvents(const QString& dirPath, const QDateTime& from, const QDateTime& to, int* skipped) {
    QList<QJsonObject> out;
    int bad = 0;
    const QString low = logTimestamp(from), high = logTimestamp(to);
    const QDir dir(dirPath);
    QStringList names = dir.entryList({QStringLiteral("events-*.jsonl")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QDate day = LogWriter::dayOf(name);
        if (!day.isValid() || day < from.toUTC().date() || day > to.toUTC().date()) continue;
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) continue;
        while (!file.atEnd()) {
            QByteArray line = file.readLine();
            // The last line without its newline: cut by a kill (the writer
            // removes it at its next start) or being written this moment.
            if (!line.endsWith('\n')) break;
            line = line.trimmed();
            if (line.isEmpty()) continue;
            QJsonParseError error{};
            const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
            if (error.error != QJsonParseError::NoError || !doc.isObject()) {
                ++bad;
                continue;
            }
            QJsonObject event = doc.object();
            // The timestamps are all of one width, so text order is time order.
            const QString ts = event.value(QLatin1String("ts")).toString();
            if (ts < low || ts > high) continue;
            out.append(std::move(event));
        }
    }
    std::stable_sort(out.begin(), out.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return a.value(QLatin1String("ts")).toString() < b.value(QLatin1String("ts")).toString();
    });
    if (skipped) *skipped = bad;
    return out;
}

namespace {

const QStringList& fixedColumns() {
    static const QStringList columns = {
        QStringLiteral("ts"),   QStringLiteral("seq"),     QStringLiteral("pid"),  QStringLiteral("deck"),
        QStringLiteral("origin"), QStringLiteral("kind"),  QStringLiteral("op"),   QStringLiteral("args"),
        QStringLiteral("outcome"), QStringLiteral("bytes"), QStringLiteral("tc")};
    return columns;
}

QByteArray cellText(const QJsonValue& v) {
    switch (v.type()) {
    case QJsonValue::Undefined:
    case QJsonValue::Null: return {};
    case QJsonValue::String: return v.toString().toUtf8();
    case QJsonValue::Double: return QByteArray::number(v.toInteger(), 10);
    case QJsonValue::Bool: return v.toBool() ? "true" : "false";
    case QJsonValue::Array: return QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact);
    case QJsonValue::Object: return QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact);
    }
    return {};
}

// A cell a spreadsheet would take for a formula gets one apostrophe more in
// front, so that it shows as text (the list files' rule); the reader takes
// exactly one away again.
bool formulaLike(const QByteArray& cell) { return qz7::formulaLike(std::string_view(cell.constData(), cell.size())); }

QByteArray quoted(const QByteArray& text) {
    const bool formula = formulaLike(text);
    const QByteArray cell = formula ? '\'' + text : text;
    if (!formula && !cell.contains(',') && !cell.contains('"') && !cell.contains('\n') && !cell.contains('\r'))
        return cell;
    QByteArray q = cell;
    q.replace('"', "\"\"");
    return '"' + q + '"';
}

QByteArray unquoted(const QByteArray& cell) {
    return cell.startsWith('\'') && formulaLike(cell) ? cell.mid(1) : cell;
}

bool numberColumn(const QString& column) {
    for (const char* name : {"seq", "pid", "count", "repeated"})
        if (column == QLatin1String(name)) return true;
    return false;
}

// seq, pid, count and repeated are numbers, args, bytes and removed JSON
// (bytes is text for one packet); everything else the log writes is text,
// read back as text even where it begins like JSON (an error text "[E12] FAN").
QJsonValue cellValue(const QString& column, const QByteArray& cell) {
    if (numberColumn(column)) return QJsonValue(cell.toLongLong());
    if ((column == QLatin1String("args") || column == QLatin1String("bytes") || column == QLatin1String("removed")) &&
        (cell.startsWith('{') || cell.startsWith('['))) {
        const QJsonDocument doc = QJsonDocument::fromJson(cell);
        if (doc.isObject()) return doc.object();
        if (doc.isArray()) return doc.array();
    }
    return QString::fromUtf8(cell);
}

// RFC 4180 records: fields parted by commas, quoted fields may hold commas,
// quotes (doubled) and line breaks.
QList<QList<QByteArray>> csvRecords(const QByteArray& csv, QString* error) {
    QList<QList<QByteArray>> records;
    QList<QByteArray> record;
    QByteArray field;
    bool quotedField = false, inQuotes = false, any = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const char c = csv[i];
        if (inQuotes) {
            if (c == '"') {
                if (i + 1 < csv.size() && csv[i + 1] == '"') {
                    field.append('"');
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                field.append(c);
            }
            continue;
        }
        if (c == '"' && field.isEmpty() && !quotedField) {
            inQuotes = quotedField = any = true;
        } else if (c == ',') {
            record.append(field);
            field.clear();
            quotedField = false;
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') ++i;
            if (any || !field.isEmpty()) {
                record.append(field);
                records.append(record);
            }
            record.clear();
            field.clear();
            quotedField = any = false;
        } else {
            field.append(c);
            any = true;
        }
    }
    if (inQuotes && error) *error = QStringLiteral("a quoted field is not closed");
    if (any || !field.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

}  // namespace

QStringList csvColumns(const QList<QJsonObject>& events) {
    QStringList extra;
    for (const QJsonObject& e : events)
        for (auto it = e.begin(); it != e.end(); ++it)
            if (!fixedColumns().contains(it.key()) && !extra.contains(it.key())) extra.append(it.key());
    extra.sort();
    return fixedColumns() + extra;
}

QByteArray eventsToCsv(const QList<QJsonObject>& events) {
    const QStringList columns = csvColumns(events);
    QByteArray out;
    for (qsizetype c = 0; c < columns.size(); ++c) out.append(c ? "," : "").append(quoted(columns[c].toUtf8()));
    out.append("\r\n");
    for (const QJsonObject& e : events) {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            if (c) out.append(',');
            out.append(quoted(cellText(e.value(columns[c]))));
        }
        out.append("\r\n");
    }
    return out;
}

QList<QJsonObject> eventsFromCsv(const QByteArray& csv, QString* error) {
    QString why;
    const QList<QList<QByteArray>> records = csvRecords(csv, &why);
    QList<QJsonObject> events;
    if (records.isEmpty()) {
        if (error) *error = QStringLiteral("no header line");
        return events;
    }
    QStringList columns;
    for (const QByteArray& name : records.first()) columns.append(QString::fromUtf8(unquoted(name)));
    for (qsizetype r = 1; r < records.size(); ++r) {
        const QList<QByteArray>& record = records[r];
        if (record.size() != columns.size() && why.isEmpty())
            why = QStringLiteral("record %1 has %2 fields, not %3").arg(r).arg(record.size()).arg(columns.size());
        QJsonObject e;
        // Every event has the first seven fields (a system event's deck is
        // ""); the others are left out where the cell is empty.
        for (qsizetype c = 0; c < std::min(record.size(), columns.size()); ++c)
            if (const qsizetype fixed = fixedColumns().indexOf(columns[c]); !record[c].isEmpty() || (fixed >= 0 && fixed < 7))
                e.insert(columns[c], cellValue(columns[c], unquoted(record[c])));
        events.append(e);
    }
    if (error) *error = why;
    return events;
}

}  // namespace qz7
