#include "RegistryFixture.h"

#include "App/MenuFocus.h"
#include "Platform/WindowLevel.h"

#include <functional>

namespace quorrin {
namespace {

using testing::FakeNoteWindow;

class MenuFocusTest : public testing::RegistryFixture {
protected:
    void SetUp() override
    {
        RegistryFixture::SetUp();
        focus = std::make_unique<MenuFocus>(*registry);
        focus->defer = [this](std::function<void()> work) { deferred.push_back(std::move(work)); };
    }
    void runDeferred()
    {
        for (auto& work : std::exchange(deferred, {}))
            work();
    }

    std::unique_ptr<MenuFocus> focus;
    std::vector<std::function<void()>> deferred;
};

TEST_F(MenuFocusTest, OpeningAndClosingWithoutAChoiceFloatsTheNotesAndChangesNoFocus)
{
    const QUuid first = addNote();
    const QUuid second = addNote();
    registry->open(first, std::nullopt, false);
    registry->open(second, std::nullopt, false);
    registry->workspace().settleAll();
    window(first)->key = false;
    window(second)->key = false;
    const int before = activations;

    focus->menuWillOpen();
    EXPECT_TRUE(registry->trackingOwnMenu);
    EXPECT_TRUE(window(first)->raised);
    EXPECT_TRUE(window(second)->raised);
    focus->menuDidClose();
    runDeferred();

    EXPECT_FALSE(registry->trackingOwnMenu);
    EXPECT_EQ(activations, before);
    EXPECT_FALSE(window(first)->key);
    EXPECT_FALSE(window(second)->key);
}

TEST_F(MenuFocusTest, ANoteOpenedFromTheMenuIsFocusedAfterTheMenuClosesAndOnceMore)
{
    const QUuid shown = addNote();
    registry->open(shown, std::nullopt, false);
    focus->menuWillOpen();
    registry->newNote();
    const QUuid made = store->active().back().id;
    ASSERT_EQ(registry->pendingMenuFocusID, made);
    window(made)->key = false;
    const int before = activations;

    focus->menuDidClose();
    EXPECT_TRUE(window(made)->key);
    EXPECT_EQ(activations, before + 1);
    EXPECT_EQ(activatedFor, window(made));
    EXPECT_FALSE(registry->pendingMenuFocusID);

    // The second pass, after the window manager is done with the menu.
    window(made)->key = false;
    activatedFor = nullptr;
    runDeferred();
    EXPECT_TRUE(window(made)->key);
    EXPECT_EQ(activations, before + 2);
    EXPECT_EQ(activatedFor, window(made));
}

TEST_F(MenuFocusTest, TheSecondPassSkipsANoteThatWentAway)
{
    const QUuid note = addNote();
    focus->menuWillOpen();
    registry->open(note, std::nullopt, true);
    focus->menuDidClose();
    registry->removeAll();
    const int before = activations;
    runDeferred();
    EXPECT_EQ(activations, before);
}

TEST_F(MenuFocusTest, ActivationAskedForWhileOpenHappensWhenItCloses)
{
    addNote();
    focus->menuWillOpen();
    registry->showAll();
    EXPECT_TRUE(registry->pendingMenuActivation);
    const int before = activations;
    focus->menuDidClose();
    EXPECT_EQ(activations, before + 1);
    EXPECT_FALSE(registry->pendingMenuActivation);
    // A menu that opens again starts with nothing pending.
    registry->pendingMenuActivation = true;
    registry->pendingMenuFocusID = QUuid::createUuid();
    focus->menuWillOpen();
    EXPECT_FALSE(registry->pendingMenuActivation);
    EXPECT_FALSE(registry->pendingMenuFocusID);
}

TEST_F(MenuFocusTest, TheCandidateIsTheCurrentNoteElseTheFirstShownOne)
{
    EXPECT_EQ(focus->focusCandidate(), std::nullopt);
    const QUuid hidden = addNote(QStringLiteral("hidden"), true);
    EXPECT_EQ(focus->focusCandidate(), std::nullopt);
    const QUuid shown = addNote();
    const QUuid other = addNote();
    EXPECT_EQ(focus->focusCandidate(), shown);
    registry->open(other, std::nullopt, false);
    window(other)->key = true;
    EXPECT_EQ(focus->focusCandidate(), other);
    EXPECT_NE(focus->focusCandidate(), hidden);
}

} // namespace
} // namespace quorrin
