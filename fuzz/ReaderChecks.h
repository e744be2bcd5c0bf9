#pragma once

// One check per reader of untrusted bytes: it runs the reader on the bytes
// the way the program does and answers whether what the reader promises
// held. A reader may refuse the bytes with the failures it reports to the
// user; anything else it throws escapes. The fuzz targets abort on a broken
// promise; the corpus replay test in tests/ runs every committed input
// through the same checks, so a reproducer added to fuzz/corpus stays a test.

#include "FuzzSupport.h"

#include "Domain/BackupManifest.h"
#include "Domain/Preferences.h"
#include "Features/DocumentFormats.h"
#include "Persistence/BackupPackage.h"
#include "Persistence/RecordLoading.h"
#include "Core/Text/Rtf.h"

#include <QFileInfo>
#include <QStringConverter>

#include <optional>

namespace quorrin::fuzzing {

// Whatever the RTF reader accepts writes out and reads back to a fixed point;
// reading with pictures kept must not fail where reading without them passes.
inline bool checkRtf(const QByteArray& input)
{
    const std::optional<rtf::DocumentWithPictures> withPictures = rtf::readWithPictures(input);
    const std::optional<AttributedString> text = rtf::read(input);
    if (text && !withPictures)
        return false;
    if (!text)
        return true;
    const QByteArray written = rtf::write(*text);
    const std::optional<AttributedString> reread = rtf::read(written);
    return reread && rtf::write(*reread) == written;
}

// A store row or backup manifest: decode, then validate. Whatever passes must
// write (the store writes back every note it loaded) and read back to a fixed
// point.
inline bool checkNoteJson(const QByteArray& input)
{
    std::optional<BackupManifest> manifest;
    expectingReportedFailures([&] { manifest = decodeValidManifest(input); });
    if (!manifest)
        return true;
    try {
        const QByteArray written = json::encode(*manifest);
        return json::encode(decodeValidManifest(written)) == written;
    } catch (const std::exception&) {
        return false;
    }
}

// "Preferences.json" as opening the store reads it. What reads must write,
// since every save writes it, and read back the same.
inline bool checkPreferencesJson(const QByteArray& input)
{
    std::optional<Preferences> preferences;
    expectingReportedFailures([&] { preferences = json::decode<Preferences>(input); });
    if (!preferences)
        return true;
    try {
        const QByteArray written = json::encode(*preferences);
        return json::encode(json::decode<Preferences>(written)) == written;
    } catch (const std::exception&) {
        return false;
    }
}

namespace detail {

// The message validation fails with, or none when it passes.
template <typename Check>
std::optional<QString> failureOf(Check&& check)
{
    try {
        check();
    } catch (const AppError& error) {
        return error.message;
    }
    return std::nullopt;
}

} // namespace detail

// Every manifest that decodes goes through validation, which promises: the
// notes of a valid manifest each make a valid manifest on their own, and for
// notes valid alone the check across notes fails exactly as the whole does.
inline bool checkManifestValidation(const QByteArray& input)
{
    std::optional<BackupManifest> decoded;
    try {
        decoded = json::decode<BackupManifest>(input);
    } catch (const json::Error&) {
        return true;
    }
    const std::optional<QString> wholeFailure = detail::failureOf([&] { decoded->validate(); });
    bool everyNoteAlone = true;
    for (const Note& note : decoded->notes) {
        BackupManifest single = *decoded;
        single.notes = {note};
        everyNoteAlone = everyNoteAlone && !detail::failureOf([&] { single.validate(); });
    }
    if (!wholeFailure && !everyNoteAlone)
        return false;
    if (!everyNoteAlone)
        return true;
    BackupManifest withoutNotes = *decoded;
    withoutNotes.notes.clear();
    if (detail::failureOf([&] { withoutNotes.validate(); }))
        return true;
    return detail::failureOf([&] { BackupManifest::validateIdsAcross(decoded->notes); }) == wholeFailure;
}

// A backup package: the input is "manifest.json" followed by the entries of
// its "Attachments" folder (see writeSections). It is verified and its
// attachments copied out as restoring does; every note that comes out points
// at a copy that is there.
inline bool checkBackupPackage(const QByteArray& input)
{
    const QTemporaryDir scratch = scratchDirectory();
    const QString package = scratch.filePath(QStringLiteral("Fuzz.quorrinbackup"));
    const QString attachments = package + u'/' + backup::attachmentsFolderName;
    const QString restored = scratch.filePath(QStringLiteral("Restored"));
    QDir().mkpath(attachments);
    QDir().mkpath(restored);
    writeSections(input, attachments, QStringLiteral(".manifest"));
    QFile::rename(attachments + QStringLiteral("/.manifest"), package + u'/' + backup::manifestFileName);
    bool copiesPresent = true;
    expectingReportedFailures([&] {
        const BackupManifest verified = backup::readVerifiedManifest(package);
        const backup::CopiedAttachments copied = backup::copyAttachmentsIn(package, verified.notes, restored);
        for (const Note& note : copied.notes)
            for (const Block& block : note.blocks)
                if (block.attachment && !block.attachment->checksum.isEmpty())
                    copiesPresent = copiesPresent && QFileInfo(restored + u'/' + block.attachment->relativePath).isFile();
    });
    return copiesPresent;
}

// An RTFD bundle: the input is "TXT.rtf" followed by the other entries of the
// bundle (see writeSections), read as document import reads it. A document
// that returns is complete: every attachment it names was read.
inline bool checkRtfdBundle(const QByteArray& input)
{
    const QTemporaryDir scratch = scratchDirectory();
    const QString bundle = scratch.filePath(QStringLiteral("Fuzz.rtfd"));
    QDir().mkdir(bundle);
    writeSections(input, bundle, documents::rtfdTextFileName);
    bool complete = true;
    expectingReportedFailures([&] {
        const documents::Document document = documents::readDocument(bundle);
        for (const documents::AttachmentMark& mark : documents::attachmentsIn(document.text))
            complete = complete && document.files.count(mark.name) == 1;
    });
    return complete;
}

// Plain-text import and its choice of encoding: without a byte-order mark,
// valid UTF-8 reads as UTF-8.
inline bool checkPlainText(const QByteArray& input)
{
    const AttributedString text = documents::decodePlainText(input);
    if (QStringConverter::encodingForData(input))
        return true;
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString expected = utf8.decode(input);
    return utf8.hasError() || text.string() == expected;
}

// "Notes.sqlite" as opening reads it, up to the validation of every payload,
// on connections that never write: the input is the store file.
inline bool checkStoreOpening(const QByteArray& input)
{
    const QTemporaryDir scratch = scratchDirectory();
    const QString path = scratch.filePath(QStringLiteral("Notes.sqlite"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(input) != input.size())
            return false;
    }
    expectingReportedFailures([&] {
        if (RecordStore::modelOf(RecordStore::readMetadata(path)) != StoreModel::Current)
            return; // refused, or migrated first, which writes
        RecordStore store = RecordStore::openReadOnly(path);
        if (const std::optional<QByteArray> appState = store.readAppState())
            decodeValidManifest(*appState);
        loadNotes(store.readRecords());
    });
    // Reading wrote nothing beside the file.
    return QDir(scratch.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
        == QStringList{QStringLiteral("Notes.sqlite")};
}

} // namespace quorrin::fuzzing
