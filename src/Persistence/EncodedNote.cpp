#include "Persistence/EncodedNote.h"

#include "Domain/BackupManifest.h"
#include "Domain/BlockJsonWriter.h"
#include "Domain/Json.h"

#include <QHash>

namespace quorrin {

using namespace Qt::StringLiterals;

bool EncodedNote::Span::encodes(const Block& block) const
{
    return reusable && !block.todo && !block.attachment && block.id == id && block.kind == kind
        && block.createdAt == createdAt && block.updatedAt == updatedAt && block.text.rtf() == rtf;
}

class EncodedNote::Finder {
public:
    explicit Finder(const std::vector<Span>* spans)
        : m_spans(spans)
    {
    }

    // The earlier span of the block with `id` now at `index`. Blocks mostly
    // keep their places, or all move by the same few places after an
    // insertion or removal: the place the last block found suggests is
    // tried, and its neighbours. Only once blocks not found there are many
    // for the spans (each costs one encoding, as the look-up table costs
    // about one step per span) is every id looked up: a new line in a long
    // note is no reason to hash all the others.
    const Span* find(const QUuid& id, size_t index)
    {
        if (!m_spans || m_spans->empty())
            return nullptr;
        const qsizetype guess = qsizetype(index) + m_shift;
        for (const qsizetype place : {guess, guess + 1, guess - 1}) {
            if (place >= 0 && size_t(place) < m_spans->size() && (*m_spans)[size_t(place)].id == id)
                return found(place, index);
        }
        if (m_byId.isEmpty()) {
            if (++m_misses * missesPerTable < m_spans->size())
                return nullptr;
            m_byId.reserve(qsizetype(m_spans->size()));
            // Saved block ids are unique; were they not, the last would count.
            for (size_t place = 0; place < m_spans->size(); ++place)
                m_byId.insert((*m_spans)[place].id, qsizetype(place));
        }
        const auto place = m_byId.constFind(id);
        return place == m_byId.cend() ? nullptr : found(*place, index);
    }

private:
    static constexpr size_t missesPerTable = 64;

    const Span* found(qsizetype place, size_t index)
    {
        m_shift = place - qsizetype(index);
        return &(*m_spans)[size_t(place)];
    }

    const std::vector<Span>* m_spans;
    qsizetype m_shift = 0;
    size_t m_misses = 0;
    QHash<QUuid, qsizetype> m_byId;
};

EncodedNote EncodedNote::roomFor(qsizetype bytes, size_t blocks)
{
    EncodedNote room;
    // Written over once, so that the system gives each page now.
    room.m_payload.fill('\0', bytes);
    room.m_payload.resize(0);
    room.m_spans = std::make_shared<std::vector<Span>>(blocks);
    room.m_spans->clear();
    return room;
}

EncodedNote EncodedNote::encode(const Note& shell, const std::vector<Block>& blocks, const Preferences& preferences,
                                const EncodedNote* earlier)
{
    return encode(shell, blocks, preferences, earlier, EncodedNote());
}

EncodedNote EncodedNote::encode(const Note& shell, const std::vector<Block>& blocks, const Preferences& preferences,
                                const EncodedNote* earlier, EncodedNote recycled)
{
    Q_ASSERT(shell.blocks.empty());
    // The note without blocks encodes as the payload with an empty list of
    // blocks; the blocks' JSON goes between its brackets. Keys come out
    // sorted and only a number and a boolean precede the note's blocks, so
    // the first such list is the note's.
    static const QByteArray emptyBlocks = "\"blocks\":[]"_ba;
    const QByteArray around =
        json::encode(BackupManifest{BackupManifest::currentSchemaVersion, shell.createdAt, {shell}, preferences});
    const qsizetype emptyAt = around.indexOf(emptyBlocks);
    if (emptyAt < 0) {
        // Not where the blocks were expected: the note is encoded whole
        // rather than written with its blocks in the wrong place.
        Note whole = shell;
        whole.blocks = blocks;
        return EncodedNote(
            json::encode(BackupManifest{BackupManifest::currentSchemaVersion, shell.createdAt, {whole}, preferences}));
    }
    const qsizetype split = emptyAt + emptyBlocks.size() - 1;

    EncodedNote result;
    // The recycled encoding's memory, where nothing else holds it, takes
    // this one: its pages are already the process's own.
    if (recycled.m_payload.isDetached()) {
        result.m_payload = std::move(recycled.m_payload);
        result.m_payload.resize(0);
    }
    std::shared_ptr<std::vector<Span>> spans = recycled.m_spans.use_count() == 1
        ? std::move(recycled.m_spans)
        : std::make_shared<std::vector<Span>>();
    spans->clear();
    spans->reserve(blocks.size());
    const QByteArray* const reused = earlier ? &earlier->m_payload : nullptr;
    // Room for every block as a plain one, reused or not: the payload
    // neither grows by copying nor is much too large to keep.
    qsizetype expected = around.size() + qsizetype(blocks.size());
    for (const Block& block : blocks)
        expected += BlockJsonWriter::sizeHint(block);
    result.m_payload.reserve(expected);
    result.m_payload.append(around.constData(), split);
    Finder finder(earlier ? earlier->m_spans.get() : nullptr);
    BlockJsonWriter writer;
    // Reused blocks that follow each other in the earlier payload, with the
    // comma between them, are copied in one go.
    const char* run = nullptr;
    qsizetype runLength = 0;
    const auto copyRun = [&] {
        if (runLength > 0)
            result.m_payload.append(run, runLength);
        runLength = 0;
    };
    for (size_t index = 0; index < blocks.size(); ++index) {
        const Block& block = blocks[index];
        const bool separated = index > 0;
        const bool reusable = !block.todo && !block.attachment;
        Span span{block.id, reusable ? block.text.rtf() : QByteArray(), block.createdAt, block.updatedAt,
                  result.m_payload.size() + runLength + (separated ? 1 : 0), 0, block.kind, reusable};
        if (const Span* before = finder.find(block.id, index); before && before->encodes(block)) {
            const char* const from = reused->constData() + before->offset;
            if (runLength > 0 && separated && from == run + runLength + 1 && from[-1] == ',') {
                runLength += 1 + before->length;
            } else {
                copyRun();
                if (separated)
                    result.m_payload.append(',');
                run = from;
                runLength = before->length;
            }
            span.length = before->length;
        } else {
            copyRun();
            if (separated)
                result.m_payload.append(',');
            try {
                writer.append(block, result.m_payload);
            } catch (const json::Error& error) {
                throw error.within(u"blocks"_s).within(u"notes"_s);
            }
            ++result.m_blocksEncoded;
            span.length = result.m_payload.size() - span.offset;
        }
        spans->push_back(std::move(span));
    }
    copyRun();
    result.m_payload.append(around.constData() + split, around.size() - split);
    if (result.m_payload.capacity() - result.m_payload.size() > result.m_payload.size() / 8)
        result.m_payload.squeeze(); // kept as long as the note is stored
    result.m_spans = std::move(spans);
    return result;
}

} // namespace quorrin
