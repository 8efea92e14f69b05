// The floor for start-up: an empty Qt window of Bitlicht's size.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(481, 374);
    window.setWindowTitle(QStringLiteral("Leer"));
    window.show();
    return QApplication::exec();
}
