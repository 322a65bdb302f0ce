#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <algorithm>
#include <random>

#include "raster/Color.h"
#include "support/ViewFixture.h"
#include "views/ByteFrequencyWindow.h"
#include "views/FrequencyRendering.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;

namespace {

constexpr std::uint32_t kRed = rgb(255, 0, 0);
constexpr std::uint32_t kBlue = rgb(0, 0, 255);

class ByteFrequency : public test::ViewFixture {
  protected:
    ByteFrequencyWindow window{context};

    template <class T>
    T* control(const char* name) {
        return test::control<T>(window, name);
    }
    void byShare(int thresholdValue) {
        control<QComboBox>("cmbVisMode")->setCurrentIndex(1);
        control<QScrollBar>("scrThreshold")->setValue(thresholdValue);
    }
    /// A packet of `length` bytes: `count` of them 0x41, the rest 0x42.
    PlayedPacket shares(int length, int count) {
        std::vector<std::uint8_t> b(std::size_t(length), 0x42);
        std::fill(b.begin(), b.begin() + count, 0x41);
        return packet(b);
    }
    std::uint32_t px(int x, int y) { return window.renderer().picGraph().pixel(x, y); }
    void moveMouse(int x) {
        auto* pic = control<SurfaceWidget>("picGraph");
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 5), QPointF(x, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pic, &move);
    }
};

TEST(ByteFrequencyShares, CountOverLengthLessOne) {
    float f[256];
    std::vector<std::uint8_t> p(101, 0x41);
    computeByteFrequency(p.data(), 101, f);
    EXPECT_FLOAT_EQ(f[65], 1.01f);
    EXPECT_EQ(f[0], 0.0f);
    computeByteFrequency(p.data(), 1, f);
    EXPECT_EQ(f[65], 1.0f);  // one byte: the raw count
    // Every length's tail and every value, against a plain count.
    std::mt19937 random(3);
    for (int length = 2; length <= 40; ++length) {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(length));
        for (auto& v : b) v = std::uint8_t(random() % 5 == 0 ? 0 : random());
        computeByteFrequency(b.data(), length, f);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(f[v], float(std::count(b.begin(), b.end(), v)) / float(length - 1))
                << length << " " << v;
    }
}

TEST_F(ByteFrequency, LoadsInPresenceModeWithTheThresholdStripHidden) {
    EXPECT_EQ(window.objectName(), "frmVis2");
    EXPECT_EQ(window.windowTitle(), "pelsid: Byte Frequency");
    auto* mode = control<QComboBox>("cmbVisMode");
    EXPECT_EQ(mode->itemText(0), "byte presence");
    EXPECT_EQ(mode->itemText(1), "byte frequency (by packet)");
    EXPECT_EQ(mode->currentIndex(), 0);
    EXPECT_TRUE(control<QRadioButton>("radScroll(0)")->isChecked());
    EXPECT_EQ(control<QLabel>("lblStaticScroll")->text(), "Static Scroll");
    EXPECT_EQ(control<QLabel>("lblDynamicScroll")->text(), "Dynamic Scroll");
    EXPECT_EQ(control<QLabel>("lblFrequencyThreshold")->text(), "Frequency Threshold");
    EXPECT_EQ(control<QLabel>("lblThresholdMin")->text(), "0");
    EXPECT_EQ(control<QLabel>("lblThresholdMax")->text(), "20%");
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), "10%");
    EXPECT_TRUE(control<QScrollBar>("scrThreshold")->isHidden());
    EXPECT_EQ(window.height(), window.originalHeight());
    EXPECT_EQ(window.renderer().picGraph().width(), 256);
}

TEST_F(ByteFrequency, ModeChangeResizesTheWindowAndKeepsThePicture) {
    window.renderer().plot(shares(10, 10));
    control<QComboBox>("cmbVisMode")->setCurrentIndex(1);
    EXPECT_FALSE(control<QScrollBar>("scrThreshold")->isHidden());
    EXPECT_FALSE(control<QLabel>("lblThreshold")->isHidden());
    EXPECT_EQ(window.height(), window.originalHeight() + 70);
    EXPECT_NE(px(0x41, 0), 0u);
    control<QComboBox>("cmbVisMode")->setCurrentIndex(0);
    EXPECT_EQ(window.height(), window.originalHeight());
    EXPECT_TRUE(control<QLabel>("lblThresholdMin")->isHidden());
}

