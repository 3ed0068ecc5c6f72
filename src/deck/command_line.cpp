#include "deck/command_line.h"

namespace qz7 {

bool takeOptionValue(const QStringList& arguments, int& i, const QString& name, QString& value, QString& error) {
    const QString& a = arguments[i];
    if (a.startsWith(name + QLatin1Char('='))) {
        value = a.mid(name.size() + 1);
        return true;
    }
    if (a != name) return false;
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("%1 needs a value").arg(name);
        return true;
    }
    value = arguments[++i];
    return true;
}

QString refuseRepeat(const QString& argument, QStringList& seen, const QStringList& repeatable) {
    const QString name = argument.section(QLatin1Char('='), 0, 0);
    if (repeatable.contains(name)) return {};
    if (seen.contains(name)) return QStringLiteral("%1 given twice").arg(name);
    seen << name;
    return {};
}

}  // namespace qz7
