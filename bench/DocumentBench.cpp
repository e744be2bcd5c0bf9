// Document import and export of a large note: splitting a 2,000-paragraph
// document into blocks, rendering a 500-block note, and writing and reading
// an RTFD bundle with 20 attachments, against a bare QFile write of the same
// bytes as the floor.

#include "Features/DocumentFormats.h"
#include "Features/NoteDocument.h"
#include "Core/Text/Rtf.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace quorrin;
using namespace quorrin::documents;

AttributedString longDocument(int paragraphs)
{
    TextAttributes font;
    font.font = TextFont::system(14);
    AttributedString text;
    for (int index = 0; index < paragraphs; ++index) {
        text.append(QStringLiteral("第 %1 段：敏捷的棕色狐狸跳过了那只懒狗。The quick brown fox.\n").arg(index), font);
        if (index % 100 == 0) {
            TextAttributes marked;
            marked.custom[rtf::attachmentAttribute] = QStringLiteral("image%1.png").arg(index);
            text.append(QString(QChar(rtf::attachmentCharacter)), marked);
        }
    }
    return text;
}

Note largeNote(const QString& attachments)
{
    Note note;
    note.blocks.clear();
    for (int index = 0; index < 500; ++index) {
        Block block;
        block.kind = index % 3 == 0 ? BlockKind::Todo : index % 3 == 1 ? BlockKind::Bullet : BlockKind::Paragraph;
        block.text = RichText(QStringLiteral("任务 %1 — 写完报告并发给团队").arg(index), TextFont::system(14));
        if (block.kind == BlockKind::Todo) {
            block.todo = TodoMetadata();
            block.todo->priority = index % 4 + 1;
            block.todo->notes = RichText(QStringLiteral("备注 %1").arg(index), TextFont::system(12));
        }
        if (index % 25 == 0) {
            const QString name = QStringLiteral("A%1.png").arg(index);
            QFile file(attachments + '/' + name);
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray(64 * 1024, char(index)));
            Attachment attachment;
            attachment.relativePath = name;
            attachment.originalFilename = QStringLiteral("图片.png");
            block.kind = BlockKind::Image;
            block.attachment = attachment;
        }
        note.blocks.push_back(block);
    }
    return note;
}

void BM_SplitDocument(benchmark::State& state)
{
    const AttributedString text = longDocument(2000);
    for (auto _ : state)
        benchmark::DoNotOptimize(splitIntoPieces(text));
}
BENCHMARK(BM_SplitDocument)->Unit(benchmark::kMillisecond);

void BM_RenderNote(benchmark::State& state)
{
    QTemporaryDir dir;
    const Note note = largeNote(dir.path());
    for (auto _ : state)
        benchmark::DoNotOptimize(renderNote(note, dir.path(), state.range(0) != 0));
}
BENCHMARK(BM_RenderNote)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_WriteAndReadRtfd(benchmark::State& state)
{
    QTemporaryDir dir;
    const RenderedNote rendered = renderNote(largeNote(dir.path()), dir.path(), true);
    const QString bundle = dir.filePath("export.rtfd");
    for (auto _ : state) {
        writeRtfd(bundle, rendered.text, rendered.files);
        benchmark::DoNotOptimize(readDocument(bundle));
    }
}
BENCHMARK(BM_WriteAndReadRtfd)->Unit(benchmark::kMillisecond);

// The floor: the same bytes written and read back with bare QFile calls.
void BM_BareFilesBaseline(benchmark::State& state)
{
    QTemporaryDir dir;
    const RenderedNote rendered = renderNote(largeNote(dir.path()), dir.path(), true);
    const QByteArray text = rtf::write(rendered.text);
    for (auto _ : state) {
        QFile out(dir.filePath("TXT.rtf"));
        out.open(QIODevice::WriteOnly);
        out.write(text);
        out.close();
        for (const EmbeddedFile& file : rendered.files) {
            QFile attachment(dir.filePath(file.name));
            attachment.open(QIODevice::WriteOnly);
            attachment.write(file.data);
        }
        QFile in(dir.filePath("TXT.rtf"));
        in.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(rtf::read(in.readAll()));
        for (const EmbeddedFile& file : rendered.files) {
            QFile attachment(dir.filePath(file.name));
            attachment.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(attachment.readAll());
        }
    }
}
BENCHMARK(BM_BareFilesBaseline)->Unit(benchmark::kMillisecond);

} // namespace
