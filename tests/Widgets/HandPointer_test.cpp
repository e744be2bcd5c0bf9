#include "Widgets/ButtonCursorSupport.h"
#include "Widgets/HandPointer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QEnterEvent>
#include <QPushButton>

using namespace quorrin;

namespace {

void enter(QWidget& widget)
{
    QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&widget, &event);
}

void leave(QWidget& widget)
{
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

TEST(HandPointer, ShowsTheHandOverAnEnabledControlAndTheArrowAfter)
{
    QComboBox picker;
    HandPointer::apply(&picker);
    enter(picker);
    EXPECT_EQ(picker.cursor().shape(), Qt::PointingHandCursor);
    leave(picker);
    EXPECT_EQ(picker.cursor().shape(), Qt::ArrowCursor);
}

TEST(HandPointer, ADisabledControlNeverChangesTheCursor)
{
    QComboBox picker;
    picker.setCursor(Qt::IBeamCursor);
    HandPointer::apply(&picker);
    picker.setEnabled(false);
    enter(picker);
    EXPECT_EQ(picker.cursor().shape(), Qt::IBeamCursor);
    leave(picker);
    EXPECT_EQ(picker.cursor().shape(), Qt::IBeamCursor);
}

TEST(HandPointer, AnArrowOnlyButtonIsNotGivenTheHandByTheApplication)
{
    QWidget window;
    window.resize(200, 100);
    auto* plain = new QPushButton("a", &window);
    plain->setGeometry(0, 0, 100, 100);
    auto* arrow = new QPushButton("b", &window);
    arrow->setGeometry(100, 0, 100, 100);
    HandPointer::keepArrow(arrow);
    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(50, 50), window), plain);
    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(150, 50), window), nullptr);
    EXPECT_EQ(arrow->cursor().shape(), Qt::ArrowCursor);
}
