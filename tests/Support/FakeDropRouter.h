#pragma once

#include "Widgets/FileDropRouter.h"

#include <QMimeData>

namespace quorrin::test {

// Records what the note's views hand to the drop overlay.
class FakeDropRouter final : public FileDropRouter {
public:
    using FileDropRouter::FileDropRouter;

    int entered = 0;
    QList<QPointF> updates;
    QList<QList<QUrl>> accepted;
    QList<QPointF> acceptedAt;
    int ended = 0;
    bool session = false;
    bool refuse = false;

    Qt::DropAction draggingEntered(const QMimeData&) override
    {
        ++entered;
        session = true;
        return Qt::CopyAction;
    }
    Qt::DropAction update(const QPointF& location) override
    {
        updates.append(location);
        return Qt::CopyAction;
    }
    bool accept(const QList<QUrl>& files, const QPointF& location) override
    {
        accepted.append(files);
        acceptedAt.append(location);
        return !refuse;
    }
    void end() override
    {
        ++ended;
        session = false;
    }
    bool inSession() const override { return session; }
};

inline QMimeData* fileData()
{
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.pdf"))});
    return data;
}

inline QMimeData* textData()
{
    auto* data = new QMimeData;
    data->setText(QStringLiteral("买牛奶"));
    return data;
}

} // namespace quorrin::test
