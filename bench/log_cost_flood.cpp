// qz7logflood [S]: what a flood of refused commands costs the event log. One
// origin's commands as fast as the event loop takes them (a deck never
// started refuses every one: no datagram leaves) for S seconds (default 10);
// printed: refusals a second, and the lines and bytes the log wrote a second.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "deck/deck.h"
#include "log/event_log.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    qz7::DevicePair devices;
    devices.first = devices.second = QStringLiteral("127.0.0.68");
    devices.single = true;
    qz7::Deck deck(devices);
    QTemporaryDir dir;
    qint64 refusals = 0, lines = 0;
    QElapsedTimer clock;
    const std::clock_t cpu0 = std::clock();
    {
        qz7::EventLog log(qz7::LogOptions{true, dir.path(), 90});
        log.attach(deck);
        QObject::connect(&log, &qz7::EventLog::logged, [&lines](const QJsonObject&) { ++lines; });
        const qz7::Origin flooder = qz7::Origin::osc("127.0.0.1:51000");
        QTimer burst;
        // A hundred a turn, so that the log's own timers still run between.
        QObject::connect(&burst, &QTimer::timeout, [&] {
            for (int i = 0; i < 100; ++i, ++refusals) deck.play(flooder);
        });
        clock.start();
        burst.start(0);
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
        app.exec();
    }
    const double elapsed = static_cast<double>(clock.elapsed()) / 1000.0;
    const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC / elapsed * 100.0;
    qint64 bytes = 0;
    for (const QFileInfo& fi : QDir(dir.path()).entryInfoList(QDir::Files)) bytes += fi.size();
    std::printf("qz7logflood %d: %lld refused commands from one origin in %.1f s (%.0f a second, CPU %.0f %% of one "
                "core); the log wrote %lld lines, %lld bytes: %.1f lines and %.0f bytes a second (%.1f MiB an hour)\n",
                seconds, static_cast<long long>(refusals), elapsed, static_cast<double>(refusals) / elapsed, cpu,
                static_cast<long long>(lines), static_cast<long long>(bytes), static_cast<double>(lines) / elapsed,
                static_cast<double>(bytes) / elapsed, static_cast<double>(bytes) / elapsed * 3600 / 1048576);
    return 0;
}
