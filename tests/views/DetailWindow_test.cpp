#include <QAbstractTextDocumentLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "support/ViewFixture.h"
#include "views/DetailWindow.h"

using namespace pelsid;

namespace {

class Detail : public test::ViewFixture {
  protected:
    DetailWindow window{context};
};

TEST_F(Detail, ShowsThePacketAsCharactersAndHex) {
    EXPECT_EQ(window.objectName(), "frmVis7");
    EXPECT_EQ(window.windowTitle(), "detail view");
    const PlayedPacket p = packet({0x41, 0x20, 0x0A});
    window.renderer().plot(p);
    // The boxes follow at the next frame.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.txtHex()->toPlainText().isEmpty(); }));
    EXPECT_EQ(window.txtASCII()->toPlainText(), "A..");
    EXPECT_EQ(window.txtHex()->toPlainText(), "41  20  0A  ");
    EXPECT_TRUE(window.txtASCII()->isReadOnly());
    EXPECT_EQ(window.packetColour(), colourOf(p));
    EXPECT_EQ(
        window.txtHex()->palette().color(QPalette::Text).rgb(),
        QColor(int(colourOf(p) & 255), int(colourOf(p) >> 8 & 255), int(colourOf(p) >> 16 & 255))
            .rgb());
}

TEST_F(Detail, SaysWhenThePacketWasCaptured) {
    auto* time = test::control<QLabel>(window, "lblPacketTime");
    PlayedPacket p = packet({0x41});
    window.renderer().plot(p);
    window.refreshText();
    EXPECT_EQ(time->text(), "capture time unknown");
    p.time = {.seconds = 1765200001, .nanoseconds = 123456000, .decimals = 6, .known = true};
    window.renderer().plot(p);
    window.refreshText();
    EXPECT_EQ(time->text(), "captured 2025-12-08 13:20:01.123456 UTC");
    p.time = {.seconds = 1765200001, .nanoseconds = 5, .decimals = 9, .known = true};
    window.renderer().plot(p);
    window.refreshText();
    EXPECT_EQ(time->text(), "captured 2025-12-08 13:20:01.000000005 UTC");
    p.frame = 1'500'012;  // loaded from a file: where it sits there
    window.renderer().plot(p);
    window.refreshText();
    EXPECT_EQ(time->text(), "captured 2025-12-08 13:20:01.000000005 UTC, frame 1500012");
    // Beside the font size, inside the window.
    EXPECT_GT(time->x(), test::control<QLabel>(window, "lblCurrentFontSize")->geometry().right());
    EXPECT_LE(time->geometry().right(), window.width());
    window.renderer().clear();
    EXPECT_EQ(time->text(), "");
}

TEST_F(Detail, KeepsOnlyTheNewestPacketAndClearEmptiesBoth) {
    window.renderer().plot(packet({0x31}));
    const PlayedPacket udp = ipPacket(17, 40, 0x7E);
    window.renderer().plot(udp);
    window.refreshText();
    EXPECT_EQ(window.txtASCII()->toPlainText().size(), 40);
    EXPECT_TRUE(window.txtASCII()->toPlainText().endsWith("~~~"));
    EXPECT_EQ(window.packetColour(), colourOf(udp));

    window.renderer().plot(packet({0x32}));
    window.renderer().clear();  // a packet not yet shown is dropped too
    window.refreshText();
    QTest::qWait(60);
    EXPECT_TRUE(window.txtASCII()->toPlainText().isEmpty());
    EXPECT_TRUE(window.txtHex()->toPlainText().isEmpty());
}

TEST_F(Detail, TextColourChangesLeaveTheScrollBarsPalettesAlone) {
    // The style caches scroll-bar pictures by palette: a new palette per packet
    // made a playing detail view grow the cache without end.
    QScrollBar* bars[] = {window.txtHex()->verticalScrollBar(),
                          window.txtHex()->horizontalScrollBar(),
                          window.txtASCII()->verticalScrollBar()};
    std::vector<qint64> keys;
    for (QScrollBar* b : bars) keys.push_back(b->palette().cacheKey());
    for (int protocol : {6, 17, 1, 6, 17}) {
        const PlayedPacket p = ipPacket(protocol, 1500, 0x41);
        window.renderer().plot(p);
        window.refreshText();
        const QColor c = window.txtHex()->palette().color(QPalette::Text);
        EXPECT_EQ(c.rgb(), QColor(int(colourOf(p) & 255), int(colourOf(p) >> 8 & 255),
                                  int(colourOf(p) >> 16 & 255))
                               .rgb());
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        EXPECT_EQ(bars[i]->palette().cacheKey(), keys[i]) << i;
}

TEST_F(Detail, FontSizeSpinnerStaysWithin8And24) {
    auto* spin = window.findChild<QSpinBox*>("spnFontSize");
    auto* label = window.findChild<QLabel*>("lblCurrentFontSize");
    ASSERT_TRUE(spin && label);
    EXPECT_EQ(window.findChild<QLabel*>("lblFontSize")->text(), "font size");
    EXPECT_EQ(spin->value(), 8);
    EXPECT_EQ(label->text(), "8");
    spin->setValue(30);
    EXPECT_EQ(spin->value(), 24);
    EXPECT_EQ(label->text(), "24");
    EXPECT_EQ(window.txtASCII()->font().pointSize(), 24);
    EXPECT_EQ(window.txtHex()->font().pointSize(), 24);
    spin->setValue(2);
    EXPECT_EQ(spin->value(), 8);
}

TEST_F(Detail, BoxesShareTheWindowHeight) {
    window.show();
    window.resize(400, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.txtASCII()->geometry(), QRect(0, 0, 400, 117));
    EXPECT_EQ(window.txtHex()->geometry(), QRect(0, 117, 400, 117));
    window.resize(10, 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(133, 200));
}

}  // namespace

TEST_F(Detail, HexWrapsOnlyBetweenBytes) {
    window.show();
    std::vector<std::uint8_t> bytes(300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = std::uint8_t(i * 7);
    window.renderer().plot(packet(bytes));
    window.refreshText();
    QPlainTextEdit* hex = window.txtHex();
    for (int points : {8, 13}) {
        window.findChild<QSpinBox*>("spnFontSize")->setValue(points);
        for (int width = 300; width < 520; width += 7) {
            window.resize(width, window.height());
            const QTextBlock block = hex->document()->firstBlock();
            hex->document()->documentLayout()->blockBoundingRect(block);  // lays the block out
            const QTextLayout* layout = block.layout();
            ASSERT_GT(layout->lineCount(), 1) << width;
            for (int i = 0; i < layout->lineCount(); ++i)
                EXPECT_EQ(layout->lineAt(i).textStart() % 4, 0)
                    << "width " << width << ", " << points << " pt, line " << i;
        }
    }
}
