#include "Features/Attachments/AttachmentPanel.h"

#include "Domain/AppError.h"
#include "Features/Attachments/AttachmentFixtures.h"
#include "Features/Attachments/DrawingImageView.h"
#include "Features/Attachments/PdfAnnotationDocument.h"
#include "Features/Attachments/PdfPageView.h"
#include "Persistence/StoreFixtures.h"
#include "Core/Storage/Sqlite.h"

#include <QCryptographicHash>
#include <QDir>
#include <QPointer>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>
#include <poppler-qt6.h>

namespace quorrin {
namespace {

using testing::readBytes;
using testing::StoreDirectory;
using testing::writeBytes;

QString describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const AppError& appError) {
        return appError.message;
    } catch (const std::exception& other) {
        return QString::fromUtf8(other.what());
    }
}

class AttachmentPanelTest : public ::testing::Test {
protected:
    AttachmentPanelTest()
    {
        store->setOnError([this](std::exception_ptr error) { errors << describe(error); });
        QDir().mkpath(attachmentsDirectory());
    }

    QString attachmentsDirectory() const { return data.path() + QStringLiteral("/Attachments"); }

    // Stores the bytes as an attachment file and returns its record.
    Attachment storeFile(const QByteArray& bytes, const QString& contentType, const QString& name = {})
    {
        Attachment attachment;
        attachment.relativePath = name.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper()
                                                       + u'.' + contentType
                                                 : name;
        attachment.originalFilename = QStringLiteral("原图.") + contentType;
        attachment.contentType = contentType;
        attachment.checksum =
            QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
        writeBytes(attachmentsDirectory() + u'/' + attachment.relativePath, bytes);
        return attachment;
    }

    // A live note with the attachment twice, a deleted one with it once and
    // a note without it.
    void addNotesShowing(const Attachment& attachment)
    {
        const auto blockOf = [&] {
            Block block;
            block.kind = attachment.contentType == QLatin1String("pdf") ? BlockKind::Pdf : BlockKind::Image;
            block.attachment = attachment;
            return block;
        };
        Note live = store->create();
        live.blocks = {blockOf(), Block(), blockOf()};
        store->update(live, true, false);
        Note deleted = store->create();
        deleted.blocks = {blockOf()};
        store->update(deleted, true, false);
        ASSERT_TRUE(store->deleteNote(deleted.id));
        Note other = store->create();
        other.blocks.front().text = RichText(QStringLiteral("x"), TextFont::system(14));
        store->update(other, true, false);
        liveID = live.id;
        deletedID = deleted.id;
        otherID = other.id;
    }

    std::vector<Attachment> attachmentsIn(const QUuid& noteID) const
    {
        std::vector<Attachment> found;
        const Note note = *store->note(noteID);
        for (const Block& block : note.blocks) {
            if (block.attachment)
                found.push_back(*block.attachment);
        }
        return found;
    }

    std::unique_ptr<AttachmentPanel> panelFor(const Attachment& attachment)
    {
        AttachmentPanelServices services;
        services.askNoteText = [this](QWidget*) { return noteText; };
        services.beep = [this] { ++beeps; };
        services.openExternally = [this](const QString& path, const OpenFailure&) { opened << path; };
        auto panel = std::make_unique<AttachmentPanel>(attachment, *store, std::move(services));
        // The test owns it; closing must not delete it underneath.
        panel->setAttribute(Qt::WA_DeleteOnClose, false);
        panel->show();
        return panel;
    }

    StoreDirectory data;
    std::unique_ptr<NoteStore> store = data.open();
    QStringList errors;
    std::optional<QString> noteText;
    int beeps = 0;
    QStringList opened;
    QUuid liveID;
    QUuid deletedID;
    QUuid otherID;
};

