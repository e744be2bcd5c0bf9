// Every input committed under fuzz/corpus, the seeds and each reproducer of a
// fault the fuzz targets found, goes through its reader's check here, so what
// was mended stays mended without clang.

#include "QuickJsonChecks.h"
#include "ReaderChecks.h"

#include <gtest/gtest.h>

#include <QDirIterator>

namespace quorrin {
namespace {

struct Reader {
    const char* corpus;
    bool (*check)(const QByteArray&);
};

constexpr Reader readers[] = {
    {"rtf", fuzzing::checkRtf},
    {"json", fuzzing::checkNoteJson},
    {"quickjson", fuzzing::checkQuickJson},
    {"preferences", fuzzing::checkPreferencesJson},
    {"validation", fuzzing::checkManifestValidation},
    {"backup", fuzzing::checkBackupPackage},
    {"rtfd", fuzzing::checkRtfdBundle},
    {"plaintext", fuzzing::checkPlainText},
    {"store", fuzzing::checkStoreOpening},
};

TEST(FuzzCorpusTest, EveryCommittedInputPassesItsReadersCheck)
{
    for (const Reader& reader : readers) {
        const QString folder = QStringLiteral(QUORRIN_FUZZ_CORPUS "/") + QLatin1String(reader.corpus);
        QDirIterator inputs(folder, QDir::Files);
        int count = 0;
        while (inputs.hasNext()) {
            const QString path = inputs.next();
            SCOPED_TRACE(path.toStdString());
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_TRUE(reader.check(file.readAll()));
            ++count;
        }
        EXPECT_GT(count, 0) << "no inputs in " << folder.toStdString();
    }
}

} // namespace
} // namespace quorrin
