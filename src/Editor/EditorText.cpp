#include "Editor/EditorText.h"

#include "Domain/RichText.h"
#include "Domain/TextDefaults.h"
#include "Editor/StoredBlockFinder.h"

#include <QHash>

#include <algorithm>
#include <cstdint>
#include <set>

namespace quorrin::editortext {
namespace {

// Captions of attachments are display text only; they are never stored.
const Rgba captionGray{0.55, 0.55, 0.55, 1};

// Every font run (characters without a font counting as the system font of
// `fallbackSize`) changed by `change`.
template <typename Change> void changeFonts(AttributedString& text, double fallbackSize, Change&& change)
{
    const std::vector<AttributedString::Run> runs = text.runs();
    for (const auto& run : runs) {
        TextFont font = run.attributes.font.value_or(TextFont::system(fallbackSize));
        change(font);
        text.setFont(run.start, run.length, font);
    }
}

void setOverAll(AttributedString& text, const QString& name, const CustomAttributeValue& value)
{
    text.setCustom(0, text.length(), name, value);
}

// The line break after `line`, the run of a block or its remarks.
AttributedString lineBreak(const QUuid& id, double fontSize, bool remarks, const AttributedString& line)
{
    TextAttributes attributes;
    attributes.font = TextFont::system(fontSize);
    attributes.custom[EditorAttribute::blockID] = idString(id);
    if (remarks)
        attributes.custom[EditorAttribute::blockRole] = remarksRole;
    // The line ends mostly in characters that carry these marks and nothing
    // else: a long note's line and line break then share one table.
    if (!line.isEmpty() && line.runs().back().attributes.custom == attributes.custom)
        attributes.custom = line.runs().back().attributes.custom;
    return AttributedString(QStringLiteral("\n"), attributes);
}

bool isLineTerminator(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::LineSeparator
        || c == QChar::ParagraphSeparator;
}

// The paragraph's characters without its terminators and without U+200B.
AttributedString paragraphContent(AttributedString paragraph)
{
    int end = paragraph.length();
    while (end > 0 && isLineTerminator(paragraph.string().at(end - 1)))
        --end;
    AttributedString content = std::move(paragraph);
    content.truncate(end);
    for (int i = content.length() - 1; i >= 0; --i) {
        if (content.string().at(i) == zeroWidthSpace)
            content.replace(i, 1, AttributedString());
    }
    return content;
}

// What was typed into an attachment's line besides its placeholder and caption.
AttributedString typedBesideAttachment(const AttributedString& content, const Attachment& attachment)
{
    AttributedString rest = content;
    const QString caption = attachmentCaption(attachment);
    const int captionAt = rest.string().indexOf(caption);
    if (captionAt >= 0)
        rest.replace(captionAt, int(caption.size()), AttributedString());
    const int placeholder = rest.string().indexOf(attachmentCharacter);
    if (placeholder >= 0)
        rest.replace(placeholder, 1, AttributedString());
    const QString trimmed = rest.string().trimmed();
    if (trimmed.isEmpty() || caption.contains(trimmed))
        return {};
    return rest;
}

// The block's own id and empty text are its defaults: each is made once.
Block newBlock(bool asTodo, Date now)
{
    return Block{.kind = asTodo ? BlockKind::Todo : BlockKind::Paragraph,
                 .todo = asTodo ? std::optional(TodoMetadata()) : std::nullopt,
                 .attachment = std::nullopt,
                 .createdAt = now,
                 .updatedAt = now};
}

// Where each block a write-back keeps went among the blocks it emits.
class KeptPlaces {
public:
    explicit KeptPlaces(const std::vector<Block>& stored)
        : m_stored(stored)
        , m_storedAt(stored.size(), none)
    {
    }

    // The place of the kept block with `id`, if it was kept; `storedBlock`
    // is the stored block with that id, if there is one.
    std::optional<std::size_t> of(const QUuid& id, const Block* storedBlock) const
    {
        if (storedBlock) {
            const std::uint32_t at = m_storedAt[std::size_t(storedBlock - m_stored.data())];
            return at == none ? std::nullopt : std::optional<std::size_t>(at);
        }
        const auto found = m_past.constFind(id);
        return found == m_past.cend() ? std::nullopt : std::optional<std::size_t>(*found);
    }
    void note(const QUuid& id, const Block* storedBlock, std::size_t place)
    {
        if (storedBlock)
            m_storedAt[std::size_t(storedBlock - m_stored.data())] = std::uint32_t(place);
        else
            m_past.insert(id, place);
    }

private:
    static constexpr std::uint32_t none = UINT32_MAX;

