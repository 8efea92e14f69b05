#include "Program.h"
#include "QtWindow.h"
#include "Version.h"

#include <QApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bitlicht"));
    QApplication::setApplicationVersion(QStringLiteral(BITLICHT_VERSION));

    installGermanQtTexts();

    QtWindow window;
    const Program program(window,
                          QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    window.show();
    return QApplication::exec();
}