TEST_F(AttachmentPanelTest, DrawsStrokesUndoesOneAndSavesTheImageAsShownRepointingEveryBlock)
{
    const QByteArray original = testing::pngOf(testing::filled({200, 100}, Qt::white));
    const Attachment attachment = storeFile(original, QStringLiteral("png"));
    addNotesShowing(attachment);
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("预览与标注 — 原图.png"));
    EXPECT_EQ(panel->buttonTitles(), (QStringList{QStringLiteral("撤销上一笔"), QStringLiteral("保存标注副本"),
                                                  QStringLiteral("用系统默认应用打开")}));
    DrawingImageView* canvas = panel->canvas();
    ASSERT_TRUE(canvas);
    canvas->resize(400, 400);
    const QRect image = canvas->imageRect().toRect();
    EXPECT_EQ(image, QRect(0, 100, 400, 200));

    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(50, 150));
    QTest::mouseMove(canvas, QPoint(150, 250));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(150, 250));
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(10, 10)); // above the image
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(canvas->strokes().strokes().size(), 2u);
    panel->undoStroke();
    ASSERT_EQ(canvas->strokes().strokes().size(), 1u);
    EXPECT_EQ(canvas->strokes().strokes()[0].front(), QPointF(0.125, 0.25));

    panel->save();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    EXPECT_FALSE(panel->isVisible());

    const std::vector<Attachment> live = attachmentsIn(liveID);
    ASSERT_EQ(live.size(), 2u);
    const Attachment saved = live[0];
    EXPECT_EQ(live[1], saved);
    EXPECT_EQ(attachmentsIn(deletedID), std::vector<Attachment>{saved});
    EXPECT_EQ(saved.id, attachment.id);
    EXPECT_EQ(saved.originalFilename, attachment.originalFilename);
    EXPECT_EQ(saved.contentType, QStringLiteral("png"));
    EXPECT_NE(saved.relativePath, attachment.relativePath);
    EXPECT_TRUE(saved.relativePath.endsWith(QLatin1String(".png")));

    const QByteArray written = readBytes(attachmentsDirectory() + u'/' + saved.relativePath);
    EXPECT_EQ(saved.checksum,
              QString::fromLatin1(QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex()));
    const QImage shown = QImage::fromData(written);
    EXPECT_EQ(shown.size(), QSize(400, 200));
    EXPECT_EQ(QColor(shown.pixel(50, 50)), QColor(255, 59, 48)); // on the stroke
    EXPECT_EQ(QColor(shown.pixel(300, 20)), QColor(Qt::white));
    // The original stays as it was, and the saved notes say the same after reopening.
    EXPECT_EQ(readBytes(attachmentsDirectory() + u'/' + attachment.relativePath), original);
    store.reset();
    store = data.open();
    EXPECT_EQ(attachmentsIn(deletedID), std::vector<Attachment>{saved});
}

TEST_F(AttachmentPanelTest, AFailedStoreSaveKeepsThePanelTheBlocksAndNoNewFile)
{
    const Attachment attachment = storeFile(testing::pngOf(testing::filled({20, 20}, Qt::white)), "png");
    addNotesShowing(attachment);
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    const QStringList before = QDir(attachmentsDirectory()).entryList(QDir::Files);

    // An open read transaction elsewhere keeps the commit from happening.
    SqliteDatabase reader(data.storePath(), SqliteDatabase::Mode::ReadOnly);
    reader.execute(QStringLiteral("BEGIN"));
    std::optional<SqliteStatement> reading = reader.prepare(QStringLiteral("SELECT count(*) FROM NoteRecord"));
    ASSERT_TRUE(reading->step());
    panel->save();

    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(QDir(attachmentsDirectory()).entryList(QDir::Files), before);
    EXPECT_EQ(attachmentsIn(liveID), (std::vector<Attachment>{attachment, attachment}));
    EXPECT_EQ(attachmentsIn(deletedID), std::vector<Attachment>{attachment});
    reading.reset();
    reader.execute(QStringLiteral("COMMIT"));
    // Nothing of the refused change is saved later on.
    store->save();
    store.reset();
    store = data.open();
    EXPECT_EQ(attachmentsIn(deletedID), std::vector<Attachment>{attachment});
}