    const std::vector<Block>& m_stored;
    std::vector<std::uint32_t> m_storedAt; // by stored position
    QHash<QUuid, std::size_t> m_past;      // blocks kept from the history
};

// Every emitted block is placed at most once, so each is moved, not copied.
std::vector<Block> placeArchived(const Note& note, std::vector<Block> emitted)
{
    if (note.prioritySorted) {
        std::map<QUuid, Block*> byID;
        for (Block& block : emitted)
            byID.emplace(block.id, &block);
        std::vector<Block> result;
        result.reserve(note.blocks.size() + emitted.size());
        std::set<QUuid> stored;
        for (const Block& block : note.blocks) {
            stored.insert(block.id);
            if (block.isArchived()) {
                result.push_back(block);
            } else if (auto found = byID.find(block.id); found != byID.end()) {
                result.push_back(std::move(*found->second));
                byID.erase(found);
            }
        }
        for (Block& block : emitted) {
            if (!stored.count(block.id))
                result.push_back(std::move(block));
        }
        return result;
    }
    std::vector<Block> result = std::move(emitted);
    for (std::size_t i = 0; i < note.blocks.size(); ++i) {
        const Block& archived = note.blocks[i];
        if (!archived.isArchived())
            continue;
        auto insertAt = result.end();
        for (std::size_t j = i; j-- > 0;) {
            const QUuid& before = note.blocks[j].id;
            const auto found = std::find_if(result.begin(), result.end(), [&](const Block& b) { return b.id == before; });
            if (found != result.end()) {
                insertAt = found + 1;
                break;
            }
        }
        result.insert(insertAt, archived);
    }
    return result;
}

// The first run (in table order) holding a position, asked for positions in
// ascending order. A table of runs in text order that do not overlap (as the
// write-back and the render make it) is walked once; any other table is
// searched from its start each time.
class RunFinder {
public:
    explicit RunFinder(const std::vector<TextRun>& ranges)
        : m_ranges(ranges)
    {
        for (std::size_t i = 1; i < ranges.size() && m_ordered; ++i)
            m_ordered = ranges[i].start >= ranges[i - 1].end() && ranges[i - 1].length >= 0;
    }

