#include "Widgets/IdleBackingStoreRelease.h"

#include "Support/ManualRestartableTimer.h"

#include <gtest/gtest.h>

#include <QBackingStore>
#include <QFrame>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

#include <functional>
#include <memory>

namespace quorrin {
namespace {

using namespace std::chrono_literals;

// A shown window with a label and a coloured frame, watched by a release
// whose quiet period the test ends by hand.
class IdleBackingStoreReleaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint);
        window->setAttribute(Qt::WA_ShowWithoutActivating);
        window->resize(220, 160);
        auto* layout = new QVBoxLayout(window.get());
        label = new QLabel(QStringLiteral("买牛奶和面包"), window.get());
        layout->addWidget(label);
        auto* swatch = new QFrame(window.get());
        swatch->setAutoFillBackground(true);
        QPalette colours = swatch->palette();
        colours.setColor(QPalette::Window, QColor(255, 200, 40));
        swatch->setPalette(colours);
        layout->addWidget(swatch, 1);

        auto owned = std::make_unique<ManualRestartableTimer>();
        timer = owned.get();
        release = new IdleBackingStoreRelease(*window, std::move(owned), 2500ms);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Showing activates a window on the offscreen platform; another one
        // takes the focus, as most notes on a desk are not the active one.
        activate(elsewhere);
        paintPending();
        ASSERT_EQ(window->backingStore()->size(), window->size());
    }

    // What the window shows: the store the window system is given.
    QImage storeImage() const
    {
        const auto* image = dynamic_cast<QImage*>(window->backingStore()->paintDevice());
        return image ? image->copy() : QImage();
    }
    static void activate(QWidget& target)
    {
        target.show();
        target.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&target));
    }
    static void paintPending()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
    void exposeCorner()
    {
        QExposeEvent expose(QRegion(0, 0, 12, 12));
        QCoreApplication::sendEvent(window->windowHandle(), &expose);
        paintPending();
    }

    QWidget elsewhere;
    std::unique_ptr<QWidget> window;
    QLabel* label = nullptr;
    ManualRestartableTimer* timer = nullptr;
    IdleBackingStoreRelease* release = nullptr;
};

TEST_F(IdleBackingStoreReleaseTest, ReleasedWhenTheQuietPeriodEndsAndNotBefore)
{
    EXPECT_TRUE(timer->isPending());
    EXPECT_EQ(timer->lastDelay, 2500ms);
    EXPECT_FALSE(release->isReleased());

    // Every paint starts the quiet period again: an animation keeps it busy.
    for (int frame = 0; frame < 3; ++frame) {
        const int starts = timer->starts;
        label->setText(QStringLiteral("第 %1 帧").arg(frame));
        paintPending();
        EXPECT_EQ(timer->starts, starts + 1);
        EXPECT_FALSE(release->isReleased());
    }

    timer->fire();
    EXPECT_TRUE(release->isReleased());
    EXPECT_EQ(window->backingStore()->size(), QSize(0, 0));
}

TEST_F(IdleBackingStoreReleaseTest, TheActiveWindowKeepsItsBufferUntilItLosesTheFocus)
{
    activate(*window);
    paintPending();
    timer->fire();
    EXPECT_FALSE(release->isReleased());
    EXPECT_FALSE(timer->isPending());

    activate(elsewhere);
    paintPending();
    EXPECT_TRUE(timer->isPending()); // looked at again once it lost the focus
    timer->fire();
    EXPECT_TRUE(release->isReleased());
}

// Each way a released window is needed again repaints all of it, not only
// the part that asked: the store then holds exactly what it held before.
TEST_F(IdleBackingStoreReleaseTest, ARepaintAfterTheReleaseRepaintsTheWholeWindow)
{
    const QImage before = storeImage();
    const QImage grabbed = window->grab().toImage();
    ASSERT_FALSE(before.isNull());

    const std::vector<std::pair<const char*, std::function<void()>>> needs = {
        {"an expose of one corner", [&] { exposeCorner(); }},
        {"an update of one child", [&] {
             label->update();
             paintPending();
         }},
        {"hidden and shown again", [&] {
             window->hide();
             window->show();
             ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
             paintPending();
         }},
    };
    for (const auto& [need, happen] : needs) {
        SCOPED_TRACE(need);
        timer->fire();
        ASSERT_TRUE(release->isReleased());
        EXPECT_EQ(window->grab().toImage(), grabbed); // grabs paint without the store
        happen();
        EXPECT_FALSE(release->isReleased());
        EXPECT_EQ(window->backingStore()->size(), window->size());
        EXPECT_EQ(storeImage(), before);
        EXPECT_TRUE(timer->isPending()); // and it may go again later
    }
}

TEST_F(IdleBackingStoreReleaseTest, ResizedAfterTheReleaseItPaintsAtItsNewSize)
{
    timer->fire();
    ASSERT_TRUE(release->isReleased());
    window->resize(260, 200);
    paintPending();
    EXPECT_EQ(window->backingStore()->size(), QSize(260, 200));
    EXPECT_EQ(storeImage(), window->grab().toImage().convertToFormat(storeImage().format()));
}

TEST_F(IdleBackingStoreReleaseTest, ReleasingTwiceOrDestroyingAReleasedWindowIsSafe)
{
    timer->fire();
    timer->fire();
    EXPECT_TRUE(release->isReleased());
    exposeCorner();
    EXPECT_EQ(window->backingStore()->size(), window->size());
    timer->fire();
    EXPECT_TRUE(release->isReleased());
    window.reset(); // the release goes with its window
}

TEST(IdleBackingStoreRelease, AWindowNeverShownIsLeftAlone)
{
    QWidget window;
    auto owned = std::make_unique<ManualRestartableTimer>();
    ManualRestartableTimer* timer = owned.get();
    const auto* release = new IdleBackingStoreRelease(window, std::move(owned));
    EXPECT_FALSE(timer->isPending());
    timer->fire();
    EXPECT_FALSE(release->isReleased());
}

} // namespace
} // namespace quorrin
