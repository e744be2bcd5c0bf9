// Writes the seed corpora of the fuzz targets from files the program itself
// writes, plus the hostile shapes known to matter. Run it from the build:
//   build-fuzz/fuzz/FuzzSeeds fuzz/corpus
// and commit what changed.

#include "FuzzSupport.h"

#include "Domain/BackupManifest.h"
#include "Features/DocumentFormats.h"
#include "Persistence/NoteStore.h"
#include "Core/Text/Rtf.h"

#include "../bench/StoredNotes.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QStringConverter>

#include <cstdio>

using namespace quorrin;

namespace {

QString outputRoot;

void seed(const QString& target, const QString& name, const QByteArray& bytes)
{
    const QString folder = outputRoot + u'/' + target;
    QDir().mkpath(folder);
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

QByteArray section(const char* kind, const QString& name, const QByteArray& bytes)
{
    return QByteArray("\n--") + kind + ' ' + name.toUtf8() + '\n' + bytes;
}

// A store with text, a todo with a reminder, an image attachment and a
// deleted note, saved the way the program saves it.
void writeStore(const QString& root, const QString& imagePath)
{
    NoteStore store(root, false);
    Note first = store.create(AttributedString(QStringLiteral("购物清单\nmilk"), TextAttributes{}));
    first.blocks.push_back(Block());
    first.blocks.back().text = RichText(QStringLiteral("提醒我"), TextFont::system(14));
    first.blocks.back().convert(BlockKind::Todo);
    first.blocks.back().todo->priority = 2;
    first.blocks.back().todo->reminder = TodoReminder{Date{800000000}, RepeatRule{}, std::nullopt};
    first.customTitle = QStringLiteral("标题");
    first.fileLinks = std::vector<PersistentFileLink>{
        PersistentFileLink{QUuid::createUuid(), first.id, std::nullopt, QStringLiteral("报告.pdf"), "bookmark"}};
    Block image;
    image.kind = BlockKind::Image;
    image.attachment = store.importAttachment(imagePath);
    first.blocks.push_back(image);
    store.update(first, true, false);
    Note second = store.create(AttributedString(QStringLiteral("second"), TextAttributes{}));
    store.update(second, true, false);
    Note third = store.create(AttributedString(QStringLiteral("deleted"), TextAttributes{}));
    store.update(third, true, false);
    store.deleteNote(third.id);
    store.preferences().persistFileLinks = true;
    store.save();
}

void writeJsonSeeds(const QString& root)
{
    RecordStore records(root + QStringLiteral("/Notes.sqlite"));
    int index = 0;
    QByteArray firstRow;
    for (const StoredRecord& row : records.readRecords()) {
        if (firstRow.isEmpty())
            firstRow = *row.payload;
        seed(QStringLiteral("json"), QStringLiteral("row-%1.json").arg(++index), *row.payload);
        seed(QStringLiteral("validation"), QStringLiteral("row-%1.json").arg(index), *row.payload);
    }
    const QByteArray appState = *records.readAppState();
    seed(QStringLiteral("json"), QStringLiteral("appstate.json"), appState);
    const QByteArray preferences = readAll(root + QStringLiteral("/Preferences.json"));
    seed(QStringLiteral("preferences"), QStringLiteral("Preferences.json"), preferences);

    // Hostile shapes: numbers JSON text can spell but a double cannot hold,
    // deep nesting, a repeated id and cut-off text.
    QByteArray hugeSize = preferences;
    hugeSize.replace("\"fontSize\":", "\"fontSize\":1e400,\"x\":");
    seed(QStringLiteral("preferences"), QStringLiteral("huge-number.json"), hugeSize);
    seed(QStringLiteral("preferences"), QStringLiteral("truncated.json"), preferences.left(preferences.size() / 2));
    seed(QStringLiteral("preferences"), QStringLiteral("nested.json"),
         QByteArray(5000, '[') + QByteArray(5000, ']'));
    QByteArray hugeOpacity = firstRow;
    hugeOpacity.replace("\"opacity\":1", "\"opacity\":1e400");
    seed(QStringLiteral("json"), QStringLiteral("huge-number.json"), hugeOpacity);
    seed(QStringLiteral("json"), QStringLiteral("nan.json"), QByteArray(firstRow).replace("\"opacity\":1", "\"opacity\":NaN"));
    seed(QStringLiteral("json"), QStringLiteral("nested.json"),
         "{\"notes\":" + QByteArray(5000, '[') + QByteArray(5000, ']') + "}");
    seed(QStringLiteral("json"), QStringLiteral("truncated.json"), firstRow.left(firstRow.size() * 2 / 3));
    BackupManifest twice = json::decode<BackupManifest>(firstRow);
    twice.notes.push_back(twice.notes.front());
    seed(QStringLiteral("validation"), QStringLiteral("duplicate-note.json"), json::encode(twice));
    BackupManifest sameBlock = json::decode<BackupManifest>(firstRow);
    sameBlock.notes.front().blocks.push_back(sameBlock.notes.front().blocks.front());
    seed(QStringLiteral("validation"), QStringLiteral("duplicate-block.json"), json::encode(sameBlock));
    seed(QStringLiteral("validation"), QStringLiteral("appstate.json"), appState);
}

void writeStoreSeeds(const QString& root, const QString& scratch)
{
    const QByteArray store = readAll(root + QStringLiteral("/Notes.sqlite"));
    seed(QStringLiteral("store"), QStringLiteral("Notes.sqlite"), store);
    seed(QStringLiteral("store"), QStringLiteral("truncated.sqlite"), store.left(store.size() / 2));
    seed(QStringLiteral("store"), QStringLiteral("empty.sqlite"), {});
    const QString legacy = scratch + QStringLiteral("/Legacy.sqlite");
    RecordStore::createLegacy(legacy);
    seed(QStringLiteral("store"), QStringLiteral("legacy.sqlite"), readAll(legacy));
    const QString emptyCurrent = scratch + QStringLiteral("/Empty.sqlite");
    RecordStore{emptyCurrent};
    seed(QStringLiteral("store"), QStringLiteral("no-notes.sqlite"), readAll(emptyCurrent));
}

void writeBackupSeeds(const QString& root, const QString& scratch)
{
    const QString package = scratch + QStringLiteral("/Seed.quorrinbackup");
    {
        NoteStore store(root, false);
        store.backup(package);
    }
    const QByteArray manifest = readAll(package + u'/' + backup::manifestFileName);
    QByteArray input = manifest;
    QDirIterator files(package + u'/' + backup::attachmentsFolderName, QDir::Files);
    QString attachmentName;
    while (files.hasNext()) {
        files.next();
        attachmentName = files.fileName();
        input += section("file", attachmentName, readAll(files.filePath()));
    }
    seed(QStringLiteral("backup"), QStringLiteral("package"), input);
    seed(QStringLiteral("backup"), QStringLiteral("symlinked-attachment"),
         manifest + section("link", attachmentName, "/etc/passwd"));
    seed(QStringLiteral("backup"), QStringLiteral("fifo-attachment"), manifest + section("fifo", attachmentName, {}));
    seed(QStringLiteral("backup"), QStringLiteral("traversal"),
         QByteArray(manifest).replace(attachmentName.toUtf8(), "../../Notes.sqlite"));
    seed(QStringLiteral("backup"), QStringLiteral("truncated"), manifest.left(manifest.size() - 10));
}

void writeRtfdSeeds(const QString& scratch)
{
    AttributedString text(QStringLiteral("图片如下：\n"), TextAttributes{});
    TextAttributes marked;
    marked.custom[rtf::attachmentAttribute] = QStringLiteral("图片.png");
    text.append(QString(QChar(rtf::attachmentCharacter)), marked);
    text.append(QStringLiteral("\nend"), TextAttributes{});
    const QString bundle = scratch + QStringLiteral("/Seed.rtfd");
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    documents::writeRtfd(bundle, text, {{QStringLiteral("图片.png"), png}});
    const QByteArray rtf = readAll(bundle + u'/' + documents::rtfdTextFileName);
    seed(QStringLiteral("rtfd"), QStringLiteral("bundle"), rtf + section("file", QStringLiteral("图片.png"), png));
    seed(QStringLiteral("rtfd"), QStringLiteral("missing-attachment"), rtf);
    seed(QStringLiteral("rtfd"), QStringLiteral("symlinked-attachment"),
         rtf + section("link", QStringLiteral("图片.png"), "/etc/passwd"));
    seed(QStringLiteral("rtfd"), QStringLiteral("directory-attachment"),
         rtf + section("dir", QStringLiteral("图片.png"), {}));
    seed(QStringLiteral("rtfd"), QStringLiteral("fifo-attachment"), rtf + section("fifo", QStringLiteral("图片.png"), {}));
    seed(QStringLiteral("rtfd"), QStringLiteral("symlinked-text"), section("link", documents::rtfdTextFileName, "/etc/passwd"));
    // The attachment's name as the RTF spells it, pointing outside the bundle.
    AttributedString escaping(QStringLiteral("x"), TextAttributes{});
    marked.custom[rtf::attachmentAttribute] = QStringLiteral("../outside.png");
    escaping.append(QString(QChar(rtf::attachmentCharacter)), marked);
    seed(QStringLiteral("rtfd"), QStringLiteral("traversal"), rtf::write(escaping));
    seed(QStringLiteral("rtfd"), QStringLiteral("truncated"), rtf.left(rtf.size() / 2));
}

void writePlainTextSeeds()
{
    const QString text = QStringLiteral("便笺 notes\n第二行 ✓\n");
    seed(QStringLiteral("plaintext"), QStringLiteral("utf8.txt"), documents::plainTextBytes(AttributedString(text, {})));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringEncoder::Flag::WriteBom);
    seed(QStringLiteral("plaintext"), QStringLiteral("utf16le-bom.txt"), utf16.encode(text));
    QStringEncoder utf8Bom(QStringConverter::Utf8, QStringEncoder::Flag::WriteBom);
    seed(QStringLiteral("plaintext"), QStringLiteral("utf8-bom.txt"), utf8Bom.encode(text));
    seed(QStringLiteral("plaintext"), QStringLiteral("gb18030.txt"), QByteArray("\xb1\xe3\xbc\xe3 notes\n\x81\x30\x81\x30"));
    seed(QStringLiteral("plaintext"), QStringLiteral("cut-utf8.txt"), text.toUtf8().left(2));
}

} // namespace

