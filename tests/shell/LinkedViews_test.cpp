#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "fieldviews/HeaderAxes.h"
#include "pipeline/PacketSelection.h"
#include "raster/Surface.h"
#include "shell/Application.h"
#include "shell/ControlSetter.h"
#include "support/AppRig.h"
#include "support/PcapBytes.h"
#include "views/DetailText.h"
#include "views/DetailWindow.h"
#include "views/ViewWindow.h"
#include "widgets/SurfaceWidget.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

using Settings = std::vector<std::pair<QString, QString>>;  // window, control=value

/// Frames of every kind the views tell apart: IPv4 TCP, UDP and ICMP with
/// random addresses, ports and payloads (often the same again, so drawings
/// repeat), ARP, and the odd short or long frame.
QString writeRandomCapture(const QString& folder, int count, std::uint32_t seed) {
    std::mt19937 rng(seed);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    pelsid::test::Bytes file = pelsid::test::pcapHeader(1);
    for (int i = 0; i < count; ++i) {
        const int kind = pick(0, 9);
        if (kind == 0) {
            pelsid::test::pcapFrame(file, pelsid::test::ethernetFrame(std::size_t(pick(14, 80))));
            continue;
        }
        pelsid::test::Bytes f(std::size_t(kind == 1 ? pick(38, 1600) : pick(54, 200)), 0);
        for (auto& b : f) b = std::uint8_t(pick(0, 3) == 0 ? pick(0, 255) : pick(32, 126));
        f[12] = 0x08;
        f[13] = 0x00;
        f[14] = 0x45;
        f[23] = std::uint8_t(std::array{6, 17, 1, 6, 17}[std::size_t(pick(0, 4))]);
        for (int k = 26; k < 38; ++k)
            f[std::size_t(k)] = std::uint8_t(pick(0, 3));  // few hosts, ports
        // First fragments, whose ports are read: a later one has none.
        f[20] &= 0xE0;
        f[21] = 0;
        pelsid::test::pcapFrame(file, f);
    }
    const QString path = folder + QStringLiteral("/random.pcap");
    QFile out(path);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(reinterpret_cast<const char*>(file.data()), qint64(file.size()));
    return path;
}

/// Random settings of every view: scroll, highlights, axis choices; the
/// modes of the rainfalls and the byte frequency view go round with `k`, so
/// a few cases meet each one.
Settings randomSettings(std::mt19937& rng, int k) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto n = [](int v) { return QString::number(v); };
    return {{"frmVis1", "cmbVisMode=" + n(k % 3)},
            {"frmVis1", "tglPrintASCII=" + n(pick(0, 1))},
            {"frmVis1", "spnLength=" + n(pick(1, 6))},
            {"frmVis1", "tglEther=" + n(pick(0, 1))},
            {"frmVis2", "cmbVisMode=" + n(k % 2)},
            {"frmVis2", "radScroll(" + n(pick(0, 1)) + ")=1"},
            {"frmVis3", "spnNumAxes=" + n(pick(2, 6))},
            {"frmVis3", "comboAxis(1)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis3", "comboAxis(2)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis4", "cmbVisMode=" + n(k % 4)},
            {"frmVis4", "radScroll(" + n(pick(0, 1)) + ")=1"},
            {"frmVis4", "tglASCII=" + n(pick(0, 1))},
            {"frmVis4", "tglNOP=" + n(pick(0, 1))},
            {"frmVis5", "comboAxis(1)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis5", "comboAxis(2)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis6", "comboAxis(1)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis6", "comboAxis(2)=" + n(pick(0, kAxisCount - 1))},
            {"frmVis6", "spnBuckets=" + n(pick(1, 4))}};
}

void applySettings(Application& app, const Settings& settings) {
    for (const auto& [window, setting] : settings) {
        const int eq = int(setting.indexOf(QLatin1Char('=')));
        const QString error =
            setControl(app.registry().window(window), setting.left(eq), setting.mid(eq + 1));
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    }
}

/// Every picture of the six picture views with its window.
std::vector<std::pair<ViewWindow*, SurfaceWidget*>> pictures(Application& app) {
    std::vector<std::pair<ViewWindow*, SurfaceWidget*>> all;
    for (int i = 0; i < 6; ++i) {
        ViewWindow* w = app.viewWindow(i);
        for (const char* name : {"picGraph", "picgraphLeftFront", "picgraphRightFront"})
            if (auto* p = w->findChild<SurfaceWidget*>(QLatin1String(name))) all.push_back({w, p});
    }
    return all;
}

/// What each picture says drew each of its pixels.
std::vector<std::vector<std::uint32_t>> pickMaps(Application& app) {
    std::vector<std::vector<std::uint32_t>> maps;
    for (auto [window, picture] : pictures(app)) {
        const Surface& s = picture->surface();
        auto& m = maps.emplace_back();
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) m.push_back(window->packetAt(*picture, {x, y}));
    }
    return maps;
}

