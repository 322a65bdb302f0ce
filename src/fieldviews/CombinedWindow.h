#pragma once
#include <optional>
#include "fieldviews/FieldViewWindow.h"
#include "fieldviews/HistoryStrip.h"
#include "fieldviews/RepeatedDrawing.h"

class QComboBox;
class QFrame;
class QLabel;
class QSpinBox;

namespace pelsid {

class SurfaceWidget;

/// frmVis6: a two-axis parallel plot between two history strips that show
/// the same two values over time, one column of dots per quantum of
/// packets. Its thumbnail is a history of source networks scrolling right.
class CombinedWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    CombinedWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    /// Stores both axes' fields (the window is being unloaded).
    ~CombinedWindow() override;

    /// The controls' values: the fields of the left (1) and right (2) axes
    /// (-1: none) and the packets per quantum.
    struct Settings {
        int left = -1;
        int right = -1;
        int quantum = 1;
    };
    const Settings& settings() const { return settings_; }

    void Plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    /// Empties every picture and the thumbnail; a quantum begun goes on counting.
    void clear() override;

    /// Places pictures and controls for the window's size; erases the view.
    void layoutWindow() override;
    std::uint32_t packetAt(SurfaceWidget& picture, QPoint pos) override;

    HistoryStrip& leftStrip() { return left_; }
    HistoryStrip& rightStrip() { return right_; }
    /// 1 = left axis, 2 = right axis.
    QComboBox* comboAxis(int k) const { return k == 1 ? comboLeft_ : comboRight_; }
    QSpinBox* spnBuckets() const { return spnBuckets_; }
    int quantumCount() const { return quantumCount_; }

  protected:
    void timerEvent(QTimerEvent* event) override;
    std::vector<ShotFile> screenshotFiles() const override;

  private:
    /// Everything a packet's segment depends on besides the layout.
    struct Drawing {
        std::uint32_t color = 0;
        int yL = 0, yR = 0;
        std::string labelL, labelR;
        bool operator==(const Drawing&) const = default;
    };
    /// The packet's centre segment, none when it leaves no mark.
    std::optional<Drawing> drawingOf(const PlayedPacket& packet) const;
    void draw(OwnedDrawing<Drawing>&& drawing);
    void plotHistory(int yL, int yR, std::uint32_t color, std::uint32_t owner);

    HistoryStrip left_{HistoryStrip::Side::Left};
    HistoryStrip right_{HistoryStrip::Side::Right};
    SurfaceWidget* leftWidget_ = nullptr;
    SurfaceWidget* rightWidget_ = nullptr;
    QFrame* lineLeftAxis_ = nullptr;
    QFrame* linerightAxis_ = nullptr;
    QComboBox* comboLeft_ = nullptr;
    QComboBox* comboRight_ = nullptr;
    QSpinBox* spnBuckets_ = nullptr;
    QLabel* lblBuckets_ = nullptr;
    QLabel* lblBucketsCaption_ = nullptr;
    int quantumCount_ = 0;
    Settings settings_;
    Settings run_;  // what the run being drawn uses
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
