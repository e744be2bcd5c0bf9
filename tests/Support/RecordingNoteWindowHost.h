#pragma once

#include "Windows/NoteWindowHost.h"

#include <QStringList>

namespace quorrin::testing {

// Stands in for the workspace: records, in order, the calls a note window
// makes that change something, and remembers the move session it began.
class RecordingNoteWindowHost final : public NoteWindowHost {
public:
    void beginMove(const QUuid& id, std::optional<QPointF>, bool watchMouse, std::optional<qint64>) override
    {
        calls << (watchMouse ? QStringLiteral("beginMove watching") : QStringLiteral("beginMove"));
        moving = id;
        native = watchMouse;
    }
    void updateMove(const QUuid&, const QRectF& proposed, std::optional<QPointF>) override
    {
        calls << QStringLiteral("updateMove %1,%2").arg(proposed.x()).arg(proposed.y());
    }
    void finishMove() override { endMove(QStringLiteral("finishMove")); }
    void cancelMove() override { endMove(QStringLiteral("cancelMove")); }
    bool isMovingFollower(const QUuid&) const override { return false; }
    std::optional<QUuid> movingNote() const override { return moving; }
    bool isNativeMove() const override { return native; }

    void beginUserResize(const QUuid&, const QRectF&) override { calls << QStringLiteral("beginUserResize"); }
    void finishUserResize(const QUuid&) override { calls << QStringLiteral("finishUserResize"); }
    void cancelUserResize(const QUuid&) override { calls << QStringLiteral("cancelUserResize"); }
    void clearSelections(const QUuid&) override {}

    void detachNativeLinks(const QUuid&) override { calls << QStringLiteral("detach"); }
    void syncNativeLinks() override { calls << QStringLiteral("sync"); }

    bool hasConnection(const QUuid&) const override { return false; }
    void geometryChanged(const QUuid&, bool resized) override
    {
        calls << (resized ? QStringLiteral("resized") : QStringLiteral("moved"));
    }

    bool isApplyingFrames() const override { return false; }
    void handleServerGeometryEvent(const QUuid&, const std::function<void()>& dispatch) override { dispatch(); }
    bool reconcileServerMove(const QUuid&) override { return false; }
    void addManagedMoves(const QSet<QUuid>&) override {}
    void removeManagedMoves(const QSet<QUuid>&) override {}
    QSet<QUuid> component(const QUuid& id) const override { return {id}; }

    void presentAll(std::optional<QUuid>, bool, bool) override { calls << QStringLiteral("presentAll"); }
    void setLayerForAll(bool onTop) override { calls << (onTop ? QStringLiteral("top") : QStringLiteral("desktop")); }

    QStringList calls;
    std::optional<QUuid> moving;
    bool native = false;

private:
    void endMove(const QString& call)
    {
        calls << call;
        moving.reset();
    }
};

} // namespace quorrin::testing
