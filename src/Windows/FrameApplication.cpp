#include "Windows/FrameApplication.h"

#include "Windows/DockingLayout.h"
#include "Windows/WindowGeometry.h"

#include <QSet>

#include <algorithm>
#include <tuple>

namespace quorrin {

namespace FrameApplication {

std::vector<QUuid> order(const QHash<QUuid, QRectF>& frames, const QHash<QUuid, QUuid>& dockTargets,
                         const std::optional<QUuid>& leading)
{
    struct Entry {
        QUuid id;
        int depth = 0;
        bool leads = false;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(frames.size()));
    const auto placedTarget = [&](const QUuid& id) -> std::optional<QUuid> {
        const auto target = dockTargets.constFind(id);
        return target != dockTargets.cend() && frames.contains(*target) ? std::optional<QUuid>(*target)
                                                                         : std::nullopt;
    };
    for (auto frame = frames.cbegin(); frame != frames.cend(); ++frame) {
        int depth = 0;
        // Most notes dock to nothing: the steps are remembered only for those that do.
        if (std::optional<QUuid> target = placedTarget(frame.key())) {
            QSet<QUuid> passed{frame.key()};
            while (target && !passed.contains(*target)) {
                passed.insert(*target);
                ++depth;
                target = placedTarget(*target);
            }
        }
        entries.push_back({frame.key(), depth, leading && *leading == frame.key()});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.depth != b.depth)
            return a.depth < b.depth;
        if (a.leads != b.leads)
            return a.leads;
        return DockingLayout::uuidTextLess(a.id, b.id);
    });
    std::vector<QUuid> ids;
    ids.reserve(entries.size());
    for (const Entry& entry : entries)
        ids.push_back(entry.id);
    return ids;
}

} // namespace FrameApplication

void ServerAnswers::requested(const QUuid& id, const QRectF& frame, double tolerance)
{
    Record& record = m_records[id];
    if (!WindowGeometry::sameFrame(record.request, frame, tolerance))
        record = Record{frame, std::nullopt, 0, false};
    record.awaitingAnswer = true;
}

void ServerAnswers::answered(const QUuid& id, const QRectF& frame, double tolerance)
{
    const auto found = m_records.find(id);
    if (found == m_records.end() || !found->awaitingAnswer)
        return;
    Record& record = *found;
    if (WindowGeometry::sameFrame(record.request, frame, tolerance)) {
        m_records.erase(found);
        return;
    }
    record.awaitingAnswer = false;
    if (record.answer && WindowGeometry::sameFrame(*record.answer, frame, tolerance)) {
        ++record.sameAnswers;
    } else {
        record.answer = frame;
        record.sameAnswers = 1;
    }
}

void ServerAnswers::imposed(const QUuid& id, const QRectF& request, const QRectF& answer, double tolerance)
{
    if (WindowGeometry::sameFrame(request, answer, tolerance))
        m_records.remove(id);
    else
        m_records.insert(id, Record{request, answer, 2, false});
}

bool ServerAnswers::isRefused(const QUuid& id, const QRectF& frame, double tolerance) const
{
    const auto found = m_records.constFind(id);
    return found != m_records.cend() && found->sameAnswers >= 2
        && WindowGeometry::sameFrame(found->request, frame, tolerance);
}

} // namespace quorrin
