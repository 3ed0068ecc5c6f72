// The event log as a table: one row per event, oldest first, at most the
// newest rowLimit() of them, each with its sentence ("REC started, REC FILE :
// 013"), its time in local time or UTC, and the filter the viewer puts over
// it (deck, origin, kind, and a text anywhere in the row).
#pragma once

#include <QAbstractTableModel>
#include <QJsonObject>
#include <QList>
#include <QSortFilterProxyModel>

namespace qz7 {

class EventLogModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Deck, Event, Origin, Kind, Op, Args, Outcome, Timecode, Reported, Bytes, ColumnCount };

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

    // The cell's text as the table shows it; the time in local time or UTC.
    static QString cellText(const QJsonObject& event, int column, bool localTime = false);

    // The time column in local time (the files stay in UTC either way).
    void setLocalTime(bool local);
    bool localTime() const { return localTime_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    int rowLimit_;
    bool localTime_ = true;
    QList<QJsonObject> events_;
};

// What the viewer lets through, apart from the table: Export applies it to
// the events it reads from the files, on a worker thread.
struct EventFilterRule {
    // "" lets every value through. The origin matches its first word too
    // ("osc" takes every OSC sender); the text is looked for in every cell
    // as the table shows it, case aside.
    QString deck, origin, kind, text;
    bool localTime = true;

    bool accepts(const QJsonObject& event) const;
};

class EventLogFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit EventLogFilter(QObject* parent = nullptr);

    void setDeck(const QString& deck);
    void setOrigin(const QString& origin);
    void setKind(const QString& kind);
    void setText(const QString& text);
    void setLocalTime(bool local);
    const EventFilterRule& rule() const { return rule_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    EventFilterRule rule_;
};

}  // namespace qz7
