// Decides which poll-tick errors open the standard error box. An error whose
// text was already raised since the last tick that went well is left out: a
// partner that cannot be reached fails every tick, and showing it again after
// each OK would lock the operator out of the window. A tick without an error,
// "Apply", "Scan" or a new text shows errors again. The link still reports
// every one of them.
#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <cstdint>

namespace qz7 {

class RecorderLink;

class TickErrorFilter : public QObject {
    Q_OBJECT
public:
    explicit TickErrorFilter(RecorderLink& link, QObject* parent = nullptr);

    // Shows `message` in the error box unless it repeats.
    void report(const QString& message);

private:
    RecorderLink& link_;
    QSet<QString> raised_;  // texts of the current run of failing ticks
    std::uint64_t lastTurn_ = 0;
};

}  // namespace qz7
