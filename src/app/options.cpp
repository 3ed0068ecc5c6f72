#include "app/options.h"

namespace qz7 {

QString usageText() {
    return QStringLiteral(
        "Usage: qz7cont [--devices FIRST[,SECOND]] [--osc PORT ...] [--help]\n"
        "Remote-control panel for one or two HD video disk recorders (UDP port 20000).\n"
        "\n"
        "  --devices FIRST,SECOND  recorder hosts in place of 192.168.1.20 and 192.168.1.21;\n"
        "                          a single host means that recorder alone\n"
        "  --help                  print this text\n") + remoteUsageText();
}

Options parseOptions(const QStringList& arguments) {
    Options o;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString value;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
            continue;
        }
        if (takeRemoteOption(arguments, i, o.remote, o.error)) { if (!o.error.isEmpty()) return o; continue; }
        if (a.startsWith(QLatin1String("--devices="))) {
            value = a.mid(10);
        } else if (a == QLatin1String("--devices") && i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            o.error = QStringLiteral("unknown option: %1").arg(a);
            return o;
        }
        const QStringList hosts = value.split(QLatin1Char(','));
        if (hosts.isEmpty() || hosts.size() > 2 || hosts[0].trimmed().isEmpty() ||
            (hosts.size() == 2 && hosts[1].trimmed().isEmpty())) {
            o.error = QStringLiteral("--devices wants FIRST or FIRST,SECOND");
            return o;
        }
        o.devices.first = hosts[0].trimmed();
        if (hosts.size() == 2) {
            o.devices.second = hosts[1].trimmed();
            o.devices.single = false;
        } else {
            o.devices.second = o.devices.first;
            o.devices.secondId = o.devices.firstId;
            o.devices.single = true;
        }
    }
    o.error = checkRemoteOptions(o.remote);
    return o;
}

}  // namespace qz7
