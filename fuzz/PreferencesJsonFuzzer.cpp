// Feeds arbitrary bytes to the reading of "Preferences.json" as opening the
// store does it. Preferences that read must also write, and read back the same.

#include "FuzzSupport.h"

#include "Domain/Preferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    fuzzing::expectingReportedFailures([&] {
        const Preferences preferences = json::decode<Preferences>(fuzzing::bytesOf(data, size));
        const QByteArray written = json::encode(preferences);
        if (json::encode(json::decode<Preferences>(written)) != written)
            std::abort();
    });
    return 0;
}
