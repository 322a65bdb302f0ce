#pragma once
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <map>
#include <vector>

#include "control/Screenshots.h"
#include "shell/Application.h"
#include "views/Thumbnails.h"

namespace pelsid::test {

/// Every view's picture and every thumbnail of the application, as bitmap
/// files written into `folder` (which should hold nothing else), by file name.
inline std::map<QString, QByteArray> picturesOf(Application& app, const QString& folder) {
    std::vector<const ViewRenderer*> shown;
    for (int i = 0; i < 6; ++i) shown.push_back(&app.renderers().at(i));
    EXPECT_TRUE(saveScreenshots(shown, folder, QStringLiteral("x")).isEmpty());
    const QDir dir(folder);
    for (int n = 1; n <= 6; ++n)
        app.thumbnails().vis(n).saveBitmap(dir.filePath(QStringLiteral("x_thumb%1.bmp").arg(n)),
                                           nullptr);
    std::map<QString, QByteArray> shots;
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        shots[name] = f.readAll();
    }
    return shots;
}

/// Compares two sets of pictures file by file.
inline void expectSamePictures(const std::map<QString, QByteArray>& expected,
                               const std::map<QString, QByteArray>& actual) {
    ASSERT_EQ(actual.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        ASSERT_TRUE(actual.count(name)) << qPrintable(name);
        EXPECT_TRUE(actual.at(name) == bytes) << qPrintable(name);
    }
}

}  // namespace pelsid::test
