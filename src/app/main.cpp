#include "modMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("HELIX Debug Display"));
    Main();
    return QApplication::exec();
}
