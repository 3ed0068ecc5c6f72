// qz7sim: a simulated QZ7 recorder on UDP, the panel's test peer and a
// training tool. Runs until SIGTERM or SIGINT; SIGUSR1 makes it stall,
// SIGUSR2 stops the transport as a STOP at the recorder's own panel would.
#include <QCoreApplication>
#include <QSocketNotifier>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "qz7_version.h"
#include "simserver.h"

namespace {

constexpr const char* kUsage =
    "usage: qz7sim [options]\n"
    "  --bind ADDR          local address to answer on (default 127.0.0.1)\n"
    "  --port N             UDP port (default 20000; 0 picks a free one)\n"
    "  --files N            demo recorded files \"FILE 001\".. (0-512, default 0)\n"
    "  --clips N            demo clips \"CLIP 000\".. (0-512, default 0)\n"
    "  --cues N             demo cue marks \"CUE 000\".. (0-512, default 0)\n"
    "  --clip-gaps LIST     demo clip numbers left empty, comma-separated\n"
    "                       (--clips 6 --clip-gaps 2,3,4 holds clips 0, 1 and 5)\n"
    "  --cue-gaps LIST      demo cue numbers left empty, as --clip-gaps\n"
    "  --sequences N        demo sequences of the clips (0-16, default 0)\n"
    "  --error TEXT         raise the error flag with TEXT until an error reset\n"
    "  --refuse-rec         ignore REC commands (a full or protected disk)\n"
    "  --announce HOST      send the discovery datagram to HOST:20000 every second\n"
    "                       (HOST must be in 127.0.0.0/8)\n"
    "  --allow-nonloopback  let --announce name another address: only inside a\n"
    "                       private network namespace\n"
    "  --drop PERCENT       ignore this share of requests at random (0-100)\n"
    "  --delay MS           send replies this many milliseconds late\n"
    "  --seed N             seed of the --drop dice (default 1)\n"
    "  --stall-after MS     stall once, this many milliseconds after start: answer\n"
    "                       nothing for --stall-for MS, then answer every request\n"
    "                       held meanwhile at once, oldest first\n"
    "  --stall-for MS       length of a stall (default 2000); SIGUSR1 also starts one\n"
    "                       (SIGUSR2: a STOP at the recorder's own panel)\n"
    "  --verbose            hex dump of every packet in and out, to stderr\n"
    "  --help               this text\n"
    "  --version            the version of this program\n";

[[noreturn]] void usage(int code, const std::string& why = {}) {
    if (!why.empty()) std::fprintf(stderr, "qz7sim: %s\n", why.c_str());
    std::fprintf(code == 0 ? stdout : stderr, "%s", kUsage);
    std::exit(code);
}

std::optional<long> toNumber(const std::string& text, long lo, long hi) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || v < lo || v > hi) return std::nullopt;
    return v;
}

// "2,3,4": decimal entry numbers of a table, at least one, no empty items.
std::optional<std::vector<int>> toEntryList(const std::string& text) {
    std::vector<int> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const auto v = toNumber(text.substr(start, comma - start), 0, qz7sim::kTableSize - 1);
        if (!v) return std::nullopt;
        out.push_back(static_cast<int>(*v));
        if (comma == std::string::npos) return out;
        start = comma + 1;
    }
}

int signalPipe[2] = {-1, -1};

// The byte written tells the event loop which signal came.
constexpr char kQuit = 'q', kStall = 's', kPanelStop = 'p';

void onSignal(int signal) {
    const char c = signal == SIGUSR1 ? kStall : signal == SIGUSR2 ? kPanelStop : kQuit;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

}  // namespace

