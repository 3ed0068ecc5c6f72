// "Event Log": today's events of the log in a table that follows new ones,
// filtered by deck, origin, kind and text, and "Export..." of a time range to
// CSV. LogState is the status bar's LOG OFF, with the reason in its tooltip.
#pragma once

#include <QDateTime>
#include <QLabel>
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

    // Today's events again from the file (or, without a file, from memory).
    void reload();
    // The events from..to (UTC) as CSV into path. "" or why not.
    QString exportRange(const QDateTime& from, const QDateTime& to, const QString& path) const;

public slots:
    void exportEvents();

private:
    void add(const QJsonObject& event);
    void addChoice(QComboBox* box, const QString& value);

    EventLog& log_;
    EventLogModel* model_;
    EventLogFilter* filter_;
    QTableView* table_;
    QComboBox* deckBox_;    // DeckFilter
    QComboBox* originBox_;  // OriginFilter
    QComboBox* kindBox_;    // KindFilter
    QLineEdit* textEdit_;   // TextFilter
    QCheckBox* follow_;     // Follow "Follow new events"
    QPushButton* export_;   // ExportButton "Export..."
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
