#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QString>
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

} // namespace quorrin::testing
