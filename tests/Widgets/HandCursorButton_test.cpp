#include "Widgets/ButtonCursorSupport.h"
#include "Widgets/HandCursorButton.h"
#include "Widgets/MenuActionButton.h"
#include "Widgets/NoteIcons.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace quorrin;

namespace {

// Records presses that fall through to the view under the buttons.
class PressRecorder : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        ++presses;
        event->accept();
    }
};

void hover(QWidget& widget)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), widget.mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(&widget, &enter);
}

} // namespace

TEST(HandCursorButton, EnabledButtonShowsTheHandAndScales)
{
    HandCursorButton button;
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    hover(button);
    EXPECT_TRUE(button.isHovered());
    EXPECT_DOUBLE_EQ(button.targetScale(), 1.05);
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(button.targetScale(), 0.94);
    QTest::mouseRelease(&button, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(button.targetScale(), 1.05);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_DOUBLE_EQ(button.targetScale(), 1);
}

TEST(HandCursorButton, DisabledButtonShowsArrowDoesNotScaleButTakesThePress)
{
    PressRecorder window;
    window.resize(100, 60);
    auto* button = new HandCursorButton(&window);
    button->setGeometry(10, 10, 26, 28);
    button->setEnabled(false);
    window.show(); // never activated: the press is the window's first

    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    hover(*button);
    EXPECT_DOUBLE_EQ(button->targetScale(), 1);
    QSignalSpy clicked(button, &QAbstractButton::clicked);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_DOUBLE_EQ(button->targetScale(), 1);
    EXPECT_DOUBLE_EQ(button->scale(), 1);
    EXPECT_EQ(window.presses, 0);
    EXPECT_EQ(clicked.count(), 0);

    button->setEnabled(true);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(clicked.count(), 1);
}

// A wide row grows past its edges under the pointer; its left-aligned title
// must not lose its first glyph there.
TEST(MenuActionButton, AHoveredRowKeepsItsLeftAlignedTitleWhole)
{
    MenuActionButton row;
    row.resize(600, 28);
    row.setText(QStringLiteral("重复"));
    row.setTextAlignment(Qt::AlignLeft);
    row.setTextColor(Qt::black);
    row.setHoverBackgroundColor(QColor(Qt::transparent));
    // How much darker than the row's own ground the title is, summed.
    const auto ink = [&] {
        QImage image(row.size(), QImage::Format_RGB32);
        row.render(&image);
        const int ground = qGray(image.pixel(image.width() - 1, 0));
        int sum = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                sum += std::max(0, ground - qGray(image.pixel(x, y)));
        }
        return sum;
    };
    const int resting = ink();
    ASSERT_GT(resting, 0);
    hover(row);
    ASSERT_TRUE(QTest::qWaitFor([&] { return row.scale() == row.targetScale(); }, 2000));
    EXPECT_GT(ink(), resting * 9 / 10); // grown, not cut
}

TEST(ButtonCursorSupport, DisabledButtonInsideAnEnabledOneAnswersNothing)
{
    QWidget window;
    window.resize(200, 100);
    auto* outer = new QPushButton(&window);
    outer->setGeometry(0, 0, 120, 60);
    auto* inner = new HandCursorButton(outer);
    inner->setGeometry(10, 10, 40, 40);
    inner->setEnabled(false);
    auto* label = new QWidget(outer); // not a button: the walk goes up to `outer`
    label->setGeometry(60, 10, 40, 40);

    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(20, 20), window), nullptr);
    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(70, 20), window), outer);
    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(150, 80), window), nullptr);
    inner->setEnabled(true);
    EXPECT_EQ(ButtonCursorSupport::buttonAt(QPoint(20, 20), window), inner);
}

TEST(ButtonCursorSupport, InstallingTwiceInstallsOneFilter)
{
    QWidget window;
    auto* button = new QPushButton(&window);
    window.show();
    {
        ButtonCursorSupport support;
        support.install();
        support.install();
        EXPECT_TRUE(support.isInstalled());
        hover(*button);
        EXPECT_EQ(support.monitoredEvents(), 1);
    }
    hover(*button); // released: nothing left behind to count or crash
}

TEST(ButtonCursorSupport, GivesEnabledButtonsTheHandOneTurnLater)
{
    QWidget window;
    window.resize(100, 60);
    auto* button = new QPushButton(&window);
    button->setGeometry(0, 0, 100, 60);
    window.show();
    ButtonCursorSupport support;
    support.install();
    QCursor::setPos(window.mapToGlobal(QPoint(50, 30)));
    hover(*button);
    EXPECT_NE(button->cursor().shape(), Qt::PointingHandCursor);
    QCoreApplication::processEvents();
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    button->setEnabled(false);
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
}

// Windows shown under the pointer send an event to each widget there; one
// turn's events cost one check, made where the last of them says the pointer
// is, without asking the window system.
TEST(ButtonCursorSupport, ChecksOnceATurnWhereTheLastEventPutThePointer)
{
    QWidget first;
    QWidget second;
    std::vector<QPushButton*> buttons;
    for (QWidget* window : {&first, &second}) {
        window->resize(100, 60);
        buttons.push_back(new QPushButton(window));
        buttons.back()->setGeometry(0, 0, 100, 60);
        window->show();
    }
    ButtonCursorSupport support;
    support.install();
    QCursor::setPos(-500, -500);
    hover(*buttons[0]);
    hover(first);
    hover(*buttons[1]);
    EXPECT_EQ(support.monitoredEvents(), 3);
    QCoreApplication::processEvents();
    EXPECT_NE(buttons[0]->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(buttons[1]->cursor().shape(), Qt::PointingHandCursor);
}

TEST(NoteIcons, EverySymbolDrawsInsideItsBox)
{
    const QRectF box(0, 0, 15, 15);
    for (NoteSymbol symbol : {NoteSymbol::ArrowUpToLine, NoteSymbol::ArrowDownToLine,
                              NoteSymbol::RectangleExpandVertical,
                              NoteSymbol::RectangleCompressVertical, NoteSymbol::Ellipsis, NoteSymbol::NoteText,
                              NoteSymbol::XMark}) {
        const QPainterPath path = NoteIcons::path(symbol, box, 1.5);
        EXPECT_FALSE(path.isEmpty());
        EXPECT_TRUE(box.adjusted(-0.75, -0.75, 0.75, 0.75).contains(path.boundingRect()));
        const QImage image = NoteIcons::icon(symbol).pixmap(QSize(15, 15)).toImage();
        EXPECT_GT(image.pixelColor(7, 7).alpha() + image.pixelColor(7, 1).alpha(), 0);
    }
}
