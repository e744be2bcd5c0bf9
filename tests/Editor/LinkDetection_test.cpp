#include "Editor/LinkDetection.h"
#include "Support/StandInHandler.h"

#include "Core/Text/Rtf.h"
#include "Domain/RichText.h"
#include "EditorTestSupport.h"
#include "Editor/BlockTextView.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <QUndoStack>


namespace quorrin {
namespace {

using namespace quorrin::testing;

TEST(LinkDetection, FindsWebAndMailAddressesWithoutTrailingPunctuation)
{
    struct Case {
        QString text;
        std::vector<DetectedLink> expected;
    };
    const std::vector<Case> cases{
        {QStringLiteral("see https://example.com/a?b=1."), {{4, 25, QStringLiteral("https://example.com/a?b=1")}}},
        {QStringLiteral("(www.example.org)"), {{1, 15, QStringLiteral("http://www.example.org")}}},
        {QStringLiteral("写信给 anna@example.de，谢谢"), {{4, 15, QStringLiteral("mailto:anna@example.de")}}},
        {QStringLiteral("http://wiki.org/A_(b) end"), {{0, 21, QStringLiteral("http://wiki.org/A_(b)")}}},
        {QStringLiteral("打开http://a.cn。好"), {{2, 11, QStringLiteral("http://a.cn")}}},
        {QStringLiteral("just https:// and www. and a@b"), {}},
        // Trimmed back to nothing but the prefix, or less: no address.
        {QStringLiteral("see www., or"), {}},
        {QStringLiteral("www..."), {}},
        {QStringLiteral("(www.)"), {}},
        {QStringLiteral("http://, https://.)"), {}},
        // One character past the prefix is an address.
        {QStringLiteral("www.a, or"), {{0, 5, QStringLiteral("http://www.a")}}},
        {QStringLiteral("https://b."), {{0, 9, QStringLiteral("https://b")}}},
        {QStringLiteral("file:///etc/passwd javascript:alert(1)"), {}},
        // Each sign of an address alone, in either case, is looked into.
        {QStringLiteral("WWW.Example.org"), {{0, 15, QStringLiteral("http://WWW.Example.org")}}},
        {QStringLiteral("HTTPS://a.org"), {{0, 13, QStringLiteral("HTTPS://a.org")}}},
        {QStringLiteral("me@a.org"), {{0, 8, QStringLiteral("mailto:me@a.org")}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(links::detect(c.text), c.expected) << c.text.toStdString();
}

TEST(LinkMarking, ALinkAlreadyGivenToAnAddressStays)
{
    AttributedString text(QStringLiteral("see www.example.org now"));
    text.setCustom(4, 15, links::attribute, QStringLiteral("https://other.example"));
    links::markAddresses(text);
    EXPECT_EQ(std::get<QString>(*text.customAt(4, links::attribute)), "https://other.example");
    EXPECT_FALSE(text.customAt(0, links::attribute).has_value());
}

TEST(LinkDetection, OnlyWebAndMailAddressesOpen)
{
    for (const char* good : {"http://example.com", "https://example.com/x", "mailto:a@example.com"})
        EXPECT_TRUE(links::isOpenable(QUrl(QString::fromLatin1(good)))) << good;
    for (const char* bad : {"file:///usr/bin/xterm", "/home/u/run.sh", "app.desktop", "javascript:alert(1)",
                            "smb://server/share", "http://", "mailto:", "ftp://example.com"})
        EXPECT_FALSE(links::isOpenable(QUrl(QString::fromLatin1(bad)))) << bad;
}

TEST(LinkDetection, LinksMadeFromAnAddressFollowItsText)
{
    EXPECT_TRUE(links::isAutomatic(QStringLiteral("https://example.com"), u"https://exa"));
    EXPECT_TRUE(links::isAutomatic(QStringLiteral("http://www.a.org"), u"www.a.org x"));
    EXPECT_TRUE(links::isAutomatic(QStringLiteral("mailto:bob@example.com"), u"bob@example.com "));
    EXPECT_FALSE(links::isAutomatic(QStringLiteral("https://example.com"), u"click here"));
}

class EditorLinkTest : public EditorFixture {
protected:
    std::vector<QUrl> opened;

    void openNote(const QString& text)
    {
        open({makeBlock(BlockKind::Paragraph, text)});
        editor->openLink = [this](const QUrl& url) { opened.push_back(url); };
    }
    // A point over the character at `position`.
    QPointF pointOver(int position) const
    {
        editor->show(); // laid out
        QTextCursor caret(editor->document());
        caret.setPosition(position);
        const QRect before = editor->textView()->cursorRect(caret);
        return editor->textView()->contentPoint(QPoint(before.left() + 3, before.center().y()));
    }
    std::optional<QString> storedLinkAt(int position) const
    {
        const auto value = stored().blocks[0].text.attributed().customAt(position, links::attribute);
        if (!value)
            return std::nullopt;
        return std::get<QString>(*value);
    }
};

TEST_F(EditorLinkTest, TypedAddressesAreStoredAsLinksThatSurviveRtf)
{
    openNote(QString());
    editor->textView()->setFocus();
    QTest::keyClicks(editor->textView(), QStringLiteral("go https://example.com now"));
    EXPECT_EQ(stored().blocks[0].text.attributed().string(), QStringLiteral("go https://example.com now"));
    EXPECT_EQ(storedLinkAt(3), QStringLiteral("https://example.com"));
    EXPECT_EQ(storedLinkAt(21), QStringLiteral("https://example.com"));
    EXPECT_FALSE(storedLinkAt(2));
    EXPECT_FALSE(storedLinkAt(23)); // typing on after the address is no link

    // The stored rich text keeps the link through writing and reading RTF.
    const RichText reread = RichText::fromRtf(stored().blocks[0].text.rtf());
    EXPECT_EQ(reread.attributed(), stored().blocks[0].text.attributed());
    EXPECT_EQ(RichText(stored().blocks[0].text.attributed()).rtf(), stored().blocks[0].text.rtf());

    // Breaking the address takes the link away again.
    QTextCursor cursor(editor->document());
    cursor.setPosition(8);
    editor->textView()->setTextCursor(cursor);
    QTest::keyClick(editor->textView(), Qt::Key_Space);
    EXPECT_FALSE(storedLinkAt(3));
}

TEST_F(EditorLinkTest, PastedAndRenderedLinksOpenOnlyWebAndMail)
{
    openNote(QStringLiteral("x "));
    QTextCursor cursor(editor->document());
    cursor.setPosition(2);
    editor->textView()->setTextCursor(cursor);
    QGuiApplication::clipboard()->setText(QStringLiteral("mail bob@example.com"));
    editor->textView()->paste();
    EXPECT_EQ(storedLinkAt(int(stored().blocks[0].text.attributed().string().indexOf(QLatin1Char('@')))),
              QStringLiteral("mailto:bob@example.com"));

    const int at = int(editor->searchableText().indexOf(QLatin1Char('@')));
    const QPointF point = pointOver(at);
    ASSERT_EQ(editor->linkAt(point), QStringLiteral("mailto:bob@example.com"));
    EXPECT_TRUE(editor->openLinkAt(point));
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(QStringLiteral("mailto:bob@example.com"))});
    EXPECT_FALSE(editor->openLinkAt(pointOver(0))); // plain text
}

TEST_F(EditorLinkTest, APointerOverALinkShowsTheHandAndSaysCtrlClickOpensIt)
{
    openNote(QString());
    editor->textView()->setFocus();
    QTest::keyClicks(editor->textView(), QStringLiteral("go https://example.com now"));
    QWidget* viewport = editor->textView()->viewport();
    const QPoint onLink = pointOver(8).toPoint();
    const QPoint onText = pointOver(0).toPoint();

    const auto hover = [&](QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, viewport->mapToGlobal(point), Qt::NoButton, Qt::NoButton, {});
        QCoreApplication::sendEvent(viewport, &move);
    };

    hover(onLink);
    EXPECT_EQ(viewport->cursor().shape(), Qt::PointingHandCursor);
    QHelpEvent help(QEvent::ToolTip, onLink, viewport->mapToGlobal(onLink));
    QCoreApplication::sendEvent(viewport, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("按住 Ctrl 单击打开链接"));
    hover(onText);
    EXPECT_EQ(viewport->cursor().shape(), Qt::IBeamCursor);

    QTest::mouseClick(viewport, Qt::LeftButton, {}, onLink);
    EXPECT_TRUE(opened.empty()); // a plain click edits the link's text
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, onLink);
    EXPECT_EQ(opened, std::vector<QUrl>{QUrl(QStringLiteral("https://example.com"))});
}

TEST_F(EditorLinkTest, ALinkGivenToWordsSurvivesTypingBesideIt)
{
    AttributedString text(QStringLiteral("click here"), TextAttributes{});
    text.setCustom(0, 5, links::attribute, QStringLiteral("https://example.com"));
    Block block = makeBlock(BlockKind::Paragraph, QString());
    block.text = RichText(text);
    open({block});
    QTextCursor cursor(editor->document());
    cursor.setPosition(10);
    editor->textView()->setTextCursor(cursor);
    QTest::keyClicks(editor->textView(), QStringLiteral(" or www.a.org"));
    EXPECT_EQ(storedLinkAt(0), QStringLiteral("https://example.com"));
    EXPECT_FALSE(storedLinkAt(7));
    EXPECT_EQ(storedLinkAt(16), QStringLiteral("http://www.a.org"));
}

TEST_F(EditorLinkTest, TypingAtTheEndOfALinkOrOnTheNextLineDoesNotExtendIt)
{
    struct Case {
        const char* name;
        BlockKind kind;
        int caret;
        QString keys;
        bool typedIsLink;
    };
    // "click" links to example.com, "here" is plain.
    const Case cases[] = {
        {"inside the link", BlockKind::Paragraph, 2, QStringLiteral("x"), true},
        {"at the end of the link", BlockKind::Paragraph, 5, QStringLiteral("x"), false},
        {"on a new line after the link", BlockKind::Paragraph, 5, QStringLiteral("\rwater"), false},
        {"on a new todo after the link", BlockKind::Todo, 5, QStringLiteral("\rwater"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AttributedString text(QStringLiteral("click here"), TextAttributes{});
        text.setCustom(0, 5, links::attribute, QStringLiteral("https://example.com"));
        Block block = makeBlock(c.kind, QString());
        block.text = RichText(text);
        open({block});
        editor->textView()->setFocus();
        QTextCursor cursor(editor->document());
        cursor.setPosition(c.caret);
        editor->textView()->setTextCursor(cursor);
        QTest::keyClicks(editor->textView(), c.keys);
        const Note note = stored();
        const Block& typedInto = note.blocks.back();
        const int typed = c.keys.startsWith(QLatin1Char('\r')) ? 0 : c.caret;
        EXPECT_EQ(typedInto.text.attributed().customAt(typed, links::attribute).has_value(), c.typedIsLink);
        EXPECT_EQ(storedLinkAt(0), QStringLiteral("https://example.com"));
    }
}

TEST_F(EditorLinkTest, ATodoTypedAfterATypedAddressIsNoLink)
{
    open({makeBlock(BlockKind::Todo, QString())});
    editor->textView()->setFocus();
    QTest::keyClicks(editor->textView(), QStringLiteral("see https://example.org\rwater"));
    const Note note = stored();
    ASSERT_EQ(note.blocks.size(), 2u);
    EXPECT_EQ(storedLinkAt(4), QStringLiteral("https://example.org"));
    EXPECT_FALSE(note.blocks[1].text.attributed().customAt(0, links::attribute).has_value());
}

TEST_F(EditorLinkTest, ALinkNoProgramOpensIsReportedByItsAddress)
{
    AttributedString text(QStringLiteral("the site"), TextAttributes{});
    text.setCustom(4, 8, links::attribute, QStringLiteral("https://example.com"));
    Block block = makeBlock(BlockKind::Paragraph, QString());
    block.text = RichText(text);
    open({block}); // with the editor's own opening, which asks the desktop
    const testing::StandInHandler handler(3);
    EXPECT_TRUE(editor->openLinkAt(pointOver(5)));
    ASSERT_TRUE(testing::handlerDone(handler, [&] { return !store->reported.empty(); }));
    EXPECT_EQ(store->reported,
              std::vector<QString>{QStringLiteral("无法打开链接“https://example.com”：没有能打开它的应用程序。")});
}

TEST_F(EditorLinkTest, AStoredLinkToALocalFileNeverOpens)
{
    AttributedString text(QStringLiteral("run me"), TextAttributes{});
    text.setCustom(0, 6, links::attribute, QStringLiteral("file:///usr/bin/xterm"));
    Block block = makeBlock(BlockKind::Paragraph, QString());
    block.text = RichText(text);
    open({block});
    editor->openLink = [this](const QUrl& url) { opened.push_back(url); };
    EXPECT_TRUE(editor->openLinkAt(pointOver(1)));
    EXPECT_TRUE(opened.empty());
}

} // namespace
} // namespace quorrin
