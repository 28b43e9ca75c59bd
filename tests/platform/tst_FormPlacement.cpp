#include "CheckValue.h"
#include "FormPlacement.h"
#include "Rounding.h"
#include "Twips.h"

#include <QTest>

class tst_FormPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void centerForm_data();
    void centerForm();
    void centerFormOverflowLeavesFormAlone();
    void roundHalfEven_data();
    void roundHalfEven();
    void twips_data();
    void twips();
    void checkValues_data();
    void checkValues();
};

using Owner = std::optional<FormRectTwips>;
Q_DECLARE_METATYPE(Owner)

void tst_FormPlacement::centerForm_data()
{
    QTest::addColumn<Owner>("owner");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QPoint>("expected");

    // Screen 19200 x 14400 twips throughout.
    QTest::newRow("over owner") << Owner(FormRectTwips{3000, 1500, 12000, 8000}) << 7065.0 << 4875.0
                                << QPoint(5467, 3062);
    QTest::newRow("owner near right edge clamps left")
        << Owner(FormRectTwips{14000, 1500, 12000, 8000}) << 7065.0 << 4875.0
        << QPoint(12135, 3062);
    QTest::newRow("owner off the left edge clamps to 0")
        << Owner(FormRectTwips{-5000, -4000, 12000, 8000}) << 7065.0 << 4875.0 << QPoint(0, 0);
    QTest::newRow("wider than screen, left not negative: right rule gives negative")
        << Owner(FormRectTwips{10000, 1500, 12000, 8000}) << 20000.0 << 4875.0
        << QPoint(-800, 3062);
    QTest::newRow("odd negative half truncates toward zero")
        << Owner(FormRectTwips{1000, 1000, 7058, 4868}) << 7065.0 << 4875.0 << QPoint(997, 997);
    QTest::newRow("fractional difference rounds half to even before halving")
        << Owner(FormRectTwips{1000, 1000, 7066.5, 4875.5}) << 7065.0 << 4875.0
        << QPoint(1001, 1000);
    QTest::newRow("screen centre") << Owner() << 9000.0 << 6000.0 << QPoint(5100, 4200);
    QTest::newRow("larger than screen is not clamped")
        << Owner() << 20001.0 << 15001.0 << QPoint(-400, -300);
}

void tst_FormPlacement::centerForm()
{
    QFETCH(Owner, owner);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QPoint, expected);
    const auto position = centerFormPosition(19200, 14400, {0, 0, width, height}, owner);
    QVERIFY(position.has_value());
    QCOMPARE(*position, expected);
}

void tst_FormPlacement::centerFormOverflowLeavesFormAlone()
{
    const auto position = centerFormPosition(19200, 14400, {0, 0, 7065, 4875},
                                             FormRectTwips{2147483000.0, 0, 12000, 8000});
    QVERIFY(!position.has_value());
}

void tst_FormPlacement::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-1.5") << -1.5 << -2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("2.4") << 2.4 << 2.0;
    QTest::newRow("2.6") << 2.6 << 3.0;
    QTest::newRow("-7.6") << -7.6 << -8.0;
}

void tst_FormPlacement::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(::roundHalfEven(value), expected);
}

void tst_FormPlacement::twips_data()
{
    QTest::addColumn<double>("dpi");
    QTest::addColumn<double>("pixels");
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("twipsIn");
    QTest::addColumn<int>("pixelsOut");
    QTest::newRow("96 dpi minimum width") << 96.0 << 240.0 << 3600 << 3601.0 << 240;
    QTest::newRow("96 dpi half pixel rounds to even (1.5 -> 2)")
        << 96.0 << 130.0 << 1950 << 22.5 << 2;
    QTest::newRow("96 dpi half pixel rounds to even (2.5 -> 2)") << 96.0 << 1.0 << 15 << 37.5 << 2;
    QTest::newRow("120 dpi") << 120.0 << 240.0 << 2880 << 18.0 << 2;
    QTest::newRow("144 dpi fraction") << 144.0 << 0.25 << 2 << 25.0 << 2;
}

void tst_FormPlacement::twips()
{
    QFETCH(double, dpi);
    QFETCH(double, pixels);
    QFETCH(int, twips);
    QFETCH(double, twipsIn);
    QFETCH(int, pixelsOut);
    const TwipsScale scale = TwipsScale::fromDpi(dpi, dpi);
    QCOMPARE(scale.xToTwips(pixels), twips);
    QCOMPARE(scale.yToTwips(pixels), twips);
    QCOMPARE(scale.xToPixels(twipsIn), pixelsOut);
}

void tst_FormPlacement::checkValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<int>("check");
    QTest::newRow("null") << QVariant() << 0;
    QTest::newRow("true") << QVariant(true) << 1;
    QTest::newRow("false") << QVariant(false) << 0;
    QTest::newRow("zero") << QVariant(0) << 0;
    QTest::newRow("minus one") << QVariant(-1) << 1;
    QTest::newRow("fraction") << QVariant(0.5) << 1;
    QTest::newRow("text True") << QVariant(QStringLiteral("True")) << 1;
    QTest::newRow("text FALSE") << QVariant(QStringLiteral("FALSE")) << 0;
    QTest::newRow("numeric text") << QVariant(QStringLiteral("2")) << 1;
    QTest::newRow("numeric text zero") << QVariant(QStringLiteral("0")) << 0;
    QTest::newRow("junk text") << QVariant(QStringLiteral("yes")) << 0;
}

void tst_FormPlacement::checkValues()
{
    QFETCH(QVariant, value);
    QFETCH(int, check);
    QCOMPARE(CheckValueFromBoolean(value), check);
    // Reading the box back gives the Boolean we started from; the grey state is no yes.
    QCOMPARE(BooleanFromCheckValue(check), check == 1);
    QCOMPARE(BooleanFromCheckValue(2), false);
}

QTEST_GUILESS_MAIN(tst_FormPlacement)
#include "tst_FormPlacement.moc"
