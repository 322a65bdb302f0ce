#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "widgets/SpinButton.h"

using namespace pelsid;

// Arrows only, yet stepped by mouse, keyboard and wheel as a spin box is.
TEST(SpinButton, ArrowsOnlySteppedByMouseKeysAndWheel) {
    QWidget window;
    auto* spin = new SpinButton(&window);
    spin->setRange(1, 1000);
    spin->setValue(10);
    spin->setGeometry(0, 0, 33, 33);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(spin->findChild<QLineEdit*>()->isVisible());  // no room for the number

    QSignalSpy changed(spin, &QSpinBox::valueChanged);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(4, 4));  // upper half, left side
    EXPECT_EQ(spin->value(), 11);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(28, 28));
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(4, 20));
    EXPECT_EQ(spin->value(), 9);
    QTest::mouseClick(spin, Qt::RightButton, {}, QPoint(4, 4));
    EXPECT_EQ(spin->value(), 9);
    EXPECT_EQ(changed.count(), 3);

    spin->setFocus();
    QTest::keyClick(spin, Qt::Key_Up);
    EXPECT_EQ(spin->value(), 10);
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    EXPECT_EQ(spin->value(), 8);
    QTest::keyClick(spin, Qt::Key_PageUp);
    EXPECT_EQ(spin->value(), 18);

    const QPointF at(16, 16);
    QWheelEvent up(at, spin->mapToGlobal(at), {}, QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(spin, &up);
    EXPECT_EQ(spin->value(), 19);

    // The range holds at both ends.
    spin->setValue(1000);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(16, 4));
    EXPECT_EQ(spin->value(), 1000);
    spin->setValue(1);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(16, 30));
    EXPECT_EQ(spin->value(), 1);
}
