// The window on a screen at twice the density (run with QT_SCALE_FACTOR=2).

#include "TestSupport.h"
#include "frmBitlicht.h"

#include <QCheckBox>
#include <QLabel>
#include <QSet>
#include <QTest>

class HighDensity : public QObject
{
    Q_OBJECT

private slots:
    void windowDoublesInDevicePixels()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const QImage shot = w->grab().toImage();
        QCOMPARE(shot.size(), QSize(962, 748));
        QCOMPARE(w->size(), QSize(481, 374)); // the layout itself is unchanged
    }

    void ledsStaySharp()
    {
        ProgramDirectory dir;
        const auto w = startProgram(dir);
        bitBox(*w, 2)->click();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        for (int b : {2, 3}) {
            const QImage shot = picture(*w, b)->grab().toImage();
            QCOMPARE(shot.size(), QSize(82, 66));
            // Scaled by whole pixels: only the icon's own colours and the background.
            QSet<QRgb> colours;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    colours.insert(shot.pixel(x, y));
            QVERIFY2(colours.size() <= 3, qPrintable(QString::number(colours.size())));
        }
    }
};

QTEST_MAIN(HighDensity)
#include "tst_hidpi.moc"
