// Command-line options. Without options the panel talks to the built-in
// recorder pair 192.168.1.20 and 192.168.1.21.
#pragma once

#include <QString>
#include <QStringList>

#include "app/remote/remote_options.h"

namespace qz7 {

struct DevicePair {
    QString first = QStringLiteral("192.168.1.20");
    QString firstId = QStringLiteral("QA51200040");
    QString second = QStringLiteral("192.168.1.21");
    QString secondId = QStringLiteral("QA51200041");
    bool single = false;  // one recorder only: nothing goes to a second endpoint
};

struct Options {
    DevicePair devices;
    RemoteOptions remote;  // --osc..., --headless, --select, --verbose
    bool help = false;
    QString error;  // non-empty: the command line was not understood
};

Options parseOptions(const QStringList& arguments);
QString usageText();

}  // namespace qz7
