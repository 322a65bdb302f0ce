#pragma once
#include <QWidget>

namespace pelsid {

/// frmAbout: the program's name and version.
class AboutWindow : public QWidget {
    Q_OBJECT
  public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace pelsid
