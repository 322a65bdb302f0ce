#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <map>
#include <vector>

#include "control/CaptureWindow.h"
#include "shell/Application.h"
#include "store/CaptureFile.h"
#include "support/AppRig.h"
#include "support/Pictures.h"
#include "support/ScriptedCaptureSource.h"
#include "support/WaitFor.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

struct CaptureRig : AppRig {
    test::ScriptedCaptureSource* source = nullptr;
    CaptureWindow* window = nullptr;

    CaptureRig() {
        showAllViews();
        app.setCaptureSourceFactory([this] {
            auto s = std::make_unique<test::ScriptedCaptureSource>();
            s->adapters = {{"eth0", "eth0 (10.0.0.7)", true}};
            source = s.get();
            return s;
        });
        app.registry().toggleWindow(QStringLiteral("frmCapture"));
        window = static_cast<CaptureWindow*>(app.registry().existing(QStringLiteral("frmCapture")));
        window->startCapture();
    }
    QString pvrText(const char* label) {
        return app.registry()
            .window(QStringLiteral("frmFilters"))
            ->findChild<QLabel*>(label)
            ->text();
    }
};

// The sample's frames, as a capture would hand them over.
std::vector<std::vector<std::uint8_t>> sampleFrames() {
    const CaptureFile f = readCaptureFile(PELSID_SOURCE_DIR "/data/sample.pelsid");
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < f.recordCount(); ++i)
        frames.emplace_back(f.record(i).begin(), f.record(i).end());
    return frames;
}

// Captures the sample in batches of the given sizes (the last repeated until
// every frame is in), each batch crossing to the window in one delivery.
std::map<QString, QByteArray> captureSample(const std::vector<int>& batches) {
    CaptureRig rig;
    const auto frames = sampleFrames();
    std::size_t next = 0;
    for (std::size_t b = 0; next < frames.size(); ++b) {
        const int size = batches[std::min(b, batches.size() - 1)];
        for (int k = 0; k < size && next < frames.size(); ++k) rig.source->frame(frames[next++]);
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_EQ(rig.app.buffer().newestHeld(), int(frames.size()));
    EXPECT_EQ(rig.app.pipeline().lastPlayed(), int(frames.size()));
    EXPECT_FALSE(rig.app.pipeline().busy());  // played at once, not queued behind the event loop
    return picturesOf(rig.app, rig.dir.path());
}

}  // namespace

// Frames that arrive together are stored together and drawn as one run: the
// pictures must be those of storing and playing each frame as it comes.
TEST(CaptureInRuns, BatchesDrawWhatFrameByFrameDraws) {
    const auto single = captureSample({1});
    ASSERT_EQ(single.size(), 14u);
    expectSamePictures(single, captureSample({1, 7, 1024, 1025, 2, 3000}));
}

TEST(CaptureInRuns, TheCountersShowTheLastCountOnceTheFloodPauses) {
    CaptureRig rig;
    std::vector<std::uint8_t> frame(60, 0x11);
    // Batches faster than a screen shows them: the counters may lag, never stay behind.
    for (int b = 1; b <= 20; ++b) {
        for (int k = 0; k < 50; ++k) rig.source->frame(frame);
        QCoreApplication::sendPostedEvents();
    }
    EXPECT_TRUE(waitFor([&] { return rig.pvrText("lblPacketCounter") == "1000"; }, 5000));
    EXPECT_EQ(rig.pvrText("lblPacketMax"), "1000");
    EXPECT_EQ(rig.window->session().stored(), 1000u);
}
