#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QWidget;

namespace pelsid {

/// Lets windows take a capture file dropped on them: a drag of one local
/// file is accepted, and its drop hands the path on after the drop event has
/// returned, so the drag source is not kept waiting while the file loads.
class FileDrop : public QObject {
    Q_OBJECT
  public:
    explicit FileDrop(std::function<void(const QString&)> load, QObject* parent = nullptr);

    /// Accepts drops on `window` from now on.
    void watch(QWidget* window);

    /// The local file a drop of `urls` names, or empty when it names none or several.
    static QString fileOf(const QList<QUrl>& urls);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(const QString&)> load_;
};

}  // namespace pelsid
