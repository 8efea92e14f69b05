#include "QtWindow.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Bitlicht"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    // The program speaks German, so Qt's own texts (context menus, buttons) do too.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale(QLocale::German, QLocale::Germany), QStringLiteral("qtbase"),
                     QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    QtWindow window(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    window.show();
    return QApplication::exec();
}