// Rows of the shape the store writes, for the quick reader, and the edges of
// what it reads: escapes, multi-byte text, numbers at the limits of a double
// and of a whole number, and the shapes it must decline.
void writeQuickJsonSeeds()
{
    bench::StoreShape shape;
    shape.notes = 4;
    shape.longEvery = 4;
    shape.longBlocks = 12;
    shape.dockedEvery = 2;
    shape.reminderEvery = 2;
    shape.deletedEvery = 3;
    const Preferences preferences;
    int index = 0;
    for (const Note& note : bench::realisticNotes(shape))
        seed(QStringLiteral("quickjson"), QStringLiteral("row-%1.json").arg(++index), notePayload(note, preferences));
    seed(QStringLiteral("quickjson"), QStringLiteral("appstate.json"), appStatePayload(preferences));
    const char* const edges[] = {
        R"({})",
        R"({"a":"\\\"\/\b\f\n\r\t\u00e9\u4e2d\uFFFD"})",
        R"({"a":"\ud83d\ude00","b":"\u0000"})",
        "{\"a\":\"\xe4\xb8\xad\xf0\x9f\x98\x80\xef\xbf\xbd\"}",
        "{\"a\":\"\xc0\x80\xed\xa0\x80\xef\xbf\xbe\xf4\x90\x80\x80\"}",
        R"({"a":[0,-0,-1,1.5,-0.0,1e2,1E-2,0.1,123456789012345678]})",
        R"({"a":9223372036854775807,"b":-9223372036854775808,"c":9223372036854775808})",
        R"({"a":9007199254740993,"b":1.7976931348623157e308,"c":2.2250738585072014e-308,"d":5e-324,"e":1e400})",
        R"({"a":1,"a":2})",
        R"({ "a" : [ 1 , 2 ] })",
        R"({"a\u0062":1,"b":{"c":[[],{},null,true,false]}})",
        R"({"a":1}x)",
        R"({"a":01,"b":1.,"c":.5,"d":+1,"e":1e})",
    };
    index = 0;
    for (const char* edge : edges)
        seed(QStringLiteral("quickjson"), QStringLiteral("edge-%1.json").arg(++index), QByteArray(edge));
    seed(QStringLiteral("quickjson"), QStringLiteral("nested.json"),
         "{\"a\":" + QByteArray(63, '[') + QByteArray(63, ']') + "}");
    seed(QStringLiteral("quickjson"), QStringLiteral("too-deep.json"),
         "{\"a\":" + QByteArray(64, '[') + QByteArray(64, ']') + "}");
}

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: FuzzSeeds CORPUS-FOLDER\n");
        return 2;
    }
    outputRoot = QString::fromLocal8Bit(argv[1]);
    const QTemporaryDir scratch = fuzzing::scratchDirectory();
    const QString root = scratch.filePath(QStringLiteral("Data"));
    const QString image = scratch.filePath(QStringLiteral("photo.png"));
    {
        QFile file(image);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write("\x89PNG\r\n\x1a\nnot really an image");
    }
    writeStore(root, image);
    writeJsonSeeds(root);
    writeQuickJsonSeeds();
    writeStoreSeeds(root, scratch.path());
    writeBackupSeeds(root, scratch.path());
    writeRtfdSeeds(scratch.path());
    writePlainTextSeeds();
    return 0;
}
