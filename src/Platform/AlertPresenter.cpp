#include "Platform/AlertPresenter.h"

#include <QMessageBox>

namespace quorrin {

void MessageBoxAlertPresenter::present(const QString& message, const QString& informativeText)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Quorrin"), message, QMessageBox::Ok);
    box.setInformativeText(informativeText);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

} // namespace quorrin
