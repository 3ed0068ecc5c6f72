#include "ui/event_log_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPromise>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QThreadPool>
#include <QTimeZone>
#include <QVBoxLayout>
#include <functional>
#include <memory>

#include "log/event_log.h"
#include "log/log_reader.h"
#include "ui/error_box.h"
#include "ui/event_log_model.h"

namespace qz7 {

namespace {
QDateTime startOfTodayUtc() {
    return QDateTime(QDateTime::currentDateTimeUtc().date(), QTime(0, 0), QTimeZone::utc());
}

// Runs work on the global thread pool and then done(result) on context's
// thread, unless context has gone by then; done(nullptr) if work threw.
template <class T>
void inBackground(QObject* context, std::function<T()> work, std::function<void(const T*)> done) {
    auto* watcher = new QFutureWatcher<T>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context, [watcher, done] {
        watcher->deleteLater();
        const QFuture<T> future = watcher->future();
        if (future.resultCount() == 0) return done(nullptr);
        const T result = future.result();
        done(&result);
    });
    auto promise = std::make_shared<QPromise<T>>();
    watcher->setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, work] {
        promise->start();
        try {
            promise->addResult(work());
        } catch (const std::exception&) {
            // No result: done hears of it.
        }
        promise->finish();
    });
}

QString writeCsv(QList<QJsonObject> events, const EventFilterRule& rule, const QString& path) {
    events.removeIf([&rule](const QJsonObject& e) { return !rule.accepts(e); });
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    file.write(eventsToCsv(events));
    if (!file.commit()) return QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return {};
}
}  // namespace

// What a worker read of today: the newest events and how many there were.
struct EventLogWindow::DayLoad {
    QList<QJsonObject> events;
    qsizetype total = 0;
};

