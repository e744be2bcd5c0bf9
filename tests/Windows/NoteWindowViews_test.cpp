#include "Platform/SystemAppearance.h"
#include "Platform/TextStyleConversion.h"
#include "Windows/NoteBackground.h"
#include "Windows/StickyPanel.h"
#include "Windows/TitleTextField.h"
#include "Support/Eventually.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

using namespace quorrin;

namespace {

struct Strip {
    NoteBackground background;
    int drags = 0;

    Strip()
    {
        background.resize(300, 200);
        background.onWindowDrag = [this](QMouseEvent*) { ++drags; };
        background.show();
    }
};

} // namespace

TEST(NoteBackground, PressExactly23BelowTheTopIsInTheDragStrip)
{
    Strip s;
    QTest::mouseClick(&s.background, Qt::LeftButton, {}, QPoint(150, 23));
    EXPECT_EQ(s.drags, 1);
    QTest::mouseClick(&s.background, Qt::LeftButton, {}, QPoint(150, 24));
    EXPECT_EQ(s.drags, 1);
}

TEST(NoteBackground, PrimaryPillAnimatesUnlessMotionIsReduced)
{
    NoteBackground background;
    background.resize(300, 200);
    background.show();
    background.setPrimary(true);
    EXPECT_TRUE(background.isPrimaryAccentAnimating());
    EXPECT_TRUE(quorrin::testing::eventually([&] { return background.primaryAccentOpacity() == 1.0; }));
    EXPECT_DOUBLE_EQ(background.primaryAccentScaleX(), 1);

    background.prefersReducedMotion = [] { return true; };
    background.setPrimary(false);
    EXPECT_FALSE(background.isPrimaryAccentAnimating());
    EXPECT_DOUBLE_EQ(background.primaryAccentOpacity(), 0);
    EXPECT_DOUBLE_EQ(background.primaryAccentScaleX(), 1);
}

TEST(NoteBackground, WindowNotShownYetTakesItsRoleWithoutAnimation)
{
    // Made with its role, the window is painted once with the pill in place.
    NoteBackground background;
    background.resize(300, 200);
    background.setPrimary(true);
    EXPECT_FALSE(background.isPrimaryAccentAnimating());
    EXPECT_DOUBLE_EQ(background.primaryAccentOpacity(), 1);
    EXPECT_DOUBLE_EQ(background.primaryAccentScaleX(), 1);
}

TEST(StickyPanel, ShowingMarksEveryWidgetBeforeTheFirstExpose)
{
    // The updates Qt queues while showing are delivered at once: none is
    // left to repaint the window after its first expose painted it.
    struct UpdateLaterCounter final : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override
        {
            count += event->type() == QEvent::UpdateLater;
            return false;
        }
    };
    StickyPanel panel;
    panel.resize(200, 120);
    auto* child = new QWidget(&panel);
    child->setGeometry(10, 10, 50, 50);
    UpdateLaterCounter panelUpdates;
    UpdateLaterCounter childUpdates;
    panel.installEventFilter(&panelUpdates);
    child->installEventFilter(&childUpdates);
    panel.show();
    EXPECT_GE(panelUpdates.count, 1);
    EXPECT_GE(childUpdates.count, 1);
    const int panelBefore = panelUpdates.count;
    const int childBefore = childUpdates.count;
    QCoreApplication::processEvents();
    EXPECT_EQ(panelUpdates.count, panelBefore);
    EXPECT_EQ(childUpdates.count, childBefore);
}

TEST(NoteBackground, AccentChangeReappliesThePillWithoutAnimation)
{
    NoteBackground background;
    background.setPrimary(true);
    background.setAccentColor(noteColor::theme(NoteColor::Blue).accent);
    EXPECT_FALSE(background.isPrimaryAccentAnimating());
    EXPECT_DOUBLE_EQ(background.primaryAccentOpacity(), 1);
}

TEST(StickyPanel, MouseDownHookRunsFirstAndMayConsume)
{
    StickyPanel panel;
    panel.resize(200, 120);
    auto* child = new TitleTextField(&panel);
    child->setGeometry(0, 0, 200, 120);
    panel.show();
    bool consume = true;
    int offered = 0;
    panel.onWindowDragMouseDown = [&](QMouseEvent*) {
        ++offered;
        return consume;
    };
    int edits = 0;
    child->onEdit = [&] { ++edits; };

    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50));
    QCoreApplication::processEvents();
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(edits, 0);

    consume = false;
    QTest::mouseClick(panel.windowHandle(), Qt::LeftButton, {}, QPoint(50, 50), 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(edits, 1);
}

