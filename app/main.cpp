#include <fcntl.h>
#include <signal.h>
#include <sys/capability.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <iostream>
#include <string_view>
#include <vector>

#include "commands/CaptureCommand.h"
#include "commands/ExportCommand.h"
#include "commands/FieldsReport.h"
#include "commands/OverviewCommand.h"
#include "commands/RenderCommand.h"
#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "store/CaptureFile.h"
#include "store/PacketMatcher.h"

namespace {
constexpr const char* kUsage =
    "usage: pelsid [--from N] [--filter EXPR] [FILE]\n"
    "       pelsid --fields [--from N] [--filter EXPR] FILE\n"
    "       pelsid --export OUT FILE [--from N] [--filter EXPR]\n"
    "       pelsid --overview FILE [--interval SECONDS] [--from N] [--filter EXPR]\n"
    "       pelsid --capture ADAPTER [--filter EXPR] [--count N] (--fields | --write OUT)\n"
    "       pelsid --render DIR [--from N] [--filter EXPR] FILE [--set WINDOW.CONTROL=VALUE]...\n"
    "                     [--pick WINDOW:X,Y]...\n"
    "Try 'pelsid --help' for more.\n";

constexpr const char* kHelp =
    "usage: pelsid [OPTION]... [FILE]\n"
    "Shows captured network traffic as pictures. FILE is a pelsid dataset, a pcap or a\n"
    "pcapng file (Ethernet, Linux cooked, raw IP, BSD loopback, PPP, Cisco HDLC, Frame\n"
    "Relay, NFLOG, PKTAP, IPNET, IP over InfiniBand, ARCNET or 802.11 frames; IPv4 and\n"
    "IPv6, also inside VLAN tags), plain or compressed with gzip, zstd or lz4.\n"
    "\n"
    "  FILE                        load FILE at start, as File > Load Pelsid Dataset does\n"
    "  --fields FILE               print each stored packet's header fields (the last column\n"
    "                              the outermost VLAN ID), no display needed\n"
    "  --export OUT FILE           write the packets FILE would load to OUT as pcap (pcapng if\n"
    "                              OUT ends in .pcapng), no display needed\n"
    "  --overview FILE             print frames, bytes and frames per protocol class of each\n"
    "                              interval of FILE's capture time, no display needed\n"
    "  --interval SECONDS          with --overview: the interval (default: a round one that\n"
    "                              gives about 100 lines; files without times: frames)\n"
    "  --render DIR FILE           play FILE through every view, write the pictures into DIR\n"
    "  --set WINDOW.CONTROL=VALUE  with --render: set a control before playing (repeatable)\n"
    "  --pick WINDOW:X,Y           with --render: afterwards print which packet drew pixel X,Y\n"
    "                              of WINDOW's picture (frmVis1..frmVis6, frmVis6.left,\n"
    "                              frmVis6.right) and its summary, tab-separated (repeatable)\n"
    "  --capture ADAPTER           capture live from ADAPTER, no display needed\n"
    "  --from N                    load FILE from its N-th frame on (counted from 1)\n"
    "  --filter EXPR               load only frames matching EXPR (pcap-filter); with --capture,\n"
    "                              capture only those\n"
    "  --count N                   with --capture: stop after N frames; without it the\n"
    "                              capture runs until Ctrl+C (SIGINT) or SIGTERM\n"
    "  --write OUT                 with --capture: record the frames to the pcap OUT (pcapng\n"
    "                              when OUT ends in .pcapng) instead of printing fields;\n"
    "                              OUT is written as frames arrive and flushed every\n"
    "                              second, and an existing OUT is replaced without asking\n"
    "  --help                      print this help and exit\n"
    "  --version                   print the version and exit\n"
    "\n"
    "Capturing runs the helper pelsid-capture installed beside pelsid. Capture\n"
    "privileges (cap_net_raw,cap_net_admin) belong on pelsid-capture, never on pelsid:\n"
    "the package gives them to the members of the group pelsid.\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a\n"
    "command line that cannot be understood. See pelsid(1).\n";

// A command line that cannot be understood: what is wrong with it first,
// then the short usage.
int usageError(std::string_view problem) {
    std::cerr << "pelsid: " << problem << '\n' << kUsage;
    return 2;
}

// pelsid never keeps a capability: a GUI toolkit loads code the environment
// names, which would run with it. Dropped before anything else happens. Root
// keeps its own powers (dropping capabilities would not take them away).
void dropCapabilities() {
    if (getuid() == 0) return;
    // Nor does it keep a set-user or set-group identity.
    if (geteuid() != getuid() || getegid() != getgid()) {
        if (setresgid(getgid(), getgid(), getgid()) != 0 ||
            setresuid(getuid(), getuid(), getuid()) != 0)
            _exit(1);
    }
    cap_t current = cap_get_proc();
    cap_t none = cap_init();
    if (current && none) {
        const int differs = cap_compare(current, none);
        if (CAP_DIFFERS(differs, CAP_PERMITTED) || CAP_DIFFERS(differs, CAP_EFFECTIVE) ||
            CAP_DIFFERS(differs, CAP_INHERITABLE)) {
            if (cap_set_proc(none) != 0) _exit(1);
            prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
            std::cerr << "warning: pelsid was started with capabilities and has dropped them; "
                         "capture privileges belong on pelsid-capture, never on pelsid (see "
                         "pelsid(1))\n";
        }
    }
    cap_free(current);
    cap_free(none);
}

// SIGINT and SIGTERM end the windows as File > Exit does: the signal is
// written to a pipe the event loop watches.
int signalPipe[2] = {-1, -1};

void onExitSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(signalPipe[1], &byte, 1);
}

