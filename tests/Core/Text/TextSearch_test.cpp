#include "Core/Text/TextSearch.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

struct MatchCase {
    const char16_t* text;
    const char16_t* query;
    SearchCase searchCase;
    std::optional<TextRange> expected;
};

class TextSearchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(TextSearchTest, FindsTheRangeOfTheOriginalText)
{
    const MatchCase& match = GetParam();
    EXPECT_EQ(findText(QString::fromUtf16(match.text), QString::fromUtf16(match.query), match.searchCase),
              match.expected)
        << QString::fromUtf16(match.text).toStdString() << " / " << QString::fromUtf16(match.query).toStdString();
}

constexpr auto I = SearchCase::Insensitive;
constexpr auto S = SearchCase::Sensitive;

INSTANTIATE_TEST_SUITE_P(
    Cases, TextSearchTest,
    ::testing::Values(
        // Plain letters, with and without case.
        MatchCase{u"Buy Milk today", u"milk", I, TextRange{4, 4}},
        MatchCase{u"Buy Milk today", u"milk", S, std::nullopt},
        MatchCase{u"Buy Milk today", u"Milk", S, TextRange{4, 4}},
        MatchCase{u"买牛奶和面包", u"牛奶", I, TextRange{1, 2}},
        MatchCase{u"abc", u"", I, std::nullopt},
        MatchCase{u"a  b", u"  ", I, TextRange{1, 2}},
        // Full case folding: one letter may fold to several.
        MatchCase{u"die straße", u"STRASSE", I, TextRange{4, 6}},
        MatchCase{u"DIE STRASSE", u"straße", I, TextRange{4, 7}},
        MatchCase{u"die straße", u"STRASSE", S, std::nullopt},
        MatchCase{u"ﬀ", u"FF", I, TextRange{0, 1}},
        MatchCase{u"ΣΊΣΥΦΟΣ", u"σίσυφος", I, TextRange{0, 7}},
        MatchCase{u"ÉCOLE", u"école", I, TextRange{0, 5}},
        // A single s of a folded ß lies inside one character: no match.
        MatchCase{u"straße", u"stras", I, std::nullopt},
        MatchCase{u"straße", u"strass", I, TextRange{0, 5}},
        // Canonically equivalent spellings are equal; the range covers the
        // original characters.
        MatchCase{u"cafe\u0301 au lait", u"café", S, TextRange{0, 5}},
        MatchCase{u"café", u"cafe\u0301", S, TextRange{0, 4}},
        MatchCase{u"CAFE\u0301", u"café", I, TextRange{0, 5}},
        // A match never ends between a letter and its marks.
        MatchCase{u"cafe\u0301", u"cafe", I, std::nullopt},
        MatchCase{u"café", u"cafe", I, std::nullopt},
        // Diacritics and widths count.
        MatchCase{u"resume", u"résumé", I, std::nullopt},
        MatchCase{u"ＡＢＣ", u"abc", I, std::nullopt},
        MatchCase{u"ＡＢＣ", u"ａｂｃ", I, TextRange{0, 3}},
        // Characters beyond the basic plane stay whole.
        MatchCase{u"note 😀 here", u"😀", I, TextRange{5, 2}},
        MatchCase{u"𐐀𐐁", u"𐐩", I, TextRange{2, 2}},
        // Hangul syllables are not split into their letters.
        MatchCase{u"한국어", u"국", I, TextRange{1, 1}},
        MatchCase{u"한국어", u"\u1100", I, std::nullopt}));

// Prepared among other texts in one buffer, a text is found exactly when it
// would be found alone.
TEST_P(TextSearchTest, ATextAmongOthersIsFoundWhenItIsFoundAlone)
{
    const MatchCase& match = GetParam();
    SearchableTexts texts(match.searchCase);
    for (QStringView text : {QStringView(u"x"), QStringView(match.text), QStringView(u"ÿ")})
        texts.append(text);
    const SearchableText query(QString::fromUtf16(match.query), match.searchCase);
    const std::vector<qsizetype> expected =
        match.expected ? std::vector<qsizetype>{1} : std::vector<qsizetype>{};
    EXPECT_EQ(texts.containing(query), expected) << QString::fromUtf16(match.text).toStdString();
}

TEST(SearchableText, FindsLaterMatchesFromAPositionOfTheOriginalText)
{
    const SearchableText text(u"Straße, STRASSE, strasse", SearchCase::Insensitive);
    const SearchableText query(u"strasse", SearchCase::Insensitive);
    EXPECT_EQ(text.find(query), (TextRange{0, 6}));
    EXPECT_EQ(text.find(query, 1), (TextRange{8, 7}));
    EXPECT_EQ(text.find(query, 9), (TextRange{17, 7}));
    EXPECT_EQ(text.find(query, 18), std::nullopt);
}

TEST(SearchableTexts, AMatchNeverSpansTwoTextsAndEachTextCountsOnce)
{
    const auto containing = [](std::initializer_list<QStringView> list, QStringView query) {
        SearchableTexts texts(SearchCase::Insensitive);
        for (QStringView text : list)
            texts.append(text);
        return texts.containing(SearchableText(query, SearchCase::Insensitive));
    };
    using Found = std::vector<qsizetype>;
    EXPECT_EQ(containing({u"ab", u"cd"}, u"bc"), Found{});
    EXPECT_EQ(containing({u"ab", u"cd"}, u"b\uFFFFc"), Found{});
    EXPECT_EQ(containing({u"a\uFFFFb", u"cd"}, u"a\uFFFFb"), Found{0});
    EXPECT_EQ(containing({u"aa aa", u"", u"Aa", u"b"}, u"aa"), (Found{0, 2}));
    // A match inside a text's cluster is skipped; a later text still counts.
    EXPECT_EQ(containing({u"cafe\u0301", u"cafe"}, u"cafe"), Found{1});
    EXPECT_EQ(containing({u"straße", u"x"}, u"stras"), Found{});
    EXPECT_EQ(containing({}, u"a"), Found{});
    EXPECT_EQ(containing({u"a"}, u""), Found{});
}

TEST(SearchableText, SearchesOnlyInsideTheGivenRange)
{
    EXPECT_EQ(findText(u"word word word", u"WORD", SearchCase::Insensitive, 3, 10), (TextRange{5, 4}));
    EXPECT_EQ(findText(u"word word word", u"word", SearchCase::Insensitive, 6, 12), std::nullopt);
}

} // namespace
} // namespace quorrin
