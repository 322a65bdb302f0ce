#pragma once
#include <QWidget>

namespace pelsid {

/// frmLogging: an empty window with an OK button that hides it again.
class LoggingWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LoggingWindow(QWidget* parent = nullptr);
  signals:
    void okClicked();
};

/// frmAbout: the program's name and version.
class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

/// frmLoadDataset: the loader's progress window.
class LoadDatasetWindow : public QWidget {
    Q_OBJECT
  public:
    explicit LoadDatasetWindow(QWidget* parent = nullptr);
    void setFile(const QString& name);
    void setFileSize(qint64 bytes);
    void setStatus(const QString& status);
    void setRange(qint64 maximum);
    void setProgress(qint64 value);
    /// While the file is read: how much of it, and how many records were
    /// stored. A stream (no size known) gives the most records it may store.
    void setReadProgress(qint64 bytesRead, int records, int recordLimit = 0);
};

/// Dark grey window background.
void paintDarkGrey(QWidget* w);

}  // namespace pelsid
