#include "Features/NoteDocument.h"

#include "Features/Attachments/AttachmentFiles.h"

#include "Core/Files/FileNames.h"
#include "Core/Text/Rtf.h"

#include <array>
#include <optional>
#include <set>

namespace quorrin::documents {

namespace {

bool isNewline(QChar character)
{
    const char16_t unit = character.unicode();
    return (unit >= 0x0A && unit <= 0x0D) || unit == 0x85 || unit == 0x2028 || unit == 0x2029;
}

bool isParagraphSeparator(QChar character)
{
    const char16_t unit = character.unicode();
    return unit == u'\n' || unit == u'\r' || unit == 0x85 || unit == 0x2029;
}

// The end of the paragraph starting at `start`, its separator included.
int paragraphEnd(const QString& string, int start)
{
    const int length = int(string.size());
    for (int position = start; position < length; ++position) {
        if (!isParagraphSeparator(string.at(position)))
            continue;
        if (string.at(position) == u'\r' && position + 1 < length && string.at(position + 1) == u'\n')
            return position + 2;
        return position + 1;
    }
    return length;
}

// Names for the files of one bundle: each a plain file name, distinct from
// the others and from the bundle's text in any letter case.
class BundleNames {
public:
    QString take(const QString& original)
    {
        QString name;
        for (const QChar character : original)
            name += character == u'/' || character == u'\\' || character.unicode() < 0x20 ? QChar(u'_') : character;
        name = name.trimmed();
        if (!filenames::isPlainFileName(name))
            name = QStringLiteral("附件");
        const QString extension = filenames::pathExtension(name);
        const QString stem = extension.isEmpty() ? name : name.left(name.size() - extension.size() - 1);
        QString candidate = name;
        for (int number = 2; !m_taken.insert(candidate.toCaseFolded()).second; ++number)
            candidate = stem + u' ' + QString::number(number) + (extension.isEmpty() ? QString() : u'.' + extension);
        return candidate;
    }

private:
    std::set<QString> m_taken{rtfdTextFileName.toCaseFolded()};
};

QString prefixOf(const Block& block)
{
    switch (block.kind) {
    case BlockKind::Bullet: return QStringLiteral("• ");
    case BlockKind::Todo: {
        const bool completed = block.todo && block.todo->isCompleted;
        const qint64 priority = block.todo ? block.todo->priority : lowestPriority;
        return (completed ? QStringLiteral("☑ ") : QStringLiteral("☐ ")) + priorityWord(priority) + u' ';
    }
    default: return {};
    }
}

} // namespace

std::vector<DocumentPiece> splitIntoPieces(const AttributedString& text)
{
    std::vector<DocumentPiece> pieces;
    forEachPiece(text, [&](DocumentPiece piece) { pieces.push_back(std::move(piece)); });
    return pieces;
}

void forEachPiece(const AttributedString& text, const std::function<void(DocumentPiece)>& take)
{
    const QString& string = text.string();
    int start = 0;
    while (start < text.length()) {
        const int end = paragraphEnd(string, start);
        int trimmedEnd = end;
        while (trimmedEnd > start && isNewline(string.at(trimmedEnd - 1)))
            --trimmedEnd;
        AttributedString paragraph = text.substring(start, trimmedEnd - start);
        const std::vector<AttachmentMark> marks = attachmentsIn(paragraph);
        std::vector<QString> attachments;
        for (auto mark = marks.rbegin(); mark != marks.rend(); ++mark) {
            attachments.insert(attachments.begin(), mark->name);
            paragraph.replace(mark->position, 1, AttributedString());
        }
        if (!paragraph.isEmpty() || marks.empty())
            take(DocumentPiece{DocumentPiece::Kind::Paragraph, std::move(paragraph), {}});
        for (QString& name : attachments)
            take(DocumentPiece{DocumentPiece::Kind::Attachment, {}, std::move(name)});
        start = end;
    }
}

std::size_t piecesAtMost(const AttributedString& text)
{
    std::size_t count = 1;
    for (const QChar character : text.string())
        count += isParagraphSeparator(character) || character == QChar(rtf::attachmentCharacter) ? 1 : 0;
    return count;
}

BlockKind attachmentKind(const QString& fileName)
{
    return filenames::pathExtension(fileName).toLower() == QLatin1String("pdf") ? BlockKind::Pdf : BlockKind::Image;
}

QString priorityWord(qint64 priority)
{
    static const std::array<QString, 4> words = {QStringLiteral("紧急"), QStringLiteral("高"), QStringLiteral("中"),
                                                 QStringLiteral("低")};
    return words[std::size_t(clampedPriority(priority) - highestPriority)];
}

RenderedNote renderNote(const Note& note, const QString& attachmentsDirectory, bool embed)
{
    RenderedNote rendered;
    BundleNames names;
    for (const Block& block : note.displayBlocks()) {
        rendered.text.append(prefixOf(block), TextAttributes{});
        if (const HeapOptional<Attachment>& attachment = block.attachment) {
            const std::optional<QByteArray> data =
                embed ? attachments::readStoredFile(attachmentsDirectory, attachment->relativePath) : std::nullopt;
            if (data) {
                TextAttributes marked;
                const QString name = names.take(attachment->originalFilename);
                marked.custom[rtf::attachmentAttribute] = name;
                rendered.text.append(QString(QChar(rtf::attachmentCharacter)), marked);
                rendered.files.push_back(EmbeddedFile{name, *data});
            } else {
                rendered.text.append(QStringLiteral("[附件：") + attachment->originalFilename + u']', TextAttributes{});
            }
        } else {
            rendered.text.append(block.text.attributed());
        }
        rendered.text.append(QStringLiteral("\n"), TextAttributes{});
        if (block.todo) {
            const AttributedString remarks = block.todo->notes.attributed();
            if (!remarks.isEmpty()) {
                rendered.text.append(QStringLiteral("    备注："), TextAttributes{});
                rendered.text.append(remarks);
                rendered.text.append(QStringLiteral("\n"), TextAttributes{});
            }
        }
    }
    return rendered;
}

} // namespace quorrin::documents