void exitOnSignals(pelsid::Application& app) {
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
        char bytes[16];
        while (read(signalPipe[0], bytes, sizeof bytes) > 0) {
        }
        notifier->setEnabled(false);
        app.exit();
    });
    struct sigaction sa {};
    sa.sa_handler = onExitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

// --capture ADAPTER [--filter EXPR] [--count N] (--fields | --write OUT)
int runCaptureOption(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string adapter = argv[2];
    std::string filter;
    long count = -1;
    bool fields = false;
    std::string writeTo;
    bool write = false;
    for (int i = 3; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--filter" && i + 1 < argc) {
            filter = argv[++i];
        } else if (a == "--count" && i + 1 < argc) {
            char* end = nullptr;
            count = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || count < 1 || count > INT_MAX) {
                std::cerr << "error: --count needs a whole number of frames of at least 1\n";
                return 2;
            }
        } else if (a == "--fields") {
            fields = true;
        } else if (a == "--write" && i + 1 < argc && argv[i + 1][0] != '\0') {
            write = true;
            writeTo = argv[++i];
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (fields == write) {
        std::cerr << kUsage;
        return 2;
    }
    return pelsid::runCaptureCommand(adapter, filter, count < 0 ? 0 : int(count), writeTo,
                                     std::cout, std::cerr);
}

// Takes --from N and --filter EXPR out of the arguments before FILE (the
// first argument that is neither an option nor an option's value); the rest
// stay in order. -1 when they are fine, else the exit status.
int takeLoadChoice(int& argc, char** argv, pelsid::LoadChoice& choice) {
    if (argc >= 2 && std::string_view(argv[1]) == "--capture") return -1;
    int kept = 1;
    bool fileSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (!fileSeen && (a == "--from" || a == "--filter")) {
            if (i + 1 >= argc) {
                std::cerr << kUsage;
                return 2;
            }
            const char* value = argv[++i];
            if (a == "--from") {
                char* end = nullptr;
                errno = 0;
                const unsigned long long n = std::strtoull(value, &end, 10);
                if (*value < '0' || *value > '9' || *end != '\0' || n < 1 || errno == ERANGE) {
                    std::cerr << "error: --from needs a frame number of at least 1\n";
                    return 2;
                }
                choice.from = n;
            } else {
                std::string error;
                if (!pelsid::PacketMatcher::compile(value, &error)) {
                    std::cerr << "error: bad filter \"" << value << "\": " << error << '\n';
                    return 1;
                }
                choice.filter = value;
            }
            continue;
        }
        if (!fileSeen && (a == "--render" || a == "--export") && i + 1 < argc) {
            argv[kept++] = argv[i++];
        } else if (!a.starts_with("-")) {
            fileSeen = true;
        }
        argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    return -1;
}

// --export OUT FILE, with --from and --filter also after FILE: they are
// taken as if they came before it.
int runExportOption(int argc, char** argv, pelsid::LoadChoice choice) {
    if (argc < 4 || std::string_view(argv[3]).starts_with("-")) {
        std::cerr << kUsage;
        return 2;
    }
    std::vector<char*> rest{argv[0]};
    rest.insert(rest.end(), argv + 4, argv + argc);
    rest.push_back(nullptr);
    int restCount = int(rest.size()) - 1;
    if (const int status = takeLoadChoice(restCount, rest.data(), choice); status >= 0)
        return status;
    if (restCount != 1) {
        std::cerr << kUsage;
        return 2;
    }
    return pelsid::runExportCommand(argv[2], argv[3], choice, std::cerr);
}

