#include "Core/Text/LineBreaks.h"

#include <gtest/gtest.h>

#include <QString>

using namespace quorrin;

namespace {

TEST(LineBreaks, ARunCountsUpToTheNextBreakOpportunity)
{
    constexpr qsizetype limit = 100;
    const QString at(limit, u'a');
    const QString over(limit + 1, u'a');
    struct Row {
        QString text;
        bool tooLong;
    };
    const Row rows[] = {
        {at, false},
        {over, true},
        // The space that ends a word is part of the run before its break.
        {QStringLiteral("x ") + at.left(limit - 1) + QStringLiteral(" y"), false},
        {QStringLiteral("x ") + at + QStringLiteral(" y"), true},
        {QStringLiteral("x ") + over, true},
        {over.left(50) + u' ' + over.left(50), false},
        {at.left(limit - 1) + u'\n' + at, false},
        {QString(3 * limit, QChar(0x4E2D)), false}, // a break may come between any two ideographs
    };
    for (const Row& row : rows)
        EXPECT_EQ(hasUnbreakableRunLongerThan(row.text, limit), row.tooLong) << row.text.left(60).toStdString();
}

} // namespace
