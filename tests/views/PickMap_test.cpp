#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "raster/GlyphFont.h"
#include "raster/Surface.h"

using namespace pelsid;

namespace {

// The plain model of a pick map: the last owner per pixel, with rows in
// order, no deferral and no ring. Drawing ops learn which pixels they cover
// from a probe picture drawn at once.
struct Reference {
    int w, h;
    std::vector<std::uint32_t> pick;
    Reference(int width, int height) : w(width), h(height), pick(std::size_t(w * h), 0) {}
    std::uint32_t& at(int x, int y) { return pick[std::size_t(y * w + x)]; }
    void cover(const Surface& probe, std::uint32_t owner) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (probe.pixel(x, y) != 0) at(x, y) = owner;
    }
    void box(int x0, int x1, int y0, int y1, std::uint32_t owner) {
        for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(w, x1); ++x) at(x, y) = owner;
    }
    void rows(int y0, int y1) { box(0, w, y0, y1, 0); }
    void scrollDown() {
        for (int y = h - 1; y > 0; --y)
            for (int x = 0; x < w; ++x) at(x, y) = at(x, y - 1);
        rows(0, 1);
    }
    void scrollRight(int n) {
        for (int y = 0; y < h; ++y)
            for (int x = w - 1; x >= 0; --x) at(x, y) = x >= n ? at(x - n, y) : 0;
    }
    void blitFrom(const std::vector<std::uint32_t>& src, int sw, int sh, int sx, int sy, int bw,
                  int bh, int dx, int dy) {
        for (int j = 0; j < bh; ++j)
            for (int i = 0; i < bw; ++i) {
                const int fx = sx + i, fy = sy + j, tx = dx + i, ty = dy + j;
                if (fx >= 0 && fx < sw && fy >= 0 && fy < sh && tx >= 0 && tx < w && ty >= 0 &&
                    ty < h)
                    at(tx, ty) = src[std::size_t(fy * sw + fx)];
            }
    }
};

int textRight(int x, int w, const std::string& text, const GlyphFont& font) {
    for (unsigned char c : text) {
        if (x >= w) break;
        x += font.glyph(c).advance;
    }
    return x;
}

void expectSame(Surface& picked, const Surface& plain, Reference& ref, int step) {
    ASSERT_EQ(picked.image(), plain.image()) << "step " << step;
    for (int y = 0; y < ref.h; ++y)
        for (int x = 0; x < ref.w; ++x)
            ASSERT_EQ(picked.pickAt(x, y), ref.at(x, y))
                << "step " << step << " at " << x << "," << y;
}

}  // namespace

