// Feeds arbitrary bytes to the reading of a store row or a backup manifest:
// decode, then validate. Whatever passes must write out and read back to a
// fixed point, since the store writes back every note it loaded.

#include "FuzzSupport.h"

#include "Persistence/RecordLoading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    fuzzing::expectingReportedFailures([&] {
        const BackupManifest manifest = decodeValidManifest(fuzzing::bytesOf(data, size));
        const QByteArray written = json::encode(manifest); // a validated manifest always writes
        const BackupManifest reread = decodeValidManifest(written);
        if (json::encode(reread) != written)
            std::abort();
    });
    return 0;
}
