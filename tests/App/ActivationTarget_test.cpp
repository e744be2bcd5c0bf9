#include "App/ActivationTarget.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace quorrin {
namespace {

// Windows a, b, c, none of them shown on screen: the choice only compares them.
TEST(ActivationTarget, TheRequestedWindowElseTheLastUsedShownElseTheLastListed)
{
    QWidget a, b, c;
    struct Case {
        const char* name;
        std::vector<QWidget*> shown;
        std::vector<QWidget*> recentFirst;
        QWidget* requested;
        QWidget* chosen;
    };
    const std::vector<Case> cases = {
        {"the requested one over the last used", {&a, &b, &c}, {&b, &a}, &a, &a},
        {"a request for a hidden window: the last used", {&a, &c}, {&a}, &b, &a},
        {"the last used is hidden: the one used before it", {&a, &c}, {&b, &a}, nullptr, &a},
        {"none used is shown: the last listed", {&a, &c}, {&b}, nullptr, &c},
        {"nothing shown", {}, {&b, &a}, &a, nullptr},
    };
    for (const Case& row : cases)
        EXPECT_EQ(activationtarget::choose(row.shown, row.recentFirst, row.requested), row.chosen) << row.name;
}

} // namespace
} // namespace quorrin
