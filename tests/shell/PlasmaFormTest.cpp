#include "imaging/ColourConversion.h"
#include "imaging/TImageView.h"
#include "shell/TPlasmaForm.h"

#include <QTest>

using namespace varnolux;

namespace {

bool IsBlack(const TBitmap24& bitmap, int x, int y)
{
    return bitmap.Pixel(x, y) == 0;
}

/// The columns with colour in the brightest row.
std::vector<int> ColouredColumns(const TBitmap24& bitmap)
{
    std::vector<int> columns;
    for (int x = 0; x < bitmap.Width(); ++x)
        if (!IsBlack(bitmap, x, 255))
            columns.push_back(x);
    return columns;
}

std::vector<int> Columns(std::initializer_list<std::pair<int, int>> ranges)
{
    std::vector<int> columns;
    for (const auto& [first, last] : ranges)
        for (int x = first; x <= last; ++x)
            columns.push_back(x);
    return columns;
}

} // namespace

class PlasmaFormTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void HueRangeDecidesTheColouredColumns_data()
    {
        QTest::addColumn<int>("hueMin");
        QTest::addColumn<int>("hueMax");
        QTest::addColumn<std::vector<int>>("columns");
        QTest::newRow("equal limits") << 100 << 100 << std::vector<int>{};
        QTest::newRow("plain") << 10 << 20 << Columns({{10, 20}});
        QTest::newRow("wraps through red") << 200 << 50 << Columns({{0, 50}, {200, 255}});
        QTest::newRow("whole range") << 0 << 255 << Columns({{0, 255}});
    }

    void HueRangeDecidesTheColouredColumns()
    {
        QFETCH(int, hueMin);
        QFETCH(int, hueMax);
        QFETCH(std::vector<int>, columns);
        TPlasmaForm plasma;
        plasma.SetRange({hueMin, hueMax, 250, 255, 0, 255});
        plasma.DrawPalette();
        QCOMPARE(ColouredColumns(plasma.PaletteBitmap()), columns);
    }

    // Column x shows hue x at the sweep's saturation and brightness y.
    void ColumnsShowTheirHue_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::newRow("red") << 0 << 255;
        QTest::newRow("green") << 85 << 200;
        QTest::newRow("blue") << 170 << 128;
        QTest::newRow("last column") << 255 << 255;
    }

    void ColumnsShowTheirHue()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        TPlasmaForm plasma;
        plasma.SetRange({0, 255, 250, 255, 0, 255});
        plasma.DrawPalette();
        const double saturation = plasma.PaletteSaturation() - plasma.PaletteStep();
        QCOMPARE(saturation, 250.0);
        // The painter converts hue (255 − x + 170) mod 255 and swaps red and blue.
        const TRgb rgb = HsvToRgb((255 - column + 170) % 255, saturation, row);
        const TColour expected =
            MakeColour(ChannelByte(rgb.B), ChannelByte(rgb.G), ChannelByte(rgb.R));
        QCOMPARE(plasma.PaletteBitmap().Pixel(column, row), expected);
        const TColour shown = plasma.PaletteBitmap().Pixel(column, row);
        // The strongest channel is the one of the column's hue.
        const int strongest = column < 43 || column > 212 ? RedOf(shown)
                              : column < 128              ? GreenOf(shown)
                                                          : BlueOf(shown);
        QCOMPARE(strongest, std::max({int(RedOf(shown)), int(GreenOf(shown)), int(BlueOf(shown))}));
    }

    void BrightnessRangeLimitsTheRows()
    {
        TPlasmaForm plasma;
        plasma.SetRange({0, 255, 250, 255, 100, 150});
        plasma.DrawPalette();
        const TBitmap24& bitmap = plasma.PaletteBitmap();
        QVERIFY(IsBlack(bitmap, 10, 99));
        QVERIFY(!IsBlack(bitmap, 10, 100));
        QVERIFY(!IsBlack(bitmap, 10, 150));
        QVERIFY(IsBlack(bitmap, 10, 151));
    }

    void TheWholeSaturationRangeSweepsInStepsOf26()
    {
        TPlasmaForm plasma;
        plasma.SetRange({0, 255, 0, 255, 0, 255});
        std::vector<double> sweep;
        for (int frame = 0; frame < 12; ++frame) {
            plasma.DrawPalette();
            sweep.push_back(plasma.PaletteSaturation());
        }
        // 0, 26, … 234; the step to 260 is undone and the sweep turns there.
        const std::vector<double> expected = {26,  52,  78,  104, 130, 156,
                                              182, 208, 234, 234, 208, 182};
        QCOMPARE(sweep, expected);
        QCOMPARE(plasma.PaletteStep(), -26);
    }

    void EqualSaturationLimitsStepByOneWithoutSearching()
    {
        TPlasmaForm plasma;
        plasma.SetRange({0, 255, 3, 3, 0, 255});
        std::vector<bool> coloured;
        for (int frame = 0; frame < 5; ++frame) {
            plasma.DrawPalette();
            QCOMPARE(std::abs(plasma.PaletteStep()), 1);
            coloured.push_back(!IsBlack(plasma.PaletteBitmap(), 10, 255));
        }
        // Saturation 0, 1, 2, 3, 4: only the frame at 3 shows colours.
        QCOMPARE(coloured, (std::vector<bool>{false, false, false, true, false}));
    }

    void ASaturationRangeIsFoundBeforeTheFrame()
    {
        TPlasmaForm plasma;
        plasma.SetRange({0, 255, 100, 120, 0, 255});
        plasma.DrawPalette();
        QVERIFY(!IsBlack(plasma.PaletteBitmap(), 10, 255));
        QVERIFY(plasma.PaletteSaturation() >= 100 - 3 && plasma.PaletteSaturation() <= 120 + 3);
    }

    void StartsOnlyWithATarget()
    {
        TPlasmaForm plasma;
        plasma.StartPalette();
        QVERIFY(!plasma.Running());
        TImageBox target;
        plasma.SetTargetImage(&target);
        plasma.StartPalette();
        QVERIFY(plasma.Running());
        plasma.SetRange({0, 255, 0, 255, 0, 255});
        QTRY_VERIFY(!target.Picture().IsEmpty());
        QCOMPARE(target.Picture().Width(), 256);
        plasma.StopPalette();
        QVERIFY(!plasma.Running());
    }
};

QTEST_MAIN(PlasmaFormTest)
#include "PlasmaFormTest.moc"
