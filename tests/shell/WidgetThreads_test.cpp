#include <gtest/gtest.h>

#include "pipeline/DrawingThread.h"
#include "shell/Application.h"
#include "shell/ControlSetter.h"
#include "support/AppRig.h"
#include "support/WidgetCallWatch.h"

using namespace pelsid;
using namespace pelsid::test;

// Widgets belong to the GUI thread. While a range plays, the views that draw
// on the drawing thread do so from copies of their settings: no widget is
// read or written there, whatever the settings are.
TEST(WidgetThreads, NoWidgetIsTouchedOnTheDrawingThread) {
    if (!DrawingThread::worthwhile()) GTEST_SKIP() << "one core: nothing draws on a second thread";
    AppRig rig;
    Application& app = rig.app;
    rig.showAllViews();
    for (const auto& [window, control, value] : {std::tuple{"frmVis4", "tglASCII", "1"},
                                                 {"frmVis4", "radScroll(1)", "1"},
                                                 {"frmVis3", "spnNumAxes", "5"},
                                                 {"frmVis5", "comboAxis(2)", "3"}}) {
        const QString error = setControl(app.registry().window(QLatin1String(window)),
                                         QLatin1String(control), QLatin1String(value));
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
    }
    test::resetWidgetCalls();
    ASSERT_TRUE(app.loadDataset(QStringLiteral(PELSID_SOURCE_DIR "/data/sample.pelsid")));
    app.pipeline().playToEnd();
    ASSERT_GT(app.pipeline().splitRuns(), 0) << "the drawing thread drew nothing";
    EXPECT_EQ(test::widgetCallsOffMainThread(), 0) << test::widgetCallReport();
}
