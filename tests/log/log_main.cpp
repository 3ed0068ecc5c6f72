// gtest main for the event log tests: a core application only. Run as
// "log_tests --burst DIR" it is the child that the kill test shoots: it
// writes events to DIR as fast as it can until it is killed.
#include <QCoreApplication>
#include <QJsonObject>
#include <cstring>
#include <gtest/gtest.h>

#include "deck/origin.h"
#include "log/event_log.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--burst") == 0) {
        qz7::LogOptions options;
        options.dir = QString::fromLocal8Bit(argv[2]);
        qz7::EventLog log(options);
        // Long lines, so that a kill has a good chance to land inside a write.
        const QString filler(4000, QLatin1Char('x'));
        for (;;)
            log.record(QStringLiteral("burst"), qz7::Origin::osc("127.0.0.1:51000"), QStringLiteral("command"),
                       QStringLiteral("play"), {{QStringLiteral("outcome"), filler}});
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
