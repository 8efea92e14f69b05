// What a screen reader is told about each control.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
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
    void everyControlIsNamed()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        for (QWidget* control : w->findChildren<QWidget*>())
            if (control->property("tabIndex").isValid() && !qobject_cast<QGroupBox*>(control))
                QVERIFY2(!spoken(control, QAccessible::Name).isEmpty(),
                         qPrintable(control->objectName()));
        // Names that carry the bit's place value, so they must match it.
        QCOMPARE(spoken(bitBox(*w, 3), QAccessible::Name), QStringLiteral("Bit D3, Stellenwert 8"));
        QCOMPARE(spoken(field(*w, "txtDualAusgabe(8)"), QAccessible::Name),
                 QStringLiteral("Stellenwert von Bit D7"));
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
