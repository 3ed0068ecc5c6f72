#include "rack/rack_config.h"

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <ini.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qz7 {

namespace {

// Literal addresses only: a host name would be looked up on the network, and
// two names for one recorder would slip past the check for shared recorders.
QString parseDevices(const QString& text, DevicePair& devices) {
    const QStringList hosts = text.split(QLatin1Char(','));
    if (hosts.size() > 2) return QStringLiteral("wants FIRST or FIRST,SECOND, not '%1'").arg(text);
    for (const QString& raw : hosts) {
        const QString h = raw.trimmed();
        QHostAddress a;
        if (h.isEmpty() || !a.setAddress(h) || a.protocol() != QAbstractSocket::IPv4Protocol)
            return QStringLiteral("'%1' is not a numeric IPv4 address").arg(h);
        if (!isUnicastIpv4(a)) return QStringLiteral("'%1' is not one recorder's address (unicast)").arg(h);
    }
    devices.first = hosts[0].trimmed();
    if (hosts.size() == 2) {
        devices.second = hosts[1].trimmed();
        devices.single = false;
        if (QHostAddress(devices.first) == QHostAddress(devices.second))
            return QStringLiteral("names %1 twice").arg(devices.first);
    } else {
        devices.second = devices.first;
        devices.secondId = devices.firstId;
        devices.single = true;
    }
    return {};
}

QString parseLine(const QString& text, int& line) {
    if (text == QLatin1String("0") || text == QLatin1String("1")) {
        line = text.toInt();
        return {};
    }
    return QStringLiteral("the line is 0 or 1 (the recorder whose replies are read), not '%1'").arg(text);
}

QString checkLine(const DeckConfig& deckConfig) {
    if (deckConfig.line == 1 && deckConfig.devices.single) return QStringLiteral("line 1 needs a second recorder");
    return {};
}

struct Reader {
    FILE* file = nullptr;
    int line = 0;
    int sectionLine = 0;    // of the last [section] header
    bool lineEnded = true;  // inih reads a long line in pieces
};

// inih's line reader, counting lines so the handler knows where it is.
char* readLine(char* str, int num, void* stream) {
    auto* r = static_cast<Reader*>(stream);
    char* got = std::fgets(str, num, r->file);
    if (got == nullptr) return nullptr;
    if (r->lineEnded) {
        ++r->line;
        const char* c = got;
        while (*c == ' ' || *c == '\t') ++c;
        if (*c == '[') r->sectionLine = r->line;
    }
    const std::size_t n = std::strlen(got);
    r->lineEnded = n > 0 && got[n - 1] == '\n';
    return got;
}

struct Parse {
    Reader reader;
    RackFile* out = nullptr;
    QString error;
    int errorLine = 0;     // where the fault is
    int errorReadAt = 0;   // the line inih was on when the handler refused
    QString section;         // as written
    int sectionLine = -1;
    DeckConfig* deck = nullptr;  // the [deck NAME] being read
    QStringList keysSeen;    // of the current section
    QList<int> deckHasDevices;
};

int onEntry(void* user, const char* sectionText, const char* nameText, const char* valueText) {
    auto* p = static_cast<Parse*>(user);
    auto failAt = [p](int line, const QString& why) {
        if (p->error.isEmpty()) {
            p->error = why;
            p->errorLine = line;
            p->errorReadAt = p->reader.line;
        }
        return 0;
    };
    auto fail = [&](const QString& why) { return failAt(p->reader.line, why); };
    // Faults of a section header are told at the header.
    auto failSection = [&](const QString& why) { return failAt(p->reader.sectionLine, why); };
    const QString section = QString::fromUtf8(sectionText).trimmed();
    const QString key = QString::fromUtf8(nameText).trimmed().toLower();
    const QString value = QString::fromUtf8(valueText).trimmed();

    // A new header, even one repeating the last section's name.
    if (section != p->section || p->reader.sectionLine != p->sectionLine || p->keysSeen.isEmpty()) {
        p->keysSeen.clear();
        p->section = section;
        p->sectionLine = p->reader.sectionLine;
        p->deck = nullptr;
        if (section.isEmpty()) return fail(QStringLiteral("'%1' stands outside any section").arg(key));
        if (section.startsWith(QLatin1String("deck ")) || section == QLatin1String("deck")) {
            const QString name = section.mid(4).trimmed();
            if (!validDeckName(name))
                return failSection(QStringLiteral("deck name '%1' is not 1..32 of A-Z a-z 0-9 _ -").arg(name));
            for (const DeckConfig& d : p->out->decks)
                if (d.name == name)
                    return failSection(QStringLiteral("deck %1 is already defined at %2").arg(name, d.where));
            DeckConfig deckConfig;
            deckConfig.name = name;
            deckConfig.where = QStringLiteral("line %1").arg(p->reader.sectionLine);
            p->out->decks.append(deckConfig);
            p->deckHasDevices.append(0);
            p->deck = &p->out->decks.last();
        } else if (section != QLatin1String("osc") && section != QLatin1String("http") &&
                   section != QLatin1String("log")) {
            return failSection(
                QStringLiteral("unknown section [%1] (known: [osc], [http], [log], [deck NAME])").arg(section));
        }
    }
    if (p->keysSeen.contains(key)) return fail(QStringLiteral("'%1' is given twice in [%2]").arg(key, section));
    p->keysSeen.append(key);

    if (section == QLatin1String("osc")) {
        OscSection& osc = p->out->osc;
        QStringList args;
        if (key == QLatin1String("port")) {
            args = {QStringLiteral("--osc"), value};
            osc.portGiven = true;
        } else if (key == QLatin1String("bind")) {
            args = {QStringLiteral("--osc-bind"), value};
            osc.bindGiven = true;
        } else if (key == QLatin1String("allow")) {
            args = {QStringLiteral("--osc-allow"), value};
            osc.allowGiven = true;
        } else if (key == QLatin1String("verbose")) {
            if (value != QLatin1String("yes") && value != QLatin1String("no"))
                return fail(QStringLiteral("verbose is yes or no, not '%1'").arg(value));
            osc.options.verbose = value == QLatin1String("yes");
            osc.verboseGiven = true;
            return 1;
        } else {
            return fail(QStringLiteral("unknown key '%1' in [osc] (known: port, bind, allow, verbose)").arg(key));
        }
        // One reading of the values for file and command line.
        int i = 0;
        QString error;
        takeRemoteOption(args, i, osc.options, error);
        if (!error.isEmpty()) return fail(error.replace(args[0], key));
        return 1;
    }

    if (section == QLatin1String("http")) {
        WebSection& http = p->out->http;
        // The keys are the command line's options without "--http-".
        static const QStringList kKeys = {QStringLiteral("port"), QStringLiteral("bind"), QStringLiteral("allow"),
                                          QStringLiteral("token-file"), QStringLiteral("host")};
        if (!kKeys.contains(key))
            return fail(QStringLiteral("unknown key '%1' in [http] (known: port, bind, allow, token-file, host)").arg(key));
        const QString option = key == QLatin1String("port") ? QStringLiteral("--http") : QStringLiteral("--http-") + key;
        const QStringList args = {option, value};
        if (key == QLatin1String("port")) http.portGiven = true;
        if (key == QLatin1String("bind")) http.bindGiven = true;
        if (key == QLatin1String("allow")) http.allowGiven = true;
        if (key == QLatin1String("token-file")) http.tokenFileGiven = true;
        if (key == QLatin1String("host")) http.hostGiven = true;
        int i = 0;
        QString error;
        takeWebOption(args, i, http.options, error);
        if (!error.isEmpty()) return fail(error.replace(option, key));
        return 1;
    }

    if (section == QLatin1String("log")) {
        LogOptions& log = p->out->log;
        if (key == QLatin1String("dir")) {
            // The service's working folder is nobody's business: only a whole path.
            if (!QDir::isAbsolutePath(value)) return fail(QStringLiteral("dir wants an absolute path, not '%1'").arg(value));
            log.dir = QDir::cleanPath(value);
            log.dirGiven = true;
        } else if (key == QLatin1String("keep-days")) {
            if (const QString why = parseKeepDays(value, log.keepDays); !why.isEmpty()) return fail(why);
            log.keepDaysGiven = true;
        } else if (key == QLatin1String("enabled")) {
            if (value != QLatin1String("yes") && value != QLatin1String("no"))
                return fail(QStringLiteral("enabled is yes or no, not '%1'").arg(value));
            log.enabled = value == QLatin1String("yes");
            log.enabledGiven = true;
        } else {
            return fail(QStringLiteral("unknown key '%1' in [log] (known: dir, keep-days, enabled)").arg(key));
        }
        return 1;
    }

    DeckConfig& deck = *p->deck;
    if (key == QLatin1String("devices")) {
        if (const QString why = parseDevices(value, deck.devices); !why.isEmpty())
            return fail(QStringLiteral("devices %1").arg(why));
        p->deckHasDevices.last() = p->reader.line;
    } else if (key == QLatin1String("select")) {
        if (const QString why = parseLine(value, deck.line); !why.isEmpty()) return fail(QStringLiteral("select: %1").arg(why));
    } else {
        return fail(QStringLiteral("unknown key '%1' in [%2] (known: devices, select)").arg(key, section));
    }
    return 1;
}

}  // namespace

bool DeckConfig::sameDeck(const DeckConfig& o) const {
    return name == o.name && line == o.line && devices.single == o.devices.single &&
           devices.first == o.devices.first && (devices.single || devices.second == o.devices.second);
}

bool OscSection::operator==(const OscSection& o) const {
    return portGiven == o.portGiven && bindGiven == o.bindGiven && allowGiven == o.allowGiven &&
           verboseGiven == o.verboseGiven && options.port == o.options.port && options.bind == o.options.bind &&
           options.allow == o.options.allow && options.verbose == o.options.verbose;
}

QString parseDeckOption(const QString& text, DeckConfig& deckConfig) {
    deckConfig = {};
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0) return QStringLiteral("--deck wants NAME=FIRST[,SECOND][@LINE], not '%1'").arg(text);
    deckConfig.name = text.left(equals);
    deckConfig.where = QStringLiteral("--deck %1").arg(text);
    if (!validDeckName(deckConfig.name))
        return QStringLiteral("--deck: name '%1' is not 1..32 of A-Z a-z 0-9 _ -").arg(deckConfig.name);
    QString rest = text.mid(equals + 1);
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        if (const QString why = parseLine(rest.mid(at + 1), deckConfig.line); !why.isEmpty())
            return QStringLiteral("--deck %1: %2").arg(deckConfig.name, why);
        rest.truncate(at);
    }
    if (const QString why = parseDevices(rest, deckConfig.devices); !why.isEmpty())
        return QStringLiteral("--deck %1: %2").arg(deckConfig.name, why);
    if (const QString why = checkLine(deckConfig); !why.isEmpty()) return QStringLiteral("--deck %1: %2").arg(deckConfig.name, why);
    return {};
}

