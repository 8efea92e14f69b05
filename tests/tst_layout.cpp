// The window as built: size, places, fonts, tab order and first focus.

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

class WindowLayout : public QObject
{
    Q_OBJECT

    static QRect inWindow(const QWidget* w, const frmBitlicht& form)
    {
        return {w->mapTo(&form, QPoint(0, 0)), w->size()};
    }

private slots:
    void clientAreaIs481By374()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        QCOMPARE(w->size(), QSize(481, 374));
        QCOMPARE(w->minimumSize(), w->maximumSize());
    }

    void placeValuesStandAboveTheirBit()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        int previousLeft = -1;
        for (int b = 7; b >= 0; --b) {
            auto* place = field(*w, QStringLiteral("txtDualAusgabe(%1)").arg(15 - b));
            QCOMPARE(place->text(), QString::number(1 << b));
            QVERIFY(place->x() > previousLeft); // 128 at the left, 1 at the right
            previousLeft = place->x();
            const int middle = inWindow(place, *w).center().x();
            for (const QWidget* below : std::initializer_list<const QWidget*>{
                     field(*w, QStringLiteral("txtDualAusgabe(%1)").arg(b)), picture(*w, b),
                     bitBox(*w, b)}) {
                const QRect r = inWindow(below, *w);
                QVERIFY2(r.left() <= middle && middle <= r.right(),
                         qPrintable(below->objectName()));
            }
            QCOMPARE(bitBox(*w, b)->text(), QStringLiteral("D%1").arg(b));
        }
    }

    void fonts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qreal>("points");
        QTest::addColumn<int>("alignment");
        QTest::newRow("decimal") << "txtWertausgabe" << 48.0 << int(Qt::AlignRight);
        QTest::newRow("character") << "txtAsc" << 48.0 << int(Qt::AlignHCenter);
        QTest::newRow("digit") << "txtDualAusgabe(3)" << 36.0 << int(Qt::AlignHCenter);
        QTest::newRow("place value") << "txtDualAusgabe(11)" << 14.25 << int(Qt::AlignHCenter);
    }

    void fonts()
    {
        QFETCH(QString, name);
        QFETCH(qreal, points);
        QFETCH(int, alignment);
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        const QLineEdit* f = field(*w, name);
        QCOMPARE(f->font().pointSizeF(), points);
        QVERIFY(f->font().bold());
        QCOMPARE(QFontInfo(f->font()).family(), QStringLiteral("Liberation Sans"));
        QCOMPARE(int(f->alignment() & Qt::AlignHorizontal_Mask), alignment);
    }

    void tabOrderFollowsTheTabIndices()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        QStringList order;
        QWidget* at = bitBox(*w, 0);
        do {
            if (at->focusPolicy() & Qt::TabFocus)
                order << at->objectName();
            at = at->nextInFocusChain();
        } while (at != bitBox(*w, 0));
        QStringList expected{"chkD(0)"};
        for (int b = 1; b <= 7; ++b)
            expected << QStringLiteral("chkD(%1)").arg(b);
        expected << "txtWertausgabe";
        for (int i = 0; i <= 15; ++i)
            expected << QStringLiteral("txtDualAusgabe(%1)").arg(i);
        expected << "ChkSimulation"
                 << "chkLoesungAnzeigen"
                 << "txtAsc"
                 << "chkAsc";
        QCOMPARE(order, expected);
    }

    void focusStartsOnD0WhereSpaceTogglesBit0()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QCOMPARE(QApplication::focusWidget(), bitBox(*w, 0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(bitBox(*w, 0)->isChecked());
        QCOMPARE(field(*w, "txtWertausgabe")->text(), QStringLiteral("1"));
        QCOMPARE(field(*w, "txtDualAusgabe(0)")->text(), QStringLiteral("1"));
    }
};

QTEST_MAIN(WindowLayout)
#include "tst_layout.moc"
