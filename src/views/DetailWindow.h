#pragma once
#include <QTimer>
#include <array>
#include <cstdint>

#include "views/ViewWindow.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace pelsid {

/// frmVis7: the newest packet as characters and as a hex dump, in its
/// protocol colour. Plot keeps only the packet; the boxes are filled when
/// the window next paints, so playing many packets between two frames costs
/// one text build.
class DetailWindow : public ViewWindow {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 600;
    static constexpr int kDefaultHeight = 500;

    explicit DetailWindow(ViewContext& context, QWidget* parent = nullptr);

    void Plot(const PlayedPacket& packet) override;
    /// Only the last packet of a run shows.
    void plotRun(std::span<const PlayedPacket> run) override {
        if (!run.empty()) Plot(run.back());
    }
    void plotThumbnail(const PlayedPacket&) override {}
    void clear() override;

    /// Shows the newest packet in the boxes now, if it is not shown yet.
    void refreshText();
    QPlainTextEdit* txtASCII() const { return txtASCII_; }
    QPlainTextEdit* txtHex() const { return txtHex_; }
    /// The colour of the text shown.
    std::uint32_t packetColour() const { return shownColour_; }
    /// The selected packet's summary while it shows, else empty.
    QLabel* lblSummary() const { return lblSummary_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    /// Shows the selected packet, with its summary, until the next one plays.
    void showSelection(int packetNumber) override;

  private:
    /// Keeps a packet to show when the window next paints.
    void keep(const PlayedPacket& packet);
    void setFontSize(int points);
    void layoutControls();

    QPlainTextEdit* txtASCII_;
    QPlainTextEdit* txtHex_;
    QLabel* lblFontSize_;
    QSpinBox* spnFontSize_;
    QLabel* lblCurrentFontSize_;
    QLabel* lblPacketTime_;
    QLabel* lblSummary_;
    QTimer frame_;

    std::array<std::uint8_t, 1601> bytes_{};
    int length_ = 0;
    std::uint32_t colour_ = 0;
    CaptureTime time_;
    std::uint64_t fileFrame_ = 0;  // the packet's number in its file (0: captured)
    bool pending_ = false;
    std::uint32_t shownColour_ = 0;
};

}  // namespace pelsid