TEST(StickyPanel, EscapeDoesNotClose)
{
    StickyPanel panel;
    panel.show();
    QTest::keyClick(&panel, Qt::Key_Escape);
    EXPECT_TRUE(panel.isVisible());
    EXPECT_TRUE(panel.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(panel.windowFlags() & Qt::WindowType_Mask, Qt::Tool);
}

TEST(StickyPanel, AsksForTheNoteBehavioursEachTimeBeforeItIsMapped)
{
    StickyPanel panel;
    QList<WindowBehaviour> requests;
    QList<bool> mapped;
    panel.requestBehaviour = [&](QWindow& window, const WindowBehaviour& behaviour) {
        requests << behaviour;
        mapped << window.isVisible();
        return true;
    };
    panel.show();
    panel.hide(); // a window manager forgets the states of a withdrawn window
    panel.show();
    EXPECT_EQ(requests, (QList<WindowBehaviour>{X11WindowBehaviour::note, X11WindowBehaviour::note}));
    EXPECT_EQ(mapped, (QList<bool>{false, false}));
}

TEST(StickyPanel, FrameRoundTripsInModelCoordinatesEvenOffScreen)
{
    StickyPanel panel;
    const QRectF offScreen(-150, -90, 300, 200);
    panel.setFrame(offScreen);
    EXPECT_EQ(panel.frame(), offScreen);
}

TEST(NoteBackground, PaintsThePaperForTheAppearanceAtItsOpacity)
{
    NoteBackground background;
    background.resize(200, 120);
    background.setColor(noteColor::color(NoteColor::White));
    const auto centre = [&] {
        QImage image(background.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        background.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image.pixelColor(100, 90);
    };
    EXPECT_EQ(centre().name(), QStringLiteral("#fafaf8"));

    QPalette dark = background.palette();
    dark.setColor(QPalette::Window, QColor(30, 30, 30));
    dark.setColor(QPalette::WindowText, Qt::white);
    background.setPalette(dark);
    EXPECT_EQ(centre().name(), QColor::fromRgbF(62.5f / 255, 62.5f / 255, 62.0f / 255).name());

    background.setOpacity(0.5);
    EXPECT_NEAR(centre().alphaF(), 0.5, 0.01);
    EXPECT_NEAR(centre().redF(), 62.5 / 255, 0.01);
}

TEST(NoteBackground, WithoutCompositorOpaquePaperAndAHairlineEdgeALittleDarker)
{
    NoteBackground background;
    background.resize(200, 120);
    background.setColor(noteColor::color(NoteColor::Cream));
    background.setOpacity(0.4);
    const auto shot = [&] {
        QImage image(background.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        background.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    };
    const QColor translucent = shot().pixelColor(100, 60);
    EXPECT_NEAR(translucent.alphaF(), 0.4, 0.01);
    for (const QPoint edge : {QPoint(0, 60), QPoint(199, 60), QPoint(100, 0), QPoint(100, 119)})
        EXPECT_EQ(shot().pixelColor(edge), translucent) << edge.x() << "," << edge.y();

    // Nothing would blend the paper with the desktop: it is drawn opaque.
    background.setComposited(false);
    const QImage framed = shot();
    const QColor paper = framed.pixelColor(100, 60);
    EXPECT_EQ(paper.alpha(), 255);
    EXPECT_EQ(paper.name(), toQColor(noteColor::color(NoteColor::Cream), SystemAppearance::of(background.palette())).name());
    for (const QPoint edge : {QPoint(0, 60), QPoint(199, 60), QPoint(100, 0), QPoint(100, 119)}) {
        const QColor drawn = framed.pixelColor(edge);
        EXPECT_EQ(drawn.name(), NoteBackground::edgeColor(paper).name()) << edge.x() << "," << edge.y();
        EXPECT_LT(drawn.lightnessF(), paper.lightnessF() - 0.05);
        EXPECT_GT(drawn.lightnessF(), paper.lightnessF() - 0.3); // a little darker, not a black frame
    }
    EXPECT_EQ(framed.pixelColor(1, 60), paper); // one pixel wide
    EXPECT_EQ(framed.pixelColor(100, 60), paper);
}

// The window sets its title after every change of its note: the same value
// again leaves the field alone, and anything else that changed the field's
// text since makes the next value go in whole.
TEST(TitleTextField, SettingTheShownValueAgainLeavesTheFieldAsItIs)
{
    TitleTextField field;
    int changes = 0;
    QObject::connect(field.document(), &QTextDocument::contentsChange, [&](int, int, int) { ++changes; });
    const QFont font(QStringLiteral("Sans"), 13);
    const QColor ink(20, 20, 20);

    field.setPlainValue(QStringLiteral("购物"), font, ink);
    const int afterFirst = changes;
    EXPECT_GT(afterFirst, 0);
    field.setPlainValue(QStringLiteral("购物"), font, ink);
    EXPECT_EQ(changes, afterFirst);

    // Another colour (a change of appearance), font or text goes in.
    for (const auto& [text, size, color] : {std::tuple{QStringLiteral("购物"), 13, QColor(240, 240, 240)},
                                            std::tuple{QStringLiteral("购物"), 15, QColor(240, 240, 240)},
                                            std::tuple{QStringLiteral("清单"), 15, QColor(240, 240, 240)}}) {
        const int before = changes;
        field.setPlainValue(text, QFont(QStringLiteral("Sans"), size), color);
        EXPECT_GT(changes, before);
        EXPECT_EQ(field.toPlainText(), text);
        EXPECT_EQ(field.currentCharFormat().foreground().color(), color);
    }

    // Changed behind the setter's back: the same value is put back.
    field.document()->setPlainText(QStringLiteral("别的"));
    field.setPlainValue(QStringLiteral("清单"), QFont(QStringLiteral("Sans"), 15), QColor(240, 240, 240));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("清单"));

    AttributedString rich(QStringLiteral("旅行"));
    field.setAttributedValue(rich);
    EXPECT_EQ(field.toPlainText(), QStringLiteral("旅行"));
    const int afterRich = changes;
    field.setAttributedValue(rich);
    EXPECT_EQ(changes, afterRich);
    field.document()->setPlainText(QStringLiteral("别的"));
    field.setAttributedValue(rich);
    EXPECT_EQ(field.toPlainText(), QStringLiteral("旅行"));
    // The plain value shown before is no longer shown.
    field.setPlainValue(QStringLiteral("清单"), QFont(QStringLiteral("Sans"), 15), QColor(240, 240, 240));
    EXPECT_EQ(field.toPlainText(), QStringLiteral("清单"));
}
