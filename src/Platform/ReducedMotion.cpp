#include "Platform/ReducedMotion.h"

#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <utility>

namespace quorrin {

ReducedMotion::ReducedMotion(SettingReader reader)
    : reader_(std::move(reader))
{
}

ReducedMotion::~ReducedMotion()
{
    if (reading_)
        reading_->wait();
}

std::shared_ptr<ReducedMotion> ReducedMotion::readInBackground(SettingReader reader)
{
    auto motion = std::make_shared<ReducedMotion>(std::move(reader));
    ReducedMotion* self = motion.get();
    self->reading_.reset(QThread::create([self] { self->answer_ = self->reader_ ? self->reader_() : std::nullopt; }));
    self->reading_->start();
    return motion;
}

bool ReducedMotion::isPreferred() const
{
    if (cached_)
        return *cached_;
    if (reading_) {
        if (!reading_->isFinished())
            return true;
        reading_->wait();
        reading_.reset();
        cached_ = fromSetting(answer_);
        return *cached_;
    }
    cached_ = fromSetting(reader_ ? reader_() : std::nullopt);
    return *cached_;
}

std::optional<QString> ReducedMotion::desktopSetting()
{
    const QString gsettings = QStandardPaths::findExecutable(QStringLiteral("gsettings"));
    if (gsettings.isEmpty())
        return std::nullopt;
    QProcess process;
    process.start(gsettings, {QStringLiteral("get"), QStringLiteral("org.gnome.desktop.interface"),
                              QStringLiteral("enable-animations")});
    if (!process.waitForFinished(1000)) {
        process.kill();
        process.waitForFinished(100);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool ReducedMotion::fromSetting(const std::optional<QString>& setting)
{
    return setting && setting->trimmed() == QLatin1String("false");
}

} // namespace quorrin
