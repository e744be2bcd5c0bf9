#include "Domain/Note.h"

#include "Domain/Json.h"
#include "Domain/TextEquality.h"
#include "Core/Text/Rtf.h"

#include <algorithm>

namespace quorrin {

using namespace Qt::StringLiterals;

namespace {

// The platform's whitespace-and-newline set: Zs, Zl, Zp, U+0009...U+000D, U+0085.
bool isWhitespaceOrNewline(char32_t c)
{
    if ((c >= 0x09 && c <= 0x0D) || c == 0x85)
        return true;
    switch (QChar::category(c)) {
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph: return true;
    default: return false;
    }
}

bool isInvisible(char32_t c)
{
    if (isWhitespaceOrNewline(c) || c == 0x200B || c == 0xFEFF)
        return true;
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Other_Format;
}

QString trimmedOfWhitespaceAndNewlines(const QString& text)
{
    // Every character of the set lies in the Basic Multilingual Plane, so
    // looking at single UTF-16 units never splits a surrogate pair.
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isWhitespaceOrNewline(text.at(start).unicode()))
        ++start;
    while (end > start && isWhitespaceOrNewline(text.at(end - 1).unicode()))
        --end;
    return text.mid(start, end - start);
}

// A character that is visible whatever surrounds it: not half of a
// surrogate pair, whose meaning depends on the other half.
bool isVisibleOnItsOwn(QChar unit)
{
    return !unit.isSurrogate() && !isInvisible(unit.unicode());
}

// Unreadable text counts as content: it must not be thrown away as blank.
bool holdsText(const RichText& text)
{
    if (text.rtf().isEmpty())
        return false;
    // Reading stops at the first character visible on its own: what follows
    // can only add text, and a rest that cannot be read counts as content too.
    // Without one, the whole string decides, its pairs joined again.
    QString whole;
    bool visible = false;
    const bool readable = rtf::readPlainText(text.rtf(), [&](QStringView piece) {
        visible = std::any_of(piece.begin(), piece.end(), isVisibleOnItsOwn);
        whole += piece;
        return !visible;
    });
    return !readable || visible || Note::hasText(whole);
}

} // namespace

Note Note::create(const Clock& clock)
{
    Note note;
    note.createdAt = clock();
    note.updatedAt = clock();
    note.blocks = {Block::create(clock)};
    return note;
}

Note Note::withBlocks(std::vector<Block> otherBlocks) const
{
    // Naming every field stops compiling when the note gains one, which
    // must then be copied here too.
    const auto& [id, createdAt, updatedAt, color, opacity, alwaysOnTop, isCollapsed, isHidden, frame, ownBlocks,
                 prioritySorted, deletedAt, deletionIsExplicit, customTitle, customTitleRich, docking, fileLinks] =
        *this;
    return Note{.id = id,
                .createdAt = createdAt,
                .updatedAt = updatedAt,
                .color = color,
                .opacity = opacity,
                .alwaysOnTop = alwaysOnTop,
                .isCollapsed = isCollapsed,
                .isHidden = isHidden,
                .frame = frame,
                .blocks = std::move(otherBlocks),
                .prioritySorted = prioritySorted,
                .deletedAt = deletedAt,
                .deletionIsExplicit = deletionIsExplicit,
                .customTitle = customTitle,
                .customTitleRich = customTitleRich,
                .docking = docking,
                .fileLinks = fileLinks};
}

QString Note::title() const
{
    if (customTitle) {
        QString trimmed = trimmedOfWhitespaceAndNewlines(*customTitle);
        if (!trimmed.isEmpty())
            return trimmed;
    }
    return untitled;
}

bool Note::hasText(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t scalar = text.at(i).unicode();
        if (QChar::isHighSurrogate(scalar) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (!isInvisible(scalar))
            return true;
    }
    return false;
}

bool Note::isEmpty() const
{
    if (fileLinks && !fileLinks->empty())
        return false;
    if (hasText(customTitle.value_or(QString())))
        return false;
    for (const Block& block : blocks) {
        if (holdsText(block.text) || block.attachment)
            return false;
        if (block.todo && (holdsText(block.todo->notes) || block.todo->reminder))
            return false;
    }
    return true;
}