TEST_F(AttachmentPanelTest, HighlightsTheSelectionAddsANoteAndSavesTheAnnotatedPdf)
{
    const QByteArray original = testing::twoLinePdf();
    const Attachment attachment = storeFile(original, QStringLiteral("pdf"));
    addNotesShowing(attachment);
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    EXPECT_EQ(panel->buttonTitles(),
              (QStringList{QStringLiteral("高亮选中文字"), QStringLiteral("添加文字批注"), QStringLiteral("保存标注副本"),
                           QStringLiteral("用系统默认应用打开")}));
    PdfPageView* view = panel->pdfView();
    ASSERT_TRUE(view && panel->pdfDocument());

    panel->highlight(); // nothing selected yet
    EXPECT_EQ(beeps, 1);

    // Dragging from the first word to the last one of the second line.
    view->resize(600, 500);
    QWidget* surface = view->widget();
    const auto& words = panel->pdfDocument()->words(0);
    const auto shown = [&](const QRectF& box) {
        return (view->pageRect(0).topLeft() + box.center() * view->scale()).toPoint();
    };
    QTest::mousePress(surface, Qt::LeftButton, {}, shown(words[0].box));
    QTest::mouseMove(surface, shown(words[5].box));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, shown(words[5].box));
    ASSERT_EQ(view->currentSelection(), (PdfPageView::Selection{{0, 0}, {0, 5}}));
    panel->highlight();
    EXPECT_EQ(beeps, 1);

    noteText = QString(); // an empty note adds nothing
    panel->addText();
    noteText = QStringLiteral("看这里");
    panel->addText();

    panel->save();
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const Attachment saved = attachmentsIn(deletedID).at(0);
    EXPECT_EQ(saved.contentType, QStringLiteral("pdf"));
    EXPECT_EQ(attachmentsIn(liveID), (std::vector<Attachment>{saved, saved}));
    std::unique_ptr<Poppler::Document> copy =
        Poppler::Document::loadFromData(readBytes(attachmentsDirectory() + u'/' + saved.relativePath));
    ASSERT_TRUE(copy);
    std::vector<Poppler::Annotation::SubType> kinds;
    for (const auto& annotation : copy->page(0)->annotations())
        kinds.push_back(annotation->subType());
    EXPECT_EQ(kinds, (std::vector<Poppler::Annotation::SubType>{Poppler::Annotation::AHighlight,
                                                                 Poppler::Annotation::AHighlight,
                                                                 Poppler::Annotation::AText}));
    EXPECT_EQ(readBytes(attachmentsDirectory() + u'/' + attachment.relativePath), original);
}

TEST_F(AttachmentPanelTest, ASelectionAcrossAPageBreakIsHighlightedOnBothPages)
{
    const Attachment attachment = storeFile(testing::twoLinePdf(2), QStringLiteral("pdf"));
    addNotesShowing(attachment);
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    PdfPageView* view = panel->pdfView();
    ASSERT_TRUE(view && panel->pdfDocument());
    view->resize(600, 500);
    ASSERT_EQ(panel->pdfDocument()->words(1).size(), 6u);
    QWidget* surface = view->widget();
    const auto shown = [&](int page, int word) {
        const QRectF box = panel->pdfDocument()->words(page)[std::size_t(word)].box;
        return (view->pageRect(page).topLeft() + box.center() * view->scale()).toPoint();
    };

    // From the second line of page 1 to the first line of page 2, dragged
    // down and then up: the same words either way.
    for (const bool downward : {true, false}) {
        SCOPED_TRACE(downward);
        const QPoint top = shown(0, 4);
        const QPoint bottom = shown(1, 1);
        QTest::mousePress(surface, Qt::LeftButton, {}, downward ? top : bottom);
        QTest::mouseMove(surface, downward ? bottom : top);
        QTest::mouseRelease(surface, Qt::LeftButton, {}, downward ? bottom : top);
        EXPECT_EQ(view->selectedRuns(), (std::vector<annotation::PageRun>{{0, 4, 5}, {1, 0, 1}}));
    }
    panel->highlight();
    EXPECT_EQ(beeps, 0);

    panel->save();
    ASSERT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const Attachment saved = attachmentsIn(liveID).at(0);
    std::unique_ptr<Poppler::Document> copy =
        Poppler::Document::loadFromData(readBytes(attachmentsDirectory() + u'/' + saved.relativePath));
    ASSERT_TRUE(copy);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        const auto annotations = copy->page(page)->annotations();
        ASSERT_EQ(annotations.size(), 1u) << "one line selected on each page";
        EXPECT_EQ(annotations.front()->subType(), Poppler::Annotation::AHighlight);
    }
}

