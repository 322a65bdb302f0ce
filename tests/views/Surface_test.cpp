#include <gtest/gtest.h>

#include <sys/resource.h>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>

#include "raster/Color.h"
#include "raster/GlyphFont.h"
#include "raster/Surface.h"
#include "views/RowScroll.h"

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

namespace {
// The plain ways to draw what the fast paths draw: a line point by point
// with a test per point, text through QPainter.
void referenceLine(QImage& img, int x0, int y0, int x1, int y1, QRgb c) {
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy, x = x0, y = y0;
    while (x != x1 || y != y1) {
        if (x >= 0 && x < img.width() && y >= 0 && y < img.height()) img.setPixel(x, y, c);
        const int e2 = 2 * err;
        if (e2 >= dy) err += dy, x += sx;
        if (e2 <= dx) err += dx, y += sy;
    }
}

struct Lcg {
    std::uint32_t s = 2024;
    int operator()(int n) { return int((s = s * 1664525u + 1013904223u) >> 8) % n; }
};
}  // namespace

TEST(Surface, FastLinesMatchPointByPointLines) {
    // Lines inside, on and beyond every edge, steep and flat, including the
    // plots' lines that end one column past the right edge.
    Lcg rnd;
    Surface s(97, 61);
    QImage ref(97, 61, QImage::Format_RGB32);
    ref.fill(Surface::qrgb(0));
    for (int i = 0; i < 4000; ++i) {
        const int x0 = rnd(140) - 20, y0 = rnd(100) - 20, x1 = rnd(140) - 20, y1 = rnd(100) - 20;
        const std::uint32_t c = rgb(rnd(256), rnd(256), rnd(256));
        if (y0 == y1) continue;  // flat lines go to hline
        s.line(x0, y0, x1, y1, c);
        referenceLine(ref, x0, y0, x1, y1, Surface::qrgb(c));
        if (i % 500 == 0) s.scrollDown(), ref = s.image();  // rows as a ring too
    }
    EXPECT_EQ(s.image(), ref);
}

TEST(Surface, EveryGlyphMatchesThePainterAlsoWhenClipped) {
    // Every printable character, at positions clipped on each side.
    const GlyphFont& font = GlyphFont::courier8();
    std::string all;
    for (int c = 32; c < 127; ++c) all += char(c);
    for (const QPoint at : {QPoint(0, 0), QPoint(-3, -4), QPoint(5, 30), QPoint(-40, 2)}) {
        Surface s(420, 36);
        QImage ref(420, 36, QImage::Format_RGB32);
        ref.fill(Surface::qrgb(0));
        {
            QPainter p(&ref);
            p.setFont(font.font());
            p.setPen(QColor(255, 255, 255));
            for (int line = 0; line < 2; ++line) {
                const std::string part = all.substr(std::size_t(line) * 60, 60);
                p.drawText(at.x(), at.y() + line * 15 + font.ascent(),
                           QString::fromStdString(part));
            }
        }
        for (int line = 0; line < 2; ++line)
            s.text(at.x(), at.y() + line * 15, all.substr(std::size_t(line) * 60, 60),
                   rgb(255, 255, 255), font);
        EXPECT_EQ(s.image(), ref) << at.x() << "," << at.y();
    }
}

TEST(Surface, DeferredWorkDrawsTheSamePicture) {
    // The same random mix of text, erased bands, dots and sideways scrolls,
    // deferred on one surface and done at once on the other; the pictures
    // are compared at random moments, as a widget or a screenshot would look.
    Lcg rnd;
    const GlyphFont& font = GlyphFont::courier8();
    Surface lazy(81, 57), eager(81, 57);
    for (int i = 0; i < 20000; ++i) {
        const int x = rnd(100) - 10, y = rnd(75) - 10;
        const std::uint32_t c = rgb(rnd(256), rnd(256), 7);
        switch (rnd(6)) {
            case 0:
                lazy.deferText(x, y, "<12> GET", c, font);
                eager.text(x, y, "<12> GET", c, font);
                break;
            case 1: {
                const int h = 1 + rnd(20);
                lazy.eraseRows(y, y + h);
                for (int r = y; r < y + h; ++r) eager.eraseRow(r);
                break;
            }
            case 2:
            case 3: {
                const int n = 1 + rnd(rnd(10) == 0 ? 120 : 3);
                lazy.deferScrollRight(n, 0);
                eager.blit(eager, 0, 0, eager.width() - n, eager.height(), n, 0);
                for (int r = 0; r < eager.height(); ++r) eager.hline(0, n, r, 0);
                break;
            }
            default:
                lazy.deferPixel(x, y, c);
                eager.setPixel(x, y, c);
        }
        if (rnd(300) == 0) {
            ASSERT_EQ(lazy.image(), eager.image()) << "after step " << i;
        }
    }
    EXPECT_EQ(lazy.image(), eager.image());
}

TEST(Surface, BitmapIsTheOneQImageWrites) {
    // Odd width (row padding) and rows turned in the ring.
    Surface s(13, 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x) s.setPixel(x, y, rgb(x * 19, y * 31, (x + y) * 7));
    s.scrollDown();
    QTemporaryDir dir;
    const QString ours = dir.filePath("ours.bmp"), qt = dir.filePath("qt.bmp");
    QString error;
    ASSERT_TRUE(s.saveBitmap(ours, &error)) << error.toStdString();
    ASSERT_TRUE(s.image().save(qt, "BMP"));
    QFile a(ours), b(qt);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

TEST(Surface, SaveBitmapNamesTheSystemsReasonAndLeavesNoPartialFile) {
    Surface s(600, 400);
    QString error;
    // A full disk.
    if (QFile::exists("/dev/full")) {
        EXPECT_FALSE(s.saveBitmap("/dev/full", &error));
        EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(ENOSPC))) << error.toStdString();
        EXPECT_TRUE(QFile::exists("/dev/full"));  // a device is never removed
    }

    // A file that may not grow past 100 KB: the write fails half-way.
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bmp");
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = s.saveBitmap(path, &error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(saved);
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}
