// What every view's renderer and window share, case by case.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QPointer>
#include <QSpinBox>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "fieldviews/CombinedWindow.h"
#include "fieldviews/ParallelPlotWindow.h"
#include "fieldviews/ScatterPlotWindow.h"
#include "support/FieldViewFixture.h"
#include "views/BinaryRainfallRenderer.h"
#include "views/ByteFrequencyRenderer.h"
#include "views/TextRainfallRenderer.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

struct ShotCase {
    const char* view;
    std::function<std::unique_ptr<ViewRenderer>(FieldViewFixture&)> make;
    std::vector<const char*> suffixes;
};
class ScreenShots : public ::testing::TestWithParam<ShotCase> {};

// A screenshot writes each picture of the view, as drawn, under the stamp;
// a folder that is not there fails it.
TEST_P(ScreenShots, WriteEveryPictureAsDrawn) {
    FieldViewFixture f;
    std::unique_ptr<ViewRenderer> view = GetParam().make(f);
    for (int i = 0; i < 3; ++i) view->plot(f.packet(store(f.buffer, ipv4Frame({}))));
    QTemporaryDir dir;
    QString error;
    ASSERT_TRUE(view->screenShot(dir.path(), QStringLiteral("20240102_030405"), &error))
        << error.toStdString();
    const auto files = view->screenshotFiles();
    ASSERT_EQ(files.size(), GetParam().suffixes.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_STREQ(files[i].suffix, GetParam().suffixes[i]);
        const QImage saved(
            QDir(dir.path())
                .filePath(QStringLiteral("20240102_030405") + QLatin1String(files[i].suffix)));
        EXPECT_TRUE(saved.convertToFormat(QImage::Format_RGB32) == files[i].surface->image())
            << files[i].suffix;
    }
    EXPECT_FALSE(view->screenShot(dir.filePath("missing"), QStringLiteral("x"), &error));
}

INSTANTIATE_TEST_SUITE_P(
    Views, ScreenShots,
    ::testing::Values(
        ShotCase{"TextRainfall",
                 [](FieldViewFixture& f) {
                     return std::make_unique<TextRainfallRenderer>(f.thumbnails);
                 },
                 {"_textrainfall.bmp"}},
        ShotCase{"ByteFrequency",
                 [](FieldViewFixture& f) {
                     return std::make_unique<ByteFrequencyRenderer>(f.thumbnails);
                 },
                 {"_bytefrequency.bmp"}},
        ShotCase{"ParallelPlot",
                 [](FieldViewFixture& f) {
                     return std::make_unique<ParallelPlotRenderer>(f.thumbnails, f.axes);
                 },
                 {"_parallelcoord.bmp"}},
        ShotCase{"BinaryRainfall",
                 [](FieldViewFixture& f) {
                     return std::make_unique<BinaryRainfallRenderer>(f.thumbnails);
                 },
                 {"_binaryrainfall.bmp"}},
        ShotCase{"ScatterPlot",
                 [](FieldViewFixture& f) {
                     return std::make_unique<ScatterPlotRenderer>(f.thumbnails, f.axes);
                 },
                 {"_scatterplot.bmp"}},
        ShotCase{"Combined",
                 [](FieldViewFixture& f) {
                     return std::make_unique<CombinedRenderer>(f.thumbnails, f.axes);
                 },
                 {"_combined_left.bmp", "_combined_center.bmp", "_combined_right.bmp"}}),
    [](const auto& info) { return std::string(info.param.view); });

struct Choice {
    int k, index, stored;  // chooser comboAxis(k) set to index; what the store keeps of it
};
struct StoreCase {
    const char* view;
    std::function<QWidget*(FieldViewFixture&)> open;
    std::function<int(const AxisStore&, int k)> stored;
    std::vector<Choice> choices;
    bool storedAtOnce;  // a choice is stored when made, not only when the window goes
};
class AxisChoices : public ::testing::TestWithParam<StoreCase> {};

QComboBox* chooser(QWidget* window, int k) {
    return window->findChild<QComboBox*>(QStringLiteral("comboAxis(%1)").arg(k));
}

// The header-field views keep their axes from one window to the next; the
// parallel plot only those of the axes in use (3 here), and its axis count
// starts afresh.
TEST_P(AxisChoices, SurviveClosingAndReopening) {
    const StoreCase& c = GetParam();
    FieldViewFixture f;
    QPointer<QWidget> w = c.open(f);
    if (auto* count = w->findChild<QSpinBox*>(QStringLiteral("spnNumAxes"))) count->setValue(3);
    for (const Choice& choice : c.choices) {
        chooser(w, choice.k)->setCurrentIndex(choice.index);
        if (c.storedAtOnce) {
            EXPECT_EQ(c.stored(f.axes, choice.k), choice.stored);
        }
    }
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(w.isNull());
    for (const Choice& choice : c.choices) EXPECT_EQ(c.stored(f.axes, choice.k), choice.stored);
    const std::unique_ptr<QWidget> again(c.open(f));
    for (const Choice& choice : c.choices)
        EXPECT_EQ(chooser(again.get(), choice.k)->currentIndex(), choice.stored) << choice.k;
    if (auto* count = again->findChild<QSpinBox*>(QStringLiteral("spnNumAxes"))) {
        EXPECT_EQ(count->value(), 2);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Views, AxisChoices,
    ::testing::Values(
        StoreCase{"ParallelPlot",
                  [](FieldViewFixture& f) { return new ParallelPlotWindow(f.context, f.axes); },
                  [](const AxisStore& a, int k) { return a.parallel(k); },
                  {{1, 9, 9}, {3, 15, 15}, {4, 0, 3}},
                  false},
        StoreCase{"ScatterPlot",
                  [](FieldViewFixture& f) { return new ScatterPlotWindow(f.context, f.axes); },
                  [](const AxisStore& a, int k) { return a.scatter(k); },
                  {{1, 13, 13}, {2, 16, 16}},
                  false},
        StoreCase{"Combined",
                  [](FieldViewFixture& f) { return new CombinedWindow(f.context, f.axes); },
                  [](const AxisStore& a, int k) { return a.combined(k); },
                  {{1, 0, 0}, {2, 1, 1}},
                  true}),
    [](const auto& info) { return std::string(info.param.view); });

}  // namespace
