#include "platform/FormPlacement.h"
#include "platform/Twips.h"

#include <QTest>

using Owner = std::optional<FormRectTwips>;

class tst_FormPlacement : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void centerForm_data()
    {
        QTest::addColumn<Owner>("owner");
        QTest::addColumn<FormRectTwips>("form");
        QTest::addColumn<QPoint>("expected"); // (-1, -1): the form stays where it is
        // Screen 19200 x 14400 twips throughout; the form is 7065 x 4875 unless said otherwise.
        const auto row = [](const char *name, Owner owner, QPoint expected, double width = 7065,
                            double height = 4875) {
            QTest::newRow(name) << owner << FormRectTwips{0, 0, width, height} << expected;
        };
        row("over owner", {{3000, 1500, 12000, 8000}}, {5467, 3062});
        row("owner near right edge clamps left", {{14000, 1500, 12000, 8000}}, {12135, 3062});
        row("owner off the left edge clamps to 0", {{-5000, -4000, 12000, 8000}}, {0, 0});
        row("wider than screen, left not negative: right rule gives negative",
            {{10000, 1500, 12000, 8000}}, {-800, 3062}, 20000);
        row("odd negative half truncates toward zero", {{1000, 1000, 7058, 4868}}, {997, 997});
        row("fractional difference rounds half to even before halving",
            {{1000, 1000, 7066.5, 4875.5}}, {1001, 1000});
        row("32-bit overflow leaves the form alone", {{2147483000.0, 0, 12000, 8000}}, {-1, -1});
        row("screen centre", {}, {5100, 4200}, 9000, 6000);
        row("larger than screen is not clamped", {}, {-400, -300}, 20001, 15001);
    }

    void centerForm()
    {
        QFETCH(Owner, owner);
        QFETCH(FormRectTwips, form);
        QTEST(centerFormPosition(19200, 14400, form, owner).value_or(QPoint(-1, -1)), "expected");
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
        QFETCH(double, twipsIn);
        const TwipsScale scale = TwipsScale::fromDpi(dpi, dpi);
        QTEST(scale.xToTwips(pixels), "twips");
        QTEST(scale.yToTwips(pixels), "twips");
        QTEST(scale.xToPixels(twipsIn), "pixelsOut");
    }
};

QTEST_GUILESS_MAIN(tst_FormPlacement)
#include "tst_FormPlacement.moc"