    const TextRun* containing(int position)
    {
        if (!m_ordered) {
            for (const TextRun& run : m_ranges) {
                if (run.contains(position))
                    return &run;
            }
            return nullptr;
        }
        if (position < m_lastPosition)
            m_next = 0;
        m_lastPosition = position;
        while (m_next < m_ranges.size() && m_ranges[m_next].end() <= position)
            ++m_next;
        if (m_next < m_ranges.size() && m_ranges[m_next].contains(position))
            return &m_ranges[m_next];
        return nullptr;
    }

private:
    const std::vector<TextRun>& m_ranges;
    bool m_ordered = true;
    std::size_t m_next = 0;
    int m_lastPosition = 0;
};

// The text the character at `position` carries as the custom attribute
// `name`; nothing when it carries none, or no text.
std::optional<QString> textAt(const AttributedString& text, int position, const QString& name)
{
    if (position < 0 || position >= text.length())
        return std::nullopt;
    const auto value = text.customAt(position, name);
    if (const auto* string = value ? std::get_if<QString>(&*value) : nullptr)
        return *string;
    return std::nullopt;
}

// The id a block id text stands for; nothing for one that is no id.
std::optional<QUuid> idFromText(const QString& text)
{
    const QUuid id(text);
    if (id.isNull())
        return std::nullopt;
    return id;
}

} // namespace

QString idString(const QUuid& id)
{
    // Written digit by digit: every paragraph of a long note asks for one.
    static constexpr char digits[] = "0123456789ABCDEF";
    QString text(36, Qt::Uninitialized);
    QChar* out = text.data();
    const auto put = [&](quint32 value, int nibbles) {
        for (int shift = 4 * (nibbles - 1); shift >= 0; shift -= 4)
            *out++ = QLatin1Char(digits[(value >> shift) & 0xf]);
    };
    const auto dash = [&] { *out++ = QLatin1Char('-'); };
    put(id.data1, 8);
    dash();
    put(id.data2, 4);
    dash();
    put(id.data3, 4);
    dash();
    put(id.data4[0], 2);
    put(id.data4[1], 2);
    dash();
    for (int i = 2; i < 8; ++i)
        put(id.data4[i], 2);
    return text;
}

std::optional<QString> roleAt(const AttributedString& text, int position)
{
    return textAt(text, position, EditorAttribute::blockRole);
}

std::optional<QUuid> blockIDAt(const AttributedString& text, int position)
{
    if (const std::optional<QString> id = textAt(text, position, EditorAttribute::blockID))
        return idFromText(*id);
    return std::nullopt;
}

bool isRemarksAt(const AttributedString& text, int position)
{
    return roleAt(text, position) == remarksRole;
}

std::optional<double> headingSize(BlockKind kind)
{
    switch (kind) {
    case BlockKind::H1: return 25.0;
    case BlockKind::H2: return 21.0;
    case BlockKind::H3: return 17.0;
    default: return std::nullopt;
    }
}

QString attachmentCaption(const Attachment& attachment)
{
    return QStringLiteral(" ") + attachment.originalFilename;
}

TextAttributes defaultNewText()
{
    TextAttributes attributes;
    attributes.font = TextFont::system(bodyFontSize);
    return attributes;
}

namespace {

// A block's run from its stored text as read.
AttributedString runOf(const Block& block, AttributedString text, const TextAttributes& newText)
{
    if (blockKind::isAttachment(block.kind) && block.attachment) {
        TextAttributes placeholder;
        placeholder.font = TextFont::system(bodyFontSize);
        TextAttributes caption;
        caption.font = TextFont::system(captionFontSize);
        caption.foreground = TextColor::fixed(captionGray);
        text = AttributedString(QString(attachmentCharacter), placeholder);
        text.append(AttributedString(attachmentCaption(*block.attachment), caption));
    }
    if (text.isEmpty())
        text = AttributedString(QString(zeroWidthSpace), newText);
    if (const auto size = headingSize(block.kind)) {
        changeFonts(text, *size, [&](TextFont& font) {
            font.pointSize = *size;
            font.bold = true;
        });
    }
    setOverAll(text, EditorAttribute::blockID, idString(block.id));
    ParagraphStyle style = text.attributesAt(0).paragraphStyle.value_or(ParagraphStyle{});
    style.paragraphSpacing = 12;
    text.setParagraphStyle(0, text.length(), style);
    return text;
}

} // namespace

AttributedString blockRun(const Block& block, const TextAttributes& newText)
{
    return runOf(block, block.text.attributed(), newText);
}

AttributedString remarksRun(const Block& block, const TextAttributes& newText)
{
    AttributedString text = block.todo ? block.todo->notes.attributed() : AttributedString();
    if (text.isEmpty())
        text = AttributedString(QString(zeroWidthSpace), newText);
    changeFonts(text, remarksFontSize, [](TextFont& font) { font.pointSize = remarksFontSize; });
    setOverAll(text, EditorAttribute::blockID, idString(block.id));
    setOverAll(text, EditorAttribute::blockRole, remarksRole);
    return text;
}

RenderedText render(const std::vector<Block>& displayBlocks, const TextAttributes& newText)
{
    RenderedText result;
    result.ranges.reserve(displayBlocks.size());
    // A block's line and its break mostly make two runs: the runs of a note
    // of many lines are not moved again and again as their vector grows.
    result.text.reserve(0, 2 * displayBlocks.size());
    BlockRenderer renderer(newText);
    for (const Block& block : displayBlocks)
        renderer.add(block, result);
    return result;
}

bool showsRemarks(const Block& block)
{
    return block.kind == BlockKind::Todo && block.todo && block.todo->notesExpanded;
}

BlockRenderer::BlockRenderer(TextAttributes newText)
    : m_newText(std::move(newText))
{
}

void BlockRenderer::add(const Block& block, RenderedText& onto)
{
    // Each run is moved onto the end of the text: a note of many blocks is
    // joined in one pass over its runs.
    const auto add = [&](AttributedString run, bool remarks) {
        run.append(lineBreak(block.id, remarks ? remarksFontSize : bodyFontSize, remarks, run));
        onto.ranges.push_back(TextRun{block.id, onto.text.length(), run.length(), remarks});
        onto.text.append(std::move(run));
    };
    add(runOf(block, read(block.text), m_newText), false);
    if (showsRemarks(block))
        add(remarksRun(block, m_newText), true);
}

const AttributedString& BlockRenderer::read(const RichText& text)
{
    if (!m_read || m_readBytes != text.rtf()) {
        m_readBytes = text.rtf();
        m_read = text.attributed();
    }
    return *m_read;
}

ParagraphReading reading(const Paragraph& paragraph)
{
    return ReadingSeries().read(paragraph);
}

ParagraphReading ReadingSeries::read(Paragraph paragraph)
{
    ParagraphReading result;
    result.start = paragraph.start;
    result.length = paragraph.text.length();
    if (const std::optional<QString> id = textAt(paragraph.text, 0, EditorAttribute::blockID))
        result.markedID = idIn(*id);
    result.role = roleAt(paragraph.text, 0);
    result.content = paragraphContent(std::move(paragraph.text));
    result.stored = m_stored.store(result.content);
    return result;
}

std::optional<QUuid> ReadingSeries::idIn(const QString& text)
{
    if (text != m_idText) {
        m_idText = text;
        m_id = idFromText(text);
    }
    return m_id;
}

WriteBack writeBack(const Note& note, const std::vector<Paragraph>& paragraphs,
                    const std::vector<TextRun>& ranges, const BlockHistory& history, Date now,
                    const std::set<QUuid>& shownRemarks)
{
    std::vector<ParagraphReading> readings;
    readings.reserve(paragraphs.size());
    ReadingSeries series;
    for (const Paragraph& paragraph : paragraphs)
        readings.push_back(series.read(paragraph));
    return writeBack(note, readings, ranges, history, now, shownRemarks);
}

WriteBack writeBack(const Note& note, const std::vector<ParagraphReading>& paragraphs,
                    const std::vector<TextRun>& ranges, const BlockHistory& history, Date now,
                    const std::set<QUuid>& shownRemarks)
{
    WriteBack result;
    result.ranges.reserve(paragraphs.size());
    result.marks.reserve(paragraphs.size());
    std::vector<Block> emitted;
    emitted.reserve(paragraphs.size());
    StoredBlockFinder stored(note.blocks);
    // Each block kept (stored or from the history) is kept at most once,
    // and where it went is found again without hashing its id: a stored
    // block's place is noted by its position among the stored blocks.
    KeptPlaces kept(note.blocks);
    const auto keptPlace = [&](const QUuid& id) { return kept.of(id, stored.find(id)); };
    auto known = [&](const QUuid& id) { return stored.find(id) || history.find(id); };
    // Accumulated per todo, in text order, with the todo's place.
    std::map<QUuid, std::pair<std::size_t, AttributedString>> remarks;
    RunFinder runs(ranges);

    for (const ParagraphReading& paragraph : paragraphs) {
        const int length = paragraph.length;
        const TextRun* entry = runs.containing(paragraph.start);
        std::optional<QUuid> id;
        if (paragraph.markedID && known(*paragraph.markedID))
            id = paragraph.markedID;
        else if (entry)
            id = entry->blockID;

        const bool isRemarks = paragraph.role == remarksRole
            || (!paragraph.role && entry && entry->isRemarks && id && entry->blockID == *id);
        const AttributedString& content = paragraph.content;
        const std::optional<std::size_t> place = id ? keptPlace(*id) : std::nullopt;

        if (isRemarks && place) {
            Block& owner = emitted[*place];
            if (!owner.todo)
                owner.todo = TodoMetadata();
            auto [slot, fresh] = remarks.try_emplace(*id, *place, content);
            if (!fresh) {
                AttributedString& text = slot->second.second;
                text.append(AttributedString(QStringLiteral("\n"), content.isEmpty()
                    ? TextAttributes{} : content.attributesAt(0)));
                text.append(content);
            }
            result.ranges.push_back(TextRun{*id, paragraph.start, length, true});
            result.marks.push_back({*id, true});
            continue;
        }

        const bool lastIsTodo = !emitted.empty() && emitted.back().kind == BlockKind::Todo;
        const Block* source = nullptr; // the stored block kept, if any
        bool isNew = false;
        Block block = [&] {
            if (id && !place) {
                if (const Block* found = stored.find(*id)) {
                    source = found;
                    return *found;
                }
                if (const Block* past = history.find(*id))
                    return *past;
            }
            isNew = true;
            return newBlock(lastIsTodo, now);
        }();

        std::optional<Block> split;
        if (!blockKind::isAttachment(block.kind)) {
            if (!(paragraph.stored == block.text)) {
                block.text = paragraph.stored;
                block.updatedAt = now;
            }
        } else if (block.attachment) {
            const AttributedString typed = typedBesideAttachment(content, *block.attachment);
            if (!typed.isEmpty()) {
                split = newBlock(false, now);
                split->text = RichText(typed);
                result.needsRender = true;
            }
        }
        // A new block's id is no paragraph's mark and no run's: nothing asks
        // where it was placed.
        if (!isNew)
            kept.note(block.id, source, emitted.size());
        result.ranges.push_back(TextRun{block.id, paragraph.start, length, false});
        result.marks.push_back({block.id, false});
        emitted.push_back(std::move(block));
        if (split)
            emitted.push_back(std::move(*split));
    }

    for (auto& [id, ownerAndText] : remarks) {
        Block& owner = emitted[ownerAndText.first];
        const RichText notes(ownerAndText.second);
        if (!(owner.todo->notes == notes) || !owner.todo->notesExpanded) {
            owner.todo->notes = notes;
            owner.todo->notesExpanded = true; // shown as long as the text holds them
            owner.updatedAt = now;
        }
    }
    for (const QUuid& id : shownRemarks) {
        if (remarks.count(id))
            continue;
        const std::optional<std::size_t> place = keptPlace(id);
        if (!place)
            continue;
        Block& owner = emitted[*place];
        const TodoMetadata none;
        if (!owner.todo || (owner.todo->notes == none.notes && !owner.todo->notesExpanded))
            continue;
        owner.todo->notes = none.notes;
        owner.todo->notesExpanded = false;
        owner.updatedAt = now;
    }
    if (emitted.empty())
        emitted.push_back(newBlock(false, now));

    result.note = note.withBlocks(placeArchived(note, std::move(emitted)));
    return result;
}

std::set<QUuid> remarksIn(const std::vector<TextRun>& ranges)
{
    std::set<QUuid> ids;
    for (const TextRun& run : ranges) {
        if (run.isRemarks)
            ids.insert(run.blockID);
    }
    return ids;
}

std::vector<TextRun> adjustRanges(const std::vector<TextRun>& ranges, int a, int b, int d)
{
    const int newEnd = a + b;
    const int oldEnd = newEnd - d;
    std::optional<std::size_t> target;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        if (ranges[i].contains(a)) {
            target = i;
            break;
        }
    }
    if (!target && !ranges.empty() && ranges.back().end() == a)
        target = ranges.size() - 1;

