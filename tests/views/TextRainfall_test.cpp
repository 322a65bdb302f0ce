#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <vector>

#include "pipeline/FilterModel.h"
#include "raster/GlyphFont.h"
#include "store/PacketBuffer.h"
#include "views/TextRainfallWindow.h"
#include "views/Thumbnails.h"

using namespace pelsid;

namespace {
struct Rig {
    PacketBuffer buffer;
    FilterModel filters;
    Thumbnails thumbs;
    ViewContext ctx{thumbs};
    PacketFields fields;  // a packet of no known protocol
    TextRainfallWindow win{ctx};
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(1601, 0);

    PlayedPacket packet(std::vector<std::uint8_t> content, int number = 7) {
        std::fill(bytes.begin(), bytes.end(), 0);
        std::copy(content.begin(), content.end(), bytes.begin());
        return {number,
                bytes.data(),
                int(content.size()),
                &fields,
                filters.protocolColor(fields.ipProtocol),
                {}};
    }
    template <class T>
    T* child(const char* name) {
        return win.findChild<T*>(QString::fromLatin1(name));
    }
};
std::vector<std::uint8_t> text(const std::string& s) {
    return {s.begin(), s.end()};
}
}  // namespace

TEST(TextRainfall, PlainAsciiHexAndDecimal) {
    Rig r;
    EXPECT_EQ(r.win.renderer().lineText(r.packet({0x47, 0x45, 0x54, 0x20, 0x0D, 0x0A})),
              "<7>  GET ..");
    EXPECT_EQ(r.win.renderer().lineText(r.packet({'~', 127, 200})), "<7>  ~..");
    r.child<QComboBox>("cmbVisMode")->setCurrentIndex(1);
    EXPECT_EQ(r.win.renderer().lineText(r.packet({0x00, 0xFF, 0x10})), "00  FF  10  ");
    r.child<QComboBox>("cmbVisMode")->setCurrentIndex(2);
    EXPECT_EQ(r.win.renderer().lineText(r.packet({69, 0, 60})), "69 0 60 ");
}

TEST(TextRainfall, StringsFilter) {
    Rig r;
    r.child<QPushButton>("tglPrintASCII")->setChecked(true);
    r.child<QSpinBox>("spnLength")->setValue(4);
    // Only the six-character run qualifies.
    auto p = text("ab");
    p.push_back(0);
    for (char c : std::string("GET /x")) p.push_back(std::uint8_t(c));
    p.push_back(0);
    EXPECT_EQ(r.win.renderer().lineText(r.packet(p)), "<7>  GET /x");
    // Runs follow each other without a separator; the last byte never counts,
    // and the tilde ends a run.
    EXPECT_EQ(r.win.renderer().lineText(r.packet(text("abcd~efgh\x01wxyz"))), "<7>  abcdefgh");
    EXPECT_EQ(r.win.renderer().lineText(r.packet(text("\x01xyzw"))), "");
    const PlayedPacket none = r.packet(text("\x01\x02"));
    r.win.renderer().plot(none);
    EXPECT_EQ(r.win.renderer().scrollLocation(), 0);  // nothing printed, the line stays
}

TEST(TextRainfall, EthernetStripping) {
    Rig r;
    r.child<QPushButton>("tglEther")->setChecked(true);
    auto p = std::vector<std::uint8_t>(14, '.');
    for (char c : std::string("E..<")) p.push_back(std::uint8_t(c));
    EXPECT_EQ(r.win.renderer().lineText(r.packet(p)), "<7>  E..<");
    r.child<QComboBox>("cmbVisMode")->setCurrentIndex(1);
    EXPECT_EQ(r.win.renderer().lineText(r.packet(std::vector<std::uint8_t>(14, 1))), "");
    r.win.renderer().plot(r.packet(std::vector<std::uint8_t>(14, 1)));
    EXPECT_EQ(r.win.renderer().scrollLocation(), 15);  // an empty hex line still advances
}

TEST(TextRainfall, LineAdvanceWrapsAndBlanksTheNextLine) {
    Rig r;
    const int h = r.win.renderer().picGraph().height();
    const auto p = r.packet(text("HELLO"));
    int expected = 0;
    for (int i = 0; i < 40; ++i) {
        r.win.renderer().plot(p);
        expected = expected < h - 15 ? expected + 15 : 0;
        ASSERT_EQ(r.win.renderer().scrollLocation(), expected);
    }
    for (int y = expected; y < expected + 15 && y < h; ++y)
        for (int x = 0; x < r.win.renderer().picGraph().width(); ++x)
            ASSERT_EQ(r.win.renderer().picGraph().pixel(x, y), 0u);
    // Text is drawn in the packet's protocol colour (slot protocol 0: other legal).
    bool found = false;
    for (int y = 0; y < 15 && !found; ++y)
        for (int x = 0; x < 60; ++x) found |= r.win.renderer().picGraph().pixel(x, y) == 8454143u;
    EXPECT_TRUE(found);
}

