#include "fieldviews/ParallelPlotWindow.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QSpinBox>

#include "fieldviews/RepeatedDrawing.h"
#include "raster/GlyphFont.h"
#include "support/FieldViewFixture.h"
#include "widgets/SpinButton.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
int textHeight() {
    return GlyphFont::label().height();
}
int charWidth() {
    return GlyphFont::label().width("A");
}
}  // namespace

TEST(ParallelPlotWindow, DefaultPacketSpansTheWidthWithItsLabels) {
    FieldViewFixture f;
    ParallelPlotWindow w(f.context, f.axes);
    Surface& s = w.renderer().picGraph();
    ASSERT_EQ(s.width(), 600);
    ASSERT_EQ(s.height(), 400);
    w.renderer().plot(f.packet(store(f.buffer, ipv4Frame({}))));
    // 60 bytes: y 384 on the left; 0x800: y 388 on the right.
    EXPECT_EQ(s.pixel(300, 386), kTcp);
    EXPECT_EQ(s.pixel(599, 388), kTcp);
    const int kTextHeight = textHeight(), kCharWidth = charWidth();
    const QRect left = boxOf(s, kWhite, QRect(0, 300, 100, 100));
    EXPECT_GE(left.top(), 384);
    EXPECT_LT(left.bottom(), 384 + kTextHeight);
    // The right label sits right-aligned against the edge and above its point
    // (it would run off the bottom below it).
    const QRect right = boxOf(s, kWhite, QRect(500, 300, 100, 100));
    EXPECT_GE(right.left(), 600 - 5 * kCharWidth);
    EXPECT_GT(right.right(), 600 - kCharWidth);
    EXPECT_GE(right.top(), 388 - kTextHeight);
    EXPECT_LT(right.bottom(), 388);
    // Its shadow lies one pixel down and right of it.
    const QRect shadow = boxOf(s, kShadow, QRect(500, 300, 100, 100));
    EXPECT_EQ(shadow.right(), right.right() + 1);
    EXPECT_EQ(shadow.bottom(), right.bottom() + 1);
}

TEST(ParallelPlotWindow, ZeroValueLabelGoesAboveTheBottomEdge) {
    FieldViewFixture f;
    f.axes.setParallel(1, 4);  // IP Diff Services, 0 here
    ParallelPlotWindow w(f.context, f.axes);
    w.renderer().plot(f.packet(store(f.buffer, ipv4Frame({}))));
    const QRect label = boxOf(w.renderer().picGraph(), kWhite, QRect(0, 300, 50, 100));
    const int kTextHeight = textHeight();
    ASSERT_FALSE(label.isEmpty());
    EXPECT_GE(label.top(), 400 - kTextHeight);
    EXPECT_LE(label.bottom(), 399);
}

TEST(ParallelPlotWindow, FourAxesOnAn601PixelPicture) {
    FieldViewFixture f;
    ParallelPlotWindow w(f.context, f.axes);
    w.resize(601, w.height());
    w.layoutWindow();
    w.spnNumAxes()->setValue(4);
    ASSERT_EQ(w.renderer().picGraph().width(), 601);
    EXPECT_EQ(w.renderer().axisX(1), 0);
    EXPECT_EQ(w.renderer().axisX(2), 200);
    EXPECT_EQ(w.renderer().axisX(3), 401);
    EXPECT_EQ(w.renderer().axisX(4), 601);
    EXPECT_EQ(w.renderer().picGraph().pixel(200, 0), kShadow);
    EXPECT_EQ(w.renderer().picGraph().pixel(401, 399), kShadow);
    EXPECT_EQ(w.renderer().picGraph().pixel(0, 10), 0u);
    EXPECT_TRUE(w.comboAxis(4)->isVisibleTo(&w));
    EXPECT_FALSE(w.comboAxis(5)->isVisibleTo(&w));
}

TEST(ParallelPlotWindow, MoreAxesClearThePlotAndShowStoredChooser) {
    FieldViewFixture f;
    f.axes.setParallel(3, 9);
    ParallelPlotWindow w(f.context, f.axes);
    w.renderer().plot(f.packet(store(f.buffer, ipv4Frame({}))));
    ASSERT_GT(countOf(w.renderer().picGraph(), kTcp), 0);
    w.spnNumAxes()->setValue(3);
    EXPECT_EQ(countOf(w.renderer().picGraph(), kTcp), 0);
    EXPECT_EQ(w.comboAxis(3)->currentIndex(), 9);
    EXPECT_TRUE(w.comboAxis(3)->isVisibleTo(&w));
    EXPECT_EQ(w.renderer().picGraph().pixel(300, 200), kShadow);
    w.renderer().clear();
    EXPECT_EQ(w.renderer().numAxes(), 3);
    EXPECT_EQ(w.comboAxis(3)->currentIndex(), 9);
    EXPECT_EQ(countOf(w.renderer().picGraph(), kShadow), 0);
}

TEST(ParallelPlotWindow, NonIPv4PacketGetsPointsOnItsValidAxesOnly) {
    FieldViewFixture f;
    f.axes.setParallel(1, 0);  // packet length
    f.axes.setParallel(2, 9);  // TTL
    f.axes.setParallel(3, 1);  // Ethertype
    ParallelPlotWindow w(f.context, f.axes);
    w.spnNumAxes()->setValue(3);
    const int arp = store(f.buffer, arpFrame());
    const std::uint32_t color = f.colorOf(arp);
    w.renderer().plot(f.packet(arp));
    Surface& s = w.renderer().picGraph();
    // Nothing between the axes but the grey middle axis.
    EXPECT_TRUE(boxOf(s, color, QRect(2, 0, 596, 400)).isEmpty());
    EXPECT_EQ(s.pixel(0, 384), color);    // 60 bytes on axis 1
    EXPECT_EQ(s.pixel(599, 387), color);  // 0x806 (387.3) on the last axis, kept visible
    // Its label is right-aligned, not printed beyond the picture.
    EXPECT_FALSE(boxOf(s, kWhite, QRect(560, 380, 40, 20)).isEmpty());
}

