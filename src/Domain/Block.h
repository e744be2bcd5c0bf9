#pragma once

#include "Domain/Attachment.h"
#include "Domain/HeapOptional.h"
#include "Domain/Json.h"
#include "Domain/RandomID.h"
#include "Domain/RichText.h"
#include "Domain/TextDefaults.h"
#include "Domain/Todo.h"
#include "Core/Time/Clock.h"

#include <QJsonValue>
#include <QUuid>

#include <array>
#include <optional>
#include <vector>

namespace quorrin {

enum class BlockKind { Paragraph, H1, H2, H3, Bullet, Todo, Image, Pdf };

namespace blockKind {

inline constexpr std::array<BlockKind, 8> allCases = {
    BlockKind::Paragraph, BlockKind::H1,   BlockKind::H2,    BlockKind::H3,
    BlockKind::Bullet,    BlockKind::Todo, BlockKind::Image, BlockKind::Pdf,
};

QString rawValue(BlockKind kind);
// Exact, case-sensitive match; nothing for an unknown string.
std::optional<BlockKind> fromRawValue(const QString& raw);

// Image and PDF blocks show an attachment; they never convert to or from
// another kind.
inline constexpr bool isAttachment(BlockKind kind)
{
    return kind == BlockKind::Image || kind == BlockKind::Pdf;
}

} // namespace blockKind

namespace json {
template <> struct Coder<BlockKind> : EnumCoder<BlockKind, blockKind::rawValue, blockKind::fromRawValue> {};
} // namespace json

// One block of a note's body. A default block is an empty paragraph made now.
struct Block {
    QUuid id = randomID();
    BlockKind kind = BlockKind::Paragraph;
    RichText text = emptyDefaultText(); // for a todo, the todo's own line
    // Kept on the heap: most blocks have neither, and a note of many lines
    // holds many blocks, in more than one copy.
    HeapOptional<TodoMetadata> todo; // kept when the block stops being a todo
    HeapOptional<Attachment> attachment;
    Date createdAt = systemNow();
    Date updatedAt = systemNow();

    // A default block whose dates come from the clock.
    static Block create(const Clock& clock);

    // True when the block has todo data with an archive date, whatever its kind.
    bool isArchived() const { return todo && todo->archivedAt; }

    // Changes the kind. Attachment blocks never convert, and nothing converts
    // into one. Becoming a todo adds default todo data when there is none;
    // existing todo data is always kept. Renews `updatedAt` whenever the
    // conversion happens, even to the same kind.
    void convert(BlockKind newKind, const Clock& clock = systemNow);

    friend bool operator==(const Block&, const Block&) = default;

    static Block fromJson(const QJsonValue& value);
    static Block fromJson(const json::ParsedValue& value);
    QJsonValue toJson() const;
};

// Makes `copy` equal to `source` where they differ: the blocks both hold
// at the same places from either end are compared, not copied again, and
// those between are replaced. A copy of a note of many blocks follows an
// edit of a few of them without touching the rest.
void assignBlocks(std::vector<Block>& copy, const std::vector<Block>& source);

} // namespace quorrin
