#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "raster/GlyphFont.h"
#include "store/PacketFields.h"
#include "views/TextRainfallRenderer.h"
#include "views/Thumbnails.h"

using namespace pelsid;

namespace {
// The rainfall's settings as the user sets them.
struct Choice {
    int mode = 0;  // 0 ASCII, 1 hex, 2 decimal
    bool strings = false;
    int least = 1;
    bool strip = false;
};

// The line of a packet, written from the rules afresh: which bytes a line
// shows, the three renderings and the strings filter.
std::string modelLine(const Choice& c, const std::uint8_t* b, int len, int number, int perLine) {
    const int first = c.strip ? 14 : 0;
    const int last = std::min(len - 1, c.strip ? perLine + 13 : perLine - 1);
    std::string out;
    char cell[8];
    if (c.mode != 0) {
        for (int i = first; i <= last; ++i) {
            std::snprintf(cell, sizeof cell, c.mode == 1 ? "%02X  " : "%d ", b[i]);
            out += cell;
        }
        return out;
    }
    if (!c.strings) {
        for (int i = first; i <= last; ++i) out += b[i] >= 32 && b[i] <= 126 ? char(b[i]) : '.';
    } else {
        auto runAt = [&](int p) {
            if (c.least > len - p - 1) return 0;
            int n = 0;
            while (p + n <= len - 2 && b[p + n] >= 32 && b[p + n] <= 125) ++n;
            return n >= c.least ? n : 0;
        };
        int count = 0;
        for (int p = first; count <= last - first + 1 && p < len;) {
            const int run = runAt(p);
            if (run == 0) {
                ++p;
                continue;
            }
            out.append(reinterpret_cast<const char*>(b + p), std::size_t(run));
            count += run;
            p += run;
        }
    }
    if (out.empty()) return out;
    std::string line = "<";
    line.append(std::to_string(number)).append(">  ").append(out);
    return line;
}

// What the rainfall's picture should show: each line written in its
// packet's colour one pitch below the one before, back at the top when the
// next would not fit, and the band of the next line blank.
struct ModelPicture {
    Surface picture;
    int y = 0;
    ModelPicture(const Surface& like) : picture(like.width(), like.height(), like.backColor()) {}
    void write(const std::string& line, std::uint32_t color) {
        picture.text(0, y, line, color, GlyphFont::courier8());
        y = y < picture.height() - 15 ? y + 15 : 0;
        picture.eraseRows(y, y + 15);
    }
    void clear() {
        picture.clear();
        y = 0;
    }
};

// Packets at the edges: empty, around the Ethernet header and the line's
// width, at a slot's length; printable runs of every length between other
// bytes; and bytes past the packet's end that are not zero.
struct Packets {
    std::mt19937 rng{20261209};
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(1601);
    int length(int perLine) {
        const int edges[] = {
            0,       1,           13,           14,           15,           perLine - 1,
            perLine, perLine + 1, perLine + 13, perLine + 14, perLine + 15, 1599,
            1600,    1601};
        return rng() % 3 == 0 ? edges[rng() % std::size(edges)] : int(rng() % 1602);
    }
    const std::uint8_t* fill(int len) {
        for (int i = 0; i < len;) {
            const bool printable = rng() % 2 == 0;
            for (int run = 1 + int(rng() % 12); run > 0 && i < len; --run, ++i)
                bytes[std::size_t(i)] = printable ? std::uint8_t(32 + rng() % 95)  // tilde included
                                                  : std::uint8_t(rng() % 256);
        }
        for (int i = len; i < 1601; ++i) bytes[std::size_t(i)] = std::uint8_t('A' + rng() % 26);
        return bytes.data();
    }
};
}  // namespace

// Random packets under changing settings and sizes, played one by one and
// in runs of up to 300: every line and the whole picture agree with the
// model after each batch.
TEST(TextRainfall, LinesAndPictureFollowTheModelOneByOneAndInRuns) {
    for (const bool inRuns : {false, true}) {
        SCOPED_TRACE(inRuns ? "in runs" : "one by one");
        Thumbnails thumbs;
        TextRainfallRenderer rain(thumbs);
        Surface& shown = rain.picGraph();
        auto lineWidth = [&] {
            return int(std::nearbyint(double(shown.width()) / GlyphFont::courier8().width("S")));
        };
        int perLine = lineWidth();
        ModelPicture model(shown);
        Packets packets;
        Choice choice;
        PacketFields fields;
        int number = 0;
        for (int batch = 0; batch < 60; ++batch) {
            if (batch % 7 == 3) {  // a new size clears the picture and starts at the top
                rain.resizePicture(150 + int(packets.rng() % 600), 80 + int(packets.rng() % 400));
                if (shown.width() != model.picture.width() ||
                    shown.height() != model.picture.height()) {
                    model = ModelPicture(shown);
                    perLine = lineWidth();
                }
            }
            if (batch % 4 == 0) {  // a mode chosen starts the picture afresh
                choice.mode = int(packets.rng() % 3);
                rain.setMode(choice.mode);
                model.clear();
            }
            choice.strings = packets.rng() % 2 == 0;
            choice.least = 1 + int(packets.rng() % 9);
            choice.strip = packets.rng() % 3 == 0;
            TextRainfallRenderer::Settings& settings = rain.editSettings();
            settings.printASCII = choice.strings;
            settings.length = choice.least;
            settings.stripEther = choice.strip;

            std::vector<std::vector<std::uint8_t>> held;
            std::vector<PlayedPacket> run;
            const int size = inRuns ? 1 + int(packets.rng() % 300) : 1 + int(packets.rng() % 20);
            for (int i = 0; i < size; ++i) {
                const int len = packets.length(perLine);
                const std::uint8_t* b = packets.fill(len);
                held.emplace_back(b, b + 1601);
                const PlayedPacket p{++number,
                                     held.back().data(),
                                     len,
                                     &fields,
                                     std::uint32_t(packets.rng() & 0xFFFFFF),
                                     {}};
                const std::string line = modelLine(choice, b, len, number, perLine);
                ASSERT_EQ(rain.lineText(p), line) << "packet " << number << " of " << len;
                if (choice.mode != 0 || !line.empty()) model.write(line, p.color);
                if (inRuns)
                    run.push_back(p);  // its bytes stay put: `held` moves, never copies, them
                else
                    rain.plot(p);
            }
            if (inRuns) {
                rain.beginRun();
                rain.plotRun(run);
            }
            ASSERT_EQ(rain.scrollLocation(), model.y) << "batch " << batch;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    ASSERT_EQ(shown.pixel(x, y), model.picture.pixel(x, y))
                        << "batch " << batch << " at " << x << "," << y;
        }
    }
}
