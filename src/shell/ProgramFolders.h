#pragma once
#include <QString>

namespace pelsid {

/// The folders the program writes to and opens dialogs in. A program run
/// from its build folder keeps the sample data and takes screenshots beside
/// itself; an installed one (in /usr/bin, say) can do neither, so screenshots
/// go to the user's pictures folder and the file dialog starts at home.
class ProgramFolders {
  public:
    /// `picturesFolder` and `homeFolder` default to the user's own.
    explicit ProgramFolders(QString programFolder, QString picturesFolder = {},
                            QString homeFolder = {});

    const QString& program() const { return program_; }

    /// Where screenshots go: the program's folder when it is a build folder
    /// (the sample data lies beside the program) and a file can be made
    /// there, otherwise a "pelsid" folder in the pictures folder, made when
    /// needed. `movedAway` is set when that is not the program's folder.
    QString screenshots(bool* movedAway = nullptr) const;

    /// Where the file dialog opens: the folder of the last file loaded, else
    /// the program's folder when it holds the sample data, else home.
    QString openStart() const;
    /// Remembers the folder of a file that was loaded.
    void loaded(const QString& file);

    /// Whether a file can be created in `folder` (tried, not guessed from
    /// permission bits, which do not bind root or read-only mounts).
    static bool canWriteIn(const QString& folder);

  private:
    bool holdsSample() const;

    QString program_;
    QString pictures_;
    QString home_;
    QString lastLoaded_;
};

}  // namespace pelsid
