#include "Features/Panels/SearchHits.h"
#include "Features/Panels/SearchView.h"

#include "Features/Panels/PanelTestSupport.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>

namespace quorrin {
namespace {

using testing::PanelStore;
using testing::uuid;

class SearchTest : public ::testing::Test, protected PanelStore {
protected:
    SearchIndex index;

    std::vector<QString> found(const QString& query, SearchCase searchCase = SearchCase::Insensitive)
    {
        std::vector<QString> titles;
        for (const SearchHit& hit : index.hits(store->notes(), query, searchCase))
            titles.push_back(hit.title + '|' + hit.text);
        return titles;
    }
};

TEST_F(SearchTest, HitsFollowStoreOrderWithTheTextBeforeTheRemarks)
{
    Note first = add({PanelStore::paragraph("milk and bread", 1), PanelStore::todo("Buy MILK", 2, "oat milk")},
                     "购物");
    add({PanelStore::todo("nothing", 3, "milk, collapsed")}, "其他");

    const std::vector<SearchHit> hits = index.hits(store->notes(), "milk", SearchCase::Insensitive);
    ASSERT_EQ(hits.size(), 4u);
    EXPECT_EQ(hits[0], (SearchHit{first.id, uuid(1), "购物", "milk and bread", false}));
    EXPECT_EQ(hits[1], (SearchHit{first.id, uuid(2), "购物", "Buy MILK", false}));
    EXPECT_EQ(hits[2], (SearchHit{first.id, uuid(2), "购物 · 备注", "oat milk", true}));
    EXPECT_EQ(hits[3].title, "其他 · 备注");
    EXPECT_NE(hits[1].id(), hits[2].id());
    EXPECT_EQ(hits[2].id(), first.id.toString(QUuid::WithoutBraces).toUpper()
                                + uuid(2).toString(QUuid::WithoutBraces).toUpper() + "notes");
}

TEST_F(SearchTest, CaseCountsOnlyWhenAskedAndFoldsFully)
{
    add({PanelStore::paragraph("Die Straße", 1), PanelStore::paragraph("STRASSE", 2)}, "街");
    EXPECT_EQ(found("STRASSE").size(), 2u);
    EXPECT_EQ(found("straße").size(), 2u);
    EXPECT_EQ(found("STRASSE", SearchCase::Sensitive), std::vector<QString>{"街|STRASSE"});
    EXPECT_EQ(found("Straße", SearchCase::Sensitive), std::vector<QString>{"街|Die Straße"});
    EXPECT_TRUE(found("straße", SearchCase::Sensitive).empty());
}

TEST_F(SearchTest, ArchivedTodosDeletedNotesTitlesAndEmptyQueriesFindNothing)
{
    Note note = add({PanelStore::todo("word", 1, "word")}, "word");
    note.blocks[0].todo->archivedAt = Date{1};
    store->update(note, true, true);
    Note gone = add({PanelStore::paragraph("word", 2)});
    gone.deletedAt = Date{1};
    store->update(gone, true, true);
    add({PanelStore::paragraph("a  b", 3)});

    EXPECT_TRUE(found("word").empty());
    EXPECT_TRUE(found("").empty());
    EXPECT_EQ(found("  ").size(), 1u); // blanks are searched as they are

    // Taking the todo out of the archive makes it findable again.
    note.blocks[0].todo->archivedAt.reset();
    store->update(note, true, true);
    EXPECT_EQ(found("word").size(), 2u);
}

TEST_F(SearchTest, ChangedTextIsReadAgainAndGoneBlocksAreForgotten)
{
    Note note = add({PanelStore::paragraph("alpha", 1)});
    EXPECT_EQ(found("alpha").size(), 1u);
    note.blocks[0].text = RichText(QStringLiteral("beta"), TextFont::system(14));
    store->update(note, false, false);
    EXPECT_TRUE(found("alpha").empty());
    EXPECT_EQ(found("beta").size(), 1u);

    std::vector<Block> many;
    for (int n = 0; n < 200; ++n)
        many.push_back(PanelStore::paragraph("x", 100 + n));
    note.blocks = many;
    store->update(note, false, false);
    found("x");
    EXPECT_GE(index.cachedTexts(), 200);
    note.blocks.resize(1);
    store->update(note, false, false);
    found("x");
    EXPECT_LT(index.cachedTexts(), 100);
}

TEST_F(SearchTest, TheViewSearchesOnEveryKeystrokeAndStoreChange)
{
    Note note = add({PanelStore::todo("Call Anna", 1, "anna's number")}, "电话");
    LibraryModel model(*store);
    std::vector<std::tuple<QUuid, std::optional<QUuid>, bool, QString, bool>> opened;
    SearchView view(model, [&](const QUuid& id, std::optional<QUuid> block, bool remarks, const QString& query,
                               bool caseSensitive) { opened.emplace_back(id, block, remarks, query, caseSensitive); });
    EXPECT_EQ(view.countText(), "0 个匹配内容块；包括折叠备注，不包括归档和最近删除。");

    view.queryField()->setText("ANNA");
    EXPECT_EQ(view.hits().size(), 2u);
    EXPECT_EQ(view.countText(), SearchView::countLine(2));
    view.caseSensitiveSwitch()->setChecked(true);
    EXPECT_TRUE(view.hits().empty());
    view.queryField()->setText("anna");
    EXPECT_EQ(view.hits().size(), 1u);

    add({PanelStore::paragraph("anna again", 2)});
    EXPECT_EQ(view.hits().size(), 2u);

    view.choose(0);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], std::make_tuple(note.id, std::optional<QUuid>(uuid(1)), true, QString("anna"), true));
}

