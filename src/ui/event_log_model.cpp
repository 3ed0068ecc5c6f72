#include "ui/event_log_model.h"

#include <QColor>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

#include "log/event_sentence.h"

namespace qz7 {

namespace {
QString str(const QJsonObject& e, const char* key) { return e.value(QLatin1String(key)).toString(); }
}  // namespace

EventLogModel::EventLogModel(QObject* parent, int rowLimit)
    : QAbstractTableModel(parent), rowLimit_(std::max(rowLimit, 1)) {}

void EventLogModel::setEvents(QList<QJsonObject> events) {
    beginResetModel();
    if (events.size() > rowLimit_) events.remove(0, events.size() - rowLimit_);
    events_ = std::move(events);
    endResetModel();
}

void EventLogModel::append(const QJsonObject& event) {
    if (events_.size() >= rowLimit_) {
        beginRemoveRows({}, 0, 0);
        events_.removeFirst();
        endRemoveRows();
    }
    const int row = static_cast<int>(events_.size());
    beginInsertRows({}, row, row);
    events_.append(event);
    endInsertRows();
}

int EventLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(events_.size());
}

int EventLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

void EventLogModel::setLocalTime(bool local) {
    if (local == localTime_) return;
    localTime_ = local;
    emit headerDataChanged(Qt::Horizontal, Time, Time);
    if (!events_.isEmpty()) emit dataChanged(index(0, Time), index(static_cast<int>(events_.size()) - 1, Time));
}

QString EventLogModel::cellText(const QJsonObject& e, int column, bool localTime) {
    switch (column) {
    case Time: {
        if (localTime) {
            const QDateTime ts = QDateTime::fromString(str(e, "ts"), Qt::ISODateWithMs);
            if (ts.isValid()) return ts.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        }
        return str(e, "ts").replace(QLatin1Char('T'), QLatin1Char(' '));
    }
    case Deck: return str(e, "deck");
    case Event: return eventWords(e);
    case Origin: return str(e, "origin");
    case Kind: return str(e, "kind");
    case Op: return str(e, "op");
    case Args: {
        QStringList parts;
        const QJsonObject args = e.value(QLatin1String("args")).toObject();
        for (auto it = args.begin(); it != args.end(); ++it) {
            const QJsonValue v = it.value();
            QString text = v.isString() ? v.toString()
                           : v.isDouble() ? QString::number(v.toInteger())
                                          : QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
            parts << it.key() + QLatin1Char('=') + text;
        }
        return parts.join(QLatin1Char(' '));
    }
    case Outcome: return str(e, "outcome");
    case Timecode: return str(e, "tc");
    case Reported: {
        QStringList parts;
        for (const char* key : {"transport", "file", "link", "address", "error"})
            if (e.contains(QLatin1String(key))) parts << QStringLiteral("%1 %2").arg(QLatin1String(key), str(e, key));
        return parts.join(QStringLiteral(", "));
    }
    case Bytes: {
        const QJsonValue b = e.value(QLatin1String("bytes"));
        if (!b.isArray()) return b.toString();
        QStringList packets;
        for (const QJsonValue& v : b.toArray()) packets << v.toString();
        // A Retrieve sends over a thousand packets: the count and the first.
        if (packets.size() > 4) return QStringLiteral("%1 packets: %2 ...").arg(packets.size()).arg(packets.first());
        return packets.join(QLatin1Char(' '));
    }
    default: return {};
    }
}

QVariant EventLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= events_.size()) return {};
    const QJsonObject& e = events_.at(index.row());
    if (role == Qt::DisplayRole) return cellText(e, index.column(), localTime_);
    if (role == Qt::ToolTipRole && index.column() == Event) return eventSentence(e, localTime_);
    if (role == Qt::ToolTipRole && index.column() == Bytes) {
        const QJsonValue b = e.value(QLatin1String("bytes"));
        return b.isArray() ? QString::fromUtf8(QJsonDocument(b.toArray()).toJson(QJsonDocument::Compact)) : b.toString();
    }
    if (role == Qt::ForegroundRole) {
        const QString kind = str(e, "kind");
        if (kind == QLatin1String("refused") || kind == QLatin1String("error") || kind == QLatin1String("alarm") ||
            (kind == QLatin1String("outcome") && str(e, "outcome") == QLatin1String("not confirmed")))
            return QColor(Qt::darkRed);
    }
    return {};
}

QVariant EventLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const names[ColumnCount] = {"Time (UTC)", "Deck", "Event", "Origin", "Kind", "Op", "Args",
                                                   "Outcome", "TC", "Reported", "Bytes"};
    if (section == Time && localTime_) return QStringLiteral("Time (local)");
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

EventLogFilter::EventLogFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

void EventLogFilter::setDeck(const QString& deck) {
    rule_.deck = deck;
    invalidateFilter();
}
void EventLogFilter::setOrigin(const QString& origin) {
    rule_.origin = origin;
    invalidateFilter();
}
void EventLogFilter::setKind(const QString& kind) {
    rule_.kind = kind;
    invalidateFilter();
}
void EventLogFilter::setText(const QString& text) {
    rule_.text = text;
    invalidateFilter();
}
void EventLogFilter::setLocalTime(bool local) {
    rule_.localTime = local;
    if (!rule_.text.isEmpty()) invalidateFilter();
}

bool EventLogFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return rule_.accepts(static_cast<const EventLogModel*>(sourceModel())->event(sourceRow));
}

bool EventFilterRule::accepts(const QJsonObject& e) const {
    if (!deck.isEmpty() && str(e, "deck") != deck) return false;
    if (!kind.isEmpty() && str(e, "kind") != kind) return false;
    if (!origin.isEmpty()) {
        const QString o = str(e, "origin");
        if (o != origin && o.section(QLatin1Char(' '), 0, 0) != origin) return false;
    }
    if (!text.isEmpty()) {
        for (int c = 0; c < EventLogModel::ColumnCount; ++c)
            if (EventLogModel::cellText(e, c, localTime).contains(text, Qt::CaseInsensitive)) return true;
        return false;
    }
    return true;
}

}  // namespace qz7
