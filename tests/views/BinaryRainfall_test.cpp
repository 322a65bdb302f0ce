#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "raster/Color.h"
#include "support/ViewFixture.h"
#include "views/BinaryRainfallWindow.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;

namespace {

constexpr std::uint32_t kRed = rgb(255, 0, 0);
constexpr std::uint32_t kDarkRed = rgb(128, 0, 0);
constexpr std::uint32_t kBlue = rgb(0, 0, 255);
constexpr std::uint32_t kDarkBlue = rgb(0, 0, 128);
constexpr std::uint32_t kGrey = rgb(64, 64, 64);

class BinaryRainfall : public test::ViewFixture {
  protected:
    BinaryRainfallWindow window{context};

    template <class T>
    T* control(const char* name) {
        return test::control<T>(window, name);
    }
    void setMode(BinaryMode m) { control<QComboBox>("cmbVisMode")->setCurrentIndex(int(m)); }
    void setHighlights(bool ascii, bool nop) {
        control<QPushButton>("tglASCII")->setChecked(ascii);
        control<QPushButton>("tglNOP")->setChecked(nop);
    }
    std::uint32_t px(int x, int y) { return window.renderer().picGraph().pixel(x, y); }
};

TEST_F(BinaryRainfall, LoadsWithItsControlsAndDefaults) {
    EXPECT_EQ(window.objectName(), "frmVis4");
    EXPECT_EQ(window.windowTitle(), "pelsid: Binary Rainfall");
    auto* mode = control<QComboBox>("cmbVisMode");
    ASSERT_EQ(mode->count(), 4);
    EXPECT_EQ(mode->itemText(0), "packet length");
    EXPECT_EQ(mode->itemText(1), "rainfall 24:1");
    EXPECT_EQ(mode->itemText(3), "rainfall 1:1");
    EXPECT_EQ(mode->currentText(), "rainfall 8:1");
    EXPECT_TRUE(control<QRadioButton>("radScroll(0)")->isChecked());
    EXPECT_EQ(control<QRadioButton>("radScroll(1)")->text(), "Dynamic Scroll");
    EXPECT_EQ(control<QLabel>("lblHighlight")->text(), "Highlight");
    EXPECT_EQ(control<QPushButton>("tglASCII")->text(), "Printable ASCII");
    EXPECT_EQ(control<QPushButton>("tglNOP")->text(), "NOP 0x90");
    EXPECT_FALSE(control<QPushButton>("tglNOP")->isChecked());
    EXPECT_EQ(window.renderer().picGraph().width(), 600);
    EXPECT_EQ(window.renderer().picGraph().height(), 400);
}

TEST_F(BinaryRainfall, PacketLengthBarScalesTo1518Bytes) {
    setMode(BinaryMode::PacketLength);
    const PlayedPacket full = ipPacket(6, 1518), half = ipPacket(17, 759);
    window.renderer().plot(full);
    window.renderer().plot(half);
    EXPECT_EQ(px(599, 0), colourOf(full));
    EXPECT_EQ(px(299, 1), colourOf(half));
    EXPECT_EQ(px(300, 1), 0u);
    EXPECT_NE(colourOf(full), colourOf(half));
}

TEST_F(BinaryRainfall, Rainfall24DropsAnIncompleteLastGroup) {
    setMode(BinaryMode::Rainfall24);
    window.renderer().plot(packet({10, 20, 30, 40, 50}));
    EXPECT_EQ(px(0, 0), rgb(10, 20, 30));
    EXPECT_EQ(px(1, 0), 0u);
    window.renderer().plot(packet({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(px(1, 1), rgb(4, 5, 6));
    EXPECT_EQ(px(2, 1), 0u);
}

TEST_F(BinaryRainfall, Rainfall8HighlightRulesInOrder) {
    const PlayedPacket p = packet({0x90, 0x41, 0x05, 0x00, 0x7F});
    window.renderer().plot(p);  // no highlight: green levels, byte 0 black
    EXPECT_EQ(px(0, 0), rgb(0, 0x90, 0));
    EXPECT_EQ(px(1, 0), rgb(0, 0x41, 0));
    EXPECT_EQ(px(3, 0), 0u);
    setHighlights(true, false);
    window.renderer().plot(p);
    EXPECT_EQ(px(0, 1), kGrey);
    EXPECT_EQ(px(1, 1), kBlue);
    EXPECT_EQ(px(4, 1), kGrey);
    setHighlights(true, true);
    window.renderer().plot(p);
    EXPECT_EQ(px(0, 2), kRed);
    EXPECT_EQ(px(1, 2), kBlue);
    setHighlights(false, true);
    window.renderer().plot(p);
    EXPECT_EQ(px(0, 3), kRed);
    EXPECT_EQ(px(1, 3), rgb(0, 0x41, 0));
}

TEST_F(BinaryRainfall, Rainfall1DrawsBitsMostSignificantFirst) {
    setMode(BinaryMode::Rainfall1);
    window.renderer().picGraph().setBackColor(rgb(1, 1, 1));  // so untouched pixels show
    window.renderer().initVisAll();
    const PlayedPacket p = ipPacket(6, 40);
    std::uint8_t* bytes = const_cast<std::uint8_t*>(p.bytes);
    bytes[0] = 0x81;
    bytes[1] = 0x90;
    bytes[2] = 0x41;
    window.renderer().plot(p);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(px(x, 0), x == 0 || x == 7 ? colourOf(p) : rgb(1, 1, 1)) << x;

    // Both toggles on 0x90 (1001 0000): the later printable rule greys its set
    // bits, its clear bits stay dark red; 0x41 (0100 0001) is blue on dark blue.
    setHighlights(true, true);
    window.renderer().plot(p);
    const std::uint32_t nop[8] = {kGrey,    kDarkRed, kDarkRed, kGrey,
                                  kDarkRed, kDarkRed, kDarkRed, kDarkRed};
    const std::uint32_t a[8] = {kDarkBlue, kBlue,     kDarkBlue, kDarkBlue,
                                kDarkBlue, kDarkBlue, kDarkBlue, kBlue};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(px(8 + k, 1), nop[k]) << k;
        EXPECT_EQ(px(16 + k, 1), a[k]) << k;
    }
    setHighlights(false, true);
    window.renderer().plot(p);
    EXPECT_EQ(px(8, 2), kRed);
    EXPECT_EQ(px(17, 2), kGrey);         // set bit of a byte that is not 0x90
    EXPECT_EQ(px(16, 2), rgb(1, 1, 1));  // its clear bits untouched
}

TEST_F(BinaryRainfall, StaticScrollWrapsAndBlanksTheNextRow) {
    const PlayedPacket p = packet({200, 200});
    const int h = window.renderer().picGraph().height();
    for (int i = 0; i < h; ++i) window.renderer().plot(p);
    EXPECT_EQ(window.renderer().scrollLocation(), 0);
    EXPECT_EQ(px(0, 0), 0u);  // the oldest row gave way to the blank marker
    EXPECT_EQ(px(0, h - 1), rgb(0, 200, 0));
    window.renderer().plot(p);
    EXPECT_EQ(px(0, 0), rgb(0, 200, 0));
    EXPECT_EQ(px(0, 1), 0u);
    EXPECT_EQ(window.renderer().scrollLocation(), 1);
}

TEST_F(BinaryRainfall, DynamicScrollKeepsRowZeroBlank) {
    control<QRadioButton>("radScroll(1)")->click();
    for (std::uint8_t v : {10, 20, 30}) window.renderer().plot(packet({v}));
    EXPECT_EQ(px(0, 0), 0u);
    EXPECT_EQ(px(0, 1), rgb(0, 30, 0));
    EXPECT_EQ(px(0, 2), rgb(0, 20, 0));
    EXPECT_EQ(px(0, 3), rgb(0, 10, 0));
    EXPECT_EQ(window.renderer().scrollLocation(), 0);
    EXPECT_EQ(window.renderer().picGraph().image().pixel(0, 1), toQRgb(rgb(0, 30, 0)));
}

TEST_F(BinaryRainfall, ThumbnailRunsHiddenAndSurvivesReinitialisation) {
    const PlayedPacket p = packet(std::vector<std::uint8_t>(100, 0x90));
    Surface& thumb = thumbnails.vis(4);
    ASSERT_FALSE(window.isVisible());
    control<QPushButton>("tglNOP")->setChecked(true);  // thumbnails ignore highlights
    window.renderer().plotThumbnail(p);
    EXPECT_EQ(thumb.pixel(80, 0), rgb(0, 0x90, 0));
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 1);
    EXPECT_EQ(window.renderer().picGraph().pixel(0, 0), 0u);

    thumbnails.setBordered(4, true);
    control<QRadioButton>("radScroll(1)")->click();  // re-initialises the picture only
    EXPECT_FALSE(thumbnails.bordered(4));
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 1);
    for (int i = 1; i < Thumbnails::kHeight; ++i) window.renderer().plotThumbnail(p);
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 0);
    EXPECT_EQ(thumb.pixel(0, 0), 0u);
    window.renderer().plotThumbnail(p);
    EXPECT_EQ(thumb.pixel(0, 0), rgb(0, 0x90, 0));
    EXPECT_EQ(thumb.pixel(0, 1), 0u);

