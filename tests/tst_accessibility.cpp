// What a screen reader is told about each control.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

class Accessibility : public QObject
{
    Q_OBJECT

    static QString spoken(QWidget* w, QAccessible::Text text)
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        return iface ? iface->text(text) : QString();
    }

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("bit box") << "chkD(3)"
                                 << "Bit D3, Stellenwert 8";
        QTest::newRow("top bit box") << "chkD(7)"
                                     << "Bit D7, Stellenwert 128";
        QTest::newRow("LED") << "Picture1(3)"
                             << "LED D3";
        QTest::newRow("digit") << "txtDualAusgabe(3)"
                               << "Ziffer von Bit D3";
        QTest::newRow("place value") << "txtDualAusgabe(12)"
                                     << "Stellenwert von Bit D3";
        QTest::newRow("decimal") << "txtWertausgabe"
                                 << "Dezimalzahl";
        QTest::newRow("character") << "txtAsc"
                                   << "Zeichen";
        QTest::newRow("simulation switch") << "ChkSimulation"
                                           << "Nur Simulation";
        QTest::newRow("decimal switch") << "chkLoesungAnzeigen"
                                        << "Dezimalzahl anzeigen";
        QTest::newRow("character switch") << "chkAsc"
                                          << "ASCII anzeigen";
    }

    void names()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        QWidget* widget = w->findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(spoken(widget, QAccessible::Name), name);
        if (qobject_cast<QCheckBox*>(widget) && !control.startsWith(QLatin1String("chkD")))
            QVERIFY(!spoken(widget, QAccessible::Description).isEmpty());
    }

    void ledsSayWhetherTheyAreLit()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        QCOMPARE(spoken(picture(*w, 5), QAccessible::Description), QStringLiteral("aus"));
        bitBox(*w, 5)->click();
        QCOMPARE(spoken(picture(*w, 5), QAccessible::Description), QStringLiteral("an"));
        bitBox(*w, 5)->click();
        QCOMPARE(spoken(picture(*w, 5), QAccessible::Description), QStringLiteral("aus"));
    }
};

QTEST_MAIN(Accessibility)
#include "tst_accessibility.moc"
