#include "platform/FormPlacement.h"
#include "platform/Twips.h"

#include <QTest>

using Owner = std::optional<FormRectTwips>;
Q_DECLARE_METATYPE(Owner)

class tst_FormPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void centerForm_data()
    {
        QTest::addColumn<Owner>("owner");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QPoint>("expected");

        // Screen 19200 x 14400 twips throughout.
        const QSizeF find(7065, 4875);
        QTest::newRow("over owner")
            << Owner({3000, 1500, 12000, 8000}) << find << QPoint(5467, 3062);
        QTest::newRow("owner near right edge clamps left")
            << Owner({14000, 1500, 12000, 8000}) << find << QPoint(12135, 3062);
        QTest::newRow("owner off the left edge clamps to 0")
            << Owner({-5000, -4000, 12000, 8000}) << find << QPoint(0, 0);
        QTest::newRow("wider than screen, left not negative: right rule gives negative")
            << Owner({10000, 1500, 12000, 8000}) << QSizeF(20000, 4875) << QPoint(-800, 3062);
        QTest::newRow("odd negative half truncates toward zero")
            << Owner({1000, 1000, 7058, 4868}) << find << QPoint(997, 997);
        QTest::newRow("fractional difference rounds half to even before halving")
            << Owner({1000, 1000, 7066.5, 4875.5}) << find << QPoint(1001, 1000);
        QTest::newRow("screen centre") << Owner() << QSizeF(9000, 6000) << QPoint(5100, 4200);
        QTest::newRow("larger than screen is not clamped")
            << Owner() << QSizeF(20001, 15001) << QPoint(-400, -300);
    }

    void centerForm()
    {
        QFETCH(Owner, owner);
        QFETCH(QSizeF, size);
        const auto position =
            centerFormPosition(19200, 14400, {0, 0, size.width(), size.height()}, owner);
        QTEST(position.value_or(QPoint(-1, -1)), "expected");
    }

    void centerFormOverflowLeavesFormAlone()
    {
        QVERIFY(!centerFormPosition(19200, 14400, {0, 0, 7065, 4875},
                                    FormRectTwips{2147483000.0, 0, 12000, 8000}));
    }

    // Pixels to twips, and twips back to pixels, at one DPI; halves go to the even side.
    void twips_data()
    {
        QTest::addColumn<double>("dpi");
        QTest::addColumn<double>("pixels");
        QTest::addColumn<int>("twips");
        QTest::addColumn<double>("twipsIn");
        QTest::addColumn<int>("pixelsOut");
        QTest::newRow("96 dpi minimum width") << 96.0 << 240.0 << 3600 << 3601.0 << 240;
        QTest::newRow("no dpi reported: 96") << 0.0 << 240.0 << 3600 << 3601.0 << 240;
        QTest::newRow("120 dpi: 1.5 pixels round to 2") << 120.0 << 240.0 << 2880 << 18.0 << 2;
        QTest::newRow("144 dpi: 2.5 rounds to 2 both ways") << 144.0 << 0.25 << 2 << 25.0 << 2;
        QTest::newRow("480 dpi: negative halves go to the even side")
            << 480.0 << -0.5 << -2 << -7.5 << -2;
    }

    void twips()
    {
        QFETCH(double, dpi);
        QFETCH(double, pixels);
        QFETCH(int, twips);
        QFETCH(double, twipsIn);
        const TwipsScale scale = TwipsScale::fromDpi(dpi, dpi);
        QCOMPARE(scale.xToTwips(pixels), twips);
        QCOMPARE(scale.yToTwips(pixels), twips);
        QTEST(scale.xToPixels(twipsIn), "pixelsOut");
    }
};

QTEST_GUILESS_MAIN(tst_FormPlacement)
#include "tst_FormPlacement.moc"
