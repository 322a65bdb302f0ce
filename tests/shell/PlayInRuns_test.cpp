#include <gtest/gtest.h>

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <utility>
#include <vector>

#include "shell/Application.h"
#include "shell/ControlSetter.h"
#include "support/AppRig.h"
#include "support/Pictures.h"

using namespace pelsid;
using namespace pelsid::test;

namespace {

using Settings = std::vector<std::pair<const char*, const char*>>;  // window, control=value

/// Every picture and thumbnail, by file suffix, after the sample has played
/// through all seven views with the given settings. A slice budget of 0
/// plays one packet per slice; otherwise the range plays to its end in runs.
std::map<QString, QByteArray> renderSample(const Settings& settings, int sliceMs) {
    AppRig rig;
    Application& app = rig.app;
    const QTemporaryDir& dir = rig.dir;
    rig.showAllViews();
    for (const auto& [window, setting] : settings) {
        const QString s = QString::fromLatin1(setting);
        const int eq = int(s.indexOf(QLatin1Char('=')));
        const QString error = setControl(app.registry().window(QString::fromLatin1(window)),
                                         s.left(eq), s.mid(eq + 1));
        EXPECT_TRUE(error.isEmpty()) << qPrintable(error);
    }
    app.pipeline().setSliceBudget(sliceMs);
    EXPECT_TRUE(app.loadDataset(QStringLiteral(PELSID_SOURCE_DIR "/data/sample.pelsid")));
    if (sliceMs > 0)
        app.pipeline().playToEnd();
    else
        rig.waitForPlay();
    EXPECT_FALSE(app.pipeline().busy());

    return picturesOf(app, dir.path());
}

}  // namespace

// Views given a run leave out what later packets of it cover (rainfall rows
// and lines, all but the newest packet in the detail view) and two of them
// draw on a second thread: the pictures must not show it, in any mode that
// changes what a view can leave out.
TEST(PlayInRuns, PicturesAreThoseOfPlayingPacketByPacket) {
    const std::vector<Settings> cases = {
        {},
        {{"frmVis1", "cmbVisMode=1"}, {"frmVis4", "radScroll(1)=1"}, {"frmVis2", "radScroll(1)=1"}},
        {{"frmVis1", "tglPrintASCII=1"},
         {"frmVis1", "spnLength=4"},
         {"frmVis1", "tglEther=1"},
         {"frmVis4", "cmbVisMode=3"},
         {"frmVis2", "cmbVisMode=1"}},
        {{"frmVis1", "cmbVisMode=2"}, {"frmVis3", "spnNumAxes=5"}, {"frmVis6", "spnBuckets=3"}},
    };
    for (std::size_t k = 0; k < cases.size(); ++k) {
        SCOPED_TRACE(k);
        const auto single = renderSample(cases[k], 0);
        const auto runs = renderSample(cases[k], 1000);
        ASSERT_EQ(single.size(), 14u);
        expectSamePictures(single, runs);
    }
}
