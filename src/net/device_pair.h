// The recorder pair the panel knows: the built-in one, or the hosts given
// with --devices. Line 0 of the device list is the first, line 1 the second.
#pragma once

#include <QString>

namespace qz7 {

struct DevicePair {
    QString first = QStringLiteral("192.168.1.20");
    QString firstId = QStringLiteral("QA51200040");
    QString second = QStringLiteral("192.168.1.21");
    QString secondId = QStringLiteral("QA51200041");
    bool single = false;  // one recorder only: nothing goes to a second endpoint
};

}  // namespace qz7
