// The rack's configuration: --deck, the INI file, and what is refused with
// which file, line and reason.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "rack/rack_config.h"
#include "rack/rack_service.h"

namespace qz7::test {
namespace {

class RackConfig : public ::testing::Test {
protected:
    QString write(const char* text) {
        const QString path = dir_.filePath(QStringLiteral("rack.conf"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        return path;
    }
    // The refusal of the file holding text, with the path cut to "rack.conf".
    std::string refusal(const char* text) {
        const QString path = write(text);
        RackFile file;
        QString why = readRackFile(path, file);
        return why.replace(path, QStringLiteral("rack.conf")).toStdString();
    }
    QTemporaryDir dir_;
};

TEST_F(RackConfig, ReadsDecksAndOscSection) {
    RackFile file;
    ASSERT_EQ(readRackFile(write("# machine room 2\n"
                                 "[osc]\nport = 9000\nbind = 127.0.0.1\nallow = 127.0.0.0/8 ; loopback only\n\n"
                                 "[deck studio-a]\ndevices = 10.0.5.31, 10.0.5.32\nselect = 1\n"
                                 "[deck B_2]\ndevices = 10.0.5.40\n"),
                           file)
                  .toStdString(),
              "");
    ASSERT_EQ(file.decks.size(), 2);
    EXPECT_EQ(file.decks[0].name.toStdString(), "studio-a");
    EXPECT_EQ(file.decks[0].devices.first.toStdString(), "10.0.5.31");
    EXPECT_EQ(file.decks[0].devices.second.toStdString(), "10.0.5.32");
    EXPECT_FALSE(file.decks[0].devices.single);
    EXPECT_EQ(file.decks[0].line, 1);
    EXPECT_TRUE(file.decks[1].devices.single);
    EXPECT_EQ(file.decks[1].line, 0);
    EXPECT_TRUE(file.osc.portGiven);
    EXPECT_EQ(file.osc.options.port, 9000);
    EXPECT_EQ(file.osc.options.allow.size(), 1);
}

TEST_F(RackConfig, RefusesBadFilesWithLineAndReason) {
    const struct {
        const char* text;
        const char* refusal;
    } cases[] = {
        {"devices = 127.0.0.1\n", "rack.conf:1: 'devices' stands outside any section"},
        {"[osc]\nport = 9000\n[studio]\nx = 1\n", "rack.conf:3: unknown section [studio] (known: [osc], [http], [log], [deck NAME])"},
        {"[deck a]\ndevices = 127.0.0.1\n[deck has space]\ndevices = 127.0.0.2\n",
         "rack.conf:3: deck name 'has space' is not 1..32 of A-Z a-z 0-9 _ -"},
        {"[deck abcdefghijabcdefghijabcdefghijabc]\ndevices = 127.0.0.1\n",
         "rack.conf:1: deck name 'abcdefghijabcdefghijabcdefghijabc' is not 1..32 of A-Z a-z 0-9 _ -"},
        {"[deck]\ndevices = 127.0.0.1\n", "rack.conf:1: deck name '' is not 1..32 of A-Z a-z 0-9 _ -"},
        {"[deck a]\ndevices = 127.0.0.1\n[deck b]\ndevices = 127.0.0.2\n[deck a]\ndevices = 127.0.0.3\n",
         "rack.conf:5: deck a is already defined at line 1"},
        {"[deck a]\ndevices = 127.0.0.1\ndevices = 127.0.0.2\n", "rack.conf:3: 'devices' is given twice in [deck a]"},
        {"[deck a]\ndevices = 127.0.0.1\n[deck a]\nselect = 0\n", "rack.conf:3: deck a is already defined at line 1"},
        {"[deck a]\ndevices = studio.example\n", "rack.conf:2: devices 'studio.example' is not a numeric IPv4 address"},
        {"[deck a]\ndevices = 127.0.0.1,127.0.0.2,127.0.0.3\n",
         "rack.conf:2: devices wants FIRST or FIRST,SECOND, not '127.0.0.1,127.0.0.2,127.0.0.3'"},
        {"[deck a]\ndevices = 127.0.0.1,127.0.0.1\n", "rack.conf:2: devices names 127.0.0.1 twice"},
        {"[deck a]\ndevices = 127.0.0.1\nselect = 2\n",
         "rack.conf:3: select: the line is 0 or 1 (the recorder whose replies are read), not '2'"},
        {"[deck a]\n\ndevices = 127.0.0.1\nselect = 1\n", "rack.conf:1: [deck a]: line 1 needs a second recorder"},
        {"[deck a]\nselect = 0\n", "rack.conf:1: [deck a] has no devices"},
        {"[deck a]\ndevices = 127.0.0.1\nspeed = 3\n", "rack.conf:3: unknown key 'speed' in [deck a] (known: devices, select)"},
        {"[osc]\nport = 70000\n", "rack.conf:2: port wants a UDP port 1..65535 (0: any free port), not '70000'"},
        {"[osc]\nport = 9000\nbind = localhost\n", "rack.conf:3: bind wants a numeric IP address, not 'localhost'"},
        {"[osc]\nport = 9000\nallow = 10.0.0.0/33\n", "rack.conf:3: allow: in '10.0.0.0/33' the prefix length must be 0..32"},
        {"[osc]\nverbose = maybe\n", "rack.conf:2: verbose is yes or no, not 'maybe'"},
        {"[osc]\nwebsocket = 1\n", "rack.conf:2: unknown key 'websocket' in [osc] (known: port, bind, allow, verbose)"},
        {"[osc]\nbind = 127.0.0.1\n", "rack.conf: [osc] bind needs port"},
        {"[http]\nport = 70000\n", "rack.conf:2: port wants a TCP port 1..65535 (0: any free port), not '70000'"},
        {"[http]\nport = 8080\nbind = rack.example\n", "rack.conf:3: bind wants a numeric IP address, not 'rack.example'"},
        {"[http]\nport = 8080\nallow = 10.0.0.0/40\n", "rack.conf:3: allow: in '10.0.0.0/40' the prefix length must be 0..32"},
        {"[http]\nport = 8080\nhost = a b\n", "rack.conf:3: host wants host names (letters, digits, '.', '-'), not 'a b'"},
        {"[http]\nport = 8080\ntoken = x\n", "rack.conf:3: unknown key 'token' in [http] (known: port, bind, allow, token-file, host)"},
        {"[http]\nallow = 10.0.0.0/8\n", "rack.conf: [http] bind, allow, token-file and host need port"},
        {"[deck a]\ndevices = 127.0.0.1\nthis line has no equals sign\n", "rack.conf:3: neither [section] nor key = value"},
        // The first fault is the one reported.
        {"[deck a]\nfoo = 1\nbar = 2\n", "rack.conf:2: unknown key 'foo' in [deck a] (known: devices, select)"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.text), c.refusal) << c.text;

    RackFile file;
    const QString missing = dir_.filePath(QStringLiteral("none.conf"));
    EXPECT_EQ(readRackFile(missing, file).toStdString(), missing.toStdString() + ": cannot read: No such file or directory");
    // A FIFO would block the loop on its first read: refused at once.
    const QString fifo = dir_.filePath(QStringLiteral("fifo.conf"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(readRackFile(fifo, file).toStdString(), fifo.toStdString() + ": cannot read: not a regular file");
    EXPECT_EQ(readRackFile(dir_.path(), file).toStdString(), dir_.path().toStdString() + ": cannot read: not a regular file");
}

TEST_F(RackConfig, DeckOptionAndTheWholeSet) {
    DeckConfig d;
    EXPECT_EQ(parseDeckOption(QStringLiteral("studio-a=127.0.0.1,127.0.0.2@1"), d).toStdString(), "");
    EXPECT_EQ(d.line, 1);
    EXPECT_FALSE(d.devices.single);
    EXPECT_EQ(parseDeckOption(QStringLiteral("b=127.0.0.3"), d).toStdString(), "");
    EXPECT_TRUE(d.devices.single);
    EXPECT_EQ(d.line, 0);

    const struct {
        const char* option;
        const char* refusal;
    } bad[] = {
        {"127.0.0.1", "--deck wants NAME=FIRST[,SECOND][@LINE], not '127.0.0.1'"},
        {"a.b=127.0.0.1", "--deck: name 'a.b' is not 1..32 of A-Z a-z 0-9 _ -"},
        {"=127.0.0.1", "--deck: name '' is not 1..32 of A-Z a-z 0-9 _ -"},
        {"a=127.0.0.1@2", "--deck a: the line is 0 or 1 (the recorder whose replies are read), not '2'"},
        {"a=127.0.0.1@1", "--deck a: line 1 needs a second recorder"},
        {"a=", "--deck a: '' is not a numeric IPv4 address"},
        {"a=0.0.0.0", "--deck a: '0.0.0.0' is not one recorder's address (unicast)"},
        {"a=127.0.0.1,239.1.2.3", "--deck a: '239.1.2.3' is not one recorder's address (unicast)"},
        {"a=255.255.255.255", "--deck a: '255.255.255.255' is not one recorder's address (unicast)"},
    };
    for (const auto& c : bad) {
        DeckConfig s;
        EXPECT_EQ(parseDeckOption(QString::fromLatin1(c.option), s).toStdString(), c.refusal) << c.option;
    }

    // Names and recorders are checked across file and command line alike.
    auto deckConfig = [](const char* text) {
        DeckConfig s;
        parseDeckOption(QString::fromLatin1(text), s);
        return s;
    };
    EXPECT_EQ(checkDecks({deckConfig("a=127.0.0.1,127.0.0.2"), deckConfig("b=127.0.0.3")}).toStdString(), "");
    EXPECT_EQ(checkDecks({}).toStdString(),
              "no decks: give --deck NAME=FIRST[,SECOND] or a --config file with [deck NAME] sections");
    EXPECT_EQ(checkDecks({deckConfig("a=127.0.0.1"), deckConfig("a=127.0.0.3")}).toStdString(),
              "--deck a=127.0.0.3: deck a is already defined at --deck a=127.0.0.1");
    EXPECT_EQ(checkDecks({deckConfig("a=127.0.0.1,127.0.0.2"), deckConfig("b=127.0.0.3,127.0.0.2")}).toStdString(),
              "--deck b=127.0.0.3,127.0.0.2: deck b names recorder 127.0.0.2, which deck a (--deck "
              "a=127.0.0.1,127.0.0.2) drives already; two decks would fight over it");
}

TEST_F(RackConfig, CommandLineWinsOverTheOscSection) {
    RackOptions o = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"),
                                      write("[osc]\nport = 9000\nbind = 127.0.0.2\nverbose = yes\n"
                                            "[deck a]\ndevices = 127.0.0.1\n"),
                                      QStringLiteral("--osc"), QStringLiteral("9100")});
    ASSERT_EQ(o.error.toStdString(), "");
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(o, setup).toStdString(), "");
    EXPECT_EQ(setup.osc.port, 9100);
    EXPECT_EQ(setup.osc.bind.toString().toStdString(), "127.0.0.2");
    EXPECT_TRUE(setup.osc.verbose);

    // A deck on the command line may not repeat one of the file.
    o.decks.append(DeckConfig{});
    parseDeckOption(QStringLiteral("a=127.0.0.9"), o.decks.last());
    EXPECT_NE(loadRackSetup(o, setup).indexOf(QStringLiteral("deck a is already defined at")), -1);

    for (const char* arg : {"--headless", "--select=1", "--bogus"})
        EXPECT_FALSE(parseRackOptions({QStringLiteral("qz7rack"), QString::fromLatin1(arg)}).error.isEmpty()) << arg;
    // Beyond loopback, the senders must be named.
    o = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--deck"), QStringLiteral("a=127.0.0.1"),
                          QStringLiteral("--osc"), QStringLiteral("9000"), QStringLiteral("--osc-bind"),
                          QStringLiteral("0.0.0.0")});
    EXPECT_NE(loadRackSetup(o, setup).indexOf(QStringLiteral("--osc-allow")), -1);
}

TEST_F(RackConfig, HttpSectionUnderTheCommandLineAndItsTokenRules) {
    const QString token = dir_.filePath(QStringLiteral("token"));
    QFile t(token);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("0123456789abcdef-rack\n");
    t.close();
    t.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QString conf = write(QStringLiteral("[http]\nport = 8080\nbind = 10.0.5.2\nallow = 10.0.5.0/24\n"
                                              "token-file = %1\nhost = Rack1.example\n[deck a]\ndevices = 127.0.0.1\n")
                                   .arg(token)
                                   .toUtf8()
                                   .constData());
    RackOptions o = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--config"), conf,
                                      QStringLiteral("--http"), QStringLiteral("9090")});
    ASSERT_EQ(o.error.toStdString(), "");
    RackSetup setup;
    ASSERT_EQ(loadRackSetup(o, setup).toStdString(), "");
    EXPECT_TRUE(setup.http.http);
    EXPECT_EQ(setup.http.port, 9090) << "the command line wins";
    EXPECT_EQ(setup.http.bind.toString().toStdString(), "10.0.5.2");
    EXPECT_EQ(setup.http.hosts, QStringList{QStringLiteral("rack1.example")});
    EXPECT_EQ(setup.webToken.toStdString(), "0123456789abcdef-rack");

    // A token too short to resist guessing, or none beyond loopback: refused.
    ASSERT_TRUE(t.open(QIODevice::WriteOnly | QIODevice::Truncate));
    t.write("short\n");
    t.close();
    EXPECT_NE(loadRackSetup(o, setup).indexOf(QStringLiteral("at least 16 characters")), -1);
    o = parseRackOptions({QStringLiteral("qz7rack"), QStringLiteral("--deck"), QStringLiteral("a=127.0.0.1"),
                          QStringLiteral("--http"), QStringLiteral("0"), QStringLiteral("--http-bind"),
                          QStringLiteral("0.0.0.0"), QStringLiteral("--http-allow"), QStringLiteral("10.0.0.0/8")});
    EXPECT_NE(loadRackSetup(o, setup).indexOf(QStringLiteral("--http-token-file")), -1);
}

}  // namespace
}  // namespace qz7::test
