#include <QApplication>

#include <iostream>
#include <string_view>

#include "store/FieldsReport.h"

namespace {
constexpr const char* kUsage =
    "usage: pelsid [FILE]\n"
    "       pelsid --fields FILE\n";

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
    return -1;
}
}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    if (const int status = runHeadlessCommand(argc, argv); status >= 0) return status;
    QApplication app(argc, argv);
    return 0;
}
