#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

namespace quorrin::testing {

// Answers the file dialog about to open as the user would: notes the folder
// it opened in, then chooses `file` (cancels without one).
inline void answerFileDialog(QString& openedIn, const QString& file = QString())
{
    QTimer::singleShot(0, [&openedIn, file] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        openedIn = dialog->directory().absolutePath();
        if (file.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

// Where a file dialog might open: the user's home, a folder holding a file
// to choose, and the process's working directory, moved elsewhere while this
// lives (no dialog should open there).
class DialogPlaces {
public:
    explicit DialogPlaces(const QString& fileName)
        : file(chosen.filePath(fileName))
        , m_before(QDir::currentPath())
    {
        QDir::setCurrent(m_working.path());
        QFile(file).open(QIODevice::WriteOnly);
    }
    ~DialogPlaces() { QDir::setCurrent(m_before); }
    DialogPlaces(const DialogPlaces&) = delete;
    DialogPlaces& operator=(const DialogPlaces&) = delete;

    QTemporaryDir home;
    QTemporaryDir chosen;
    const QString file;

private:
    QTemporaryDir m_working;
    const QString m_before;
};

} // namespace quorrin::testing
