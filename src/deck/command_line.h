// One option of a command line, as every program here reads them.
#pragma once

#include <QString>
#include <QStringList>

namespace qz7 {

// "--name VALUE" or "--name=VALUE" at arguments[i] (i moves past a separate
// value). Returns false when arguments[i] is not this option; sets error when
// it is but the value is missing.
bool takeOptionValue(const QStringList& arguments, int& i, const QString& name, QString& value, QString& error);

// "" or "--osc given twice": the second of two would silently win over the
// first. seen collects the option names read so far ("--osc" of
// "--osc=9000"); the repeatable ones may come again.
QString refuseRepeat(const QString& argument, QStringList& seen, const QStringList& repeatable = {});

}  // namespace qz7
