// Feeds arbitrary bytes to the reading of "Preferences.json" as opening the
// store does it. Preferences that read must also write (every save writes
// them), and read back the same.

#include "FuzzSupport.h"

#include "Domain/Preferences.h"

#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    std::optional<Preferences> preferences;
    fuzzing::expectingReportedFailures([&] { preferences = json::decode<Preferences>(fuzzing::bytesOf(data, size)); });
    if (!preferences)
        return 0;
    try {
        const QByteArray written = json::encode(*preferences);
        if (json::encode(json::decode<Preferences>(written)) != written)
            std::abort();
    } catch (const std::exception&) {
        std::abort();
    }
    return 0;
}