TEST_F(ByteFrequency, PresenceSetsOnePixelPerByteValueInThePacketColour) {
    const PlayedPacket only41 = packet(std::vector<std::uint8_t>(60, 0x41));
    const PlayedPacket p = ipPacket(17, 60, 0x41);
    window.renderer().plot(only41);
    int set = 0;
    for (int x = 0; x < 256; ++x) set += px(x, 0) != 0u;
    EXPECT_EQ(set, 1);
    EXPECT_EQ(px(65, 0), colourOf(only41));
    window.renderer().plot(p);
    EXPECT_EQ(px(0x41, 1), colourOf(p));
    EXPECT_EQ(px(0x45, 1), colourOf(p));
    EXPECT_EQ(window.renderer().scaleColor(p, 0.0f), 0u);
}

TEST_F(ByteFrequency, ShareColouringAroundTheThreshold) {
    byShare(20);                            // 10 %
    window.renderer().plot(shares(21, 3));  // 0x41: 3 / 20 = 15 %, 0x42: 90 %
    EXPECT_EQ(px(0x41, 0), kRed);
    window.renderer().plot(shares(21, 1));  // 5 %
    EXPECT_EQ(px(0x41, 1), kBlue);
    window.renderer().plot(shares(11, 1));  // exactly 10 %: not above the threshold
    EXPECT_EQ(px(0x41, 2), kBlue);
    byShare(25);                           // 12.5 %
    window.renderer().plot(shares(9, 1));  // exactly 1 / 8
    EXPECT_EQ(px(0x41, 3), kBlue);
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), "12.5%");
    byShare(0);
    window.renderer().plot(shares(21, 1));
    EXPECT_EQ(px(0x41, 4), kRed);
    EXPECT_EQ(px(0x41, 1), kBlue);  // rows drawn earlier keep their colours
    EXPECT_EQ(control<QLabel>("lblThreshold")->text(), "0%");
}

TEST_F(ByteFrequency, ToolTipReadsOutTheColumn) {
    auto* pic = control<SurfaceWidget>("picGraph");
    moveMouse(65);
    EXPECT_EQ(pic->toolTip(), "65  0x41  A");
    moveMouse(32);
    EXPECT_EQ(pic->toolTip(), "32  0x20   ");
    moveMouse(255);
    EXPECT_EQ(pic->toolTip(), QStringLiteral("255  0xFF  ") + QChar(0xFF));
    moveMouse(256);
    EXPECT_EQ(pic->toolTip(), QStringLiteral("255  0xFF  ") + QChar(0xFF));
}

TEST_F(ByteFrequency, ThumbnailShowsTheValuesThatFitWhateverTheMode) {
    byShare(0);
    std::vector<std::uint8_t> b = {0, 80, 81, 200};
    const PlayedPacket p = packet(b);
    window.renderer().plotThumbnail(p);
    Surface& thumb = thumbnails.vis(2);
    EXPECT_EQ(thumb.pixel(0, 0), rgb(0, 255, 0));
    EXPECT_EQ(thumb.pixel(80, 0), rgb(0, 255, 0));
    EXPECT_EQ(thumb.pixel(1, 0), 0u);
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 1);
    EXPECT_EQ(window.renderer().picGraph().pixel(0, 0), 0u);

    window.renderer().grayVisThumb();
    EXPECT_TRUE(thumbnails.bordered(2));
    window.renderer().initVis2All();
    EXPECT_FALSE(thumbnails.bordered(2));
    EXPECT_EQ(window.renderer().thumbnailScrollLocation(), 1);
}

TEST_F(ByteFrequency, DynamicScrollDrawsTheNewestOnRowOne) {
    control<QRadioButton>("radScroll(1)")->click();
    window.renderer().plot(packet({1}));
    window.renderer().plot(packet({2}));
    for (int x = 0; x < 256; ++x) ASSERT_EQ(px(x, 0), 0u) << x;
    EXPECT_NE(px(2, 1), 0u);
    EXPECT_NE(px(1, 2), 0u);
}

}  // namespace
