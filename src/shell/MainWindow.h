#pragma once
#include <QMainWindow>
#include <array>
#include <vector>

class QAction;
class QMenu;

namespace pelsid {

class SurfaceWidget;
struct Thumbnails;

/// frmMain: the menus, the six thumbnails and the detail button. It only
/// raises signals; the Application decides what they do.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(Thumbnails& thumbnails, QWidget* parent = nullptr);
    ~MainWindow() override;

    QAction* action(const QString& name) const;
    SurfaceWidget* thumbnail(int n) const { return thumbs_[n - 1]; }

  signals:
    void loadDataRequested();
    void loadPartRequested();
    void exportRequested();
    void exitRequested();
    void aboutRequested();
    /// A menu entry that shows or hides a window was chosen (entry name).
    void toggleRequested(const QString& entry);
    void placeholderRequested(const QString& window);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    QMenu* addMenu(const QString& title);
    QAction* addEntry(QMenu* menu, const char* name, const char* caption, bool shown);

    Thumbnails& thumbnails_;
    std::array<SurfaceWidget*, 6> thumbs_{};
    std::vector<QMenu*> menus_;
};

}  // namespace pelsid