    std::vector<TextRun> result;
    result.reserve(ranges.size());
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        TextRun run = ranges[i];
        const int s = run.start;
        const int e = run.end();
        if (target && i == *target) {
            const int end = e >= oldEnd ? e + d : newEnd;
            run.length = end - s;
        } else if (e <= a) {
            // before the edit: unchanged
        } else if (s < oldEnd && e > oldEnd) {
            run.start = newEnd;
            run.length = e + d - newEnd;
        } else if (s < oldEnd) {
            continue;
        } else {
            run.start = s + d;
        }
        if (run.length > 0)
            result.push_back(run);
    }
    return result;
}

ParagraphLayout layoutParagraph(const ParagraphInput& input)
{
    const Block* block = input.block;
    const bool isTodo = block && block->kind == BlockKind::Todo;
    const double unit = isTodo && block->todo && block->todo->reminder ? 56 : 44;
    double indent = 0;
    double tail = -16;
    if (input.isRemarks || isTodo) {
        indent = input.revealProgress * unit;
        tail = -56;
    } else if (block && block->kind == BlockKind::Bullet) {
        indent = 18;
    }

    ParagraphStyle style = input.current.value_or(ParagraphStyle{});
    double baseFirst = style.firstLineHeadIndent;
    double baseHead = style.headIndent;
    double baseTail = style.tailIndent;
    if (input.storedBase && input.storedBase->size() == 3) {
        baseFirst = (*input.storedBase)[0];
        baseHead = (*input.storedBase)[1];
        baseTail = (*input.storedBase)[2];
    }
    baseFirst = std::max(baseFirst, 0.0);
    baseHead = std::max(baseHead, 0.0);
    baseTail = std::min(baseTail, 0.0);

    style.firstLineHeadIndent = indent + baseFirst;
    style.headIndent = indent + baseHead;
    style.tailIndent = tail + baseTail;
    style.lineSpacing = input.isRemarks || isTodo ? 2 : 0;
    style.paragraphSpacingBefore = 0;
    if (input.isRemarks)
        style.paragraphSpacing = input.endsRun ? 12 : 3;
    else if (isTodo)
        style.paragraphSpacing = block->todo && block->todo->notesExpanded ? 4 : 12;
    else
        style.paragraphSpacing = 6;
    const double shelf = input.isLastRunOfBlock && input.endsRun ? input.shelfHeight : 0;
    style.paragraphSpacing += shelf;
    return ParagraphLayout{style, indent, tail, shelf, QList<double>{baseFirst, baseHead, baseTail}};
}

