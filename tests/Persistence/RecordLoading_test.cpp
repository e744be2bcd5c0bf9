#include "Persistence/RecordLoading.h"

#include "Domain/AppError.h"
#include "Domain/Json.h"
#include "Persistence/NoteStore.h"
#include "../../bench/StoredNotes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace quorrin;

namespace {

// A generated store with what the generator leaves out: titles with
// characters that need escapes or several UTF-8 bytes, file links.
std::vector<Note> variedNotes()
{
    bench::StoreShape shape;
    shape.notes = 240;
    shape.longEvery = 60;
    shape.deletedEvery = 25;
    std::vector<Note> notes = bench::realisticNotes(shape);
    for (size_t index = 0; index < notes.size(); index += 7) {
        Note& note = notes[index];
        note.customTitle = QStringLiteral("购物清单 \"周末\"\n\t✓ 😀 \\ / é");
        note.customTitleRich = RichText(*note.customTitle, TextFont::system(14));
        note.opacity = 0.35 + double(index % 5) / 10;
        note.frame.x = -12.75 + double(index);
    }
    Note& linked = notes[3];
    linked.fileLinks = std::vector<PersistentFileLink>{
        PersistentFileLink{QUuid::createUuid(), linked.id, std::nullopt, QStringLiteral("报告.pdf"), QByteArray("mark\x00\xff", 6)}};
    return notes;
}

// Every row decoded the ordinary way, through QJsonDocument.
std::vector<Note> decodedOrdinarily(const std::vector<StoredRecord>& rows)
{
    std::vector<Note> notes;
    for (const StoredRecord& row : rows) {
        for (Note& note : json::decode<BackupManifest>(*row.payload).notes)
            notes.push_back(std::move(note));
    }
    return notes;
}

TEST(RecordLoading, storedNotesReadQuicklyAndAsTheOrdinaryDecodeReadsThem)
{
    const std::vector<Note> notes = variedNotes();
    const Preferences preferences;
    std::vector<StoredRecord> rows;
    for (const Note& note : notes) {
        const QByteArray payload = notePayload(note, preferences);
        // The store's own rows never need the ordinary decode.
        ASSERT_TRUE(json::decodeQuickly<BackupManifest>(payload)) << payload.toStdString();
        rows.push_back(StoredRecord{note.id.toString(QUuid::WithoutBraces).toUpper(), payload, 0});
    }
    const LoadedNotes loaded = loadNotes(rows, preferences);
    EXPECT_TRUE(loaded.rowsAsSaved);
    EXPECT_FALSE(loaded.needsUpgrade);
    ASSERT_EQ(loaded.notes, decodedOrdinarily(rows));
    ASSERT_EQ(loaded.notes, notes);
    for (size_t index = 0; index < notes.size(); ++index)
        EXPECT_EQ(notePayload(loaded.notes[index], preferences), rows[index].payload);

    // A whole store opens to the same notes.
    const QString directory = bench::storedNotesDirectory(notes);
    NoteStore store(directory, true);
    RecordStore records(QDir(directory).filePath(NoteStore::storeFileName));
    std::vector<Note> expected = decodedOrdinarily(records.readRecords());
    std::stable_sort(expected.begin(), expected.end(),
                     [](const Note& a, const Note& b) { return a.createdAt < b.createdAt; });
    EXPECT_EQ(store.notes(), expected);
}

TEST(RecordLoading, damagedRowsAreRefusedWithTheOrdinaryDecodesWords)
{
    const Note note = variedNotes().front();
    const QByteArray payload = notePayload(note, Preferences());
    struct Case {
        const char* name;
        QByteArray payload;
    };
    QByteArray missingKey = payload;
    missingKey.replace("\"isHidden\":false,", "");
    QByteArray wrongKind = payload;
    wrongKind.replace("\"isHidden\":false", "\"isHidden\":0");
    QByteArray badId = payload;
    badId.replace("\"id\":\"", "\"id\":\"Z");
    QByteArray badBase64 = payload;
    badBase64.replace("{\"rtf\":\"", "{\"rtf\":\"*");
    const Case cases[] = {
        {"cut short", payload.left(payload.size() / 2)},
        {"trailing text", payload + "x"},
        {"missing key", missingKey},
        {"wrong kind of value", wrongKind},
        {"unreadable id", badId},
        {"invalid Base64", badBase64},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(json::decodeQuickly<BackupManifest>(c.payload));
        QString ordinary;
        try {
            json::decode<BackupManifest>(c.payload);
        } catch (const json::Error& error) {
            ordinary = error.message();
        }
        ASSERT_FALSE(ordinary.isEmpty());
        try {
            loadNotes({StoredRecord{QStringLiteral("A"), c.payload, 0}}, Preferences());
            ADD_FAILURE() << "loaded";
        } catch (const AppError& error) {
            EXPECT_EQ(error.message, QStringLiteral("便笺记录无法读取，原始数据库已保留：") + ordinary);
        }
    }
}

} // namespace