std::vector<std::vector<std::uint32_t>> playAndPick(const QString& file, const Settings& settings,
                                                    int sliceMs) {
    AppRig rig;
    rig.showAllViews();
    applySettings(rig.app, settings);
    rig.app.pipeline().setSliceBudget(sliceMs);
    EXPECT_TRUE(rig.app.loadDataset(file));
    if (sliceMs > 0)
        rig.app.pipeline().playToEnd();
    else
        rig.waitForPlay();
    return pickMaps(rig.app);
}

/// A pixel of `picture` that packet `number` is said to have drawn, or (-1, -1).
QPoint pixelOf(ViewWindow& window, SurfaceWidget& picture, std::uint32_t number) {
    const Surface& s = picture.surface();
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (window.packetAt(picture, {x, y}) == number) return {x, y};
    return {-1, -1};
}

void hover(SurfaceWidget& picture, QPoint pos) {
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&picture, &move);
}

}  // namespace

// Runs leave out drawing that later packets cover, repeat nothing that is
// drawn already and draw some views on a second thread: the pick maps must
// be those of playing packet by packet, in every mode.
TEST(LinkedViews, PickMapsOfRunsAreThoseOfPlayingPacketByPacket) {
    QTemporaryDir dir;
    const QString random = writeRandomCapture(dir.path(), 2500, 17);
    const QString sample = QStringLiteral(PELSID_SOURCE_DIR "/data/sample.pelsid");
    std::mt19937 rng(20261208);
    for (int k = 0; k < 8; ++k) {
        SCOPED_TRACE(k);
        const Settings settings = k == 0 ? Settings{} : randomSettings(rng, k);
        const QString& file = k % 2 ? random : sample;
        const auto single = playAndPick(file, settings, 0);
        const auto runs = playAndPick(file, settings, 1000);
        ASSERT_EQ(single.size(), 8u);
        ASSERT_EQ(runs.size(), single.size());
        for (std::size_t i = 0; i < single.size(); ++i) {
            EXPECT_TRUE(runs[i] == single[i]) << "picture " << i;
            EXPECT_NE(std::count(single[i].begin(), single[i].end(), 0u),
                      qsizetype(single[i].size()))
                << "picture " << i << " names no packet";
        }
    }
}

// A plain recorder of the last packet per pixel, played packet by packet:
// every pixel a packet's drawing changes is that packet's (or nobody's where
// it was erased to the background), and no pixel names a packet earlier
// than the last one that changed it.
TEST(LinkedViews, EveryPixelAPacketChangesNamesThatPacket) {
    QTemporaryDir dir;
    const QString random = writeRandomCapture(dir.path(), 120, 5);
    std::mt19937 rng(99);
    for (int k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        AppRig rig;
        Application& app = rig.app;
        rig.showAllViews();
        Settings settings = randomSettings(rng, k);
        // Static scroll: a changed pixel is then one this packet drew or erased.
        settings.push_back({"frmVis2", "radScroll(0)=1"});
        settings.push_back({"frmVis4", "radScroll(0)=1"});
        applySettings(app, settings);
        // Stored without playing, then handed to the views one by one.
        for (int i = 0; i < 6; ++i)
            app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(i + 1));
        ASSERT_TRUE(app.loadDataset(random));
        app.pipeline().playToEnd();
        app.pipeline().clearAllViews();
        for (int i = 0; i < 6; ++i)
            app.registry().toggleWindow(QStringLiteral("frmVis%1").arg(i + 1));

        std::vector<std::pair<ViewWindow*, SurfaceWidget*>> pics;
        for (auto wp : pictures(app))
            if (wp.second->objectName() == QLatin1String("picGraph")) pics.push_back(wp);
        std::vector<std::vector<std::uint32_t>> recorded(pics.size());
        for (std::size_t i = 0; i < pics.size(); ++i)
            recorded[i].assign(
                std::size_t(pics[i].second->surface().width() * pics[i].second->surface().height()),
                0);
        for (int n = 1; n <= app.buffer().newestHeld(); ++n) {
            const std::unique_ptr<HeldPacket> held = app.pipeline().lookUp(n);
            ASSERT_TRUE(held);
            for (std::size_t i = 0; i < pics.size(); ++i) {
                auto [window, picture] = pics[i];
                const Surface& s = picture->surface();
                const QImage before = s.image();
                window->renderer().plot(held->packet);
                const QImage after = s.image();
                for (int y = 0; y < s.height(); ++y)
                    for (int x = 0; x < s.width(); ++x) {
                        std::uint32_t& last = recorded[i][std::size_t(y * s.width() + x)];
                        const std::uint32_t said = s.pickAt(x, y);
                        if (before.pixel(x, y) != after.pixel(x, y)) {
                            last = s.pixel(x, y) == s.backColor() ? 0 : std::uint32_t(n);
                            ASSERT_TRUE(said == last || (last == 0 && said == std::uint32_t(n)))
                                << qPrintable(window->objectName()) << " packet " << n << " at "
                                << x << "," << y << " says " << said;
                        } else if (last != 0) {
                            ASSERT_GE(said, last) << qPrintable(window->objectName());
                        }
                    }
            }
        }
    }
}

