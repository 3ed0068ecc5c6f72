#include "log/event_sentence.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace qz7 {

namespace {

QString str(const QJsonObject& e, const char* key) { return e.value(QLatin1String(key)).toString(); }

QString valueText(const QJsonValue& v) {
    if (v.isString()) return v.toString();
    if (v.isDouble()) return QString::number(v.toInteger());
    if (v.isBool()) return v.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    if (v.isArray()) {
        QStringList parts;
        for (const QJsonValue& item : v.toArray()) parts << valueText(item);
        return parts.join(QStringLiteral(", "));
    }
    return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
}

// The arguments an operation's phrase does not already name, as words:
// "forward", "item 2", "name TAKE 1"; a lock that is off says nothing.
QString restOfArgs(QJsonObject args, const QStringList& named) {
    for (const QString& key : named) args.remove(key);
    QStringList parts;
    for (auto it = args.begin(); it != args.end(); ++it) {
        const QString key = it.key();
        const QJsonValue v = it.value();
        if (key == QLatin1String("direction"))
            parts << (v.toInteger() < 0 ? QStringLiteral("reverse") : QStringLiteral("forward"));
        else if (key == QLatin1String("lock")) {
            if (v.toInteger() != 0) parts << QStringLiteral("lock");
        } else
            parts << key + QLatin1Char(' ') + valueText(v);
    }
    return parts.join(QLatin1Char(' '));
}

// "open file 9", "go to 00:01:00:00", "FF forward item 2", "Apply line 0".
QString operationPhrase(const QString& op, const QJsonObject& args) {
    struct Named {
        const char* op;
        const char* phrase;  // %1: the named argument's value
        const char* arg;
    };
    static const Named named[] = {
        {"file/open", "open file %1", "number"},  {"clip/open", "open clip %1", "number"},
        {"seq/open", "open sequence %1", "number"}, {"cue/search", "search cue %1", "number"},
        {"cue/cue", "cue to cue %1", "number"},   {"cue/delete", "delete cue %1", "number"},
        {"cue/edit", "edit cue %1", "number"},    {"file/edit", "edit file %1", "number"},
        {"clip/save", "save clip %1", "number"},  {"clip/delete", "delete clip %1", "number"},
        {"seq/save", "save sequence %1", "number"}, {"seq/delete", "delete sequence %1", "number"},
        {"goto", "go to %1", "timecode"},         {"apply", "Apply line %1", "line"},
    };
    for (const Named& n : named) {
        if (op != QLatin1String(n.op)) continue;
        const QString key = QLatin1String(n.arg);
        QString phrase = args.contains(key) ? QString::fromLatin1(n.phrase).arg(valueText(args.value(key)))
                                            : QString::fromLatin1(n.phrase).section(QLatin1Char(' '), 0, -2);
        const QString rest = restOfArgs(args, {key});
        return rest.isEmpty() ? phrase : phrase + QLatin1Char(' ') + rest;
    }
    if (op == QLatin1String("alarm/ack")) return QStringLiteral("acknowledge alarm");
    if (op == QLatin1String("cue/mark")) return QStringLiteral("mark cue");
    if (op == QLatin1String("retrieve")) return QStringLiteral("Retrieve");
    if (op == QLatin1String("scan")) return QStringLiteral("Scan");
    const QString rest = restOfArgs(args, {});
    const QString word = operationWord(op);
    return rest.isEmpty() ? word : word + QLatin1Char(' ') + rest;
}

QString originSuffix(const QJsonObject& e) {
    const QString origin = str(e, "origin");
    if (origin.isEmpty() || origin == QLatin1String("recorder") || origin == QLatin1String("log")) return {};
    return QStringLiteral(" (%1)").arg(origin);
}

QString commandWords(const QJsonObject& e) {
    const QString op = str(e, "op");
    const QJsonObject args = e.value(QLatin1String("args")).toObject();
    if (op == QLatin1String("alarm/ack")) {
        const QString text = args.value(QLatin1String("alarm")).toString();
        return text.isEmpty() ? QStringLiteral("alarm acknowledged") : QStringLiteral("alarm acknowledged: ") + text;
    }
    // Apply and Scan act at once; the rest wait on the stack for their tick.
    const QString phrase = operationPhrase(op, args);
    if (op == QLatin1String("apply") || op == QLatin1String("scan")) return phrase;
    if (op == QLatin1String("retrieve") && args.contains(QLatin1String("requests")))
        return QStringLiteral("Retrieve queued, %1 requests").arg(args.value(QLatin1String("requests")).toInteger());
    return phrase + QStringLiteral(" queued");
}

QString refusedWords(const QJsonObject& e) {
    const QString op = str(e, "op");
    QString words = operationPhrase(op, e.value(QLatin1String("args")).toObject()) + QStringLiteral(" refused");
    if (const QString why = str(e, "outcome"); !why.isEmpty()) words += QStringLiteral(": ") + why;
    if (const qint64 n = e.value(QLatin1String("repeated")).toInteger(); n > 0)
        words += QStringLiteral(", %1 more like it").arg(n);
    return words;
}

QString recorderWords(const QJsonObject& e) {
    const QString op = str(e, "op");
    const QString transport = str(e, "transport");
    const QString file = str(e, "file");
    const auto withFile = [&file](QString words) { return file.isEmpty() ? words : words + QStringLiteral(", ") + file; };
    if (op == QLatin1String("rec/start")) return withFile(QStringLiteral("REC started"));
    if (op == QLatin1String("rec/stop")) {
        QString words = withFile(QStringLiteral("REC stopped"));
        if (!transport.isEmpty()) words += QStringLiteral(", recorder shows ") + transport;
        return words;
    }
    if (op == QLatin1String("transport")) return QStringLiteral("recorder shows ") + transport;
    if (op == QLatin1String("error/on")) return QStringLiteral("recorder error: ") + str(e, "error");
    if (op == QLatin1String("error/off")) return QStringLiteral("recorder error cleared: ") + str(e, "error");
    if (op == QLatin1String("retrieve/done")) {
        const QJsonObject args = e.value(QLatin1String("args")).toObject();
        const QString outcome = str(e, "outcome");
        const qint64 requests = args.value(QLatin1String("requests")).toInteger();
        if (outcome == QLatin1String("incomplete")) {
            QString words = QStringLiteral("Retrieve incomplete: %1 entries unanswered")
                                .arg(args.value(QLatin1String("missing")).toInteger());
            if (const QString which = args.value(QLatin1String("unanswered")).toString(); !which.isEmpty())
                words += QStringLiteral(" (%1)").arg(which);
            return words;
        }
        if (outcome == QLatin1String("complete")) return QStringLiteral("Retrieve complete, %1 requests").arg(requests);
        return QStringLiteral("Retrieve ") + outcome;
    }
    return op + QLatin1Char(' ') + (transport.isEmpty() ? str(e, "outcome") : transport);
}

QString linkWords(const QJsonObject& e) {
    const QString link = str(e, "link");
    const QString address = str(e, "address");
    if (link == QLatin1String("OFF")) return QStringLiteral("link OFF");
    if (link == QLatin1String("NO REPLY"))
        return address.isEmpty() ? QStringLiteral("NO REPLY") : QStringLiteral("NO REPLY from ") + address;
    return (QStringLiteral("link ") + link + QLatin1Char(' ') + address).trimmed();
}

QString supersededWords(const QJsonObject& e) {
    QStringList each;
    const QJsonObject removed = e.value(QLatin1String("removed")).toObject();
    for (auto it = removed.begin(); it != removed.end(); ++it)
        each << QStringLiteral("%1 %2").arg(operationWord(it.key())).arg(it.value().toInteger());
    const qint64 count = e.value(QLatin1String("count")).toInteger();
    QString words = QStringLiteral("%1 took %2 waiting command%3 off the stack")
                        .arg(operationWord(str(e, "op")))
                        .arg(count)
                        .arg(count == 1 ? QString() : QStringLiteral("s"));
    if (!each.isEmpty()) words += QStringLiteral(" (%1)").arg(each.join(QStringLiteral(", ")));
    return words;
}

QString systemWords(const QJsonObject& e) {
    const QString op = str(e, "op");
    const QJsonObject args = e.value(QLatin1String("args")).toObject();
    if (op == QLatin1String("log/on")) {
        return QStringLiteral("log writing again: %1 events lost since %2 (%3)")
            .arg(args.value(QLatin1String("lost")).toInteger())
            .arg(args.value(QLatin1String("since")).toString(), args.value(QLatin1String("reason")).toString());
    }
    if (op == QLatin1String("log/repair")) {
        return QStringLiteral("log file %1 repaired: a cut last line of %2 bytes removed")
            .arg(args.value(QLatin1String("file")).toString())
            .arg(args.value(QLatin1String("bytes")).toInteger());
    }
    // A reload's outcome is its whole line already ("reload: 3 deck(s); ...").
    const QString outcome = str(e, "outcome");
    if (outcome.startsWith(op)) return outcome;
    return outcome.isEmpty() ? op : op + QStringLiteral(": ") + outcome;
}

QString alarmText(const QJsonObject& e) {
    const QString text = str(e, "text");
    return text.isEmpty() ? str(e, "alarm") : text;
}

}  // namespace

