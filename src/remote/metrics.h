// What a facility's Prometheus reads from GET /metrics: each deck's link,
// transport, recording and alarm as gauges, its operations by origin and
// outcome and its dropped replies and incomplete Retrieves as counters, and
// whether the event log writes. It follows decks as the log does: a deck
// attached is shown until it is destroyed (a rack reload), and a deck made
// again under the same name starts its counters from zero, which Prometheus
// reads as a counter reset. QtCore only.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <array>
#include <map>
#include <memory>

#include "deck/origin.h"

namespace qz7 {

class Deck;
class EventLog;

class Metrics : public QObject {
    Q_OBJECT
public:
    explicit Metrics(QObject* parent = nullptr);
    ~Metrics() override;

    // Follows deck from now on, until it is destroyed.
    void attach(Deck& deck);
    // qz7_log_on reads this log; it must outlive the metrics. Without one the
    // log counts as off.
    void setEventLog(const EventLog& log) { log_ = &log; }

    // The Prometheus text exposition (format 0.0.4), decks in name order.
    QByteArray render() const;
    static constexpr const char* kContentType = "text/plain; version=0.0.4; charset=utf-8";

    // The label values of qz7_operations_total.
    static constexpr int kOrigins = 7;  // Origin::Kind
    static constexpr std::array<const char*, 5> kOutcomes = {"refused", "sent", "confirmed", "not confirmed",
                                                             "superseded"};

private:
    struct Followed {
        QPointer<Deck> deck;
        // [origin kind][outcome], every pair shown from the start so that a
        // first refusal is an increase, not a new series.
        std::array<std::array<quint64, kOutcomes.size()>, kOrigins> operations{};
        quint64 retrievesIncomplete = 0;
        bool incomplete = false;  // the last progress seen was incomplete
    };
    void count(Followed& f, const Origin& origin, std::size_t outcome);

    std::map<const QObject*, std::unique_ptr<Followed>> decks_;
    const EventLog* log_ = nullptr;
};

}  // namespace qz7