TEST(ParallelPlotWindow, ChooserChangeAffectsOnlyLaterPackets) {
    FieldViewFixture f;
    ParallelPlotWindow w(f.context, f.axes);
    const int n = store(f.buffer, ipv4Frame({}));
    w.renderer().plot(f.packet(n));
    const QImage before = w.renderer().picGraph().image();
    w.comboAxis(1)->setCurrentIndex(9);  // TTL 64: y 300
    EXPECT_EQ(w.renderer().picGraph().image(), before);
    w.renderer().plot(f.packet(n));
    EXPECT_EQ(w.renderer().picGraph().pixel(0, 384), kTcp);  // the first line stays
    EXPECT_EQ(w.renderer().picGraph().pixel(0, 300), kTcp);
}

TEST(ParallelPlotWindow, ThumbnailRunsForEveryPacket) {
    FieldViewFixture f;
    ParallelPlotWindow w(f.context, f.axes);
    Ipv4Header udp;
    udp.protocol = 17;
    udp.src = {0, 0, 1, 1};
    udp.dstPort = 0;
    w.renderer().plotThumbnail(f.packet(store(f.buffer, ipv4Frame(udp))));
    w.renderer().plotThumbnail(f.packet(store(f.buffer, arpFrame())));
    const Surface& t = f.thumbnails.vis(3);
    EXPECT_EQ(t.pixel(0, 56), 0u);  // y 57 is just below the thumbnail
    EXPECT_EQ(countOf(t, rgb(0, 255, 0)), 0);
    w.renderer().plotThumbnail(f.packet(store(f.buffer, ipv4Frame({}))));  // 10.1/16 to port 80
    EXPECT_EQ(t.pixel(0, toPixel(57 - 57 * (10.0 * 256 + 1) / 65536)), rgb(0, 255, 0));
    w.renderer().clear();
    EXPECT_EQ(countOf(t, rgb(0, 255, 0)), 0);
}

TEST(ParallelPlotWindow, RepeatedPacketIsDrawnAgainOnlyOverOtherDrawing) {
    // A, B, A: the second A must come back on top of B where they cross; A, A
    // leaves the picture as one A. Checked against a window that sees each
    // packet once, in the same order, with nothing to skip.
    FieldViewFixture f;
    Ipv4Header a, b;
    a.length = 1000;
    b.length = 60;
    b.protocol = 17;  // UDP: another colour, lines crossing A's
    b.src = {200, 0, 0, 1};
    const int pa = store(f.buffer, ipv4Frame(a)), pb = store(f.buffer, ipv4Frame(b));
    f.axes.setParallel(2, 12);  // Source IP: A low, B high on the right
    ParallelPlotWindow w(f.context, f.axes), once(f.context, f.axes);
    for (int p : {pa, pa, pb, pa, pa}) w.renderer().plot(f.packet(p));
    for (int p : {pa, pb, pa}) once.renderer().plot(f.packet(p));
    EXPECT_EQ(w.renderer().picGraph().image(), once.renderer().picGraph().image());
    EXPECT_GT(countOf(w.renderer().picGraph(), kTcp), 0);
    // Drawing on the picture in between counts too: a clear is drawing.
    w.renderer().clear();
    w.renderer().plot(f.packet(pa));
    EXPECT_GT(countOf(w.renderer().picGraph(), kTcp), 100);
}

TEST(KeepLastOfEach, DropsEveryDrawingThatComesAgainLaterAndKeepsTheOrder) {
    std::vector<std::string> run = {"a", "b", "a", "c", "b", "d", "d"};
    // A poor hash makes everything collide: equality must still decide.
    keepLastOfEach(run, [](const std::string&) { return std::size_t(1); });
    EXPECT_EQ(run, (std::vector<std::string>{"a", "c", "b", "d"}));
    std::vector<int> none;
    keepLastOfEach(none, [](int v) { return std::size_t(v); });
    EXPECT_TRUE(none.empty());
}

TEST(ParallelPlotWindow, ControlsNeitherOverlapNorLeaveTheWindow) {
    FieldViewFixture f;
    ParallelPlotWindow w(f.context, f.axes);
    EXPECT_TRUE(qobject_cast<SpinButton*>(w.spnNumAxes()));  // its label shows the number
    for (int width : {600, 1000}) {
        w.resize(width, w.height());
        w.layoutWindow();
        for (int n = 2; n <= 8; ++n) {
            w.spnNumAxes()->setValue(n);
            SCOPED_TRACE(::testing::Message() << n << " axes, " << width << " wide");
            for (int k = 1; k <= n; ++k) {
                const QRect c = w.comboAxis(k)->geometry();
                EXPECT_GE(c.left(), 0);
                EXPECT_LT(c.right(), width);
                if (k < n) {
                    EXPECT_LT(c.right(), w.comboAxis(k + 1)->geometry().left()) << k;
                }
            }
            const QRect spin = w.spnNumAxes()->geometry();
            const QRect value = w.findChild<QLabel*>("lblNumAxes")->geometry();
            const QRect caption = w.findChild<QLabel*>("lblNumAxesCaption")->geometry();
            EXPECT_FALSE(spin.intersects(value));
            EXPECT_FALSE(value.intersects(caption));
            EXPECT_GT(spin.top(), w.comboAxis(1)->geometry().bottom());
            EXPECT_LE(spin.bottom(), w.height());
        }
    }
}
