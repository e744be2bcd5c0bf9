#include "Editor/DocumentMirror.h"

#include "Editor/EditorDocument.h"
#include "Editor/TextDocumentConversion.h"

#include <gtest/gtest.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <functional>

namespace quorrin {
namespace {

TextAttributes marked(const QString& id)
{
    TextAttributes attributes;
    attributes.font = TextFont::system(14);
    attributes.custom[EditorAttribute::blockID] = id;
    return attributes;
}

// A document of four marked paragraphs (the last without a line break) and
// a mirror that follows it.
struct Mirrored {
    QTextDocument document;
    DocumentMirror mirror{document};

    Mirrored()
    {
        document.documentLayout(); // a document reports changes once it has a layout
        AttributedString text;
        for (const QString& line : {QStringLiteral("one\n"), QStringLiteral("two two\n"), QStringLiteral("three\n")})
            text.append(line, marked(line.left(3)));
        text.append(QStringLiteral("four"), marked(QStringLiteral("fou")));
        mirror.suspend();
        textdoc::setContents(document, text);
        mirror.reread();
        QObject::connect(&document, &QTextDocument::contentsChange, &document,
                         [this](int position, int removed, int added) { mirror.follow(position, removed, added); });
        mirror.refreshParagraphs();
    }

    // What reading the whole document gives.
    std::vector<editortext::ParagraphReading> fullReading() const
    {
        std::vector<editortext::ParagraphReading> readings;
        for (const editortext::Paragraph& paragraph : editordoc::readParagraphs(document))
            readings.push_back(editortext::reading(paragraph));
        return readings;
    }

