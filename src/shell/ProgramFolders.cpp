#include "shell/ProgramFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace pelsid {

ProgramFolders::ProgramFolders(QString programFolder, QString picturesFolder, QString homeFolder)
    : program_(std::move(programFolder)),
      pictures_(picturesFolder.isEmpty()
                    ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                    : std::move(picturesFolder)),
      home_(homeFolder.isEmpty() ? QDir::homePath() : std::move(homeFolder)) {
    // Without a pictures folder (no HOME), screenshots still have a home.
    if (pictures_.isEmpty()) pictures_ = home_;
}

bool ProgramFolders::canWriteIn(const QString& folder) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".pelsid-probe-XXXXXX")));
    return probe.open();
}

bool ProgramFolders::holdsSample() const {
    return QFileInfo::exists(QDir(program_).filePath(QStringLiteral("sample.pelsid")));
}

QString ProgramFolders::screenshots(bool* movedAway) const {
    // Only a build or checkout keeps its pictures beside the program: an
    // installed program's folder (/usr/bin) is no place for them, even where
    // root may write.
    const bool here = holdsSample() && canWriteIn(program_);
    if (movedAway) *movedAway = !here;
    if (here) return program_;
    const QString folder = QDir(pictures_).filePath(QStringLiteral("pelsid"));
    QDir().mkpath(folder);
    return folder;
}

QString ProgramFolders::openStart() const {
    if (!lastLoaded_.isEmpty() && QFileInfo(lastLoaded_).isDir()) return lastLoaded_;
    if (holdsSample()) return program_;
    return home_;
}

void ProgramFolders::loaded(const QString& file) {
    const QFileInfo info(file);
    if (info.isFile()) lastLoaded_ = info.absolutePath();
}

}  // namespace pelsid
