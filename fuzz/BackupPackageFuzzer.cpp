// Feeds arbitrary bytes to the reading of a backup package: the input is
// split into "manifest.json" and the files of its "Attachments" folder (see
// writeSections), and the package is verified and its attachments copied out
// as restoring does.

#include "FuzzSupport.h"

#include "Persistence/BackupPackage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quorrin;
    const QTemporaryDir scratch = fuzzing::scratchDirectory();
    const QString package = scratch.filePath(QStringLiteral("Fuzz.quorrinbackup"));
    const QString attachments = package + u'/' + backup::attachmentsFolderName;
    const QString restored = scratch.filePath(QStringLiteral("Restored"));
    QDir().mkpath(attachments);
    QDir().mkpath(restored);
    // The manifest goes first; every section lands in the attachments folder.
    const QByteArray manifest =
        fuzzing::writeSections(fuzzing::bytesOf(data, size), attachments, QStringLiteral(".manifest"));
    QFile::rename(attachments + QStringLiteral("/.manifest"), package + u'/' + backup::manifestFileName);
    fuzzing::expectingReportedFailures([&] {
        const BackupManifest verified = backup::readVerifiedManifest(package);
        backup::copyAttachmentsIn(package, verified.notes, restored);
    });
    return 0;
}
