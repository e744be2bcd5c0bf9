#include "Windows/TitleText.h"

#include "Core/Text/Rtf.h"
#include "Domain/RichText.h"

#include <QTextBoundaryFinder>

namespace quorrin::TitleText {

int lengthOfFirstCharacters(const QString& text, int count)
{
    if (count <= 0)
        return 0;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
    int characters = 0;
    while (graphemes.toNextBoundary() != -1) {
        if (++characters == count)
            return int(graphemes.position());
    }
    return int(text.size());
}

QString firstCharacters(const QString& text, int count)
{
    return text.left(lengthOfFirstCharacters(text, count));
}

QString plainTitle(const QString& typed)
{
    QString flattened = typed;
    flattened.replace(QLatin1Char('\n'), QLatin1Char(' '));
    // trimmed() drops blanks and every kind of line break at both ends.
    return firstCharacters(flattened.trimmed(), maximumLength);
}

AttributedString sanitized(const AttributedString& source, const TextFont& titleFont)
{
    AttributedString title = source;
    const int length = title.length();
    title.setParagraphStyle(0, length, std::nullopt);
    for (const QString& mark : {EditorAttribute::blockID, EditorAttribute::blockRole,
                                EditorAttribute::presentationSpacing, EditorAttribute::presentationIndent,
                                EditorAttribute::presentationTail})
        title.removeCustom(0, length, mark);
    // A name holds no embedded file: a picture pasted into the first line
    // stays a plain placeholder character, not a file the title would name.
    title.removeCustom(0, length, rtf::attachmentAttribute);

    const int kept = lengthOfFirstCharacters(title.string(), maximumLength);
    if (kept < title.length())
        title.replace(kept, title.length() - kept, AttributedString());

    if (!title.isEmpty()) {
        const TextAttributes first = title.attributesAt(0);
        if (!first.font)
            title.setFont(0, title.length(), titleFont);
        if (!first.foreground)
            title.setForeground(0, title.length(), TextColor::dynamicText());
    }
    return title;
}

Rename rename(const AttributedString& typed, const TextFont& titleFont)
{
    const QString plain = plainTitle(typed.string());
    if (plain.isEmpty())
        return {};
    Rename result{plain, std::nullopt};
    if (typed.string().trimmed() == plain) {
        AttributedString rich = sanitized(typed, titleFont);
        if (!rich.isEmpty())
            result.rich = std::move(rich);
    }
    return result;
}

QString windowTitle(const Note& note)
{
    if (note.customTitle && !note.customTitle->isEmpty())
        return QStringLiteral("Quorrin — ") + note.title();
    return QStringLiteral("Quorrin");
}

} // namespace quorrin::TitleText