int main(int argc, char** argv) {
    qz7sim::Config config;
    qz7sim::SimOptions options;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = arg.substr(eq + 1);
            arg.resize(eq);
        }
        auto value = [&]() -> std::string {
            if (inlineValue) return *inlineValue;
            if (i + 1 >= argc) usage(2, arg + " needs a value");
            return argv[++i];
        };
        auto number = [&](long lo, long hi) -> long {
            const std::string text = value();
            const auto v = toNumber(text, lo, hi);
            if (!v) usage(2, arg + ": '" + text + "' is not a number in " + std::to_string(lo) + ".." + std::to_string(hi));
            return *v;
        };
        auto entries = [&]() -> std::vector<int> {
            const std::string text = value();
            const auto v = toEntryList(text);
            if (!v) usage(2, arg + ": '" + text + "' is not a comma-separated list of entry numbers 0..511");
            return *v;
        };
        auto flag = [&] {
            if (inlineValue) usage(2, arg + " takes no value");
        };

        if (arg == "--help" || arg == "-h") {
            usage(0);
        } else if (arg == "--version") {
            flag();
            std::puts("qz7sim " QZ7_VERSION);
            return 0;
        } else if (arg == "--bind") {
            const std::string text = value();
            options.address = QHostAddress(QString::fromStdString(text));
            if (options.address.isNull()) usage(2, "--bind: '" + text + "' is not an address");
        } else if (arg == "--port") {
            options.port = static_cast<quint16>(number(0, 65535));
        } else if (arg == "--files") {
            config.files = static_cast<int>(number(0, qz7sim::kTableSize));
        } else if (arg == "--clips") {
            config.clips = static_cast<int>(number(0, qz7sim::kTableSize));
        } else if (arg == "--cues") {
            config.cues = static_cast<int>(number(0, qz7sim::kTableSize));
        } else if (arg == "--clip-gaps") {
            config.clipGaps = entries();
        } else if (arg == "--cue-gaps") {
            config.cueGaps = entries();
        } else if (arg == "--sequences") {
            config.sequences = static_cast<int>(number(0, qz7sim::kSequenceCount));
        } else if (arg == "--refuse-rec") {
            config.refuseRecord = true;
        } else if (arg == "--error") {
            config.error = value();
            if (config.error.empty()) usage(2, "--error needs a text");
        } else if (arg == "--announce") {
            options.announceHost = QString::fromStdString(value());
        } else if (arg == "--allow-nonloopback") {
            flag();
            options.allowNonLoopback = true;
        } else if (arg == "--drop") {
            options.dropPercent = static_cast<int>(number(0, 100));
        } else if (arg == "--delay") {
            options.delayMs = static_cast<int>(number(0, 600000));
        } else if (arg == "--seed") {
            options.seed = static_cast<quint32>(number(0, 0x7FFFFFFF));
        } else if (arg == "--stall-after") {
            options.stallAfterMs = static_cast<int>(number(0, 86400000));
        } else if (arg == "--stall-for") {
            options.stallMs = static_cast<int>(number(1, 600000));
        } else if (arg == "--verbose") {
            flag();
            options.verbose = true;
        } else {
            usage(2, "unknown option " + std::string(argv[i]));
        }
    }

    // Gaps are checked against the counts once every option is read, so the
    // order of --cues and --cue-gaps does not matter.
    if (const std::string why = qz7sim::configProblem(config); !why.empty()) usage(2, why);

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("qz7sim"));

    qz7sim::SimServer server(config, options);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "qz7sim: %s\n", qPrintable(error));
        return 1;
    }

    // SIGTERM, SIGINT, SIGUSR1 and SIGUSR2 reach the event loop through a pipe, the
    // one thing a signal handler may safely do.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("qz7sim: pipe");
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&server] {
        char c;
        bool quit = false;
        while (::read(signalPipe[0], &c, 1) > 0) {
            if (c == kStall)
                server.stall(server.options().stallMs);
            else if (c == kPanelStop)
                server.recorder().stopAtPanel();
            else
                quit = true;
        }
        if (quit) QCoreApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGUSR1, &sa, nullptr);
    sigaction(SIGUSR2, &sa, nullptr);
    const qz7sim::State& held = server.recorder().state();
    const auto used = [](const auto& table) {
        return std::count_if(table.begin(), table.end(), [](const auto& e) { return e.used; });
    };
    const auto sequences = std::count_if(held.sequences.begin(), held.sequences.end(),
                                         [](const qz7sim::Sequence& s) { return s.entries > 0; });
    std::fprintf(stderr, "qz7sim: answering on %s:%u (%d files, %d clips, %d cues, %d sequences)\n",
                 qPrintable(server.address().toString()), unsigned{server.port()}, server.recorder().fileCount(),
                 static_cast<int>(used(held.clips)), static_cast<int>(used(held.cues)), static_cast<int>(sequences));
    std::fflush(stderr);

    const int rc = app.exec();
    server.stop();
    std::fprintf(stderr, "qz7sim: stopped after %llu requests\n",
                 static_cast<unsigned long long>(server.requestsReceived()));
    return rc;
}
