#pragma once
#include <array>

#include "fieldviews/AxisMarks.h"
#include "fieldviews/FieldViewWindow.h"
#include "fieldviews/RepeatedDrawing.h"

class QComboBox;
class QLabel;
class QSpinBox;

namespace pelsid {

/// frmVis3: every packet as a polyline across 2 to 18 axes, each showing a
/// header field chosen by the user; the newest packet's values are printed
/// beside the axes. Its thumbnail draws source network against destination
/// port. Its runs are drawn on the drawing thread.
class ParallelPlotWindow : public FieldViewWindow {
    Q_OBJECT
  public:
    ParallelPlotWindow(ViewContext& context, AxisStore& axes, QWidget* parent = nullptr);
    /// Stores the fields of the axes in use (the window is being unloaded).
    ~ParallelPlotWindow() override;

    /// The controls' values: the field of each axis (-1: none) and how many axes show.
    struct Settings {
        std::array<int, kMaxAxes> axis{};
        int numAxes = 2;
    };
    const Settings& settings() const { return settings_; }

    void Plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    bool drawsOffGuiThread() const override { return true; }
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    void plotThumbnailRun(std::span<const PlayedPacket> run) override;
    /// Empties picture and thumbnail; choosers and axis count stay.
    void clear() override;

    void layoutWindow() override;

    int numAxes() const { return settings_.numAxes; }
    /// x of axis k = 1..numAxes.
    int axisX(int k) const { return axisX_[k - 1]; }
    QComboBox* comboAxis(int k) const { return comboAxis_[k - 1]; }
    QSpinBox* spnNumAxes() const { return spnNumAxes_; }

  protected:
    std::vector<ShotFile> screenshotFiles() const override;

  private:
    /// Everything a packet's drawing depends on besides the layout.
    struct Drawing {
        std::uint32_t color = 0;
        int axes = 0;
        std::array<int, kMaxAxes> y{};
        std::array<bool, kMaxAxes> valid{};
        std::array<std::string, kMaxAxes> label{};
        bool operator==(const Drawing&) const = default;
    };
    Drawing drawingOf(const PlayedPacket& packet) const;
    void draw(OwnedDrawing<Drawing>&& drawing);
    /// The thumbnail's line: its heights at the left and right edges.
    std::pair<int, int> thumbnailLine(const PlayedPacket& packet) const;
    void layoutAxes();

    std::array<QComboBox*, kMaxAxes> comboAxis_{};
    QSpinBox* spnNumAxes_ = nullptr;
    QLabel* lblNumAxes_ = nullptr;
    QLabel* lblNumAxesCaption_ = nullptr;
    Settings settings_;
    Settings run_;  // what the run being drawn uses
    std::array<int, kMaxAxes> axisX_{};
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