TEST_F(SearchTest, EachGestureOpensAHitOnce)
{
    Note first = add({PanelStore::paragraph("milk", 1)});
    add({PanelStore::paragraph("more milk", 2)});
    LibraryModel model(*store);
    int opens = 0;
    bool openingChangesTheStore = false;
    SearchView view(model, [&](const QUuid&, std::optional<QUuid>, bool, const QString&, bool) {
        ++opens;
        // Opening a hit in a todo's remarks unfolds them: the hits are
        // searched anew between the two clicks of a double-click.
        if (openingChangesTheStore)
            store->update(first, true, true);
    });
    std::vector<QUuid> broughtForward;
    view.bringForward = [&](const QUuid& id) { broughtForward.push_back(id); };
    view.queryField()->setText("milk");
    view.resize(500, 400);
    view.show();
    QListView* list = view.list();
    const QPoint row = list->visualRect(list->model()->index(1, 0)).center();
    ASSERT_FALSE(row.isNull());

    // As the window system delivers one: the second press comes twice, as a
    // press and as a double-click.
    const auto doubleClick = [&] {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row);
    };
    struct Gesture {
        const char* name;
        std::function<void()> perform;
        bool changesStore = false;
        int forward = 0; // times the opened note is brought forward again
    };
    const Gesture gestures[] = {
        {"click", [&] { QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row); }},
        {"double-click", doubleClick, false, 1},
        {"double-click that changes the hits", doubleClick, true, 1},
        {"return", [&] {
             list->setCurrentIndex(list->model()->index(0, 0));
             QTest::keyClick(list, Qt::Key_Return);
         }},
        {"down and return from the query", [&] {
             list->setCurrentIndex({});
             QTest::keyClick(view.queryField(), Qt::Key_Down);
             EXPECT_EQ(list->currentIndex().row(), 0);
             EXPECT_EQ(view.focusWidget(), list);
             QTest::keyClick(list, Qt::Key_Return);
         }},
        {"return in the query", [&] {
             list->setCurrentIndex(list->model()->index(1, 0));
             QTest::keyClick(view.queryField(), Qt::Key_Return);
         }},
    };
    for (const Gesture& gesture : gestures) {
        SCOPED_TRACE(gesture.name);
        opens = 0;
        broughtForward.clear();
        openingChangesTheStore = gesture.changesStore;
        gesture.perform();
        QCoreApplication::processEvents();
        EXPECT_EQ(opens, 1);
        EXPECT_EQ(broughtForward.size(), size_t(gesture.forward));
    }
}

} // namespace
} // namespace quorrin