QString readRackFile(const QString& path, RackFile& file) {
    file = {};
    // Opened without waiting and checked before reading: a FIFO or a device
    // given as the file would block the rack's loop on a reload.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return QStringLiteral("%1: cannot read: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return QStringLiteral("%1: cannot read: not a regular file").arg(path);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::unique_ptr<FILE, int (*)(FILE*)> f(::fdopen(fd, "r"), &std::fclose);
    if (!f) {
        ::close(fd);
        return QStringLiteral("%1: cannot read: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    }
    Parse p;
    p.reader.file = f.get();
    p.out = &file;
    const int result = ini_parse_stream(&readLine, &p.reader, &onEntry, &p);
    if (result < 0) return QStringLiteral("%1: cannot read").arg(path);
    auto at = [&](int line, const QString& why) { return QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(why); };
    if (result > 0) {
        if (!p.error.isEmpty() && p.errorReadAt == result) return at(p.errorLine, p.error);
        return at(result, QStringLiteral("neither [section] nor key = value"));
    }
    for (qsizetype k = 0; k < file.decks.size(); ++k) {
        DeckConfig& d = file.decks[k];
        const int sectionLine = d.where.mid(5).toInt();
        d.where = QStringLiteral("%1:%2").arg(path).arg(sectionLine);
        if (p.deckHasDevices[k] == 0) return at(sectionLine, QStringLiteral("[deck %1] has no devices").arg(d.name));
        if (const QString why = checkLine(d); !why.isEmpty())
            return at(sectionLine, QStringLiteral("[deck %1]: %2").arg(d.name, why));
    }
    if (file.osc.bindGiven && !file.osc.portGiven) return QStringLiteral("%1: [osc] bind needs port").arg(path);
    if (file.osc.allowGiven && !file.osc.portGiven) return QStringLiteral("%1: [osc] allow needs port").arg(path);
    const WebSection& http = file.http;
    if ((http.bindGiven || http.allowGiven || http.tokenFileGiven || http.hostGiven) && !http.portGiven)
        return QStringLiteral("%1: [http] bind, allow, token-file and host need port").arg(path);
    return {};
}

QString checkDecks(const QList<DeckConfig>& decks) {
    if (decks.isEmpty()) return QStringLiteral("no decks: give --deck NAME=FIRST[,SECOND] or a --config file with [deck NAME] sections");
    for (qsizetype i = 0; i < decks.size(); ++i) {
        for (qsizetype j = 0; j < i; ++j) {
            const DeckConfig& a = decks[j];
            const DeckConfig& b = decks[i];
            if (a.name == b.name)
                return QStringLiteral("%1: deck %2 is already defined at %3").arg(b.where, b.name, a.where);
            const QStringList ha = a.devices.single ? QStringList{a.devices.first} : QStringList{a.devices.first, a.devices.second};
            const QStringList hb = b.devices.single ? QStringList{b.devices.first} : QStringList{b.devices.first, b.devices.second};
            for (const QString& h : hb)
                for (const QString& g : ha)
                    if (QHostAddress(h) == QHostAddress(g))
                        return QStringLiteral("%1: deck %2 names recorder %3, which deck %4 (%5) drives already; "
                                              "two decks would fight over it")
                            .arg(b.where, b.name, h, a.name, a.where);
        }
    }
    return {};
}

RemoteOptions mergeOsc(const OscSection& file, const RemoteOptions& cl) {
    RemoteOptions o = cl;
    if (!cl.osc && file.portGiven) {
        o.osc = true;
        o.port = file.options.port;
    }
    if (!cl.bindGiven && file.bindGiven) {
        o.bind = file.options.bind;
        o.bindGiven = true;
    }
    if (cl.allow.isEmpty() && file.allowGiven) o.allow = file.options.allow;
    if (file.verboseGiven && !cl.verbose) o.verbose = file.options.verbose;
    return o;
}

WebOptions mergeHttp(const WebSection& file, const WebOptions& cl) {
    WebOptions o = cl;
    if (!cl.http && file.portGiven) {
        o.http = true;
        o.port = file.options.port;
    }
    if (!cl.bindGiven && file.bindGiven) {
        o.bind = file.options.bind;
        o.bindGiven = true;
    }
    if (cl.allow.isEmpty() && file.allowGiven) o.allow = file.options.allow;
    if (cl.tokenFile.isEmpty() && file.tokenFileGiven) o.tokenFile = file.options.tokenFile;
    if (cl.hosts.isEmpty() && file.hostGiven) o.hosts = file.options.hosts;
    return o;
}

}  // namespace qz7