TEST(TextRainfall, ThumbnailBarsAdvanceAndWrap) {
    Rig r;
    Surface& t = r.thumbs.vis(1);
    r.win.renderer().plotThumbnail(r.packet(std::vector<std::uint8_t>(759, 1)));
    for (int x = 0; x < t.width(); ++x)
        EXPECT_EQ(t.pixel(x, 0), x < 40 ? 65280u : 0u) << x;  // 759/1518*81 = 40.5
    for (int i = 1; i < t.height(); ++i) r.win.renderer().plotThumbnail(r.packet({1}));
    EXPECT_EQ(r.win.renderer().thumbnailScrollLocation(), 0);
    r.win.renderer().plotThumbnail(r.packet(std::vector<std::uint8_t>(1518, 1)));
    EXPECT_EQ(t.pixel(80, 0), 65280u);
    EXPECT_EQ(t.pixel(0, 1), 0u);  // the row after the newest is blank
    r.win.renderer().clear();
    EXPECT_EQ(r.win.renderer().thumbnailScrollLocation(), 0);
    EXPECT_EQ(t.pixel(80, 0), 0u);
}

TEST(TextRainfall, ModeChangesReinitialise) {
    Rig r;
    r.win.renderer().plot(r.packet(text("HELLO")));
    EXPECT_EQ(r.win.renderer().scrollLocation(), 15);
    auto* mode = r.child<QComboBox>("cmbVisMode");
    mode->setCurrentIndex(2);
    EXPECT_EQ(r.win.renderer().scrollLocation(), 0);
    EXPECT_TRUE(r.child<QPushButton>("tglPrintASCII")->isHidden());
    mode->setCurrentIndex(0);
    EXPECT_FALSE(r.child<QPushButton>("tglPrintASCII")->isHidden());
    // The line holds as many bytes as characters fit across the picture.
    const int cpl = int(std::nearbyint(double(r.win.renderer().picGraph().width()) /
                                       GlyphFont::courier8().width("S")));
    const std::string line =
        r.win.renderer().lineText(r.packet(std::vector<std::uint8_t>(1500, 'x')));
    EXPECT_EQ(int(line.size()), 5 + cpl);
}

// The tool tip names the byte whose character is under the pointer, in
// every mode, with the settings the line was written with.
TEST(TextRainfall, TheByteUnderEachCharacterOfALine) {
    Rig r;
    const int cw = GlyphFont::courier8().width("S");
    auto under = [&](int character, int line, const PlayedPacket& p) {
        return r.win.renderer()
            .byteUnder(QPoint(character * cw + cw / 2, line * 15 + 4), p)
            .value_or(-1);
    };
    std::vector<std::uint8_t> bytes(40, 'x');
    bytes[20] = 0;
    const PlayedPacket p = r.packet(bytes);

    // ASCII "<7>  xxx...": the number and its blanks are no byte.
    r.win.renderer().plot(p);
    EXPECT_EQ(under(0, 0, p), -1);
    EXPECT_EQ(under(4, 0, p), -1);
    EXPECT_EQ(under(5, 0, p), 0);
    EXPECT_EQ(under(9, 0, p), 4);
    EXPECT_EQ(under(1000, 0, p), -1);  // beyond the line
    // The Ethernet header left out from the next line on; the first keeps its bytes.
    r.child<QPushButton>("tglEther")->setChecked(true);
    r.win.renderer().plot(p);
    EXPECT_EQ(under(5, 0, p), 0);
    EXPECT_EQ(under(5, 1, p), 14);
    r.child<QPushButton>("tglEther")->setChecked(false);

    // Strings of at least four: "<7>  " then the run of bytes 21..38 (the last byte never counts).
    r.child<QPushButton>("tglPrintASCII")->setChecked(true);
    r.child<QSpinBox>("spnLength")->setValue(4);
    r.win.renderer().plot(p);
    EXPECT_EQ(under(5, 2, p), 0);
    EXPECT_EQ(under(5 + 20, 2, p), 21);

    // Hex "78  78  ...": two digits and a blank a byte, then a blank of its own.
    r.child<QComboBox>("cmbVisMode")->setCurrentIndex(1);
    r.win.renderer().plot(p);
    EXPECT_EQ(under(0, 0, p), 0);
    EXPECT_EQ(under(1, 0, p), 0);
    EXPECT_EQ(under(3, 0, p), -1);
    EXPECT_EQ(under(4, 0, p), 1);
    EXPECT_EQ(under(81, 0, p), 20);

    // Decimal "120 120 ... 0 120": as many digits as the value has.
    r.child<QComboBox>("cmbVisMode")->setCurrentIndex(2);
    r.win.renderer().plot(p);
    EXPECT_EQ(under(2, 0, p), 0);
    EXPECT_EQ(under(3, 0, p), -1);
    EXPECT_EQ(under(4, 0, p), 1);
    EXPECT_EQ(under(20 * 4, 0, p), 20);
    EXPECT_EQ(under(20 * 4 + 1, 0, p), -1);
    EXPECT_EQ(under(20 * 4 + 2, 0, p), 21);
}
