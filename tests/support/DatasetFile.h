#pragma once
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace pelsid::test {

// `count` records of 60 bytes; byte 42 holds `mark`, byte 43 the record's
// index, and every third record is TCP (the others UDP).
inline QString writeDataset(const QTemporaryDir& dir, const QString& name, int count,
                            char mark = 'A') {
    std::string bytes = "<PELSID>";
    for (int i = 0; i < count; ++i) {
        std::string rec(60, 'A');
        rec[12] = 0x08;
        rec[13] = 0;
        rec[14] = 0x45;
        rec[23] = i % 3 == 0 ? 6 : 17;
        rec[42] = mark;
        rec[43] = char(i & 0x7F);
        bytes += rec + "<PELSID[CR][LF]>";
    }
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes.data(), qint64(bytes.size()));
    return f.fileName();
}

}  // namespace pelsid::test