// Dragged below the view, the selection scrolls the pages up under the
// pointer and takes in what comes into view, until the button is released.
TEST_F(AttachmentPanelTest, ASelectionDraggedPastTheBottomScrollsUntilReleased)
{
    const Attachment attachment = storeFile(testing::twoLinePdf(3), QStringLiteral("pdf"));
    addNotesShowing(attachment);
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    PdfPageView* view = panel->pdfView();
    ASSERT_TRUE(view && panel->pdfDocument());
    view->resize(600, 500);
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    QWidget* surface = view->widget();
    const QRectF first = panel->pdfDocument()->words(0).front().box;
    QTest::mousePress(surface, Qt::LeftButton, {}, (view->pageRect(0).topLeft() + first.center() * view->scale()).toPoint());
    const QPoint below(300, view->viewport()->height() + 30);
    QTest::mouseMove(surface, surface->mapFrom(view->viewport(), below));
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->currentSelection() && view->currentSelection()->focus.page == 2; },
                                10000))
        << "scrolled to " << bar->value();
    QTest::mouseRelease(surface, Qt::LeftButton, {}, surface->mapFrom(view->viewport(), below));
    const int released = bar->value();
    QTest::qWait(200);
    EXPECT_EQ(bar->value(), released);
}

TEST_F(AttachmentPanelTest, UnreadableFilesShowNoViewerAndCannotBeSaved)
{
    struct Case {
        const char* name;
        Attachment attachment;
        QStringList buttons;
    };
    const QStringList saveAndOpen{QStringLiteral("保存标注副本"), QStringLiteral("用系统默认应用打开")};
    Attachment escaping = storeFile("x", QStringLiteral("png"));
    escaping.relativePath = QStringLiteral("../Notes.sqlite");
    Attachment linked = storeFile("x", QStringLiteral("png"));
    QFile::remove(attachmentsDirectory() + u'/' + linked.relativePath);
    const Attachment outside = storeFile(testing::pngOf(testing::filled({4, 4}, Qt::red)), "png");
    QFile::link(attachmentsDirectory() + u'/' + outside.relativePath,
                attachmentsDirectory() + u'/' + linked.relativePath);
    // Content type "PDF" in capitals is not a PDF: image mode.
    Attachment capitals = storeFile(testing::twoLinePdf(), QStringLiteral("pdf"));
    capitals.contentType = QStringLiteral("PDF");
    const std::vector<Case> cases = {
        {"not an image", storeFile("not an image", QStringLiteral("png")), saveAndOpen},
        {"a name reaching out of the folder", escaping, saveAndOpen},
        {"a symbolic link", linked, saveAndOpen},
        {"PDF in capitals", capitals, saveAndOpen},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        errors.clear();
        std::unique_ptr<AttachmentPanel> panel = panelFor(test.attachment);
        EXPECT_FALSE(panel->canvas());
        EXPECT_FALSE(panel->pdfView());
        EXPECT_EQ(panel->buttonTitles(), test.buttons);
        panel->save();
        EXPECT_EQ(errors, QStringList{QStringLiteral("无法生成标注文件。")});
        EXPECT_TRUE(panel->isVisible());
    }

    // A PDF that cannot be read: an empty view, and no copy either.
    std::unique_ptr<AttachmentPanel> broken = panelFor(storeFile("%PDF-broken", QStringLiteral("pdf")));
    ASSERT_TRUE(broken->pdfView());
    EXPECT_FALSE(broken->pdfDocument());
    errors.clear();
    broken->addText();
    broken->save();
    EXPECT_EQ(errors, QStringList{QStringLiteral("无法生成标注文件。")});
}

TEST_F(AttachmentPanelTest, OpensOnlyTheStoredFileItselfAndNeverThroughALink)
{
    const Attachment attachment = storeFile(testing::pngOf(testing::filled({4, 4}, Qt::red)), "png");
    std::unique_ptr<AttachmentPanel> panel = panelFor(attachment);
    panel->openExternal();
    EXPECT_EQ(opened, QStringList{attachmentsDirectory() + u'/' + attachment.relativePath});

    Attachment linked = attachment;
    linked.relativePath = QStringLiteral("link.png");
    QFile::link(attachmentsDirectory() + u'/' + attachment.relativePath, attachmentsDirectory() + QStringLiteral("/link.png"));
    opened.clear();
    panelFor(linked)->openExternal();
    EXPECT_TRUE(opened.isEmpty());
    EXPECT_EQ(errors.size(), 1);
}

} // namespace
} // namespace quorrin
