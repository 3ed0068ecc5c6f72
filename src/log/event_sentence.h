// An event of the log as one line an operator reads:
// "14:02:11 studio-a REC started, REC FILE : 013 (web 10.0.5.20)".
// The Event Log window and the web page show these; the files keep the
// fields. QtCore only.
#pragma once

#include <QJsonObject>
#include <QString>

namespace qz7 {

// The time (local or UTC, hh:mm:ss), the deck when there is one, and the words.
QString eventSentence(const QJsonObject& event, bool localTime);

// The words alone: "REC started, REC FILE : 013 (web 10.0.5.20)".
QString eventWords(const QJsonObject& event);

// An operation's name as the panel's buttons say it where it has one
// ("rec" -> "REC", "ff" -> "FF"), otherwise its name ("file/open").
QString operationWord(const QString& op);

// What became of an operation, as the status bar and the log say it:
// "REC not confirmed: recorder shows STOP", "PLAY confirmed in 120 ms".
QString outcomePhrase(const QString& op, const QString& outcome, const QString& transport, const QString& note,
                      qint64 ms = -1);

}  // namespace qz7