    window.renderer().clear();
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 0);
    EXPECT_EQ(thumb.pixel(0, 0), 0u);
}

TEST_F(BinaryRainfall, DoubleClickSelectsTheNextRenderingAndClears) {
    auto* mode = control<QComboBox>("cmbVisMode");
    auto* pic = control<SurfaceWidget>("picGraph");
    window.renderer().plot(packet({50}));
    emit pic->doubleClicked();
    EXPECT_EQ(mode->currentIndex(), 3);
    EXPECT_EQ(px(0, 0), 0u);
    EXPECT_EQ(window.renderer().scrollLocation(), 0);
    emit pic->doubleClicked();
    EXPECT_EQ(mode->currentIndex(), 0);
}

TEST_F(BinaryRainfall, ResizeHoldsTheMinimumAndRestartsThePicture) {
    window.show();
    window.renderer().plot(packet({50}));
    window.resize(300, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.renderer().picGraph().width(), 300);
    EXPECT_EQ(window.renderer().picGraph().height(), 300 - 73);
    EXPECT_EQ(window.renderer().scrollLocation(), 0);
    window.resize(50, 50);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.width(), 133);
    EXPECT_EQ(window.renderer().picGraph().height(), 200 - 73);
}

}  // namespace

// The tool tip's byte: three bytes a pixel in 24:1 (the first named), one in
// 8:1, and in 1:1 the byte and its bit counted from the most significant;
// nothing in the length bar or beyond the packet.
TEST_F(BinaryRainfall, TheByteAndBitUnderThePointer) {
    std::vector<std::uint8_t> b(30, 0);
    b[10] = 0xA5;
    const PlayedPacket p = packet(b);
    auto byteAt = [&](BinaryMode m, int x) {
        const auto at = byteAtColumn(m, x);
        return at ? byteDescription(at->offset, at->bit, p) : QString();
    };
    EXPECT_EQ(byteAt(BinaryMode::Rainfall8, 10), "byte 10: 0xA5");
    EXPECT_EQ(byteAt(BinaryMode::Rainfall24, 3), "byte 9: 0x00");
    EXPECT_EQ(byteAt(BinaryMode::Rainfall1, 80), "byte 10, bit 0: 0xA5");
    EXPECT_EQ(byteAt(BinaryMode::Rainfall1, 87), "byte 10, bit 7: 0xA5");
    EXPECT_EQ(byteAt(BinaryMode::PacketLength, 3), "");
    EXPECT_EQ(byteAt(BinaryMode::Rainfall8, 30), "");
    EXPECT_EQ(byteAt(BinaryMode::Rainfall8, -1), "");

    // The whole row is the packet's in the pick map, as far as its bytes reach.
    setMode(BinaryMode::Rainfall1);
    window.renderer().plot(p);
    EXPECT_EQ(window.renderer().picGraph().pickAt(0, 0), std::uint32_t(p.number));
    EXPECT_EQ(window.renderer().picGraph().pickAt(8 * 30 - 1, 0), std::uint32_t(p.number));
    EXPECT_EQ(window.renderer().picGraph().pickAt(8 * 30, 0), 0u);
    setMode(BinaryMode::Rainfall24);
    window.renderer().plot(p);
    EXPECT_EQ(window.renderer().picGraph().pickAt(9, 0), std::uint32_t(p.number));
    EXPECT_EQ(window.renderer().picGraph().pickAt(10, 0), 0u);
}
