#include "ui/event_log_model.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

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

QString EventLogModel::cellText(const QJsonObject& e, int column) {
    switch (column) {
    case Time: return str(e, "ts").replace(QLatin1Char('T'), QLatin1Char(' '));
    case Deck: return str(e, "deck");
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
    if (role == Qt::DisplayRole) return cellText(e, index.column());
    if (role == Qt::ToolTipRole && index.column() == Bytes) {
        const QJsonValue b = e.value(QLatin1String("bytes"));
        return b.isArray() ? QString::fromUtf8(QJsonDocument(b.toArray()).toJson(QJsonDocument::Compact)) : b.toString();
    }
    if (role == Qt::ForegroundRole) {
        const QString kind = str(e, "kind");
        if (kind == QLatin1String("refused") || kind == QLatin1String("error")) return QColor(Qt::darkRed);
    }
    return {};
}

QVariant EventLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const names[ColumnCount] = {"Time (UTC)", "Deck", "Origin", "Kind", "Op", "Args",
                                                   "Outcome", "TC", "Reported", "Bytes"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(names[section]) : QVariant();
}

EventLogFilter::EventLogFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

void EventLogFilter::setDeck(const QString& deck) {
    deck_ = deck;
    invalidateFilter();
}
void EventLogFilter::setOrigin(const QString& origin) {
    origin_ = origin;
    invalidateFilter();
}
void EventLogFilter::setKind(const QString& kind) {
    kind_ = kind;
    invalidateFilter();
}
void EventLogFilter::setText(const QString& text) {
    text_ = text;
    invalidateFilter();
}

bool EventLogFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const auto* model = static_cast<const EventLogModel*>(sourceModel());
    const QJsonObject& e = model->event(sourceRow);
    if (!deck_.isEmpty() && str(e, "deck") != deck_) return false;
    if (!kind_.isEmpty() && str(e, "kind") != kind_) return false;
    if (!origin_.isEmpty()) {
        const QString origin = str(e, "origin");
        if (origin != origin_ && origin.section(QLatin1Char(' '), 0, 0) != origin_) return false;
    }
    if (!text_.isEmpty()) {
        for (int c = 0; c < EventLogModel::ColumnCount; ++c)
            if (EventLogModel::cellText(e, c).contains(text_, Qt::CaseInsensitive)) return true;
        return false;
    }
    return true;
}

}  // namespace qz7