    QTextCursor selecting(int from, int to)
    {
        QTextCursor cursor(&document);
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        return cursor;
    }
};

// Every kind of edit, at block boundaries and across them, leaves the mirror
// equal to a full reading; the paragraphs no edit touched keep their memos.
TEST(DocumentMirror, FollowsEveryEditLikeAFullReading)
{
    struct Case {
        const char* name;
        std::function<void(Mirrored&)> edit;
    };
    const std::vector<Case> cases = {
        {"type inside a paragraph", [](auto& t) { t.selecting(5, 5).insertText(QStringLiteral("x")); }},
        {"type at a paragraph's start", [](auto& t) { t.selecting(4, 4).insertText(QStringLiteral("x")); }},
        {"type before a line break", [](auto& t) { t.selecting(3, 3).insertText(QStringLiteral("x")); }},
        {"type at the very start", [](auto& t) { t.selecting(0, 0).insertText(QStringLiteral("x")); }},
        {"type at the very end", [](auto& t) { t.selecting(22, 22).insertText(QStringLiteral("x")); }},
        {"split a paragraph", [](auto& t) { t.selecting(6, 6).insertBlock(); }},
        {"break at a paragraph's start", [](auto& t) { t.selecting(4, 4).insertBlock(); }},
        {"break at the end", [](auto& t) { t.selecting(22, 22).insertBlock(); }},
        {"join two paragraphs", [](auto& t) { t.selecting(3, 4).removeSelectedText(); }},
        {"delete across paragraphs", [](auto& t) { t.selecting(2, 15).removeSelectedText(); }},
        {"delete a whole paragraph", [](auto& t) { t.selecting(4, 12).removeSelectedText(); }},
        {"delete the last paragraph", [](auto& t) { t.selecting(17, 22).removeSelectedText(); }},
        {"delete everything", [](auto& t) { t.selecting(0, 22).removeSelectedText(); }},
        {"paste paragraphs over a selection",
         [](auto& t) {
             QTextCursor cursor = t.selecting(5, 14);
             textdoc::insert(cursor, AttributedString(QStringLiteral("p\nq\nr"), marked(QStringLiteral("new"))));
         }},
        {"paste styled paragraphs into a paragraph, whose rest takes the last one's style",
         [](auto& t) {
             TextAttributes styled = marked(QStringLiteral("new"));
             styled.paragraphStyle = ParagraphStyle{};
             styled.paragraphStyle->headIndent = 30;
             QTextCursor cursor = t.selecting(5, 5);
             textdoc::insert(cursor, AttributedString(QStringLiteral("p\nq\nr"), styled));
         }},
        {"format characters",
         [](auto& t) {
             QTextCharFormat bold;
             bold.setFontWeight(QFont::Bold);
             t.selecting(5, 9).mergeCharFormat(bold);
         }},
        {"mark a line break", [](auto& t) {
             QTextCharFormat mark;
             mark.setProperty(textdoc::BlockID, QStringLiteral("other"));
             t.selecting(11, 12).mergeCharFormat(mark);
         }},
        {"restyle a paragraph", [](auto& t) {
             ParagraphStyle style;
             style.headIndent = 30;
             t.selecting(13, 13).setBlockFormat(textdoc::blockFormat(style));
         }},
        {"several edits before one refresh", [](auto& t) {
             t.selecting(20, 20).insertText(QStringLiteral("yy"));
             t.selecting(1, 1).insertText(QStringLiteral("\u4e2d"));
             t.selecting(8, 8).insertBlock();
             t.selecting(14, 16).removeSelectedText();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mirrored t;
        t.mirror.memos().front().mark = editortext::WriteBack::Mark{};
        t.mirror.memos().back().mark = editortext::WriteBack::Mark{};
        c.edit(t);
        EXPECT_EQ(t.mirror.text(), textdoc::contents(t.document));
        t.mirror.refreshParagraphs();
        ASSERT_EQ(t.mirror.paragraphs(), t.fullReading());
        EXPECT_EQ(t.mirror.text(), textdoc::contents(t.document));
        ASSERT_EQ(t.mirror.memos().size(), t.mirror.paragraphs().size());
    }
}

TEST(DocumentMirror, KeepsTheMemosOfParagraphsNoEditTouched)
{
    Mirrored t;
    DocumentMirror& mirror = t.mirror;
    for (DocumentMirror::Memo& memo : mirror.memos())
        memo.mark = editortext::WriteBack::Mark{};
    t.selecting(5, 5).insertText(QStringLiteral("x")); // inside "two two"
    t.selecting(6, 6).insertBlock();
    mirror.refreshParagraphs();
    ASSERT_EQ(mirror.paragraphs(), t.fullReading());
    const std::vector<DocumentMirror::Memo>& memos = mirror.memos();
    ASSERT_EQ(memos.size(), 5u);
    EXPECT_TRUE(memos[0].mark);
    EXPECT_FALSE(memos[1].mark);
    EXPECT_FALSE(memos[2].mark);
    EXPECT_TRUE(memos[3].mark);
    EXPECT_TRUE(memos[4].mark);
}

TEST(DocumentMirror, ReadsEverythingAnewAfterTheDocumentWasReplacedWhole)
{
    Mirrored t;
    t.mirror.suspend();
    t.document.setPlainText(QStringLiteral("a\nb"));
    EXPECT_FALSE(t.mirror.follow(0, 1, 1)) << "reports are ignored while suspended";
    t.mirror.reread();
    t.mirror.refreshParagraphs();
    EXPECT_EQ(t.mirror.paragraphs(), t.fullReading());
    EXPECT_EQ(t.mirror.text(), textdoc::contents(t.document));
}

// The editor's own marks are taken in place; an edit of characters made
// while marking still leaves the mirror equal to a full reading.
TEST(DocumentMirror, TakesOwnMarksInPlaceButNotAnEditMadeMeanwhile)
{
    const QUuid id = QUuid::createUuid();
    const std::vector<editortext::WriteBack::Mark> marks(4, editortext::WriteBack::Mark{id, false});
    for (const bool typedMeanwhile : {false, true}) {
        SCOPED_TRACE(typedMeanwhile ? "typed meanwhile" : "marks only");
        Mirrored t;
        {
            DocumentMirror::OwnMarks own(t.mirror);
            QTextCharFormat format = t.selecting(4, 12).charFormat();
            format.setProperty(textdoc::BlockID, editortext::idString(id));
            t.selecting(4, 12).setCharFormat(format);
            if (typedMeanwhile)
                t.selecting(0, 0).insertText(QStringLiteral("x"));
            own.mark({1}, marks);
        }
        EXPECT_EQ(t.mirror.text(), textdoc::contents(t.document));
        t.mirror.refreshParagraphs();
        EXPECT_EQ(t.mirror.paragraphs(), t.fullReading());
        EXPECT_EQ(t.mirror.paragraphs()[1].markedID, id);
    }
}

// Each paragraph is read with its own block's presentation amounts on every
// character, whatever formats its characters share with other paragraphs,
// also when an edit changed the amounts or typed one paragraph's format into
// another.
TEST(DocumentMirror, ReadsEachParagraphWithItsOwnBlocksAmounts)
{
    const TextAttributes plain = marked(QStringLiteral("A"));
    TextAttributes linked = plain;
    linked.custom[QStringLiteral("Quorrin.link")] = QStringLiteral("https://example.com/");
    const auto withAmounts = [](TextAttributes attributes, double tail) {
        attributes.custom[EditorAttribute::presentationTail] = tail;
        attributes.custom[EditorAttribute::presentationIndent] = 2 * tail;
        return attributes;
    };
    const auto setAmounts = [](QTextDocument& document, int blockNumber, double tail) {
        QTextCursor cursor(document.findBlockByNumber(blockNumber));
        QTextBlockFormat format = cursor.blockFormat();
        format.setProperty(textdoc::PresentationTail, tail);
        format.setProperty(textdoc::PresentationIndent, 2 * tail);
        cursor.setBlockFormat(format);
    };
    const auto text = [](std::initializer_list<std::pair<const char*, TextAttributes>> runs) {
        AttributedString result;
        for (const auto& [characters, attributes] : runs)
            result.append(QString::fromUtf8(characters), attributes);
        return result;
    };
    const struct {
        const char* name;
        std::function<void(QTextDocument&)> edit;
        std::vector<AttributedString> contents;
    } cases[] = {
        {"as first read", [](QTextDocument&) {},
         {text({{"x", withAmounts(linked, 3)}, {"y", withAmounts(plain, 3)}}), text({{"z", withAmounts(plain, 5)}}),
          text({{"w", plain}})}},
        {"amounts changed by an edit", [&](QTextDocument& document) { setAmounts(document, 1, 7); },
         {text({{"x", withAmounts(linked, 3)}, {"y", withAmounts(plain, 3)}}), text({{"z", withAmounts(plain, 7)}}),
          text({{"w", plain}})}},
        {"a format of another paragraph typed in",
         [&](QTextDocument& document) {
             QTextCursor cursor(document.lastBlock());
             cursor.insertText(QStringLiteral("q"), textdoc::charFormat(linked));
         },
         {text({{"x", withAmounts(linked, 3)}, {"y", withAmounts(plain, 3)}}), text({{"z", withAmounts(plain, 5)}}),
          text({{"q", linked}, {"w", plain}})}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTextDocument document;
        document.documentLayout();
        DocumentMirror mirror(document);
        mirror.suspend();
        textdoc::setContents(document, text({{"x", linked}, {"y\nz\nw", plain}}));
        setAmounts(document, 0, 3);
        setAmounts(document, 1, 5);
        mirror.reread();
        QObject::connect(&document, &QTextDocument::contentsChange, &document,
                         [&mirror](int position, int removed, int added) { mirror.follow(position, removed, added); });
        mirror.refreshParagraphs();
        c.edit(document);
        mirror.refreshParagraphs();
        std::vector<AttributedString> contents;
        for (const editortext::ParagraphReading& paragraph : mirror.paragraphs())
            contents.push_back(paragraph.content);
        EXPECT_EQ(contents, c.contents);
    }
}

// A change no report told of (as when a report leaves part of its change
// out) is read at the next refresh with the paragraphs an edit touched: the
// characters of the one report since the last refresh are taken as read,
// those of several reports are read again.
TEST(DocumentMirror, MakesGoodWhatAReportLeftOutAroundTheEditsSinceTheLastRefresh)
{
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    const struct {
        const char* name;
        int unreported; // where a character turns bold unreported, in "two two"
        std::vector<int> typedAt;
    } cases[] = {
        {"before the one report, in its paragraph", 5, {10}},
        {"after the one report, in its paragraph", 10, {5}},
        {"between two reports", 8, {5, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Mirrored t;
        for (std::size_t i = 0; i < c.typedAt.size(); ++i) {
            t.selecting(c.typedAt[i], c.typedAt[i]).insertText(QStringLiteral("x"));
            if (i == 0) {
                const QSignalBlocker unreported(&t.document);
                t.selecting(c.unreported, c.unreported + 1).mergeCharFormat(bold);
            }
        }
        t.mirror.refreshParagraphs();
        EXPECT_EQ(t.mirror.text(), textdoc::contents(t.document));
        EXPECT_EQ(t.mirror.paragraphs(), t.fullReading());
    }
}

} // namespace
} // namespace quorrin
