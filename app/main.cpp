#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <climits>
#include <cstdlib>
#include <future>
#include <iostream>
#include <string_view>

#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "shell/RenderCommand.h"
#include "store/CaptureCommand.h"
#include "store/CaptureFile.h"
#include "store/FieldsReport.h"

namespace {
constexpr const char* kUsage =
    "usage: pelsid [FILE]\n"
    "       pelsid --fields FILE\n"
    "       pelsid --capture ADAPTER [--filter EXPR] --count N --fields\n"
    "       pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]...\n"
    "Try 'pelsid --help' for more.\n";

constexpr const char* kHelp =
    "usage: pelsid [OPTION]... [FILE]\n"
    "Shows captured network traffic as pictures. FILE is a pelsid dataset, a pcap or a\n"
    "pcapng file.\n"
    "\n"
    "  FILE                        load FILE at start, as File > Load Pelsid Dataset does\n"
    "  --fields FILE               print each stored packet's header fields, no display needed\n"
    "  --render DIR FILE           play FILE through every view, write the pictures into DIR\n"
    "  --set WINDOW.CONTROL=VALUE  with --render: set a control before playing (repeatable)\n"
    "  --capture ADAPTER           capture live from ADAPTER, no display needed\n"
    "  --filter EXPR               with --capture: keep only frames matching EXPR (pcap-filter)\n"
    "  --count N                   with --capture: stop after N frames\n"
    "  --help                      print this help and exit\n"
    "  --version                   print the version and exit\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written, 2 for a\n"
    "command line that cannot be understood. See pelsid(1).\n";

// --capture ADAPTER [--filter EXPR] --count N --fields
int runCaptureOption(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << kUsage;
        return 2;
    }
    const std::string adapter = argv[2];
    std::string filter;
    long count = -1;
    bool fields = false;
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
        } else {
            std::cerr << kUsage;
            return 2;
        }
    }
    if (count < 0 || !fields) {
        std::cerr << kUsage;
        return 2;
    }
    return pelsid::runCaptureCommand(adapter, filter, int(count), std::cout, std::cerr);
}

// Options that need no display run before any Qt object exists; -1 means
// none was given and the windows start.
int runHeadlessCommand(int argc, char** argv) {
    if (argc < 2) return -1;
    const std::string_view option = argv[1];
    if (option == "--fields") {
        if (argc != 3) {
            std::cerr << kUsage;
            return 2;
        }
        return pelsid::runFieldsCommand(argv[2], std::cout, std::cerr);
    }
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
    if (option != "--render" && (argc > 2 || option.starts_with("-"))) {
        std::cerr << kUsage;
        return 2;
    }
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (const int status = runHeadlessCommand(argc, argv); status >= 0) return status;

    const bool render = argc >= 2 && std::string_view(argv[1]) == "--render";
    if (render) qputenv("QT_QPA_PLATFORM", "offscreen");
    // The file named on the command line is read while the windows are made.
    const int fileArg = render ? 3 : 1;
    std::future<pelsid::CaptureFile> early;
    if (argc > fileArg && argv[fileArg][0] != '-')
        early = std::async(std::launch::async, pelsid::readCaptureFile, std::string(argv[fileArg]));
    // DIR's own bytes: a folder name need not be valid text.
    const QByteArray renderDir = render && argc > 2 ? QByteArray(argv[2]) : QByteArray();
    QApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);
    if (render) return pelsid::runRenderCommand(args.mid(1), std::move(early), renderDir);

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
    app.showMainWindow();
    if (!args.isEmpty())
        QTimer::singleShot(0, &app, [&app, &early, file = args[0]] {
            early.valid() ? app.loadDataset(file, early.get()) : app.loadDataset(file);
        });
    return qapp.exec();
}
