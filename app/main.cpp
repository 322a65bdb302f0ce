#include <QApplication>
#include <QTimer>
#include <climits>
#include <cstdlib>
#include <future>
#include <iostream>
#include <string_view>

#include "commands/CaptureCommand.h"
#include "commands/FieldsReport.h"
#include "commands/RenderCommand.h"
#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "store/CaptureFile.h"

namespace {
constexpr const char* kUsage =
    "usage: pelsid [FILE]\n"
    "       pelsid --fields FILE\n"
    "       pelsid --capture ADAPTER [--filter EXPR] --count N --fields\n"
    "       pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]...\n";

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
        std::cout << kUsage;
        return 0;
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
    QApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);
    if (render) return pelsid::runRenderCommand(args.mid(1), std::move(early));
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(QLatin1String("--")))) {
        std::cerr << kUsage;
        return 2;
    }

    pelsid::QtDialogs dialogs;
    pelsid::Application app(dialogs, QCoreApplication::applicationDirPath());
    app.initApplication();
    app.showMainWindow();
    if (!args.isEmpty())
        QTimer::singleShot(0, &app, [&app, &early, file = args[0]] {
            early.valid() ? app.loadDataset(file, early.get()) : app.loadDataset(file);
        });
    return qapp.exec();
}
