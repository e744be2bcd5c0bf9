#include "Domain/Block.h"

#include "Core/Sequences/SharedEnds.h"
#include "Domain/Json.h"
#include "Domain/RawValue.h"

#include <algorithm>

namespace quorrin {

using namespace Qt::StringLiterals;

namespace blockKind {

QString rawValue(BlockKind kind)
{
    switch (kind) {
    case BlockKind::Paragraph: return u"paragraph"_s;
    case BlockKind::H1: return u"h1"_s;
    case BlockKind::H2: return u"h2"_s;
    case BlockKind::H3: return u"h3"_s;
    case BlockKind::Bullet: return u"bullet"_s;
    case BlockKind::Todo: return u"todo"_s;
    case BlockKind::Image: return u"image"_s;
    case BlockKind::Pdf: return u"pdf"_s;
    }
    return {};
}

std::optional<BlockKind> fromRawValue(const QString& raw)
{
    return caseNamed<BlockKind>(allCases, rawValue, raw);
}

} // namespace blockKind

void assignBlocks(std::vector<Block>& copy, const std::vector<Block>& source)
{
    const auto [head, tail] = sharedEnds(copy, source);
    const auto from = source.begin() + qsizetype(head);
    const size_t was = copy.size() - head - tail;
    const size_t now = source.size() - head - tail;
    const size_t both = std::min(was, now);
    std::copy(from, from + qsizetype(both), copy.begin() + qsizetype(head));
    if (was > now) {
        const auto rest = copy.begin() + qsizetype(head + both);
        copy.erase(rest, rest + qsizetype(was - now));
        return;
    }
    // Room for some more: a long note that gains a line does not have every
    // block moved to memory of its own, line after line.
    if (copy.capacity() < source.size())
        copy.reserve(source.size() + source.size() / 8);
    copy.insert(copy.begin() + qsizetype(head + both), from + qsizetype(both), from + qsizetype(now));
}

Block Block::create(const Clock& clock)
{
    Block block;
    block.createdAt = clock();
    block.updatedAt = clock();
    return block;
}

void Block::convert(BlockKind newKind, const Clock& clock)
{
    if (blockKind::isAttachment(kind) || blockKind::isAttachment(newKind))
        return;
    kind = newKind;
    if (newKind == BlockKind::Todo && !todo)
        todo = TodoMetadata();
    updatedAt = clock();
}

namespace {

Block readBlock(const json::ObjectReader& reader)
{
    return Block{
        .id = reader.get<QUuid>("id"_L1),
        .kind = reader.get<BlockKind>("kind"_L1),
        .text = reader.get<RichText>("text"_L1),
        .todo = reader.optional<TodoMetadata>("todo"_L1),
        .attachment = reader.optional<Attachment>("attachment"_L1),
        .createdAt = reader.get<Date>("createdAt"_L1),
        .updatedAt = reader.get<Date>("updatedAt"_L1),
    };
}

} // namespace

Block Block::fromJson(const QJsonValue& value)
{
    return readBlock(json::ObjectReader(value));
}

Block Block::fromJson(const json::ParsedValue& value)
{
    return readBlock(json::ObjectReader(value));
}

QJsonValue Block::toJson() const
{
    return json::ObjectWriter()
        .set("id"_L1, id)
        .set("kind"_L1, kind)
        .set("text"_L1, text)
        .set("todo"_L1, todo)
        .set("attachment"_L1, attachment)
        .set("createdAt"_L1, createdAt)
        .set("updatedAt"_L1, updatedAt)
        .object();
}

} // namespace quorrin
