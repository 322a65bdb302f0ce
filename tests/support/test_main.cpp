#include <gtest/gtest.h>

#include <QApplication>

// Widget and surface tests need an application object; the offscreen platform
// keeps them off any display.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