EventLogWindow::EventLogWindow(EventLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window),
      log_(log),
      model_(new EventLogModel(this)),
      filter_(new EventLogFilter(this)) {
    setObjectName(QStringLiteral("EventLogWindow"));
    setWindowTitle(QStringLiteral("Event Log"));
    resize(1000, 480);

    auto combo = [this](const char* name, const QString& all, const QStringList& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItem(all, QString());
        for (const QString& item : items) box->addItem(item, item);
        return box;
    };
    deckBox_ = combo("DeckFilter", QStringLiteral("All decks"), {});
    originBox_ = combo("OriginFilter", QStringLiteral("All origins"),
                       {QStringLiteral("panel"), QStringLiteral("key"), QStringLiteral("osc"), QStringLiteral("web"),
                        QStringLiteral("rack"), QStringLiteral("start"), QStringLiteral("recorder"),
                        QStringLiteral("log")});
    kindBox_ = combo("KindFilter", QStringLiteral("All kinds"),
                     {QStringLiteral("command"), QStringLiteral("refused"), QStringLiteral("outcome"),
                      QStringLiteral("superseded"), QStringLiteral("alarm"), QStringLiteral("recorder"),
                      QStringLiteral("link"), QStringLiteral("error"), QStringLiteral("system")});
    textEdit_ = new QLineEdit(this);
    textEdit_->setObjectName(QStringLiteral("TextFilter"));
    textEdit_->setPlaceholderText(QStringLiteral("Text"));
    textEdit_->setClearButtonEnabled(true);
    follow_ = new QCheckBox(QStringLiteral("Follow new events"), this);
    follow_->setObjectName(QStringLiteral("Follow"));
    follow_->setChecked(true);
    localTime_ = new QCheckBox(QStringLiteral("Local time"), this);
    localTime_->setObjectName(QStringLiteral("EventLogLocalTime"));
    localTime_->setToolTip(QStringLiteral("Times in this computer's time zone; off: UTC, as the log files keep them"));
    localTime_->setChecked(true);
    export_ = new QPushButton(QStringLiteral("Export..."), this);
    export_->setObjectName(QStringLiteral("ExportButton"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("EventLogStatus"));
    status_->setToolTip(QStringLiteral("The table keeps the newest %L1 events; Export reads the log files for any range.")
                            .arg(model_->rowLimit()));

    filter_->setSourceModel(model_);
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("EventTable"));
    table_->setModel(filter_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setWordWrap(false);
    // The time whole: "2026-12-08 14:03:07.125Z", and a little room; the sentence wide.
    table_->setColumnWidth(EventLogModel::Time,
                           table_->fontMetrics().horizontalAdvance(QStringLiteral("2026-12-08 00:00:00.000Z")) + 16);
    table_->setColumnWidth(EventLogModel::Event,
                           table_->fontMetrics().horizontalAdvance(QStringLiteral("REC not confirmed: recorder shows STOP (panel)")));

    auto* bar = new QHBoxLayout;
    bar->addWidget(deckBox_);
    bar->addWidget(originBox_);
    bar->addWidget(kindBox_);
    bar->addWidget(textEdit_, 1);
    bar->addWidget(follow_);
    bar->addWidget(localTime_);
    bar->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_);
    layout->addWidget(status_);

    auto choice = [](QComboBox* box) { return box->currentData().toString(); };
    connect(deckBox_, &QComboBox::currentIndexChanged, this, [this, choice] { filter_->setDeck(choice(deckBox_)); });
    connect(originBox_, &QComboBox::currentIndexChanged, this, [this, choice] { filter_->setOrigin(choice(originBox_)); });
    connect(kindBox_, &QComboBox::currentIndexChanged, this, [this, choice] { filter_->setKind(choice(kindBox_)); });
    connect(textEdit_, &QLineEdit::textChanged, filter_, &EventLogFilter::setText);
    connect(localTime_, &QCheckBox::toggled, this, [this](bool local) {
        model_->setLocalTime(local);
        filter_->setLocalTime(local);
    });
    connect(export_, &QPushButton::clicked, this, &EventLogWindow::exportEvents);
    auto* close = new QAction(this);
    close->setObjectName(QStringLiteral("CloseEventLog"));
    close->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    close->setShortcutContext(Qt::WindowShortcut);
    addAction(close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(&log_, &EventLog::logged, this, &EventLogWindow::add);
    connect(filter_, &QAbstractItemModel::rowsInserted, this, [this] {
        if (follow_->isChecked()) table_->scrollToBottom();
    });
    reload();
}

void EventLogWindow::addChoice(QComboBox* box, const QString& value) {
    if (!value.isEmpty() && box->findData(value) < 0) box->addItem(value, value);
}

void EventLogWindow::add(const QJsonObject& event) {
    addChoice(deckBox_, event.value(QLatin1String("deck")).toString());
    if (loading_) {
        // Kept until the file's events show; at most a table's worth.
        if (arrivedWhileLoading_.size() >= model_->rowLimit()) arrivedWhileLoading_.removeFirst();
        arrivedWhileLoading_.append(event);
        return;
    }
    model_->append(event);
    ++total_;
    showCount();
}

void EventLogWindow::reload() {
    if (!log_.enabled()) {
        // Without a file (--no-log) what memory holds: a short ring, read at once.
        QList<QJsonObject> events = log_.kept();
        const qsizetype total = events.size();
        showEvents(std::move(events), total);
        return;
    }
    loading_ = true;
    arrivedWhileLoading_.clear();
    status_->setText(QStringLiteral("Loading…"));
    const int generation = ++loadGeneration_;
    const QString dir = log_.dir();
    const QDateTime from = startOfTodayUtc(), to = QDateTime::currentDateTimeUtc().addDays(1);
    const int limit = model_->rowLimit();
    inBackground<DayLoad>(
        this,
        [dir, from, to, limit] {
            DayLoad day;
            day.events = readEvents(dir, from, to);
            day.total = day.events.size();
            if (day.events.size() > limit) day.events.remove(0, day.events.size() - limit);
            return day;
        },
        [this, generation](const DayLoad* day) {
            if (generation != loadGeneration_) return;
            loading_ = false;
            if (!day) {
                status_->setText(QStringLiteral("Could not read the log files of today"));
                emit loaded();
                return;
            }
            // Events logged while the worker read: those the file did not yet hold.
            QHash<qint64, qint64> newestSeq;  // per process
            for (const QJsonObject& e : day->events) {
                qint64& seq = newestSeq[e.value(QLatin1String("pid")).toInteger()];
                seq = std::max(seq, e.value(QLatin1String("seq")).toInteger());
            }
            QList<QJsonObject> events = day->events;
            qsizetype total = day->total;
            for (const QJsonObject& e : std::as_const(arrivedWhileLoading_)) {
                if (e.value(QLatin1String("seq")).toInteger() <= newestSeq.value(e.value(QLatin1String("pid")).toInteger(), -1))
                    continue;
                events.append(e);
                ++total;
            }
            arrivedWhileLoading_.clear();
            showEvents(std::move(events), total);
        });
}

void EventLogWindow::showEvents(QList<QJsonObject> events, qsizetype total) {
    for (const QJsonObject& e : events) addChoice(deckBox_, e.value(QLatin1String("deck")).toString());
    model_->setEvents(std::move(events));
    total_ = total;
    showCount();
    if (follow_->isChecked()) table_->scrollToBottom();
    emit loaded();
}

void EventLogWindow::showCount() {
    const int shown = model_->rowCount();
    status_->setText(total_ > shown ? QStringLiteral("Showing the newest %L1 of %L2 events today; Export for the rest")
                                          .arg(shown)
                                          .arg(total_)
                                    : QStringLiteral("%L1 events").arg(shown));
}

QString EventLogWindow::exportRange(const QDateTime& from, const QDateTime& to, const QString& path) const {
    if (log_.enabled()) return writeCsv(readEvents(log_.dir(), from, to), filter_->rule(), path);
    QList<QJsonObject> events;
    const QString low = logTimestamp(from), high = logTimestamp(to);
    for (const QJsonObject& e : model_->events()) {
        const QString ts = e.value(QLatin1String("ts")).toString();
        if (ts >= low && ts <= high) events.append(e);
    }
    return writeCsv(events, filter_->rule(), path);
}

// A time range (in the table's time), then where the CSV goes.
void EventLogWindow::exportEvents() {
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("ExportDialog"));
    dialog.setWindowTitle(QStringLiteral("Export Event Log"));
    const bool local = localTime_->isChecked();
    const auto shown = [local](const QDateTime& t) { return local ? t.toLocalTime() : t; };
    auto* from = new QDateTimeEdit(shown(startOfTodayUtc()), &dialog);
    auto* to = new QDateTimeEdit(shown(QDateTime::currentDateTimeUtc()), &dialog);
    for (QDateTimeEdit* edit : {from, to}) {
        edit->setTimeSpec(local ? Qt::LocalTime : Qt::UTC);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        edit->setCalendarPopup(true);
    }
    from->setObjectName(QStringLiteral("ExportFrom"));
    to->setObjectName(QStringLiteral("ExportTo"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* form = new QFormLayout(&dialog);
    const QString zone = local ? QStringLiteral("local") : QStringLiteral("UTC");
    form->addRow(QStringLiteral("From (%1)").arg(zone), from);
    form->addRow(QStringLiteral("To (%1)").arg(zone), to);
    form->addRow(new QLabel(QStringLiteral("Only the events the filter shows are written."), &dialog));
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    const QDateTime a = from->dateTime().toUTC(), b = to->dateTime().toUTC().addMSecs(999);
    const QString suggested = QStringLiteral("events-%1.csv").arg(a.toString(QStringLiteral("yyyy-MM-dd")));
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Event Log"), suggested,
                                                      QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty()) return;
    if (!log_.enabled()) {
        if (const QString why = exportRange(a, b, path); !why.isEmpty()) ErrorBox::show(why);
        return;
    }
    // Days of files: read and written on a worker, the button back when done.
    export_->setEnabled(false);
    export_->setText(QStringLiteral("Exporting..."));
    const QString dir = log_.dir();
    const EventFilterRule rule = filter_->rule();
    inBackground<QString>(
        this, [dir, a, b, path, rule] { return writeCsv(readEvents(dir, a, b), rule, path); },
        [this, path](const QString* why) {
            export_->setEnabled(true);
            export_->setText(QStringLiteral("Export..."));
            if (!why) ErrorBox::show(QStringLiteral("cannot export to %1").arg(path));
            else if (!why->isEmpty()) ErrorBox::show(*why);
        });
}

LogStateLamp::LogStateLamp(EventLog& log, QWidget* parent) : QLabel(parent), log_(log) {
    setObjectName(QStringLiteral("LogState"));
    setText(QStringLiteral("LOG OFF"));
    setStyleSheet(QStringLiteral("QLabel { color: white; background: #b00000; padding: 0 6px; font-weight: bold; }"));
    connect(&log_, &EventLog::offChanged, this, &LogStateLamp::showState);
    showState();
}

void LogStateLamp::showState() {
    setVisible(log_.isOff());
    setToolTip(log_.isOff() ? QStringLiteral("The event log is not written: %1. Control goes on; the log tries again "
                                             "every minute.")
                                  .arg(log_.offReason())
                            : QString());
}

}  // namespace qz7
