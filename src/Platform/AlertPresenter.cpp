#include "Platform/AlertPresenter.h"

#include "Platform/DialogPlacement.h"

#include <QApplication>
#include <QMessageBox>

namespace quorrin {

void MessageBoxAlertPresenter::present(const QString& message, const QString& informativeText)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorrin"), message, QMessageBox::Ok);
    box.setInformativeText(informativeText);
    // Alerts are about the window the user is working in, when there is one.
    placeInFrontOfNotes(box, QApplication::activeWindow());
    box.exec();
}

} // namespace quorrin
