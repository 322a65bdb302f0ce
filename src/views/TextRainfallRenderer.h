#pragma once
#include <QPoint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "raster/Surface.h"
#include "views/RunSettings.h"
#include "views/ViewRenderer.h"

namespace pelsid {

/// The text rainfall (frmVis1): each packet as one line of ASCII, hex or
/// decimal text in its protocol colour; the thumbnail is a bar chart of
/// packet lengths.
class TextRainfallRenderer : public ViewRenderer {
  public:
    static constexpr int kLinePitch = 15;
    static constexpr int kPictureWidth = 600;
    static constexpr int kPictureHeight = 400;
    static constexpr int kMaxStringLength = 9;
    /// The entries of the mode list.
    static const QStringList& modeNames();

    explicit TextRainfallRenderer(Thumbnails& thumbnails);

    /// The controls' values: mode (0 ASCII, 1 hex, 2 decimal, -1 none),
    /// strings only and their least length, Ethernet header left out.
    struct Settings {
        int mode = 0;
        bool printASCII = false;
        int length = 1;
        bool stripEther = false;
    };
    const Settings& settings() const { return settings_.current(); }
    Settings& editSettings() { return settings_.edit(); }
    /// A new mode starts the picture afresh.
    void setMode(int mode);
    void beginRun() override;
    std::vector<SettingControl> settingControls() override;

    void plot(const PlayedPacket& packet) override;
    void plotThumbnail(const PlayedPacket& packet) override;
    void plotRun(std::span<const PlayedPacket> run) override;
    void plotThumbnailRun(std::span<const PlayedPacket> run) override;
    void clear() override;
    void initVis();
    void initVisAll();
    /// A picture of another size starts empty at the top; the same size keeps it.
    void resizePicture(int width, int height);

    /// The line plot would print for a packet now ("" when nothing is printed).
    std::string lineText(const PlayedPacket& packet) const;
    /// The byte of `packet` whose character its line shows at `pos` of
    /// picGraph; none over its number or a blank.
    std::optional<int> byteUnder(QPoint pos, const PlayedPacket& packet) const;
    /// The byte whose character is under the pointer.
    QString byteText(const QString& name, QPoint pos, const PlayedPacket* packet) const override;
    std::vector<ShotFile> screenshotFiles() const override {
        return {{&picGraph_, "_textrainfall.bmp"}};
    }

    Surface& picGraph() { return picGraph_; }
    int scrollLocation() const { return scrollLocation_; }
    int thumbnailScrollLocation() const { return thumbnailScrollLocation_; }

  private:
    /// Draws one packet with the run's settings.
    void plotOne(const PlayedPacket& packet);
    void advanceLine();
    /// Where the line after one at `location` goes: one pitch down, back to
    /// the top when the next would not fit.
    int nextLocation(int location) const;
    /// The line of text for a packet into `text` (emptied first); with
    /// `bytes`, the packet byte of each character into it (-1: none).
    void writeLine(const Settings& s, const PlayedPacket& packet, std::string& text,
                   std::vector<int>* bytes = nullptr) const;
    /// The packet's bytes that a line shows, first and last (last < first: none).
    std::pair<int, int> shownBytes(const Settings& s, const PlayedPacket& packet) const;
    /// False when plot would print nothing for the packet and stay put.
    bool printsLine(const PlayedPacket& packet);
    int charsPerLine() const;

    Surface picGraph_;
    int scrollLocation_ = 0;
    int thumbnailScrollLocation_ = 0;
    std::string line_;  // reused for every packet
    RunSettings<Settings> settings_;
    std::vector<Settings> lineSettings_;  // what each line position was last written with
};

}  // namespace pelsid
