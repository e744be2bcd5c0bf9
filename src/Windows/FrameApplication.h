#pragma once

#include <QHash>
#include <QRectF>
#include <QUuid>

#include <optional>
#include <vector>

namespace quorrin {

namespace FrameApplication {

// The order in which windows are placed together so that every docked note
// comes after the notes it docks to: by docking depth (steps through the
// notes being placed, stopping at a cycle), then the leading note, then by id
// text. `dockTargets` maps a note to the note it docks to.
std::vector<QUuid> order(const QHash<QUuid, QRectF>& frames, const QHash<QUuid, QUuid>& dockTargets,
                         const std::optional<QUuid>& leading);

} // namespace FrameApplication

// What the window manager answered when the workspace placed a window. A
// window manager may refuse a frame (keeping a window on screen, enforcing a
// size) and answer with another; asking again would go on forever. Once the
// same request got the same answer twice, the answer is taken as final.
class ServerAnswers {
public:
    // The workspace asked for `frame`.
    void requested(const QUuid& id, const QRectF& frame, double tolerance);
    // The window manager reported the window at `frame`. A window standing
    // where it was asked to ends the record.
    void answered(const QUuid& id, const QRectF& frame, double tolerance);
    // The window manager put the window at `answer` on its own (keeping it
    // on a screen, placing it its own way) while the layout has it at
    // `request`: that answer is final at once. A window standing where the
    // layout has it ends the record.
    void imposed(const QUuid& id, const QRectF& request, const QRectF& answer, double tolerance);
    // Whether the window manager has twice answered `frame` with the same
    // other frame, or put the window elsewhere on its own.
    bool isRefused(const QUuid& id, const QRectF& frame, double tolerance) const;
    void clear() { m_records.clear(); }

private:
    struct Record {
        QRectF request;
        std::optional<QRectF> answer;
        int sameAnswers = 0;
        bool awaitingAnswer = false;
    };
    QHash<QUuid, Record> m_records;
};

} // namespace quorrin
