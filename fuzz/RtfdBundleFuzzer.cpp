// Feeds arbitrary bytes to the import of an RTFD bundle: the input is split
// into "TXT.rtf" and the other entries of a bundle directory (see
// writeSections), which is then read as document import reads it.

#include "FuzzSupport.h"

#include "Features/DocumentFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    const QTemporaryDir scratch = fuzzing::scratchDirectory();
    const QString bundle = scratch.filePath(QStringLiteral("Fuzz.rtfd"));
    QDir().mkdir(bundle);
    fuzzing::writeSections(fuzzing::bytesOf(data, size), bundle, documents::rtfdTextFileName);
    fuzzing::expectingReportedFailures([&] {
        const documents::Document document = documents::readDocument(bundle);
        // A document that returns is complete: every attachment is read.
        for (const documents::AttachmentMark& mark : documents::attachmentsIn(document.text)) {
            if (!document.files.count(mark.name))
                std::abort();
        }
    });
    return 0;
}