ParagraphLayoutKey layoutKey(const ParagraphInput& input)
{
    ParagraphLayoutKey key;
    if (const Block* block = input.block) {
        key.hasBlock = true;
        key.kind = block->kind;
        key.hasTodo = block->todo.has_value();
        key.hasReminder = block->todo && block->todo->reminder;
        key.notesExpanded = block->todo && block->todo->notesExpanded;
    }
    key.isRemarks = input.isRemarks;
    key.revealProgress = input.revealProgress;
    key.endsRun = input.endsRun;
    key.isLastRunOfBlock = input.isLastRunOfBlock;
    key.shelfHeight = input.shelfHeight;
    return key;
}

const TextRun* caretRun(const std::vector<TextRun>& ranges, const QString& text, int caret)
{
    // Text typed below the last line break makes a run without one, which
    // ends where the text ends: a caret there is in that run too.
    const auto found = std::find_if(ranges.begin(), ranges.end(), [&](const TextRun& run) {
        return run.contains(caret) || (caret == text.size() && run.end() == caret);
    });
    return found == ranges.end() ? nullptr : &*found;
}

int caretAfterRender(const std::vector<TextRun>& before, const QString& beforeText, int caret,
                     const std::vector<TextRun>& after, const QString& afterText)
{
    if (after.empty())
        return 0;
    const auto lastLine = [&] { return std::max(after.back().end() - 1, after.back().start); };
    const TextRun* old = caretRun(before, beforeText, caret);
    const auto now = !old ? after.end() : std::find_if(after.begin(), after.end(), [&](const TextRun& run) {
        return run.blockID == old->blockID && run.isRemarks == old->isRemarks;
    });
    if (now == after.end())
        return std::clamp(caret, 0, lastLine());
    const auto placeholders = [](const QString& text, int from, int to) {
        int count = 0;
        for (int i = std::max(from, 0); i < std::min(to, int(text.size())); ++i)
            count += text.at(i) == zeroWidthSpace ? 1 : 0;
        return count;
    };
    const int offset = caret - old->start - placeholders(beforeText, old->start, caret);
    const int lineEnd = std::max(now->end() - 1, now->start);
    int position = now->start;
    // Walk the same number of visible characters into the new run.
    for (int seen = 0; position < lineEnd && seen < offset; ++position) {
        if (afterText.at(position) != zeroWidthSpace)
            ++seen;
    }
    return position;
}

