// Feeds arbitrary bytes to the reading of a store row or a backup manifest:
// decode, then validate. Whatever passes must write out and read back to a
// fixed point, since the store writes back every note it loaded; a manifest
// that passed but cannot be written is a fault, not a reported failure.

#include "FuzzSupport.h"

#include "Persistence/RecordLoading.h"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    std::optional<BackupManifest> manifest;
    fuzzing::expectingReportedFailures([&] { manifest = decodeValidManifest(fuzzing::bytesOf(data, size)); });
    if (!manifest)
        return 0;
    try {
        const QByteArray written = json::encode(*manifest);
        if (json::encode(decodeValidManifest(written)) != written)
            std::abort();
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