// --overview FILE [--interval SECONDS] [--from N] [--filter EXPR]
int runOverviewOption(int argc, char** argv, pelsid::LoadChoice choice) {
    if (argc < 3 || std::string_view(argv[2]).starts_with("-")) {
        std::cerr << kUsage;
        return 2;
    }
    std::vector<char*> rest{argv[0]};
    std::int64_t intervalNs = 0;
    for (int i = 3; i < argc; ++i) {
        if (std::string_view(argv[i]) != "--interval") {
            rest.push_back(argv[i]);
            continue;
        }
        char* end = nullptr;
        const double seconds = i + 1 < argc ? std::strtod(argv[++i], &end) : 0;
        // At least a microsecond, at most a year.
        if (!end || *end != '\0' || !(seconds >= 1e-6 && seconds <= 3.2e7)) {
            std::cerr << "error: --interval needs a number of seconds, from 0.000001 on\n";
            return 2;
        }
        intervalNs = std::int64_t(seconds * 1e9 + 0.5);
    }
    rest.push_back(nullptr);
    int restCount = int(rest.size()) - 1;
    if (const int status = takeLoadChoice(restCount, rest.data(), choice); status >= 0)
        return status;
    if (restCount != 1) return usageError("unexpected argument: " + std::string(rest[1]));
    return pelsid::runOverviewCommand(argv[2], choice, intervalNs, std::cout, std::cerr);
}

// Options that need no display run before any Qt object exists; -1 means
// none was given and the windows start.
int runHeadlessCommand(int argc, char** argv, const pelsid::LoadChoice& choice) {
    if (argc < 2) return -1;
    const std::string_view option = argv[1];
    if (option == "--fields") {
        if (argc != 3) {
            std::cerr << kUsage;
            return 2;
        }
        return pelsid::runFieldsCommand(argv[2], choice, std::cout, std::cerr);
    }
    if (option == "--export") return runExportOption(argc, argv, choice);
    if (option == "--overview") return runOverviewOption(argc, argv, choice);
    if (option == "--capture") return runCaptureOption(argc, argv);
    if (option == "--help" || option == "-h") {
        std::cout << kHelp;
        return 0;
    }
    if (option == "--version") {
        std::cout << "pelsid " PELSID_VERSION "\n";
        return 0;
    }
    // The windows take at most one FILE; anything else is a mistake, told
    // before a display is needed.
    if (option != "--render" && option.starts_with("-"))
        return usageError("unknown option: " + std::string(option));
    if (option != "--render" && argc > 2)
        return usageError("unexpected argument: " + std::string(argv[2]));
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    dropCapabilities();
    std::ios::sync_with_stdio(false);
    pelsid::LoadChoice choice;
    if (const int status = takeLoadChoice(argc, argv, choice); status >= 0) return status;
    if (const int status = runHeadlessCommand(argc, argv, choice); status >= 0) return status;

    const bool render = argc >= 2 && std::string_view(argv[1]) == "--render";
    if (render) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A render reads its file while the windows are made, once its folder is
    // known to be there.
    std::future<pelsid::CaptureFile> early;
    if (render && argc > 3 && argv[3][0] != '-' && std::filesystem::is_directory(argv[2])) {
        pelsid::ReadOptions options;
        options.choice = choice;
        early = std::async(std::launch::async, [path = std::string(argv[3]), options] {
            return pelsid::readCaptureFile(path, options);
        });
    }
    // DIR's own bytes: a folder name need not be valid text.
    const QByteArray renderDir = render && argc > 2 ? QByteArray(argv[2]) : QByteArray();
    if (render) {
        // A render draws on pictures alone: fonts, but no widgets.
        QGuiApplication gui(argc, argv);
        return pelsid::runRenderCommand(gui.arguments().mid(2), std::move(early), renderDir,
                                        choice);
    }
    QApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);

    // The installed theme's icon when there is one, our own otherwise.
    QIcon icon(QStringLiteral(":/pelsid-256.png"));
    icon.addFile(QStringLiteral(":/pelsid-48.png"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("pelsid"), icon));
    QGuiApplication::setDesktopFileName(QStringLiteral("pelsid"));
    pelsid::QtDialogs dialogs;
    pelsid::Application app(dialogs, QCoreApplication::applicationDirPath());
    QObject::connect(&app, &pelsid::Application::quitRequested, &qapp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    app.initApplication();
    exitOnSignals(app);
    app.showMainWindow();
    if (!args.isEmpty())
        QTimer::singleShot(0, &app,
                           [&app, choice, file = args[0]] { app.startLoad(file, choice); });
    return qapp.exec();
}
