#include "frmBitlicht.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bitlicht"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    frmBitlicht window(QCoreApplication::applicationDirPath());
    window.show();
    return QApplication::exec();
}