TEST(PickMap, FollowsEveryDrawingScrollAndDeferralExactly) {
    const GlyphFont& font = GlyphFont::courier8();
    std::mt19937 rng(20261208);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    for (int round = 0; round < 60; ++round) {
        const int w = pick(1, 48), h = pick(1, 40);
        Surface picked(w, h, 0x102030), plain(w, h, 0x102030), other(pick(1, 30), pick(1, 30));
        picked.enablePicks();
        other.enablePicks();
        Reference ref(w, h);
        // The other picture holds owner 999 wherever it has been drawn.
        other.setOwner(999);
        other.line(0, 0, other.width(), other.height(), 0xFFFFFF);
        std::vector<std::uint32_t> otherPicks;
        for (int y = 0; y < other.height(); ++y)
            for (int x = 0; x < other.width(); ++x) otherPicks.push_back(other.pickAt(x, y));

        for (int step = 0; step < 120; ++step) {
            const std::uint32_t owner = std::uint32_t(pick(1, 1000000));
            const std::uint32_t color = std::uint32_t(pick(1, 0xFFFFFF));
            picked.setOwner(owner);
            Surface probe(w, h, 0);
            const int x0 = pick(-8, w + 8), y0 = pick(-8, h + 8);
            const int x1 = pick(-8, w + 8), y1 = pick(-8, h + 8);
            const std::string text(std::size_t(pick(0, 5)), char(pick(32, 126)));
            auto both = [&](auto op) {
                op(picked);
                op(plain);
            };
            switch (pick(0, 12)) {
                case 0:
                    both([&](Surface& s) { s.setPixel(x0, y0, color); });
                    if (x0 >= 0 && x0 < w && y0 >= 0 && y0 < h) ref.at(x0, y0) = owner;
                    break;
                case 1:
                    both([&](Surface& s) { s.line(x0, y0, x1, y1, color); });
                    probe.line(x0, y0, x1, y1, 0xFFFFFF);
                    ref.cover(probe, owner);
                    break;
                case 2:
                    both([&](Surface& s) { s.hline(x0, x1, y0, color); });
                    probe.hline(x0, x1, y0, 0xFFFFFF);
                    ref.cover(probe, owner);
                    break;
                case 3:
                    both([&](Surface& s) { s.text(x0, y0, text, color, font); });
                    ref.box(x0, textRight(x0, w, text, font), y0, y0 + font.height(), owner);
                    break;
                case 4:
                    both([&](Surface& s) { s.deferText(x0, y0, text, color, font); });
                    ref.box(x0, textRight(x0, w, text, font), y0, y0 + font.height(), owner);
                    break;
                case 5:
                    both([&](Surface& s) { s.deferPixel(x0, y0, color); });
                    if (x0 >= 0 && x0 < w && y0 >= 0 && y0 < h) ref.at(x0, y0) = owner;
                    break;
                case 6: {
                    const int n = pick(0, 5);
                    both([&](Surface& s) { s.deferScrollRight(n, 0x405060); });
                    if (n > 0) ref.scrollRight(std::min(n, w));
                    break;
                }
                case 7:
                    both([&](Surface& s) { s.eraseRows(y0, y1); });
                    ref.rows(y0, y1);
                    break;
                case 8:
                    both([&](Surface& s) { s.eraseRow(y0); });
                    ref.rows(y0, y0 < 0 ? y0 : y0 + 1);
                    break;
                case 9:
                    both([](Surface& s) { s.scrollDown(); });
                    ref.scrollDown();
                    break;
                case 10: {
                    const int bw = pick(0, w), bh = pick(0, h);
                    const std::vector<std::uint32_t> before = ref.pick;
                    both([&](Surface& s) { s.blit(s, x0, y0, bw, bh, x1, y1); });
                    ref.blitFrom(before, w, h, x0, y0, bw, bh, x1, y1);
                    break;
                }
                case 11: {
                    const int bw = pick(0, 30), bh = pick(0, 30);
                    both([&](Surface& s) { s.blit(other, x0, y0, bw, bh, x1, y1); });
                    ref.blitFrom(otherPicks, other.width(), other.height(), x0, y0, bw, bh, x1, y1);
                    break;
                }
                case 12:
                    if (pick(0, 9) == 0) {
                        both([](Surface& s) { s.clear(); });
                        ref.rows(0, h);
                    }
                    break;
            }
            // Look now and then: looking draws the deferred work, which must
            // come out the same whenever it is done.
            if (pick(0, 3) == 0) expectSame(picked, plain, ref, step);
            if (::testing::Test::HasFatalFailure()) return;
        }
        expectSame(picked, plain, ref, -1);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(PickMap, RowsWrittenDirectlyResizeAndSwitchingOff) {
    Surface s(8, 4);
    EXPECT_EQ(s.pickRow(0), nullptr);
    EXPECT_EQ(s.pickAt(1, 1), 0u);
    s.enablePicks();
    s.setOwner(7);
    s.setPixel(1, 1, 0xFF);
    s.scrollDown();  // ring rows: the pick moves with its pixel
    EXPECT_EQ(s.pickAt(1, 2), 7u);
    s.pickRow(3)[5] = 9;
    EXPECT_EQ(s.pickAt(5, 3), 9u);
    EXPECT_EQ(s.pickAt(-1, 0), 0u);
    EXPECT_EQ(s.pickAt(8, 0), 0u);
    s.resize(3, 3);  // cleared, still picking
    EXPECT_TRUE(s.picksEnabled());
    EXPECT_EQ(s.pickAt(1, 2), 0u);
    s.enablePicks(false);
    EXPECT_EQ(s.pickRow(0), nullptr);
}

TEST(PickMap, HighlightMaskShowsOnlyTheSelectedPacketsDrawing) {
    Surface s(10, 6, 0x000000);
    s.enablePicks();
    s.setOwner(3);
    s.line(0, 1, 10, 1, 0x00FF00);
    s.setOwner(4);
    s.setPixel(2, 1, 0x0000FF);  // covers one of packet 3's pixels
    s.scrollDown();
    const QImage mask = s.maskOf(3, 0xFFFF00FF);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_EQ(mask.pixel(x, y), y == 2 && x != 2 ? 0xFFFF00FFu : 0u) << x << "," << y;
    EXPECT_EQ(s.maskOf(0, 0xFFFF00FF).pixel(0, 2), 0u);  // no selection, nothing highlighted
    // Covered in the background colour (a dark bit, a gap in a letter): faintly.
    s.setOwner(5);
    s.hline(0, 2, 4, 0x000000);
    s.setPixel(2, 4, 0x00FF00);
    const QImage faint = s.maskOf(5, 0xFFFF00FF);
    EXPECT_EQ(qAlpha(faint.pixel(0, 4)), 96);
    EXPECT_EQ(faint.pixel(2, 4), 0xFFFF00FFu);
}
