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

}  // namespace pelsid
