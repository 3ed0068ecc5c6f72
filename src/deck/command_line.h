// One option of a command line, as every program here reads them.
#pragma once

#include <QString>
#include <QStringList>

namespace qz7 {

// "--name VALUE" or "--name=VALUE" at arguments[i] (i moves past a separate
// value). Returns false when arguments[i] is not this option; sets error when
// it is but the value is missing.
bool takeOptionValue(const QStringList& arguments, int& i, const QString& name, QString& value, QString& error);

}  // namespace qz7
