#pragma once
#include <QTimer>
#include <array>
#include <cstdint>

#include "views/DetailRenderer.h"
#include "views/ViewWindow.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;

namespace pelsid {

/// frmVis7: shows a DetailRenderer's packet as characters and as a hex
/// dump, in its protocol colour. The boxes are filled when the window next
/// paints, so playing many packets between two frames costs one text build.
class DetailWindow : public ViewWindow {
    Q_OBJECT
  public:
    static constexpr int kDefaultWidth = 600;
    static constexpr int kDefaultHeight = 500;

    /// A window with a renderer of its own.
    explicit DetailWindow(ViewContext& context, QWidget* parent = nullptr);
    DetailWindow(ViewContext& context, DetailRenderer& renderer, QWidget* parent = nullptr);
    ~DetailWindow() override;

    DetailRenderer& renderer() { return view_; }

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
    DetailWindow(ViewContext& context, DetailRenderer& renderer, bool ownsRenderer,
                 QWidget* parent);
    /// The renderer kept a packet (played) or was cleared.
    void rendererChanged(bool played);
    /// Shows the kept packet when the window next paints.
    void showSoon();
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
    DetailRenderer& view_;
    std::uint32_t shownColour_ = 0;
};

}  // namespace pelsid