TEST(LinkedViews, HoverNamesThePacketAndByteAndAClickSelectsItEverywhere) {
    AppRig rig;
    Application& app = rig.app;
    rig.showAllViews();
    applySettings(app, {{"frmVis4", "cmbVisMode=3"}, {"frmVis1", "cmbVisMode=1"}});
    ASSERT_TRUE(app.loadDataset(QStringLiteral(PELSID_SOURCE_DIR "/data/sample.pelsid")));
    app.pipeline().playToEnd();
    const int last = app.pipeline().lastPlayed();
    auto* detail = static_cast<DetailWindow*>(app.viewWindow(6));
    auto* summary = detail->findChild<QLabel*>(QStringLiteral("lblSummary"));
    auto* hex = detail->findChild<QPlainTextEdit*>(QStringLiteral("txtHex"));
    ASSERT_TRUE(summary && hex);

    for (auto [window, picture] : pictures(app)) {
        SCOPED_TRACE(qPrintable(window->objectName() + QLatin1Char('.') + picture->objectName()));
        // The newest packet that shows in this picture.
        QPoint at(-1, -1);
        std::uint32_t number = 0;
        for (int n = last; n > 0 && at.x() < 0; --n) {
            at = pixelOf(*window, *picture, std::uint32_t(n));
            number = std::uint32_t(n);
        }
        ASSERT_GE(at.x(), 0);
        const std::unique_ptr<HeldPacket> held = app.pipeline().lookUp(int(number));
        const QString packetLine =
            QStringLiteral("packet %1: %2").arg(number).arg(QString::fromStdString(held->summary));
        hover(*picture, at);
        const QStringList tip = picture->toolTip().split(QLatin1Char('\n'));
        EXPECT_TRUE(tip.contains(packetLine)) << qPrintable(picture->toolTip());
        const QString name = window->objectName();
        if (name == QLatin1String("frmVis4")) {  // 1:1: the bit of the byte
            const int offset = at.x() / 8;
            const QString value = QString::number(held->bytes[std::size_t(offset)], 16);
            EXPECT_EQ(tip.first(), QStringLiteral("byte %1, bit %2: 0x%3")
                                       .arg(offset)
                                       .arg(at.x() % 8)
                                       .arg(value.toUpper().rightJustified(2, QLatin1Char('0'))));
        } else if (name == QLatin1String("frmVis2")) {  // the read-out stays
            EXPECT_TRUE(tip.first().startsWith(QString::number(at.x()) + QStringLiteral("  0x")));
        } else if (name == QLatin1String("frmVis1")) {  // hex: the byte of the two digits
            EXPECT_TRUE(tip.first().startsWith(QStringLiteral("byte ")) ||
                        tip.size() == 1);  // or the blank between two bytes
        } else {
            EXPECT_EQ(tip.size(), 1);
        }

        QTest::mouseClick(picture, Qt::LeftButton, {}, at);
        EXPECT_EQ(app.selection().selected(), int(number));
        for (auto [w, p] : pictures(app)) EXPECT_EQ(p->highlight(), number);
        EXPECT_EQ(summary->text(), packetLine);
        detail->refreshText();
        EXPECT_EQ(hex->toPlainText(), detailHex(held->bytes.data(), held->packet.length));

        // Escape clears it, and so does a click where no packet drew.
        QTest::keyClick(window, Qt::Key_Escape);
        EXPECT_EQ(app.selection().selected(), 0);
        for (auto [w, p] : pictures(app)) EXPECT_EQ(p->highlight(), 0u);
        QTest::mouseClick(picture, Qt::LeftButton, {}, at);
        EXPECT_EQ(app.selection().selected(), int(number));
        const QPoint empty = pixelOf(*window, *picture, 0);
        if (empty.x() >= 0) {
            QTest::mouseClick(picture, Qt::LeftButton, {}, empty);
            EXPECT_EQ(app.selection().selected(), 0);
        }
        app.selection().clear();
    }

    // The next packet played takes the detail view back, summary gone.
    app.selection().select(1);
    EXPECT_FALSE(summary->text().isEmpty());
    app.pipeline().playPackets(2, 2);
    EXPECT_TRUE(summary->text().isEmpty());

    // Packet numbers name other packets once the buffer starts afresh: the selection goes.
    app.selection().select(3);
    app.buffer().initBuffer();
    EXPECT_EQ(app.selection().selected(), 0);

    // A double-click on a rainfall still moves on its mode (its first click selects).
    for (const char* name : {"frmVis1", "frmVis4"}) {
        QWidget* w = app.registry().window(QString::fromLatin1(name));
        auto* mode = w->findChild<QComboBox*>(QStringLiteral("cmbVisMode"));
        auto* picture = w->findChild<SurfaceWidget*>(QStringLiteral("picGraph"));
        const int before = mode->currentIndex();
        QTest::mouseDClick(picture, Qt::LeftButton, {}, QPoint(2, 2));
        EXPECT_EQ(mode->currentIndex(), (before + 1) % mode->count()) << name;
    }
}
