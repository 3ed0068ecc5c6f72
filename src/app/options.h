// Command-line options. Without options the panel talks to the built-in
// recorder pair 192.168.1.20 and 192.168.1.21.
#pragma once

#include <QString>
#include <QStringList>

#include "net/device_pair.h"

namespace qz7 {

struct Options {
    DevicePair devices;
    bool help = false;
    QString error;  // non-empty: the command line was not understood
};

Options parseOptions(const QStringList& arguments);
QString usageText();

}  // namespace qz7
