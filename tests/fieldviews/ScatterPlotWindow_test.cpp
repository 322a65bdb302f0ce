#include "fieldviews/ScatterPlotWindow.h"

#include <gtest/gtest.h>

#include "support/FieldViewFixture.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {
// A 400 x 300 plot, as in the worked examples.
void toExampleSize(ScatterPlotWindow& w) {
    w.resize(400 + 24, 300 + 80);
    w.layoutWindow();
    ASSERT_EQ(w.renderer().picGraph().width(), 400);
    ASSERT_EQ(w.renderer().picGraph().height(), 300);
}
}  // namespace

TEST(ScatterPlotWindow, PointLabelRunsHorizontalThenVertical) {
    EXPECT_EQ(ScatterPlotWindow::pointLabel("0x800", "4"), "4,0x800");
    EXPECT_EQ(ScatterPlotWindow::pointLabel("0x806", ""), ",0x806");
    EXPECT_EQ(ScatterPlotWindow::pointLabel("", "60"), "60,");
}

TEST(ScatterPlotWindow, IPv4PacketOnTheDefaultAxes) {
    FieldViewFixture f;
    ScatterPlotWindow w(f.context, f.axes);
    toExampleSize(w);
    w.renderer().plot(f.packet(store(f.buffer, ipv4Frame({}))));
    EXPECT_EQ(w.renderer().picGraph().pixel(100, 291), kTcp);
    const QRect label = boxOf(w.renderer().picGraph(), kWhite, QRect(0, 0, 400, 300));
    EXPECT_GE(label.left(), 100);
    EXPECT_GE(label.top(), 291);
}

TEST(ScatterPlotWindow, NonIPv4Rules) {
    FieldViewFixture f;
    ScatterPlotWindow w(f.context, f.axes);
    toExampleSize(w);
    const int arp = store(f.buffer, arpFrame());
    const std::uint32_t color = f.colorOf(arp);
    // Ethertype known, IP Version not: on the left edge.
    w.renderer().plot(f.packet(arp));
    EXPECT_EQ(w.renderer().picGraph().pixel(0, 291), color);
    EXPECT_EQ(countOf(w.renderer().picGraph(), color), 1);

    // TTL unknown, packet length known: on the top edge.
    w.renderer().clear();
    w.comboAxis(1)->setCurrentIndex(9);
    w.comboAxis(2)->setCurrentIndex(0);
    w.renderer().plot(f.packet(arp));
    EXPECT_EQ(w.renderer().picGraph().pixel(16, 0), color);

    // Ports on both axes: nothing in the window.
    w.renderer().clear();
    w.comboAxis(1)->setCurrentIndex(15);
    w.comboAxis(2)->setCurrentIndex(17);
    w.renderer().plot(f.packet(arp));
    EXPECT_EQ(countOf(w.renderer().picGraph(), color) + countOf(w.renderer().picGraph(), kWhite),
              0);
}

TEST(ScatterPlotWindow, ResizeAndClearErase) {
    FieldViewFixture f;
    ScatterPlotWindow w(f.context, f.axes);
    const int n = store(f.buffer, ipv4Frame({}));
    w.renderer().plot(f.packet(n));
    w.renderer().plotThumbnail(f.packet(n));
    toExampleSize(w);
    EXPECT_EQ(countOf(w.renderer().picGraph(), kTcp), 0);
    EXPECT_EQ(countOf(f.thumbnails.vis(5), rgb(0, 255, 0)), 1);
    w.renderer().clear();
    EXPECT_EQ(countOf(f.thumbnails.vis(5), rgb(0, 255, 0)), 0);
}
