// The remote-control options: what each gives, and a clear refusal for every
// bad value or combination.
#include <gtest/gtest.h>

#include "remote/remote_options.h"

namespace qz7 {
namespace {

struct Parsed {
    RemoteOptions options;
    QString error;
    QStringList notOurs;
};

// The same loop as the panel's option parser around its hook.
Parsed parse(const QStringList& args) {
    Parsed p;
    const QStringList arguments = QStringList{QStringLiteral("qz7cont")} + args;
    for (int i = 1; i < arguments.size(); ++i) {
        if (takeRemoteOption(arguments, i, p.options, p.error)) {
            if (!p.error.isEmpty()) return p;
            continue;
        }
        p.notOurs << arguments[i];
    }
    p.error = checkRemoteOptions(p.options);
    return p;
}

TEST(RemoteOptions, OffUnlessAskedAndLoopbackByDefault) {
    Parsed p = parse({});
    EXPECT_TRUE(p.error.isEmpty());
    EXPECT_FALSE(p.options.osc);
    EXPECT_FALSE(p.options.headless);
    EXPECT_EQ(p.options.select, 0);

    p = parse({"--devices", "127.0.0.1,127.0.0.2", "--osc", "9000"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.notOurs, (QStringList{"--devices", "127.0.0.1,127.0.0.2"}));
    EXPECT_TRUE(p.options.osc);
    EXPECT_EQ(p.options.port, 9000);
    EXPECT_EQ(p.options.bind, QHostAddress(QStringLiteral("127.0.0.1")));
    EXPECT_EQ(networksText(p.options.obeyedNetworks()), QStringLiteral("127.0.0.0/8, ::1/128"));

    p = parse({"--osc=0", "--headless", "--select=1", "--verbose"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.options.port, 0) << "0 asks for any free port";
    EXPECT_TRUE(p.options.headless);
    EXPECT_EQ(p.options.select, 1);
    EXPECT_TRUE(p.options.verbose);
    EXPECT_TRUE(p.notOurs.isEmpty());
}

TEST(RemoteOptions, BindAndAllowList) {
    Parsed p = parse({"--osc", "9000", "--osc-bind", "192.168.5.10", "--osc-allow", "192.168.5.0/24, 10.0.0.7/32"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.options.bind, QHostAddress(QStringLiteral("192.168.5.10")));
    EXPECT_EQ(networksText(p.options.obeyedNetworks()), QStringLiteral("192.168.5.0/24, 10.0.0.7/32"));

    // Another loopback address needs no allow list; the list narrows loopback too.
    p = parse({"--osc", "9000", "--osc-bind", "127.0.0.2"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    p = parse({"--osc", "9000", "--osc-allow", "127.0.0.2/32"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(networksText(p.options.obeyedNetworks()), QStringLiteral("127.0.0.2/32"));
    p = parse({"--osc", "9000", "--osc-bind", "::1", "--osc-allow", "::1/128"});
    EXPECT_TRUE(p.error.isEmpty()) << p.error.toStdString();

    const QList<OscNetwork> nets = p.options.obeyedNetworks() + parse({"--osc", "1", "--osc-allow", "127.0.0.2/32,10.0.0.0/8"}).options.allow;
    EXPECT_TRUE(insideNetworks(QHostAddress(QStringLiteral("127.0.0.2")), nets));
    EXPECT_TRUE(insideNetworks(QHostAddress(QStringLiteral("::ffff:127.0.0.2")), nets)) << "IPv4 seen through IPv6";
    EXPECT_TRUE(insideNetworks(QHostAddress(QStringLiteral("10.200.1.1")), nets));
    EXPECT_TRUE(insideNetworks(QHostAddress(QStringLiteral("::1")), nets));
    EXPECT_FALSE(insideNetworks(QHostAddress(QStringLiteral("127.0.0.3")), nets));
    EXPECT_FALSE(insideNetworks(QHostAddress(QStringLiteral("11.0.0.1")), nets));
}

TEST(RemoteOptions, BadValuesAndCombinationsGiveAClearMessage) {
    struct Case {
        QStringList args;
        QString error;
    };
    const std::vector<Case> cases = {
        {{"--osc"}, "--osc needs a value"},
        {{"--osc", "abc"}, "--osc wants a UDP port 1..65535 (0: any free port), not 'abc'"},
        {{"--osc", "65536"}, "--osc wants a UDP port 1..65535 (0: any free port), not '65536'"},
        {{"--osc", "-1"}, "--osc wants a UDP port 1..65535 (0: any free port), not '-1'"},
        {{"--osc", "+9"}, "--osc wants a UDP port 1..65535 (0: any free port), not '+9'"},
        {{"--osc=", "9000"}, "--osc wants a UDP port 1..65535 (0: any free port), not ''"},
        {{"--osc", "9000", "--osc-bind", "recorder.example"},
         "--osc-bind wants a numeric IP address, not 'recorder.example'"},
        {{"--osc", "9000", "--osc-bind"}, "--osc-bind needs a value"},
        {{"--osc", "9000", "--osc-allow", "10.0.0.0"},
         "--osc-allow wants NET/LEN[,NET/LEN...], e.g. 192.168.5.0/24; '10.0.0.0' is not one"},
        {{"--osc", "9000", "--osc-allow", "10.0.0.0/8,"},
         "--osc-allow wants NET/LEN[,NET/LEN...], e.g. 192.168.5.0/24; '' is not one"},
        {{"--osc", "9000", "--osc-allow", "10.0.0.0/33"}, "--osc-allow: in '10.0.0.0/33' the prefix length must be 0..32"},
        {{"--osc", "9000", "--osc-allow", "10.0.0.0/x"}, "--osc-allow: in '10.0.0.0/x' the prefix length must be 0..32"},
        {{"--osc", "9000", "--osc-allow", "10.0.0.0/-1"}, "--osc-allow: in '10.0.0.0/-1' the prefix length must be 0..32"},
        {{"--osc", "9000", "--osc-allow", "::1/129"}, "--osc-allow: in '::1/129' the prefix length must be 0..128"},
        {{"--select", "2"}, "--select wants 0 or 1 (the recorder line), not '2'"},
        {{"--select"}, "--select needs a value"},
        {{"--osc-bind", "127.0.0.1"}, "--osc-bind needs --osc PORT"},
        {{"--osc-allow", "127.0.0.1/32"}, "--osc-allow needs --osc PORT"},
        {{"--osc", "9000", "--osc-bind", "0.0.0.0"},
         "--osc-bind 0.0.0.0 listens beyond this machine: give --osc-allow NET/LEN[,NET/LEN...] with the senders "
         "that may control the recorders"},
        {{"--osc", "9000", "--osc-bind", "192.168.5.10"},
         "--osc-bind 192.168.5.10 listens beyond this machine: give --osc-allow NET/LEN[,NET/LEN...] with the "
         "senders that may control the recorders"},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.args).error, c.error) << c.args.join(' ').toStdString();
}

}  // namespace
}  // namespace qz7
