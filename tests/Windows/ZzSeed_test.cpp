#include "Persistence/NoteStore.h"
#include <gtest/gtest.h>
using namespace quorrin;
TEST(ZzSeed, Seed)
{
    const QString dir = qEnvironmentVariable("SEED_DIR");
    if (dir.isEmpty()) GTEST_SKIP();
    NoteStore store(dir, false);
    Note a = store.create(AttributedString(QStringLiteral("根便笺 A")));
    a.frame = {200, 350, 300, 260};
    store.update(a, true, false);
    Note b = store.create(AttributedString(QStringLiteral("停靠在 A 右边的 B")));
    b.frame = {900, 50, 260, 200};
    b.docking = NoteDock{a.id, DockEdge::Right};
    store.update(b, true, false);
    if (qEnvironmentVariableIsSet("SEED_THREE")) {
        b.docking = NoteDock{a.id, DockEdge::Below};
        store.update(b, true, false);
        Note c = store.create(AttributedString(QStringLiteral("停靠在 B 下面的 C")));
        c.frame = {20, 20, 250, 180};
        c.docking = NoteDock{b.id, DockEdge::Below};
        store.update(c, true, false);
    }
    store.save();
}
