// qz7rack: every recorder pair of a machine room from one process, no windows.
#include <QCoreApplication>
#include <cstdio>
#include <exception>

#include "qz7_version.h"
#include "rack/rack_service.h"
#include "net/signal_watch.h"

namespace {
void logLine(const QString& line) { std::fprintf(stderr, "qz7rack: %s\n", qPrintable(line)); }
}  // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    const qz7::RackOptions options = qz7::parseRackOptions(arguments);
    if (!options.error.isEmpty()) {
        // One line: the whole usage would bury the reason.
        logLine(QStringLiteral("%1 (see --help)").arg(options.error));
        return 2;
    }
    if (options.help) {
        std::fputs(qPrintable(qz7::rackUsageText()), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("qz7rack " QZ7_VERSION);
        return 0;
    }
    qz7::RackSetup setup;
    if (const QString why = qz7::loadRackSetup(options, setup); !why.isEmpty()) {
        logLine(why);
        return 2;
    }
    if (setup.log.dir.isEmpty()) setup.log.dir = qz7::defaultServiceLogDir();
    if (options.logExport) {
        QByteArray out;
        int skipped = 0;
        if (const QString why = qz7::exportLog(options, setup, out, &skipped); !why.isEmpty()) {
            logLine(why);
            return 2;
        }
        std::fwrite(out.constData(), 1, static_cast<std::size_t>(out.size()), stdout);
        if (skipped > 0) logLine(QStringLiteral("%1 line(s) of the log are not JSON; left out").arg(skipped));
        return 0;
    }
    if (options.checkConfig) {
        QStringList names;
        for (const qz7::DeckConfig& d : setup.decks) names << d.name;
        std::printf("qz7rack: configuration good: %lld deck(s): %s\n", static_cast<long long>(names.size()),
                    qPrintable(names.join(QStringLiteral(", "))));
        return 0;
    }

    try {
        QCoreApplication app(argc, argv);
        qz7::SignalWatch watch(qz7::SignalWatch::Reload::OnSighup);
        if (!watch.watching()) {
            logLine(QStringLiteral("cannot watch for signals"));
            return 1;
        }
        qz7::RackService service(options, setup);
        QObject::connect(&watch, &qz7::SignalWatch::terminate, &app, &QCoreApplication::quit);
        QObject::connect(&watch, &qz7::SignalWatch::reload, &service, [&service] {
            // A slot: nothing may escape into Qt's frames.
            try {
                service.reload();
            } catch (const std::exception& e) {
                logLine(QStringLiteral("reload failed: %1").arg(QString::fromUtf8(e.what())));
            }
        });
        QString error;
        if (!service.start(&error)) {
            logLine(error);
            return 1;
        }
        const int code = app.exec();
        service.rack().shutdown();
        logLine(QStringLiteral("stopped"));
        return code;
    } catch (const std::exception& e) {
        logLine(QString::fromUtf8(e.what()));
        return 1;
    }
}
