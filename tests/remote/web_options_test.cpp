// The web remote's command line: what it takes, what it refuses, and the token file.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "remote/web_options.h"

namespace qz7 {
namespace {

struct Parsed {
    WebOptions options;
    QString error;
};

Parsed parse(const QStringList& args) {
    Parsed p;
    for (int i = 0; i < args.size() && p.error.isEmpty(); ++i)
        if (!takeWebOption(args, i, p.options, p.error)) p.error = QStringLiteral("not a web option: ") + args[i];
    if (p.error.isEmpty()) p.error = checkWebOptions(p.options);
    return p;
}

TEST(WebOptions, LoopbackByDefaultAndBeyondOnlyWithAllowListAndToken) {
    Parsed p = parse({"--http", "8080"});
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_TRUE(p.options.http);
    EXPECT_EQ(p.options.port, 8080);
    EXPECT_EQ(p.options.bind, QHostAddress(QHostAddress::LocalHost));
    EXPECT_EQ(networksText(p.options.servedNetworks()), QStringLiteral("127.0.0.0/8, ::1/128"));

    p = parse({"--http=0", "--http-bind", "10.0.5.2", "--http-allow", "10.0.5.0/24", "--http-token-file", "/t",
               "--http-host", "Rack1.example,rack1"});
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(networksText(p.options.servedNetworks()), QStringLiteral("10.0.5.0/24"));
    EXPECT_EQ(p.options.hosts, (QStringList{"rack1.example", "rack1"}));

    const QString beyond = QStringLiteral(
        "--http-bind 0.0.0.0 listens beyond this machine: give --http-allow NET/LEN[,NET/LEN...] with the clients "
        "that may use the page, and --http-token-file FILE with its token");
    EXPECT_EQ(parse({"--http", "1", "--http-bind", "0.0.0.0"}).error, beyond);
    EXPECT_EQ(parse({"--http", "1", "--http-bind", "0.0.0.0", "--http-allow", "10.0.0.0/8"}).error, beyond);
    EXPECT_EQ(parse({"--http", "1", "--http-bind", "0.0.0.0", "--http-token-file", "/t"}).error, beyond);
    // Another loopback address is still this machine.
    EXPECT_TRUE(parse({"--http", "1", "--http-bind", "127.0.0.5"}).error.isEmpty());

    const std::vector<std::pair<QStringList, QString>> bad = {
        {{"--http"}, "--http needs a value"},
        {{"--http", "65536"}, "--http wants a TCP port 1..65535 (0: any free port), not '65536'"},
        {{"--http", "1", "--http-bind", "rack.example"}, "--http-bind wants a numeric IP address, not 'rack.example'"},
        {{"--http", "1", "--http-allow", "10.0.0.0"},
         "--http-allow wants NET/LEN[,NET/LEN...], e.g. 192.168.5.0/24; '10.0.0.0' is not one"},
        {{"--http", "1", "--http-host", "evil.example/x"},
         "--http-host wants host names (letters, digits, '.', '-'), not 'evil.example/x'"},
        {{"--http-allow", "10.0.0.0/8"}, "--http-bind, --http-allow, --http-token-file and --http-host need --http PORT"},
    };
    for (const auto& [args, error] : bad) EXPECT_EQ(parse(args).error, error) << args.join(' ').toStdString();
}

TEST(WebOptions, TheTokenFileGivesItsFirstLineOrAReason) {
    QTemporaryDir dir;
    auto tokenOf = [&](const QByteArray& content, QString& token,
                       QFileDevice::Permissions mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner) {
        const QString path = dir.filePath(QStringLiteral("token"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        f.setPermissions(mode);
        WebOptions o;
        o.tokenFile = path;
        return readWebToken(o, token).replace(path, QStringLiteral("FILE"));
    };
    QString token;
    EXPECT_EQ(tokenOf("  s3cret-token-of-20ch \nsecond line\n", token), QString());
    EXPECT_EQ(token, QStringLiteral("s3cret-token-of-20ch"));
    EXPECT_EQ(tokenOf("fifteen-chars15\n", token),
              QStringLiteral("--http-token-file FILE: the token must be at least 16 characters"));
    EXPECT_TRUE(token.isEmpty());
    EXPECT_EQ(tokenOf("with a blank inside it\n", token),
              QStringLiteral("--http-token-file FILE: the token must be printable ASCII without blanks"));
    // A secret others may read is refused, with the fix.
    const QFileDevice::Permissions owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    EXPECT_EQ(tokenOf("s3cret-token-of-20ch\n", token, owner | QFileDevice::ReadGroup | QFileDevice::ReadOther),
              QStringLiteral("token file FILE is readable by others; chmod o-rw FILE"));
    EXPECT_EQ(tokenOf("s3cret-token-of-20ch\n", token, owner | QFileDevice::WriteOther),
              QStringLiteral("token file FILE is writable by others; chmod o-rw FILE"));
    EXPECT_EQ(tokenOf("s3cret-token-of-20ch\n", token, owner | QFileDevice::ReadGroup), QString());
    WebOptions missing;
    missing.tokenFile = dir.filePath(QStringLiteral("none"));
    EXPECT_TRUE(readWebToken(missing, token).startsWith(QStringLiteral("--http-token-file ")));
    EXPECT_EQ(readWebToken(WebOptions{}, token), QString()) << "no file, no token";
}

}  // namespace
}  // namespace qz7
