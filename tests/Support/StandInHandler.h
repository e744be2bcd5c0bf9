#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

namespace quorrin::testing {

// The desktop's handler while it lives: the only xdg-open on the PATH, which
// notes what it was handed and exits with `status`; none at all without one.
class StandInHandler {
public:
    explicit StandInHandler(std::optional<int> status)
        : m_path(qgetenv("PATH"))
    {
        if (status) {
            QFile script(m_directory.filePath(QStringLiteral("xdg-open")));
            script.open(QIODevice::WriteOnly);
            script.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\nexit %2\n")
                             .arg(handedFile())
                             .arg(*status)
                             .toUtf8());
            script.close();
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(m_directory.path()));
    }
    ~StandInHandler() { qputenv("PATH", m_path); }

    QString handedFile() const { return m_directory.filePath(QStringLiteral("handed")); }
    QString handed() const
    {
        QFile file(handedFile());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private:
    QTemporaryDir m_directory;
    QByteArray m_path;
};

// Until the handler was reached (or the failure told) and every handler
// started has ended and been answered for.
inline bool handlerDone(const StandInHandler& handler, const std::function<bool()>& failureTold)
{
    return QTest::qWaitFor([&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return (failureTold() || !handler.handed().isEmpty())
            && QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
    }, 10000);
}

} // namespace quorrin::testing
