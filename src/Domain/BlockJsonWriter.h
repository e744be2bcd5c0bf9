#pragma once

#include "Domain/Block.h"

#include <QByteArray>

#include <array>

namespace quorrin {

// Appends blocks' JSON to a payload being built: exactly the bytes
// json::serialize(block.toJson().toObject()) gives. A plain block (no todo
// data, no attachment, finite dates), which is what most blocks of a note
// are, is written straight into the payload instead of through a
// QJsonObject, a QJsonDocument and the strings in between; any other block
// takes that general way. A note of many lines written back at once has
// blocks made at the same moment, so the text of the last dates written is
// kept for the next block.
class BlockJsonWriter {
public:
    // Throws the encoding error as Block::toJson does.
    void append(const Block& block, QByteArray& payload);

    // About the length of the block's JSON, for reserving a payload: a plain
    // block's is at most this, another block's may be longer.
    static qsizetype sizeHint(const Block& block);

private:
    QByteArray dateText(Date date);

    struct WrittenDate {
        double seconds = 0;
        QByteArray text; // empty until a date is written
    };
    std::array<WrittenDate, 2> m_dates;
    size_t m_nextDate = 0;
};

} // namespace quorrin
