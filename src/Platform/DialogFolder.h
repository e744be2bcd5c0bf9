#pragma once

#include <QString>
#include <QStringList>

namespace quorrin {

// Where the file dialogs open: the folder of what the user last chose in one
// (opened, saved, inserted) while it still exists, else the home folder.
// Never the process's working directory, which is wherever the application
// happened to be started from. One is shared by the dialogs that should
// remember together.
class DialogFolder {
public:
    explicit DialogFolder(QString home);
    DialogFolder();

    // The folder a dialog opens in now.
    QString start() const;
    // Remembers the folder holding the first of the paths chosen in a dialog
    // (a chosen folder counts as a file: its parent is remembered).
    void remember(const QStringList& chosen);

private:
    QString m_home;
    QString m_last;
};

} // namespace quorrin
