// Watches whether the selected recorder is answering. The operator must never
// read a frozen timecode as a live one, so the monitor tells apart a link that
// is off, one that has not answered yet, one that answers, and one that fell
// silent, and holds the last send error until a tick goes out cleanly.
#pragma once

#include <string>

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "link/status_text.h"

namespace qz7 {

class RecorderLink;

class LinkMonitor : public QObject {
    Q_OBJECT
public:
    using State = LinkState;

    // Milliseconds on a monotonic clock.
    using Clock = std::function<qint64()>;

    // A poll reply is due every 40 ms; a second without one is a dead link.
    static constexpr qint64 kSilenceMs = 1000;
    static constexpr int kRefreshMs = 100;

    explicit LinkMonitor(RecorderLink& link, QObject* parent = nullptr);

    // Tests drive time by hand.
    void setClock(Clock clock);

    State state() const { return state_; }
    // Whole seconds without a reply, counted from "Apply" until the first one.
    qint64 silentSeconds() const { return silentSeconds_; }
    // The selected recorder: endpoint 1's host.
    QString address() const;
    // The last send error, empty once a tick went out cleanly after it.
    QString sendError() const { return sendError_; }
    // The lamp's words (link/status_text.h): without, and with "  SEND ERROR".
    QString text() const;
    QString lampText() const;
    // The status panel shows what the recorder says right now.
    bool valuesLive() const { return state_ == State::Ok; }

public slots:
    void refresh();

signals:
    // The state, the silent seconds or the send error moved.
    void changed();

private:
    void onLinkEnabled(bool on);
    void onReply();
    void onTickError(const QString& message);

    RecorderLink& link_;
    QTimer* timer_;
    QElapsedTimer elapsed_;
    Clock clock_;
    qint64 since_ = 0;        // the last reply, or "Apply" while none came
    bool answered_ = false;   // a reply came since "Apply"
    State state_ = State::Off;
    qint64 silentSeconds_ = 0;
    QString sendError_;
    QString shownText_;   // text() and sendError() when changed() was last emitted
    QString shownError_;
    std::uint64_t errorTick_ = 0;  // clean ticks counted when the error came
};

}  // namespace qz7
