#include "Windows/TitleText.h"

#include "Core/Text/Rtf.h"
#include "Domain/RichText.h"

#include <gtest/gtest.h>

using namespace quorrin;

namespace {

const QString grinning = QString::fromUtf8("\xF0\x9F\x98\x80"); // one surrogate pair
const QString eAcute = QStringLiteral("e\u0301");             // e and a combining accent
const TextFont titleFont = TextFont::system(15.5, true);

QString repeated(const QString& piece, int count)
{
    QString text;
    for (int index = 0; index < count; ++index)
        text += piece;
    return text;
}

} // namespace

TEST(TitleText, PlainTitleFlattensTrimsAndCutsAtCharacterBoundaries)
{
    struct Case {
        const char* name;
        QString typed;
        QString expected;
    };
    const Case cases[] = {
        {"two lines", QStringLiteral("a\nb"), QStringLiteral("a b")},
        {"blank", QStringLiteral(" \n\t\n "), QString()},
        {"trimmed ends", QStringLiteral("\n  name \n"), QStringLiteral("name")},
        {"130 letters", repeated(QStringLiteral("x"), 130), repeated(QStringLiteral("x"), 120)},
        {"exactly 120", repeated(QStringLiteral("y"), 120), repeated(QStringLiteral("y"), 120)},
        // The 120th character is a surrogate pair: it is kept whole.
        {"pair at the cut", repeated(QStringLiteral("a"), 119) + grinning + QStringLiteral("zzz"),
         repeated(QStringLiteral("a"), 119) + grinning},
        // 120 emoji are 240 UTF-16 units but 120 characters.
        {"emoji only", repeated(grinning, 125), repeated(grinning, 120)},
        {"combining mark at the cut", repeated(QStringLiteral("a"), 119) + eAcute + QStringLiteral("b"),
         repeated(QStringLiteral("a"), 119) + eAcute},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(TitleText::plainTitle(test.typed), test.expected);
    }
}

TEST(TitleText, RenameKeepsTheRichFormOnlyWhenNothingWasFlattenedOrCut)
{
    const TitleText::Rename blank = TitleText::rename(AttributedString(QStringLiteral("  \n ")), titleFont);
    EXPECT_FALSE(blank.plain);
    EXPECT_FALSE(blank.rich);

    const TitleText::Rename twoLines = TitleText::rename(AttributedString(QStringLiteral("a\nb")), titleFont);
    EXPECT_EQ(twoLines.plain, QStringLiteral("a b"));
    EXPECT_FALSE(twoLines.rich);

    const TitleText::Rename long130 = TitleText::rename(AttributedString(repeated(QStringLiteral("x"), 130)), titleFont);
    EXPECT_EQ(long130.plain->size(), 120);
    EXPECT_FALSE(long130.rich);

    const TitleText::Rename padded = TitleText::rename(AttributedString(QStringLiteral("  Plan ")), titleFont);
    EXPECT_EQ(padded.plain, QStringLiteral("Plan"));
    ASSERT_TRUE(padded.rich);
    EXPECT_EQ(padded.rich->string(), QStringLiteral("  Plan "));
}

TEST(TitleText, SanitizedDropsMarksAndStylesAndFillsFontAndColourFromTheFirstCharacter)
{
    AttributedString source(QStringLiteral("Bold plain"));
    TextFont bold = TextFont::system(20, true);
    source.setFont(0, 4, bold);
    source.setCustom(0, 10, EditorAttribute::blockID, QStringLiteral("ID"));
    source.setCustom(0, 10, EditorAttribute::presentationBase, QList<double>{1, 2, 3});
    source.setCustom(4, 1, rtf::attachmentAttribute, QStringLiteral("picture.png"));
    source.setParagraphStyle(0, 10, ParagraphStyle{});

    const AttributedString title = TitleText::sanitized(source, titleFont);
    EXPECT_FALSE(title.customAt(0, EditorAttribute::blockID));
    EXPECT_FALSE(title.customAt(4, rtf::attachmentAttribute)) << "a name holds no embedded file";
    EXPECT_TRUE(title.customAt(0, EditorAttribute::presentationBase)); // left for RichText to subtract
    EXPECT_FALSE(title.attributesAt(0).paragraphStyle);
    // The first character has a font: every character keeps its own.
    EXPECT_EQ(title.attributesAt(0).font, bold);
    EXPECT_FALSE(title.attributesAt(6).font);
    // It has no colour: the text colour goes on everything.
    EXPECT_EQ(title.attributesAt(6).foreground, TextColor::dynamicText());

    AttributedString unstyled(QStringLiteral("ab"));
    unstyled.setFont(1, 1, bold);
    const AttributedString filled = TitleText::sanitized(unstyled, titleFont);
    EXPECT_EQ(filled.attributesAt(0).font, titleFont);
    EXPECT_EQ(filled.attributesAt(1).font, titleFont);
}

TEST(TitleText, SanitizedCutsTheRichFormAtTheSameBoundaryAsThePlainTitle)
{
    struct Case {
        const char* name;
        QString text;
        int keptUnits;
    };
    const Case cases[] = {
        {"119 letters", repeated(QStringLiteral("a"), 119), 119},
        {"120 letters", repeated(QStringLiteral("a"), 120), 120},
        {"121 letters", repeated(QStringLiteral("a"), 121), 120},
        // The 120th character is a surrogate pair: both halves stay.
        {"pair at the cut", repeated(QStringLiteral("a"), 119) + grinning + QStringLiteral("tail"), 121},
        {"pair after the cut", repeated(QStringLiteral("a"), 120) + grinning, 120},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const AttributedString title = TitleText::sanitized(AttributedString(test.text), titleFont);
        EXPECT_EQ(title.length(), test.keptUnits);
        EXPECT_EQ(title.string(), TitleText::plainTitle(test.text));
        // A rich title survives the trip through RTF whole.
        EXPECT_EQ(RichText(title).attributed().string(), title.string());
    }
}

TEST(TitleText, WindowTitleNamesTheNoteOnlyWithACustomTitle)
{
    Note note;
    EXPECT_EQ(TitleText::windowTitle(note), QStringLiteral("Quorrin"));
    note.customTitle = QString();
    EXPECT_EQ(TitleText::windowTitle(note), QStringLiteral("Quorrin"));
    note.customTitle = QStringLiteral(" 计划 ");
    EXPECT_EQ(TitleText::windowTitle(note), QStringLiteral("Quorrin — 计划"));
}
