// A second floor for start-up: the empty window plus one text field in
// Arial 48 pt bold and one check box. It pays what any window with text pays
// once (the font database and the fonts), and shows how much of Bitlicht's
// start-up that is.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(481, 374);
    window.setWindowTitle(QStringLiteral("Text"));
    auto* field = new QLineEdit(QStringLiteral("0"), &window);
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(48);
    font.setBold(true);
    field->setFont(font);
    field->setGeometry(176, 8, 129, 79);
    (new QCheckBox(QStringLiteral("Nur Simulation"), &window))->move(368, 352);
    window.show();
    return QApplication::exec();
}
