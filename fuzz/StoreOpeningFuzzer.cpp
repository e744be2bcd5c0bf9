// Feeds arbitrary bytes to the opening of "Notes.sqlite": the input is the
// store file, which goes through the steps opening takes up to the validation
// of every payload, on connections that never write.

#include "FuzzSupport.h"

#include "Persistence/RecordLoading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    const QTemporaryDir scratch = fuzzing::scratchDirectory();
    const QString path = scratch.filePath(QStringLiteral("Notes.sqlite"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(fuzzing::bytesOf(data, size)) != qint64(size))
            std::abort();
    }
    fuzzing::expectingReportedFailures([&] {
        if (RecordStore::modelOf(RecordStore::readMetadata(path)) != StoreModel::Current)
            return; // refused, or migrated first, which writes
        RecordStore store = RecordStore::openReadOnly(path);
        if (const std::optional<QByteArray> appState = store.readAppState())
            decodeValidManifest(*appState);
        loadNotes(store.readRecords());
    });
    return 0;
}
