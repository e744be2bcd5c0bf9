// RTF writing and reading throughput: one long mixed-format paragraph, and a
// note of 200 short paragraphs.

#include "Core/Text/Rtf.h"

#include <benchmark/benchmark.h>

namespace {

using namespace quorrin;

TextAttributes formatFor(int index)
{
    TextAttributes attributes;
    attributes.font = TextFont{index % 3 == 0 ? TextFont::systemFamily() : QStringLiteral("Noto Serif CJK SC"),
                               index % 2 == 0 ? 14.0 : 15.5, index % 4 == 1, index % 5 == 2};
    attributes.foreground = index % 3 == 1 ? TextColor::fixed(Rgba{0.8, 0.1, 0.1, 1}) : TextColor::dynamicText();
    attributes.underlineStyle = index % 7 == 3 ? 1 : 0;
    ParagraphStyle style;
    style.headIndent = 12;
    style.firstLineHeadIndent = 12;
    style.paragraphSpacing = 6;
    attributes.paragraphStyle = style;
    return attributes;
}

// About 2,000 characters in runs of 40, Latin and CJK mixed.
AttributedString mixedParagraph()
{
    const QString latin = QStringLiteral("The quick brown fox jumps over the dog. ");
    const QString chinese = QStringLiteral("敏捷的棕色狐狸跳过了那只懒狗，然后继续向前奔跑直到天黑为止。再来一次吧！");
    AttributedString text;
    for (int index = 0; text.length() < 2000; ++index)
        text.append((index % 2 == 0 ? latin : chinese).left(40), formatFor(index));
    return text;
}

AttributedString note()
{
    AttributedString text;
    for (int index = 0; index < 200; ++index) {
        text.append(QStringLiteral("第%1段：").arg(index + 1), formatFor(index));
        text.append(QStringLiteral("a line of ordinary note text with a todo or two\n"), formatFor(index + 1));
    }
    return text;
}

void write(benchmark::State& state, const AttributedString& text)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray document = rtf::write(text);
        bytes += document.size();
        benchmark::DoNotOptimize(document.data());
    }
    state.SetBytesProcessed(bytes);
}

void read(benchmark::State& state, const AttributedString& text)
{
    const QByteArray document = rtf::write(text);
    for (auto _ : state) {
        auto read = rtf::read(document);
        benchmark::DoNotOptimize(read);
    }
    state.SetBytesProcessed(qint64(state.iterations()) * document.size());
}

void BM_WriteMixedParagraph(benchmark::State& state) { write(state, mixedParagraph()); }
void BM_ReadMixedParagraph(benchmark::State& state) { read(state, mixedParagraph()); }
void BM_WriteNote200Paragraphs(benchmark::State& state) { write(state, note()); }
void BM_ReadNote200Paragraphs(benchmark::State& state) { read(state, note()); }

BENCHMARK(BM_WriteMixedParagraph);
BENCHMARK(BM_ReadMixedParagraph);
BENCHMARK(BM_WriteNote200Paragraphs);
BENCHMARK(BM_ReadNote200Paragraphs);

} // namespace
