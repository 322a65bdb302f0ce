#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "control/PlaceholderWindow.h"
#include "control/SettingsWindow.h"
#include "raster/Color.h"
#include "store/Dialogs.h"

using namespace pelsid;

namespace {

class ScriptedColors : public Dialogs {
  public:
    bool question(const std::string&, const std::string&) override { return false; }
    void message(Icon, const std::string&, const std::string&) override {}
    std::string openFileName(const std::string&, const std::string&) override { return {}; }
    std::uint32_t chooseColor(std::uint32_t initial) override {
        asked.push_back(initial);
        return answer;
    }
    std::vector<std::uint32_t> asked;
    std::uint32_t answer = 0;
};

}  // namespace

TEST(SettingsWindow, EachButtonFillsOnlyItsOwnSwatch) {
    ScriptedColors dialogs;
    SettingsWindow w(dialogs);
    w.setAttribute(Qt::WA_DeleteOnClose, false);
    EXPECT_EQ(w.objectName(), "frmSettings");
    EXPECT_EQ(w.windowTitle(), "Settings");
    EXPECT_EQ(w.findChild<QLabel*>("lblSettings")->text(), "Global Settings");
    EXPECT_EQ(w.swatch(0), rgb(192, 64, 0));
    EXPECT_EQ(w.swatch(4), rgb(0, 0, 0));

    dialogs.answer = rgb(1, 2, 3);
    w.findChild<QPushButton*>("Command3")->click();
    EXPECT_EQ(dialogs.asked, std::vector<std::uint32_t>{rgb(0, 0, 0)});  // starts from black
    EXPECT_EQ(w.swatch(2), rgb(1, 2, 3));
    EXPECT_EQ(w.swatch(1), rgb(255, 128, 0));
    EXPECT_EQ(w.swatch(3), rgb(0, 255, 0));
    const QColor shown = w.findChild<QFrame*>("Shape1(2)")->palette().color(QPalette::Window);
    EXPECT_EQ(shown, QColor(1, 2, 3));

    w.show();
    w.findChild<QPushButton*>("btnDone")->click();
    EXPECT_FALSE(w.isVisible());
}

TEST(PlaceholderWindow, OpensEmptyAndGoesAwayOnClose) {
    using K = PlaceholderWindow::Kind;
    const std::pair<K, const char*> kinds[] = {{K::LoadPreferences, "Load Preferences"},
                                               {K::SavePreferences, "Save Preferences"},
                                               {K::SaveDataset, "Save Dataset"},
                                               {K::SaveScreenshots, "Save Screen Shots"}};
    for (auto [kind, caption] : kinds) {
        QPointer<PlaceholderWindow> w = new PlaceholderWindow(kind);
        EXPECT_EQ(w->windowTitle(), caption);
        EXPECT_EQ(w->objectName(), PlaceholderWindow::nameOf(kind));
        EXPECT_EQ(w->size(), QSize(312, 213));
        EXPECT_TRUE(w->children().isEmpty());
        w->show();
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(w.isNull());
    }
    EXPECT_EQ(PlaceholderWindow::nameOf(K::SaveDataset), "frmSaveDataset");
}
