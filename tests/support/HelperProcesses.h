#pragma once
// Finding the capture helpers a test started: by the capture filter in their
// command line, which each test makes its own (a loopback port).
#include <sys/types.h>

#include <QDir>
#include <QFile>
#include <string>
#include <vector>

namespace pelsid::test {

inline std::vector<pid_t> helpersWithFilter(const std::string& filter) {
    std::vector<pid_t> found;
    for (const QString& entry : QDir("/proc").entryList(QDir::Dirs)) {
        bool number = false;
        const int pid = entry.toInt(&number);
        QFile cmdline("/proc/" + entry + "/cmdline");
        if (!number || !cmdline.open(QIODevice::ReadOnly)) continue;
        const QByteArray args = cmdline.readAll();
        if (args.contains("pelsid-capture") && args.contains(QByteArray::fromStdString(filter)))
            found.push_back(pid);
    }
    return found;
}

}  // namespace pelsid::test
