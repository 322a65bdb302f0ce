#pragma once
#include <QWidget>

namespace pelsid {

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

}  // namespace pelsid
