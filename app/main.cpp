#include <QApplication>
#include <QTimer>
#include <iostream>
#include <string_view>

#include "shell/Application.h"
#include "shell/QtDialogs.h"
#include "shell/RenderCommand.h"
#include "store/FieldsReport.h"

namespace {
constexpr const char* kUsage =
    "usage: pelsid [FILE]\n"
    "       pelsid --fields FILE\n"
    "       pelsid --render DIR FILE [--set WINDOW.CONTROL=VALUE]...\n";

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
    QApplication qapp(argc, argv);
    QStringList args = qapp.arguments().mid(1);
    if (render) return pelsid::runRenderCommand(args.mid(1));
    if (args.size() > 1 || (args.size() == 1 && args[0].startsWith(QLatin1String("--")))) {
        std::cerr << kUsage;
        return 2;
    }

    pelsid::QtDialogs dialogs;
    pelsid::Application app(dialogs, QCoreApplication::applicationDirPath());
    app.initApplication();
    app.showMainWindow();
    if (!args.isEmpty())
        QTimer::singleShot(0, &app, [&app, file = args[0]] { app.loadDataset(file); });
    return qapp.exec();
}
