// One keystroke end to end: the key event, the edit, the write-back into the
// store, the layout and the paint of the shown text. Notes of 5 and 500
// blocks, alone in their store or among 10,000 generated notes, against a
// plain QTextEdit with the same text taking the same key ("ratio").
#include "Editor/BlockEditor.h"
#include "Editor/BlockTextView.h"
#include "Editor/TextDocumentConversion.h"
#include "Persistence/NoteStore.h"
#include "StoredNotes.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextCursor>
#include <QTextEdit>

#include <chrono>

namespace quorrin {
namespace {

using Stopwatch = std::chrono::steady_clock;

QApplication& application()
{
    static int argc = 1;
    static char name[] = "KeystrokeBench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

// The edited note: `blocks` blocks of headings, paragraphs, bullets and todos.
Note editedNote(int blocks)
{
    bench::StoreShape shape;
    shape.notes = 1;
    shape.longEvery = 1;
    shape.longBlocks = blocks;
    shape.seed = 7;
    return bench::realisticNotes(shape).front();
}

// A data directory whose first note is the edited one, followed by
// `others` generated notes.
QString storeWith(int blocks, int others)
{
    bench::StoreShape shape;
    shape.notes = others;
    std::vector<Note> notes = bench::realisticNotes(shape);
    notes.insert(notes.begin(), editedNote(blocks));
    return bench::storedNotesDirectory(notes);
}

double typeInto(QWidget* receiver, QWidget* painted)
{
    const auto start = Stopwatch::now();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(receiver, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(receiver, &release);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    painted->repaint();
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

// The editor's and the plain keystroke in functions of their own, so that
// an instruction count can be limited to them:
//   valgrind --tool=callgrind --toggle-collect='*editorKeystroke*'
//       --toggle-collect='*plainKeystroke*' bench/KeystrokeBench
//       --benchmark_filter='blocks:500/others:10000/'
// Each one's inclusive instructions divided by the 100 iterations are one
// keystroke's, the same on every run and machine.
[[gnu::noinline]] double editorKeystroke(BlockEditor& editor)
{
    return typeInto(editor.textView(), editor.textView()->viewport());
}

[[gnu::noinline]] double plainKeystroke(QTextEdit& plain)
{
    return typeInto(&plain, plain.viewport());
}

void BM_Keystroke(benchmark::State& state)
{
    application();
    const int blocks = int(state.range(0));
    const int others = int(state.range(1));
    const QString directory = storeWith(blocks, others);
    NoteStore store(directory, true);
    const QUuid noteID = store.notes().front().id;

    BlockEditor editor(store, noteID);
    editor.resize(320, 600);
    editor.show();
    editor.render(true);
    QTextCursor caret(editor.document());
    caret.setPosition(3);
    editor.textView()->setTextCursor(caret);
    editor.textView()->setFocus();

    QTextEdit plain;
    plain.resize(320, 600);
    plain.setPlainText(textdoc::plainText(*editor.document(), 0, 1 << 24));
    plain.show();
    QTextCursor plainCaret(plain.document());
    plainCaret.setPosition(3);
    plain.setTextCursor(plainCaret);
    QCoreApplication::processEvents();

    double editorSeconds = 0;
    double plainSeconds = 0;
    for (auto _ : state) {
        const double round = editorKeystroke(editor);
        editorSeconds += round;
        plainSeconds += plainKeystroke(plain);
        state.SetIterationTime(round);
    }
    const double rounds = double(state.iterations());
    state.counters["ms"] = editorSeconds * 1000 / rounds;
    state.counters["plain_ms"] = plainSeconds * 1000 / rounds;
    state.counters["ratio"] = editorSeconds / plainSeconds;
}

BENCHMARK(BM_Keystroke)
    ->ArgNames({"blocks", "others"})
    ->Args({5, 0})
    ->Args({500, 0})
    ->Args({5, 10000})
    ->Args({500, 10000})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);

} // namespace
} // namespace quorrin
