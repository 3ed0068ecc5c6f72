#include "deck/deck_name.h"

#include <QRegularExpression>

namespace qz7 {

bool validDeckName(const QString& name) {
    static const QRegularExpression kName(QStringLiteral("^[A-Za-z0-9_-]{1,32}$"));
    return kName.match(name).hasMatch();
}

}  // namespace qz7
