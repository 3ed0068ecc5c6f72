// "Event Log": today's events of the log in a table that follows new ones,
// each with its sentence, the time in local time or UTC, filtered by deck,
// origin, kind and text, and "Export..." of what the filter lets through in
// a time range to CSV (UTC, as the files). Escape and Ctrl+W close it. The day's files are read on a worker thread: the panel keeps ticking
// and the window shows "Loading…" meanwhile. The table holds the newest
// EventLogModel::rowLimit() events; Export reads the files for any range.
// LogState is the status bar's LOG OFF, with the reason in its tooltip.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QLabel>
#include <QList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qz7 {

class EventLog;
class EventLogFilter;
class EventLogModel;

class EventLogWindow : public QWidget {
    Q_OBJECT
public:
    explicit EventLogWindow(EventLog& log, QWidget* parent = nullptr);

    EventLogModel* model() const { return model_; }
    EventLogFilter* filter() const { return filter_; }
    QTableView* table() const { return table_; }

    // Today's events again from the file, read on a worker thread (or,
    // without a file, from memory at once); loaded() when they show.
    void reload();
    bool isLoading() const { return loading_; }
    // The events from..to (UTC) that the filter lets through, as CSV into
    // path. "" or why not. Reads the files on the calling thread; "Export..."
    // runs it on a worker.
    QString exportRange(const QDateTime& from, const QDateTime& to, const QString& path) const;

signals:
    void loaded();

public slots:
    void exportEvents();

private:
    struct DayLoad;
    void add(const QJsonObject& event);
    void addChoice(QComboBox* box, const QString& value);
    void showEvents(QList<QJsonObject> events, qsizetype total);
    void showCount();

    EventLog& log_;
    EventLogModel* model_;
    EventLogFilter* filter_;
    QTableView* table_;
    QComboBox* deckBox_;    // DeckFilter
    QComboBox* originBox_;  // OriginFilter
    QComboBox* kindBox_;    // KindFilter
    QLineEdit* textEdit_;   // TextFilter
    QCheckBox* follow_;     // Follow "Follow new events"
    QCheckBox* localTime_;  // EventLogLocalTime "Local time"
    QPushButton* export_;   // ExportButton "Export..."
    QLabel* status_;        // EventLogStatus: loading, or how many events show
    bool loading_ = false;
    int loadGeneration_ = 0;  // a later reload outdates an earlier one still reading
    QList<QJsonObject> arrivedWhileLoading_;
    qsizetype total_ = 0;     // today's events, shown or not
};

// LogState: hidden while the log writes; "LOG OFF" with the reason as its
// tooltip while it cannot.
class LogStateLamp : public QLabel {
    Q_OBJECT
public:
    LogStateLamp(EventLog& log, QWidget* parent);
    void showState();

private:
    EventLog& log_;
};

}  // namespace qz7
