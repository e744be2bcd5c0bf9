// Feeds every manifest that decodes to its validation, and checks what the
// validation promises: a valid manifest's notes each make a valid manifest on
// their own, and the check across notes agrees with the whole validation.

#include "FuzzSupport.h"

#include "Domain/BackupManifest.h"

#include <optional>

namespace {

// The error text validation throws, or none when it passes.
template <typename Check>
std::optional<QString> failureOf(Check&& check)
{
    try {
        check();
    } catch (const quorrin::AppError& error) {
        return error.message;
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    std::optional<BackupManifest> decoded;
    try {
        decoded = json::decode<BackupManifest>(fuzzing::bytesOf(data, size));
    } catch (const json::Error&) {
        return 0;
    }
    const std::optional<QString> wholeFailure = failureOf([&] { decoded->validate(); });

    bool everyNoteAlone = true;
    for (const Note& note : decoded->notes) {
        BackupManifest single = *decoded;
        single.notes = {note};
        everyNoteAlone = everyNoteAlone && !failureOf([&] { single.validate(); });
    }
    if (!wholeFailure && !everyNoteAlone)
        std::abort();
    if (everyNoteAlone) {
        BackupManifest withoutNotes = *decoded;
        withoutNotes.notes.clear();
        if (!failureOf([&] { withoutNotes.validate(); })) {
            const std::optional<QString> acrossFailure =
                failureOf([&] { BackupManifest::validateIdsAcross(decoded->notes); });
            if (acrossFailure != wholeFailure)
                std::abort();
        }
    }
    return 0;
}
