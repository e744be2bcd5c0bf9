#include "Platform/X11WindowBehaviour.h"

#include <gtest/gtest.h>

#include <QWindow>

using namespace quorrin;

TEST(X11WindowBehaviour, RequestsOneStateAtomPerBehaviour)
{
    struct Case {
        WindowBehaviour behaviour;
        QList<QByteArray> atoms;
    };
    const QList<Case> cases{
        {{}, {}},
        {X11WindowBehaviour::note,
         {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}},
        {{false, true, false}, {"_NET_WM_STATE_SKIP_TASKBAR"}},
        {{true, false, true}, {"_NET_WM_STATE_STICKY", "_NET_WM_STATE_SKIP_PAGER"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(X11WindowBehaviour::stateAtomNames(c.behaviour), c.atoms);
}

TEST(X11WindowBehaviour, MergingKeepsTheToolkitsStatesAndAddsEachRequestOnce)
{
    // 10 and 11 stand for states the toolkit set (e.g. above); 20 is asked for twice.
    EXPECT_EQ(X11WindowBehaviour::mergedStates({10, 11, 20}, {20, 21, 22}),
              (QList<std::uint32_t>{10, 11, 20, 21, 22}));
    EXPECT_EQ(X11WindowBehaviour::mergedStates({}, {21, 21}), (QList<std::uint32_t>{21}));
    EXPECT_EQ(X11WindowBehaviour::mergedStates({10}, {}), (QList<std::uint32_t>{10}));
}

TEST(X11WindowBehaviour, DoesNothingOffX11)
{
    QWindow window;
    window.create();
    EXPECT_FALSE(X11WindowBehaviour::isAvailable());
    EXPECT_FALSE(X11WindowBehaviour::apply(window, X11WindowBehaviour::note));
}