QString operationWord(const QString& op) {
    static const char* const buttons[] = {"play", "rec", "stop", "ff", "rew", "slow", "jog", "ee", "pb"};
    for (const char* b : buttons)
        if (op == QLatin1String(b)) return op.toUpper();
    return op;
}

QString outcomePhrase(const QString& op, const QString& outcome, const QString& transport, const QString& note,
                      qint64 ms) {
    const QString word = operationWord(op);
    if (outcome == QLatin1String("superseded")) {
        if (note.startsWith(QLatin1String("superseded"))) return word + QLatin1Char(' ') + note;
        return note.isEmpty() ? word + QStringLiteral(" superseded") : word + QStringLiteral(" superseded: ") + note;
    }
    QString phrase = word + QLatin1Char(' ') + outcome;
    QStringList why;
    if (outcome == QLatin1String("not confirmed") && !transport.isEmpty())
        why << QStringLiteral("recorder shows ") + transport;
    if (!note.isEmpty()) why << note;
    if (!why.isEmpty()) return phrase + QStringLiteral(": ") + why.join(QStringLiteral("; "));
    if (outcome == QLatin1String("confirmed") && ms >= 0) phrase += QStringLiteral(" in %1 ms").arg(ms);
    return phrase;
}

QString eventWords(const QJsonObject& e) {
    const QString kind = str(e, "kind");
    QString words;
    if (kind == QLatin1String("command"))
        words = commandWords(e);
    else if (kind == QLatin1String("refused"))
        words = refusedWords(e);
    else if (kind == QLatin1String("recorder"))
        words = recorderWords(e);
    else if (kind == QLatin1String("link"))
        words = linkWords(e);
    else if (kind == QLatin1String("error"))
        words = QStringLiteral("error: ") + str(e, "error");
    else if (kind == QLatin1String("superseded"))
        words = supersededWords(e);
    else if (kind == QLatin1String("outcome"))
        words = outcomePhrase(str(e, "op"), str(e, "outcome"), str(e, "transport"), str(e, "note"),
                              e.contains(QLatin1String("ms")) ? e.value(QLatin1String("ms")).toInteger() : -1);
    else if (kind == QLatin1String("alarm"))
        words = str(e, "op") == QLatin1String("alarm/ack") ? QStringLiteral("alarm acknowledged: ") + alarmText(e)
                                                           : QStringLiteral("ALARM ") + alarmText(e);
    else if (kind == QLatin1String("system"))
        words = systemWords(e);
    else
        words = (str(e, "op") + QLatin1Char(' ') + str(e, "outcome")).trimmed();
    return words + originSuffix(e);
}

QString eventSentence(const QJsonObject& event, bool localTime) {
    QStringList parts;
    QDateTime ts = QDateTime::fromString(str(event, "ts"), Qt::ISODateWithMs);
    if (ts.isValid()) parts << (localTime ? ts.toLocalTime() : ts.toUTC()).toString(QStringLiteral("HH:mm:ss"));
    if (const QString deck = str(event, "deck"); !deck.isEmpty()) parts << deck;
    parts << eventWords(event);
    return parts.join(QLatin1Char(' '));
}

}  // namespace qz7
