// One keystroke in the search panel over 10,000 notes of 20 blocks (every
// fifth a todo with remarks): the search over the held plain texts, against a
// plain case-insensitive QString::indexOf over the same texts already in
// memory, measured in the same run (ratio_to_indexOf).

#include "Features/Panels/SearchHits.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>

namespace {

using namespace quorrin;

constexpr int noteCount = 10000;
constexpr int blocksPerNote = 20;

QString lineText(int note, int line)
{
    static const QStringList words = {"会议", "牛奶", "Report", "draft", "周末", "电话", "Anna", "预算",
                                      "review", "买菜", "项目", "Straße", "计划", "notes", "提醒", "文件"};
    QString text;
    for (int word = 0; word < 6; ++word)
        text += words[(note * 7 + line * 3 + word * 5) % words.size()] + QLatin1Char(' ');
    return text + QString::number(note * blocksPerNote + line);
}

const std::vector<Note>& sampleNotes()
{
    static const std::vector<Note> notes = [] {
        std::vector<Note> made;
        made.reserve(noteCount);
        for (int index = 0; index < noteCount; ++index) {
            Note note = Note::create(systemNow);
            note.blocks.clear();
            for (int line = 0; line < blocksPerNote; ++line) {
                Block block = Block::create(systemNow);
                block.text = RichText(lineText(index, line), TextFont::system(14));
                if (line % 5 == 4) {
                    block.kind = BlockKind::Todo;
                    block.todo = TodoMetadata();
                    block.todo->notes = RichText(lineText(index + 1, line), TextFont::system(14));
                }
                note.blocks.push_back(block);
            }
            made.push_back(note);
        }
        return made;
    }();
    return notes;
}

// The same texts as plain strings, as a baseline that does nothing else.
const std::vector<QString>& plainTexts()
{
    static const std::vector<QString> texts = [] {
        std::vector<QString> all;
        for (const Note& note : sampleNotes()) {
            for (const Block& block : note.blocks) {
                all.push_back(searchablePlainText(block.text.rtf()));
                if (block.todo)
                    all.push_back(searchablePlainText(block.todo->notes.rtf()));
            }
        }
        return all;
    }();
    return texts;
}

const QStringList keystrokes = {"s", "st", "str", "stra", "straß", "straße", "会", "会议", "9", "99", "999"};

double baselineNanosecondsPerKeystroke()
{
    QElapsedTimer timer;
    qsizetype found = 0;
    timer.start();
    constexpr int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        for (const QString& query : keystrokes) {
            for (const QString& text : plainTexts())
                found += text.indexOf(query, 0, Qt::CaseInsensitive) >= 0;
        }
    }
    benchmark::DoNotOptimize(found);
    return double(timer.nsecsElapsed()) / double(rounds * keystrokes.size());
}

void BM_SearchKeystroke(benchmark::State& state)
{
    SearchIndex index;
    const std::vector<Note>& notes = sampleNotes();
    index.hits(notes, QStringLiteral("warm"), SearchCase::Insensitive); // the first search reads every text
    const double baseline = baselineNanosecondsPerKeystroke();

    int next = 0;
    qsizetype hits = 0;
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        hits += qsizetype(index.hits(notes, keystrokes[next], SearchCase::Insensitive).size());
        next = (next + 1) % int(keystrokes.size());
    }
    const double perKeystroke = double(timer.nsecsElapsed()) / double(state.iterations());
    benchmark::DoNotOptimize(hits);
    state.counters["ms_per_keystroke"] = perKeystroke / 1e6;
    state.counters["indexOf_ms"] = baseline / 1e6;
    state.counters["ratio_to_indexOf"] = perKeystroke / baseline;
}
BENCHMARK(BM_SearchKeystroke)->Unit(benchmark::kMillisecond)->Iterations(33);

// A keystroke that matches nothing: the scan alone.
void BM_SearchKeystrokeWithoutHits(benchmark::State& state)
{
    SearchIndex index;
    index.hits(sampleNotes(), QStringLiteral("warm"), SearchCase::Insensitive);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.hits(sampleNotes(), QStringLiteral("zq"), SearchCase::Insensitive));
}
BENCHMARK(BM_SearchKeystrokeWithoutHits)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_FirstSearchReadsEveryText(benchmark::State& state)
{
    for (auto _ : state) {
        SearchIndex index;
        benchmark::DoNotOptimize(index.hits(sampleNotes(), QStringLiteral("会议"), SearchCase::Insensitive));
    }
}
BENCHMARK(BM_FirstSearchReadsEveryText)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
