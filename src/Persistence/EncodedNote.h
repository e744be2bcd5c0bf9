#pragma once

#include "Domain/Note.h"
#include "Domain/Preferences.h"

#include <QByteArray>
#include <QUuid>

#include <memory>
#include <vector>

namespace quorrin {

// A note's record payload (what notePayload gives) together with where each
// block's JSON lies in it. Encoding the note again copies the bytes of every
// block that is unchanged since instead of encoding it: a save of a note of
// many blocks costs what changed, plus copying the rest.
class EncodedNote {
public:
    EncodedNote() = default;
    // Stored bytes whose blocks are not known: nothing in them is reused.
    explicit EncodedNote(QByteArray payload)
        : m_payload(std::move(payload))
    {
    }

    // The payload of the note `shell` (whose own blocks must be empty)
    // holding `blocks`, with these preferences, reusing what `earlier`
    // encoded for blocks equal to the ones it encoded. Throws the encoding
    // error as notePayload would. The memory of `recycled`, an encoding no
    // longer needed, holds the new one where no copy of it shares it: a
    // note of many blocks saved again does not have fresh pages of memory
    // cleared for it each time.
    static EncodedNote encode(const Note& shell, const std::vector<Block>& blocks, const Preferences& preferences,
                              const EncodedNote* earlier, EncodedNote recycled);
    static EncodedNote encode(const Note& shell, const std::vector<Block>& blocks, const Preferences& preferences,
                              const EncodedNote* earlier = nullptr);

    // An encoding of nothing whose memory holds `bytes` of payload and
    // `blocks` blocks, every page of it already the process's own: the
    // memory a note's next encoding is written into, made ready away from
    // the thread that encodes.
    static EncodedNote roomFor(qsizetype bytes, size_t blocks);

    const QByteArray& payload() const { return m_payload; }
    // How many blocks were encoded rather than copied from the earlier payload.
    qsizetype blocksEncoded() const { return m_blocksEncoded; }
    // How many bytes of payload its memory holds.
    qsizetype capacity() const { return m_payload.capacity(); }

private:
    // A block's JSON in the payload, with the value it was encoded from. Only
    // a block without todo data or attachment is remembered by value: its
    // id, kind, text and dates are then all there is to it.
    struct Span {
        QUuid id;
        QByteArray rtf; // shares the block's bytes
        Date createdAt;
        Date updatedAt;
        qsizetype offset = 0;
        qsizetype length = 0;
        BlockKind kind = BlockKind::Paragraph;
        bool reusable = false;

        bool encodes(const Block& block) const;
    };
    // Where the earlier encoding of a block with an id is, if anywhere.
    class Finder;

    QByteArray m_payload;
    std::shared_ptr<std::vector<Span>> m_spans; // never changed once encoded
    qsizetype m_blocksEncoded = 0;
};

} // namespace quorrin
