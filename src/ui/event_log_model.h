// The event log as a table: one row per event, oldest first, at most the
// newest rowLimit() of them, and the filter the viewer puts over it (deck,
// origin, kind, and a text anywhere in the row).
#pragma once

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>
#include <QSortFilterProxyModel>

namespace qz7 {

class EventLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Deck, Origin, Kind, Op, Args, Outcome, Timecode, Reported, Bytes, ColumnCount };

    // A day of a busy rack is hundreds of thousands of events: the table
    // holds the newest ones, Export reads the files for the rest.
    static constexpr int kDefaultRowLimit = 10000;

    explicit EventLogModel(QObject* parent = nullptr, int rowLimit = kDefaultRowLimit);

    int rowLimit() const { return rowLimit_; }
    // The newest rowLimit() of events; append drops the oldest row at the limit.
    void setEvents(QList<QJsonObject> events);
    void append(const QJsonObject& event);
    const QJsonObject& event(int row) const { return events_.at(row); }
    const QList<QJsonObject>& events() const { return events_; }

    // The cell's text as the table shows it.
    static QString cellText(const QJsonObject& event, int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int rowLimit_;
    QList<QJsonObject> events_;
};

class EventLogFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit EventLogFilter(QObject* parent = nullptr);

    // "" lets every value through. The origin matches its first word too
    // ("osc" takes every OSC sender); the text is looked for in every cell,
    // case aside.
    void setDeck(const QString& deck);
    void setOrigin(const QString& origin);
    void setKind(const QString& kind);
    void setText(const QString& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString deck_, origin_, kind_, text_;
};

}  // namespace qz7