int storedPosition(QStringView text, int position)
{
    const QStringView before = text.first(std::clamp(qsizetype(position), qsizetype(0), text.size()));
    return int(before.size() - before.count(zeroWidthSpace));
}

std::optional<TextSpan> storedSpan(QStringView text, int position, QStringView expected)
{
    const qsizetype size = text.size();
    qsizetype at = 0;
    for (int counted = 0; counted < position; ++at) {
        if (at == size)
            return std::nullopt;
        if (text[at] != zeroWidthSpace)
            ++counted;
    }
    if (!expected.startsWith(zeroWidthSpace)) {
        while (at < size && text[at] == zeroWidthSpace)
            ++at;
    }
    qsizetype end = at;
    for (const QChar c : expected) {
        if (c == zeroWidthSpace)
            continue;
        while (end < size && text[end] == zeroWidthSpace)
            ++end;
        if (end == size || text[end] != c)
            return std::nullopt;
        ++end;
    }
    if (expected.endsWith(zeroWidthSpace)) {
        while (end < size && text[end] == zeroWidthSpace)
            ++end;
    }
    return TextSpan{int(at), int(end)};
}

std::optional<QUuid> runAt(const std::vector<TextRun>& ranges, int position, int textLength)
{
    for (const TextRun& run : ranges) {
        if (run.contains(position) || (position == textLength && run.end() == position))
            return run.blockID;
    }
    return std::nullopt;
}

} // namespace quorrin::editortext
