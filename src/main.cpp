#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrin"));
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
