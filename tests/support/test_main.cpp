#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

namespace {
// A test that ends the program (Exit) leaves Qt refusing every later event
// loop; a short run of the application's own loop clears that, so each test
// starts as a fresh program would.
class FreshEventLoops : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();
    }
};
}  // namespace

// Widget and surface tests need an application object; the offscreen platform
// keeps them off any display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshEventLoops);
    return RUN_ALL_TESTS();
}