namespace {
// The names of linked files as one title line, as long as a title may be.
QString titleNaming(const std::vector<PersistentFileLink>& links)
{
    constexpr qsizetype longestTitle = 120;
    QStringList names;
    for (const PersistentFileLink& link : links)
        names << link.displayName;
    QString title = names.join(QStringLiteral("、")).simplified();
    if (title.size() > longestTitle) {
        qsizetype cut = longestTitle;
        if (title.at(cut - 1).isHighSurrogate())
            --cut;
        title.truncate(cut);
    }
    return title.isEmpty() ? QStringLiteral("文件") : title;
}
} // namespace

void Note::removeFileLinks()
{
    if (!fileLinks)
        return;
    const std::vector<PersistentFileLink> links = std::move(*fileLinks);
    fileLinks.reset();
    if (!links.empty() && isEmpty())
        customTitle = titleNaming(links);
}

bool operator==(const Note& a, const Note& b)
{
    return a.id == b.id && a.createdAt == b.createdAt && a.updatedAt == b.updatedAt && a.color == b.color
        && a.opacity == b.opacity && a.alwaysOnTop == b.alwaysOnTop && a.isCollapsed == b.isCollapsed
        && a.isHidden == b.isHidden && a.frame == b.frame && a.blocks == b.blocks
        && a.prioritySorted == b.prioritySorted && a.deletedAt == b.deletedAt
        && a.deletionIsExplicit == b.deletionIsExplicit && canonicallyEqual(a.customTitle, b.customTitle)
        && a.customTitleRich == b.customTitleRich && a.docking == b.docking && a.fileLinks == b.fileLinks;
}

namespace {

Note readNote(const json::ObjectReader& reader)
{
    return Note{
        .id = reader.get<QUuid>("id"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
        .updatedAt = reader.get<Date>("updatedAt"_L1),
        .color = reader.get<NoteColor>("color"_L1),
        .opacity = reader.get<double>("opacity"_L1),
        .alwaysOnTop = reader.get<bool>("alwaysOnTop"_L1),
        .isCollapsed = reader.get<bool>("isCollapsed"_L1),
        .isHidden = reader.get<bool>("isHidden"_L1),
        .frame = reader.get<WindowFrame>("frame"_L1),
        .blocks = reader.get<std::vector<Block>>("blocks"_L1),
        .prioritySorted = reader.get<bool>("prioritySorted"_L1),
        .deletedAt = reader.optional<Date>("deletedAt"_L1),
        .deletionIsExplicit = reader.optional<bool>("deletionIsExplicit"_L1),
        .customTitle = reader.optional<QString>("customTitle"_L1),
        .customTitleRich = reader.optional<RichText>("customTitleRich"_L1),
        .docking = reader.optional<NoteDock>("docking"_L1),
        .fileLinks = reader.optional<std::vector<PersistentFileLink>>("fileLinks"_L1),
    };
}

} // namespace

Note Note::fromJson(const QJsonValue& value)
{
    return readNote(json::ObjectReader(value));
}

Note Note::fromJson(const json::ParsedValue& value)
{
    return readNote(json::ObjectReader(value));
}

QJsonValue Note::toJson() const
{
    return json::ObjectWriter()
        .set("id"_L1, id)
        .set("createdAt"_L1, createdAt)
        .set("updatedAt"_L1, updatedAt)
        .set("color"_L1, color)
        .set("opacity"_L1, opacity)
        .set("alwaysOnTop"_L1, alwaysOnTop)
        .set("isCollapsed"_L1, isCollapsed)
        .set("isHidden"_L1, isHidden)
        .set("frame"_L1, frame)
        .set("blocks"_L1, blocks)
        .set("prioritySorted"_L1, prioritySorted)
        .set("deletedAt"_L1, deletedAt)
        .set("deletionIsExplicit"_L1, deletionIsExplicit)
        .set("customTitle"_L1, customTitle)
        .set("customTitleRich"_L1, customTitleRich)
        .set("docking"_L1, docking)
        .set("fileLinks"_L1, fileLinks)
        .object();
}

} // namespace quorrin
