#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "views/Color.h"
#include "views/GlyphFont.h"
#include "views/RowScroll.h"
#include "views/Surface.h"

using namespace pelsid;

namespace {
constexpr std::uint32_t kRed = rgb(255, 0, 0);
}

TEST(Surface, LinesLeaveOutTheirEndPointAndClip) {
    Surface s(10, 5);
    s.line(0, 2, 4, 2, kRed);
    for (int x = 0; x < 10; ++x) EXPECT_EQ(s.pixel(x, 2), x < 4 ? kRed : 0u) << x;
    s.clear();
    s.line(0, 0, 3, 3, kRed);
    EXPECT_EQ(s.pixel(0, 0), kRed);
    EXPECT_EQ(s.pixel(2, 2), kRed);
    EXPECT_EQ(s.pixel(3, 3), 0u);
    s.line(-5, -5, 50, 50, kRed);  // clips without harm
    s.setPixel(-1, 0, kRed);
    s.setPixel(10, 0, kRed);
    EXPECT_EQ(s.pixel(4, 4), kRed);
}

TEST(Surface, BlitClipsAndAllowsNegativeDestination) {
    Surface a(6, 2), b(6, 2);
    for (int x = 0; x < 6; ++x) a.setPixel(x, 0, rgb(x, 0, 0));
    b.blit(a, 2, 0, 3, 2, -1, 0);  // columns 2..4 to -1..1: columns 3, 4 land at 0, 1
    EXPECT_EQ(b.pixel(0, 0), rgb(3, 0, 0));
    EXPECT_EQ(b.pixel(1, 0), rgb(4, 0, 0));
    EXPECT_EQ(b.pixel(2, 0), 0u);
    a.blit(a, 0, 0, 6, 1, 0, 1);  // onto itself, one row down
    EXPECT_EQ(a.pixel(5, 1), rgb(5, 0, 0));
}

TEST(Surface, RingScrollComposesRowsInOrder) {
    Surface s(3, 4, rgb(1, 2, 3));
    for (int y = 0; y < 4; ++y) s.hline(0, 3, y, rgb(y + 10, 0, 0));
    s.scrollDown();
    EXPECT_EQ(s.pixel(0, 0), rgb(1, 2, 3));  // new blank row
    EXPECT_EQ(s.pixel(0, 1), rgb(10, 0, 0));
    EXPECT_EQ(s.pixel(0, 3), rgb(12, 0, 0));  // old bottom row fell away
    const QImage img = s.image();
    EXPECT_EQ(fromQRgb(img.pixel(0, 2)), rgb(11, 0, 0));
    QImage painted(3, 4, QImage::Format_RGB32);
    QPainter p(&painted);
    s.paint(p, 0, 0);
    p.end();
    EXPECT_EQ(painted, img);
}

TEST(Surface, SaveBitmapReportsFailure) {
    Surface s(4, 4, kRed);
    QTemporaryDir dir;
    QString error;
    EXPECT_TRUE(s.saveBitmap(dir.filePath("x.bmp"), &error));
    EXPECT_EQ(fromQRgb(QImage(dir.filePath("x.bmp")).pixel(3, 3)), kRed);
    EXPECT_FALSE(s.saveBitmap(dir.filePath("missing/x.bmp"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Surface, GlyphTextMatchesThePainter) {
    const GlyphFont& f = GlyphFont::courier8();
    const std::string text = "GET /index.html HTTP/1.1 {}~";
    Surface s(300, 20);
    s.text(3, 2, text, rgb(0, 255, 0), f);
    QImage ref(300, 20, QImage::Format_RGB32);
    ref.fill(Qt::black);
    QPainter p(&ref);
    p.setFont(f.font());
    p.setPen(QColor(0, 255, 0));
    p.drawText(3, 2 + f.ascent(), QString::fromLatin1(text.c_str()));
    p.end();
    EXPECT_EQ(s.image(), ref);
    EXPECT_EQ(f.width("S") * 3, f.width("SSS"));
}

TEST(RowScroll, StaticWrapsAndBlanksTheNextRow) {
    Surface s(2, 3);
    int loc = 2;
    s.hline(0, 2, 0, kRed);
    advanceRow(s, loc);
    EXPECT_EQ(loc, 0);  // after the last row straight back to the top
    EXPECT_EQ(s.pixel(0, 0), 0u);
    EXPECT_EQ(scaleLength(1518, 100), 100);
    EXPECT_EQ(scaleLength(759, 100), 50);
    EXPECT_EQ(scaleLength(3036, 100), 200);
    EXPECT_EQ(scaleLength(5, 0), 0);
}
