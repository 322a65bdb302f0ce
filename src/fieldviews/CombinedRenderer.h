#pragma once
#include <optional>

#include "fieldviews/FieldViewRenderer.h"
#include "fieldviews/HistoryStrip.h"
#include "fieldviews/RepeatedDrawing.h"

namespace pelsid {

/// The combined view (frmVis6): a two-axis parallel plot (picGraph) between
/// two history strips that show the same two values over time, one column
/// of dots per quantum of packets. Its thumbnail is a history of source
/// networks scrolling right.
class CombinedRenderer : public FieldViewRenderer {
  public:
    static constexpr int kCentreWidth = 200;
    static constexpr int kStripWidth = 399;
    static constexpr int kPictureHeight = 400;

    /// The axes chosen last time, from the store.
    CombinedRenderer(Thumbnails& thumbnails, AxisStore& axes);
    /// Stores both axes' fields.
    ~CombinedRenderer() override;

    /// The controls' values: the fields of the left (1) and right (2) axes
    /// (-1: none) and the packets per quantum.
    struct Settings {
        int left = -1;
        int right = -1;
        int quantum = 1;
    };
    const Settings& settings() const { return settings_.current(); }
    /// k = 1 (left), 2 (right); the store keeps the choice at once.
    void setAxis(int k, int axisIndex);
    void setQuantum(int packets) { settings_.edit().quantum = packets; }
    /// Pictures of `height` with a centre `centreWidth` and strips
    /// `stripWidth` wide, all empty.
    void layout(int centreWidth, int stripWidth, int height);

    void plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    void beginRun() override;
    void plotRun(std::span<const PlayedPacket> run) override;
    /// Empties every picture and the thumbnail; a quantum begun goes on counting.
    void clear() override;
    std::vector<ShotFile> screenshotFiles() const override;
    std::vector<SettingControl> settingControls() override;
    /// picGraph, picgraphLeftFront and picgraphRightFront.
    const Surface* picture(const QString& name) const override;
    /// The strips answer from their dots, whether composed for the screen yet or not.
    std::uint32_t packetAt(const QString& name, QPoint pos) const override;

    HistoryStrip& leftStrip() { return left_; }
    HistoryStrip& rightStrip() { return right_; }
    int quantumCount() const { return quantumCount_; }

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
    int quantumCount_ = 0;
    RunSettings<Settings> settings_;
    RepeatedDrawing<Drawing> repeated_;
    std::vector<OwnedDrawing<Drawing>> runDrawings_;  // reused for every run
};

}  // namespace pelsid
