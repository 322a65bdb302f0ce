#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QWidget;

namespace pelsid {

/// Creates every tool and view window on first touch (hidden), shows and hides
/// it from its menu entry, and forgets it when it is closed with its close
/// box; the next touch creates it afresh with its defaults. A menu entry's
/// check mark is the only record of whether its window is meant to be open.
class WindowRegistry : public QObject {
    Q_OBJECT
  public:
    using Factory = std::function<QWidget*()>;

    /// Deletes the windows it made.
    ~WindowRegistry() override { deleteWindows(); }
    /// Deletes every window it made, in the order the windows were added.
    void deleteWindows();

    /// `menuEntry` may be null for windows without one.
    void add(const QString& name, QAction* menuEntry, Factory factory);

    /// The window, created hidden if it does not exist.
    QWidget* window(const QString& name);
    /// The window if it exists now, else null.
    QWidget* existing(const QString& name) const;
    bool isShown(const QString& name) const;
    bool has(const QString& name) const { return entries_.contains(name); }

    /// Show (and check) or hide (and uncheck) the window.
    void toggleWindow(const QString& name);
    /// Flip the check mark only.
    void toggleMenuCheck(const QString& name);
    QAction* menuEntry(const QString& name) const;

  signals:
    /// A window was just created (hidden).
    void created(const QString& name, QWidget* window);
    /// A window is being closed with its close box.
    void closing(const QString& name);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Entry {
        QAction* menuEntry = nullptr;
        Factory factory;
        QPointer<QWidget> window;
    };
    QHash<QString, Entry> entries_;
    QStringList order_;  // names in the order added
};

}  // namespace pelsid
