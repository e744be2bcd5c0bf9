// Backup and restore of a store with 1,000 notes and 100 attachments of 1 MB,
// each reported in MB/s of attachment data and against a plain recursive copy
// of the same package made in the same iteration (ratio_to_plain_copy, the
// median over the iterations: 1.0 means as fast as the copy).
#include "Domain/BackupManifest.h"
#include "Domain/Json.h"
#include "Domain/TextDefaults.h"
#include "Persistence/NoteStore.h"
#include "Core/Files/DirectoryTree.h"
#include "Core/Files/FileDigest.h"
#include "Core/Storage/RecordStore.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

namespace {

using namespace quorrin;

constexpr int noteCount = 1000;
constexpr int attachmentCount = 100;
constexpr qint64 attachmentSize = 1 << 20;
constexpr double megabyte = 1e6;

QByteArray attachmentBytes(int index)
{
    QByteArray bytes(attachmentSize, Qt::Uninitialized);
    quint32 state = 2463534242u + quint32(index);
    for (char& byte : bytes) { // xorshift: incompressible, different per file
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = char(state);
    }
    return bytes;
}

// A data directory seeded with the notes and attachment files, the open store
// on it, and a finished package of it.
class Workload {
public:
    static Workload& shared()
    {
        static Workload workload;
        return workload;
    }

    NoteStore& store() { return *m_store; }
    QString freshPath(const QString& stem) { return m_scratch.filePath(stem + QUuid::createUuid().toString(QUuid::Id128)); }
    const QString& package() const { return m_package; }
    double payloadBytes() const { return double(attachmentCount) * attachmentSize; }

    // Seconds of one plain recursive copy of the package.
    double plainCopySeconds()
    {
        const QString copy = freshPath("copy-");
        const auto start = std::chrono::steady_clock::now();
        copyDirectoryRecursively(m_package, copy);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        removeRecursively(copy);
        return seconds;
    }

private:
    Workload()
    {
        const QString root = m_data.path();
        QDir().mkpath(root + "/Attachments");
        RecordChanges rows;
        for (int index = 0; index < noteCount; ++index) {
            Note note = Note::create([] { return Date{700000000}; });
            note.blocks.front().text =
                RichText(QStringLiteral("第 %1 张便笺：meeting notes, errands, a longer line of text").arg(index),
                         TextFont::system(defaultFontSize));
            if (index < attachmentCount) {
                const QByteArray bytes = attachmentBytes(index);
                Attachment attachment;
                attachment.relativePath = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + ".png";
                attachment.originalFilename = QStringLiteral("image %1.png").arg(index);
                attachment.contentType = "png";
                attachment.checksum = digest::sha256Hex(bytes);
                QFile file(root + "/Attachments/" + attachment.relativePath);
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                    qFatal("cannot write the attachments");
                Block image;
                image.kind = BlockKind::Image;
                image.attachment = attachment;
                note.blocks.push_back(image);
            }
            const QString id = note.id.toString(QUuid::WithoutBraces).toUpper();
            rows.writes.push_back({id, json::encode(BackupManifest{6, note.createdAt, {note}, Preferences()}), 0});
        }
        rows.appState = json::encode(BackupManifest{6, Date{0}, {}, Preferences()});
        RecordStore(root + "/" + NoteStore::storeFileName).apply(rows);

        m_store = std::make_unique<NoteStore>(root, true);
        m_package = freshPath("package-") + ".quorrinbackup";
        m_store->backup(m_package);
    }

    QTemporaryDir m_data;
    QTemporaryDir m_scratch;
    std::unique_ptr<NoteStore> m_store;
    QString m_package;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs `work` once per iteration, timing it by hand so the clean-up between
// iterations stays out of the measurement, and a plain copy of the package
// right after it in the same iteration: the disk's speed varies by as much
// as twice between runs, so each iteration's work is compared with its own
// copy. Reports the MB/s of the best iteration and of the best copy, and the
// median of the iterations' ratios.
template <typename Work, typename CleanUp>
void measure(benchmark::State& state, Work&& work, CleanUp&& cleanUp)
{
    Workload& workload = Workload::shared();
    double best = 0;
    double bestCopy = 0;
    std::vector<double> ratios;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        work(workload);
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        cleanUp(workload);
        const double copy = workload.plainCopySeconds();
        best = best == 0 ? elapsed : std::min(best, elapsed);
        bestCopy = bestCopy == 0 ? copy : std::min(bestCopy, copy);
        ratios.push_back(copy / elapsed); // speeds: the copy's time over the work's
    }
    state.counters["MB/s"] = workload.payloadBytes() / best / megabyte;
    state.counters["plain_copy_MB/s"] = workload.payloadBytes() / bestCopy / megabyte;
    state.counters["ratio_to_plain_copy"] = median(ratios);
}

void BM_PlainRecursiveCopy(benchmark::State& state)
{
    QString copy;
    measure(
        state, [&](Workload& w) { copyDirectoryRecursively(w.package(), copy = w.freshPath("copy-")); },
        [&](Workload&) { removeRecursively(copy); });
}

void BM_Backup(benchmark::State& state)
{
    QString target;
    measure(
        state, [&](Workload& w) { w.store().backup(target = w.freshPath("backup-") + ".quorrinbackup"); },
        [&](Workload&) { removeRecursively(target); });
}

// A restore verifies the package, writes a safety copy of the current state
// and copies every attachment in: about three times the data of a backup.
void BM_Restore(benchmark::State& state)
{
    measure(
        state, [](Workload& w) { w.store().restoreBackup(w.package()); },
        [](Workload& w) { removeRecursively(w.store().root() + "/" + NoteStore::recoveryDirectoryName); });
}

BENCHMARK(BM_PlainRecursiveCopy)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Backup)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Restore)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // the store's deferred-save timer needs one
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
