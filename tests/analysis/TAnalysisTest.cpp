#include "analysis/TAnalysis.h"

#include "analysis/AnalysisSteps.h"
#include "imaging/BmpFile.h"
#include "imaging/KernelThreads.h"
#include "imaging/TQStatus.h"
#include "input/TempFolder.h"
#include "results/ShaFingerprint.h"
#include "support/Pictures.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <atomic>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {
namespace {

using test::Picture;
using test::RecordingReporter;
using test::TempFolder;

const std::vector<std::string>& Objects = test::ObjectRows;

class TAnalysisTest : public testing::Test {
protected:
    std::string WriteImage(const std::vector<std::string>& rows,
                           const std::string& name = "objects.bmp")
    {
        const std::string fileName = folder.File(name);
        WriteBmpFile(Picture(rows), fileName);
        return fileName;
    }

    /// Selects the red pixels: hue 0..10 with some saturation.
    static TAnalysisSettings RedSettings(const char* minRegion = "2")
    {
        TAnalysisSettings settings;
        settings.Range = {0, 10, 100, 255, 0, 255};
        settings.Options.EditMinRegion = minRegion;
        settings.Options.ColorBack = int(MakeColour(20, 80, 140));
        return settings;
    }

    bool Open(const std::string& fileName) { return engine.LoadImage(fileName).Loaded; }

    /// Runs with every picture; the settings take the run's corrections, as the windows
    /// do.
    bool Run(TAnalysisSettings& settings, const TPictureRequest& pictures = TPictureRequest::All())
    {
        last = engine.Run(settings, pictures);
        settings = last.Settings;
        return last.Complete;
    }

    std::string Item(const char* name) const { return last.Items.GetValueText(name); }

    TempFolder folder;
    RecordingReporter reporter;
    TAnalysis engine;
    TAnalysisResult last;
};

TEST_F(TAnalysisTest, AnalysesTheSelectedRegions)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    EXPECT_TRUE(engine.HasImage());
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    EXPECT_TRUE(last.Complete);

    // The single pixel (1.0) is under the minimum of 2; the pair (2.25) stays.
    EXPECT_EQ(Item("Count"), "2");
    EXPECT_EQ(Item("AreaPixel"), "11.25");
    EXPECT_EQ(Item("AnalysisAreaPixel"), "160");
    EXPECT_EQ(Item("MeanSizePixel"), "5.625");
    EXPECT_EQ(Item("AreaPercent"), "7.03");
    EXPECT_EQ(Item("Measure"), "1");
    EXPECT_EQ(Item("MinRegion"), "2");
    EXPECT_EQ(Item("Unit"), "cm");
    EXPECT_EQ(Item("Path"), folder.Path().string() + "/");
    EXPECT_EQ(Item("Name"), "objects.bmp");
    EXPECT_EQ(Item("HMax"), "10");
    EXPECT_EQ(Item("SMin"), "100");

    const TResultFields& fields = last.Fields;
    EXPECT_EQ(fields.AnaArea, "160");
    EXPECT_EQ(fields.AreaPixel, "11");
    EXPECT_EQ(fields.Count, "2");
    EXPECT_EQ(fields.MeanSize, "6");
    EXPECT_EQ(fields.Percent, "7.03");
    EXPECT_EQ(fields.AreaCM, "");
    EXPECT_EQ(fields.AnaAreaCM, "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(TAnalysisTest, APathRelativeToTheWorkingFolderIsStoredInFull)
{
    WriteImage(Objects, "relative.bmp");
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    const bool loaded = Open("./relative.bmp");
    TAnalysisSettings settings = RedSettings();
    const bool analysed = loaded && Run(settings);
    std::filesystem::current_path(previous);
    ASSERT_TRUE(analysed);
    EXPECT_EQ(Item("Path"), std::filesystem::canonical(folder.Path()).string() + "/");
    EXPECT_EQ(Item("Name"), "relative.bmp");
}

TEST_F(TAnalysisTest, PicturesNobodyAsksForStayUnpaintedAndChangeNoResult)
{
    const std::string image = WriteImage(Objects);
    TAnalysis unwatched;
    ASSERT_TRUE(Open(image));
    ASSERT_TRUE(unwatched.LoadImage(image).Loaded);
    TAnalysisSettings settings = RedSettings();
    const TAnalysisSettings same = RedSettings();
    ASSERT_TRUE(Run(settings));
    TPictureRequest noCurves;
    noCurves.Curves = false;
    for (const TPictureRequest& request : {TPictureRequest(), noCurves}) {
        const TAnalysisResult plain = unwatched.Run(same, request);
        ASSERT_TRUE(plain.Complete);
        for (const std::string name : TAnalysis::ResultItemNames()) {
            if (name != "DateTime") {
                EXPECT_EQ(plain.Items.GetValueText(name), Item(name.c_str())) << name;
            }
        }
        EXPECT_EQ(plain.Regions, last.Regions);
        EXPECT_TRUE(plain.Pictures.Source.IsEmpty());
        EXPECT_TRUE(plain.Pictures.Analysed.IsEmpty());
        for (const TGreyBitmap& picture : plain.Pictures.Channels)
            EXPECT_TRUE(picture.IsEmpty());
        EXPECT_EQ(plain.Curves, request.Curves ? last.Curves : TChannelCurves{});
    }
}

TEST_F(TAnalysisTest, TheResultCarriesTheKeptRegions)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    // The 3 × 3 block and the diagonal pair are kept; the single pixel is not.
    ASSERT_EQ(last.Regions.size(), 2u);
    double sum = 0.0;
    std::int64_t pixels = 0;
    for (const TRegionSummary& region : last.Regions) {
        sum += region.Area;
        pixels += region.PixelCount;
    }
    EXPECT_EQ(sum, 11.25);
    EXPECT_EQ(pixels, 11);
    EXPECT_EQ(last.Regions[0].Area, 9.0);
    EXPECT_EQ(last.Regions[0].PixelCount, 9);
    EXPECT_EQ(last.Regions[1].Area, 2.25);
    EXPECT_LT(last.Regions[0].Label, last.Regions[1].Label);
    EXPECT_EQ(last.Measurement.Count, 2);
    EXPECT_EQ(last.Measurement.ObjectArea, 11.25);
}

TEST_F(TAnalysisTest, PicturesHandedBackArePaintedAgainWithoutNewMemory)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    const TAnalysisPictures first = last.Pictures;
    const std::uint8_t* analysedBits = last.Pictures.Analysed.Bits();
    engine.Recycle(std::move(last.Pictures));
    ASSERT_TRUE(Run(settings));
    EXPECT_TRUE(last.Pictures.Analysed == first.Analysed);
    EXPECT_TRUE(last.Pictures.Source == first.Source);
    EXPECT_TRUE(last.Pictures.Channels == first.Channels);
    const std::uint8_t* const bits[] = {last.Pictures.Source.Bits(), last.Pictures.Analysed.Bits()};
    EXPECT_NE(std::find(std::begin(bits), std::end(bits), analysedBits), std::end(bits));
}

TEST_F(TAnalysisTest, SparePicturesMadeBeforehandArePaintedAndChangeNoResult)
{
    EXPECT_FALSE(engine.AddSparePicture(5)); // no image
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    const TAnalysisResult shown = last;
    const std::size_t count = TPictureRequest::All().Count();
    EXPECT_EQ(count, 2u); // the 24-bit pictures
    for (std::size_t i = 0; i < count; ++i)
        EXPECT_TRUE(engine.AddSparePicture(count)) << i;
    EXPECT_FALSE(engine.AddSparePicture(count));
    ASSERT_TRUE(Run(settings));
    EXPECT_TRUE(last.Pictures.Analysed == shown.Pictures.Analysed);
    EXPECT_TRUE(last.Pictures.Source == shown.Pictures.Source);
    EXPECT_TRUE(last.Pictures.Channels == shown.Pictures.Channels);
    EXPECT_EQ(last.Items.GetValueText("SHAResult"), shown.Items.GetValueText("SHAResult"));
    // The run took the spares: there is room for a full set again.
    EXPECT_TRUE(engine.AddSparePicture(count));
}

TEST_F(TAnalysisTest, TheSourcePictureOfTheOpenIsSharedAndStaysPlain)
{
    const std::string image = WriteImage(Objects);
    const TOpenResult open = engine.LoadImage(image, true);
    ASSERT_TRUE(open.Loaded);
    EXPECT_EQ(open.Width, 20);
    EXPECT_EQ(open.Height, 8);
    ASSERT_TRUE(open.SourcePicture);
    EXPECT_EQ(open.SourcePicture, engine.Session()->SourcePicture());
    const TBitmap24 plain = *open.SourcePicture;
    TAnalysisSettings settings = RedSettings();
    settings.Options.colColorInclCircle = int(MakeColour(0, 0, 255));
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(last.Pictures.Source.Pixel(0, 0), MakeColour(0, 0, 255));
    EXPECT_TRUE(*open.SourcePicture == plain) << "the outline goes on a copy";
    EXPECT_EQ(open.SourcePicture->Pixel(2, 2), MakeColour(255, 0, 0));
}

TEST_F(TAnalysisTest, TheSourcePictureShowsTheOutlineOfItsOwnRunOnly)
{
    const std::vector<std::string> plain(20, std::string(20, '.'));
    ASSERT_TRUE(engine.LoadImage(WriteImage(plain), true).Loaded);
    TAnalysisSettings settings = RedSettings();
    settings.Options.colColorInclCircle = int(MakeColour(0, 0, 255));
    settings.Options.colColorExclRect = int(MakeColour(255, 255, 0));
    settings.Options.lUseExclRect = true;
    settings.Options.iExclRectLeft = 5;
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(last.Pictures.Source.Pixel(0, 10), MakeColour(128, 128, 128));
    EXPECT_EQ(last.Pictures.Source.Pixel(5, 10), MakeColour(255, 255, 0));
    engine.Recycle(std::move(last.Pictures));
    settings.Options.lUseExclRect = false;
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(last.Pictures.Source.Pixel(0, 10), MakeColour(0, 0, 255));
    EXPECT_EQ(last.Pictures.Source.Pixel(5, 10), MakeColour(128, 128, 128))
        << "no outline of an area no longer in force";
}

TEST_F(TAnalysisTest, TheOutlineStaysVisibleWhereThePictureIsShownSmaller)
{
    const std::vector<std::string> plain(20, std::string(20, '.'));
    ASSERT_TRUE(engine.LoadImage(WriteImage(plain), true).Loaded);
    TAnalysisSettings settings = RedSettings();
    settings.Options.colColorInclCircle = int(MakeColour(0, 0, 255));
    TPictureRequest pictures = TPictureRequest::All();
    pictures.SourceShownWidth = 5; // a quarter: each outline point covers 4 × 4 pixels
    pictures.SourceShownHeight = 5;
    last = engine.Run(settings, pictures);
    ASSERT_TRUE(last.Complete);
    EXPECT_EQ(last.Pictures.Source.Pixel(4, 4), MakeColour(0, 0, 255));
    EXPECT_EQ(last.Pictures.Source.Pixel(5, 5), MakeColour(128, 128, 128));
}

TEST_F(TAnalysisTest, StoresTheItemsInTableOrder)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    const auto& names = TAnalysis::ResultItemNames();
    ASSERT_EQ(last.Items.Count(), int(names.size()));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(last.Items.Items()[i].Name, names[i]);
}

TEST_F(TAnalysisTest, AHueRangeWrapsThroughRed)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    settings.Range[HMin] = 250;
    settings.Range[HMax] = 90; // red (0) and green (85)
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("Count"), "3");
    EXPECT_EQ(Item("AreaPixel"), "15.25");
}

TEST_F(TAnalysisTest, DrawsTheKeptRegionsInTheirColoursOnTheBackground)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    const TBitmap24& analysed = last.Pictures.Analysed;
    ASSERT_EQ(analysed.Width(), 20);
    ASSERT_EQ(analysed.Height(), 8);
    EXPECT_EQ(analysed.Pixel(2, 2), MakeColour(255, 0, 0));
    EXPECT_EQ(analysed.Pixel(14, 1), MakeColour(255, 0, 0));
    EXPECT_EQ(analysed.Pixel(10, 4), MakeColour(20, 80, 140)) << "dropped region";
    EXPECT_EQ(analysed.Pixel(16, 5), MakeColour(20, 80, 140)) << "not selected";
    EXPECT_EQ(analysed.Pixel(0, 0), MakeColour(20, 80, 140));
}

TEST_F(TAnalysisTest, OutlinesTheAnalysisAreaOnTheSource)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    settings.Options.colColorInclCircle = int(MakeColour(0, 0, 255));
    ASSERT_TRUE(Run(settings));
    const TBitmap24& source = last.Pictures.Source;
    EXPECT_EQ(source.Pixel(0, 0), MakeColour(0, 0, 255));
    EXPECT_EQ(source.Pixel(19, 7), MakeColour(0, 0, 255));
    EXPECT_EQ(source.Pixel(10, 5), MakeColour(128, 128, 128));
}

TEST_F(TAnalysisTest, EachPartOfTheOutlineHasItsOwnColour)
{
    const std::vector<std::string> plain(20, std::string(20, '.'));
    ASSERT_TRUE(Open(WriteImage(plain)));
    TAnalysisSettings settings = RedSettings();
    TOptions& options = settings.Options;
    const TColour circleColour = MakeColour(0, 0, 255);
    const TColour bordersColour = MakeColour(255, 255, 0);
    options.colColorInclCircle = int(circleColour);
    options.colColorExclRect = int(bordersColour);
    // A disc of radius 7 around (4, 10), cut at the left by a border of 2 columns.
    options.lUseInclCircle = true;
    options.iInclCircleX = 4;
    options.iInclCircleY = 10;
    options.iInclCircleDiam = 14;
    options.lUseExclRect = true;
    options.iExclRectLeft = 2;
    ASSERT_TRUE(Run(settings));
    const TBitmap24& source = last.Pictures.Source;
    for (const int y : {4, 10, 16})
        EXPECT_EQ(source.Pixel(2, y), bordersColour) << y;
    EXPECT_EQ(source.Pixel(11, 10), circleColour);
    EXPECT_EQ(source.Pixel(4, 3), circleColour);
    EXPECT_EQ(source.Pixel(6, 10), MakeColour(128, 128, 128)) << "inside";
    EXPECT_EQ(source.Pixel(0, 10), MakeColour(128, 128, 128)) << "excluded";

    // Without the borders in use, the whole outline is the circle's.
    options.lUseExclRect = false;
    ASSERT_TRUE(Open(WriteImage(plain)));
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(last.Pictures.Source.Pixel(0, 10), circleColour);
}

TEST_F(TAnalysisTest, ExclusionBordersAndCircleLimitTheArea)
{
    std::vector<std::string> plain(80, std::string(100, '.'));
    ASSERT_TRUE(Open(WriteImage(plain)));
    TAnalysisSettings settings = RedSettings();
    TOptions& options = settings.Options;
    options.lUseExclRect = true;
    options.iExclRectLeft = options.iExclRectRight = 10;
    options.iExclRectUp = options.iExclRectDown = 5;
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("AnalysisAreaPixel"), "5600"); // 80 × 70

    options.lUseInclCircle = true;
    options.iInclCircleX = 50;
    options.iInclCircleY = 40;
    options.iInclCircleDiam = 10;
    ASSERT_TRUE(Run(settings));
    // The digital disc of radius 5 has 81 pixels; its bit-quad area is close to that.
    const double area = std::stod(Item("AnalysisAreaPixel"));
    EXPECT_GT(area, 75);
    EXPECT_LT(area, 88);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(TAnalysisTest, BordersThatDoNotFitAreResetWithAMessage)
{
    std::vector<std::string> plain(80, std::string(100, '.'));
    ASSERT_TRUE(Open(WriteImage(plain)));
    TAnalysisSettings settings = RedSettings();
    TOptions& options = settings.Options;
    options.lUseExclRect = true;
    options.iExclRectLeft = 60;
    options.iExclRectRight = 50;
    options.iExclRectUp = 3;
    ASSERT_TRUE(Run(settings));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_NE(reporter.messages[0].find("Exclusion borders do not fit"), std::string::npos);
    EXPECT_EQ(options.iExclRectLeft, 0);
    EXPECT_EQ(options.iExclRectRight, 0);
    EXPECT_EQ(options.iExclRectUp, 0);
    EXPECT_EQ(Item("AnalysisAreaPixel"), "8000");

    // Borders that add up exactly to the width fit and exclude everything.
    options.iExclRectLeft = options.iExclRectRight = 50;
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("AnalysisAreaPixel"), "0");
    EXPECT_EQ(Item("AreaPercent"), "0");
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(TAnalysisTest, ReportsInSquareUnitsWithACalibration)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings("0.02"); // 0.02 · 10 · 10 = 2 pixels
    settings.Options.lCheckBoxUnits = true;
    settings.Options.EditMeasure = "10";
    settings.MeasureText = "10";
    settings.UnitText = "mm";
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("Count"), "2");
    EXPECT_EQ(Item("Area"), "0.1125");
    EXPECT_EQ(Item("AnalysisArea"), "1.6");
    EXPECT_EQ(Item("MeanSize"), "0.05625");
    EXPECT_EQ(Item("Measure"), "10");
    EXPECT_EQ(Item("Unit"), "mm");
    EXPECT_EQ(last.Fields.AreaCM, "0.11");
    EXPECT_EQ(last.Fields.AnaAreaCM, "1.60");
    EXPECT_EQ(last.Fields.MeanSizeCM, "0.06");
}

TEST_F(TAnalysisTest, AnInvalidMinimumSizeBecomesZeroWithAMessage)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    // Below 0 is as invalid as no number at all.
    for (const char* minRegion : {"1.5.2", "-5", "-0.5"}) {
        reporter.messages.clear();
        TAnalysisSettings settings = RedSettings(minRegion);
        ASSERT_TRUE(Run(settings));
        EXPECT_EQ(settings.Options.EditMinRegion, "0") << minRegion;
        ASSERT_EQ(reporter.messages.size(), 1u) << minRegion;
        EXPECT_EQ(reporter.messages[0],
                  "Invalid minimal area - will be set to 0.0. Please correct in options.");
        EXPECT_EQ(Item("Count"), "3");
        EXPECT_EQ(Item("MinRegion"), "0");
    }

    TAnalysisSettings settings = RedSettings("0");
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("Count"), "3");

    settings.Options.EditMinRegion = "1,5"; // either separator reads
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("MinRegion"), "1.5");
    EXPECT_EQ(Item("Count"), "2");
}

TEST_F(TAnalysisTest, AMeasureThatCannotScaleBecomesOneWithAMessage)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    // Beside texts that are no scale: 1e-201 and 1e200, whose squares are 0 and INF, and
    // 1e-160, whose square is below the normal doubles; areas would be INF, NaN or 0.
    const std::string tiny = "0." + std::string(200, '0') + "1";
    const std::string huge = "1" + std::string(200, '0');
    const std::string small = "0." + std::string(159, '0') + "1";
    for (const std::string& measure : {std::string("abc"), std::string("0"), std::string("-5"),
                                       std::string(), tiny, huge, small}) {
        reporter.messages.clear();
        TAnalysisSettings settings = RedSettings();
        settings.Options.lCheckBoxUnits = true;
        settings.Options.EditMeasure = measure;
        settings.MeasureText = measure;
        ASSERT_TRUE(Run(settings));
        EXPECT_EQ(settings.Options.EditMeasure, "1") << measure;
        EXPECT_EQ(settings.MeasureText, "1") << measure;
        ASSERT_EQ(reporter.messages.size(), 1u) << measure;
        EXPECT_EQ(reporter.messages[0], "Invalid measure - will be set to 1. Please correct.");
        EXPECT_EQ(Item("Measure"), "1");
        EXPECT_EQ(Item("Area"), "11.25");
    }
}

TEST_F(TAnalysisTest, ASmallMeasureWhoseAreasFitIsKept)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    settings.Options.lCheckBoxUnits = true;
    settings.Options.EditMeasure = "0." + std::string(149, '0') + "1"; // 1e-150
    ASSERT_TRUE(Run(settings));
    EXPECT_TRUE(reporter.messages.empty());
    for (const char* name : {"AnalysisArea", "Area", "MeanSize"}) {
        const TResultItem* item = last.Items.Find(name);
        ASSERT_TRUE(item);
        EXPECT_TRUE(std::isfinite(item->DoubleValue) && item->DoubleValue > 1e300)
            << name << " " << item->ValueText;
    }
}

TEST_F(TAnalysisTest, NoObjectsGiveZeroMeanSizes)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings("1000");
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("Count"), "0");
    EXPECT_EQ(Item("MeanSizePixel"), "0");
    EXPECT_EQ(last.Items.Find("MeanSizePixel")->Kind, TResultItem::KindInteger);
    EXPECT_EQ(last.Fields.MeanSize, "0");
    EXPECT_EQ(last.Fields.Percent, "0");
}

TEST_F(TAnalysisTest, FingerprintsFollowTheirInputs)
{
    const std::string image = WriteImage(Objects);
    ASSERT_TRUE(Open(image));
    TAnalysisSettings settings = RedSettings("2");
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("SHAImageFile"), Sha256FileHex(image).value());
    EXPECT_EQ(Item("SHAOptions"), Sha256TextHex("0101002550255"
                                                ""
                                                "2"
                                                "0000000"
                                                "00"));
    std::string results;
    for (const char* name : {"AreaPercent", "AnalysisAreaPixel", "AnalysisArea", "AreaPixel",
                             "Area", "MeanSizePixel", "MeanSize", "Measure", "Count", "MinRegion"})
        results += Item(name);
    results += "0"
               "10"
               "0"
               "10"
               "100"
               "255"; // HMin HMax VMin HMax SMin SMax
    EXPECT_EQ(Item("SHAResult"), Sha256TextHex(results));
    EXPECT_EQ(Item("SHAOptions"), Item("SHAOptions"));

    const std::string first[3] = {Item("SHAImageFile"), Item("SHAOptions"), Item("SHAResult")};
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("SHAImageFile"), first[0]);
    EXPECT_EQ(Item("SHAOptions"), first[1]);
    EXPECT_EQ(Item("SHAResult"), first[2]);

    settings.Options.EditMinRegion = "2.0";
    settings.Options.ColorBack = 12345;
    settings.Options.EditResultFile = "elsewhere.txt";
    ASSERT_TRUE(Run(settings));
    EXPECT_NE(Item("SHAOptions"), first[1]);
    EXPECT_EQ(Item("SHAResult"), first[2]) << "2 and 2.0 are the same number";

    // A copy under another name has the same image fingerprint.
    const std::string copy = folder.File("copy.bmp");
    std::filesystem::copy_file(image, copy);
    ASSERT_TRUE(Open(copy));
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("SHAImageFile"), first[0]);
}

TEST_F(TAnalysisTest, TheImageFingerprintIsOfTheBytesAnalysed)
{
    const std::string image = WriteImage(Objects);
    const std::string analysedBytes = test::ReadFile(image);
    ASSERT_TRUE(Open(image));
    // The file is rewritten, then removed, while its image is analysed.
    WriteImage({"rr", "rr"});
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("SHAImageFile"), Sha256TextHex(analysedBytes));
    EXPECT_EQ(Item("Count"), "2");
    std::filesystem::remove(image);
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(Item("SHAImageFile"), Sha256TextHex(analysedBytes));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(TAnalysisTest, AnUnreadableFileSaysWhy)
{
    const std::string image = WriteImage(Objects);
    ASSERT_EQ(::chmod(image.c_str(), 0), 0);
    const bool privileged = ::geteuid() == 0; // permission bits do not stop root
    if (!privileged) {
        EXPECT_FALSE(Open(image));
        ASSERT_EQ(reporter.messages.size(), 1u);
        EXPECT_EQ(reporter.messages[0], "Cannot open " + image + ": Permission denied");
    }
    const std::string folderName = folder.File("a folder.bmp");
    std::filesystem::create_directory(folderName);
    reporter.messages.clear();
    EXPECT_FALSE(Open(folderName));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "File " + folderName + " not found.");
}

TEST_F(TAnalysisTest, AMissingFileLeavesNoImage)
{
    EXPECT_FALSE(Open(folder.File("missing.png")));
    EXPECT_FALSE(engine.HasImage());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], "File " + folder.File("missing.png") + " not found.");
    TAnalysisSettings settings = RedSettings();
    EXPECT_FALSE(Run(settings));
    ASSERT_EQ(last.Items.Count(), 2);
    EXPECT_EQ(Item("Path"), "");
    EXPECT_EQ(Item("Name"), "");
    EXPECT_TRUE(last.Pictures.Source.IsEmpty());
    EXPECT_TRUE(last.Pictures.Analysed.IsEmpty());
}

TEST_F(TAnalysisTest, AFailedOpenKeepsThePreviousImageCopies)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    const TImageSession* session = engine.Session();
    const TQROIRGB* hsv = &session->Hsv();
    const std::string garbage = folder.File("garbage.png");
    test::WriteFile(garbage, "this is not an image at all");
    EXPECT_FALSE(Open(garbage));
    EXPECT_FALSE(engine.HasImage());
    EXPECT_EQ(engine.Session(), session);
    EXPECT_EQ(&engine.Session()->Hsv(), hsv);
    EXPECT_EQ(engine.Session()->Colours().Width(), 20);
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(TAnalysisTest, AnUnwritableTemporaryFolderFailsTheOpenCleanly)
{
    const std::string image = WriteImage(Objects);
    setenv("TEMP", folder.File("no-such-folder").c_str(), 1);
    EXPECT_FALSE(Open(image));
    unsetenv("TEMP");
    EXPECT_FALSE(engine.HasImage());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("Cannot open " + image, 0), 0u) << reporter.messages[0];

    EXPECT_TRUE(Open(image));
    EXPECT_TRUE(engine.HasImage());
}

TEST_F(TAnalysisTest, LeavesNoTemporaryFile)
{
    setenv("TEMP", folder.Path().c_str(), 1);
    ASSERT_TRUE(Open(WriteImage(Objects)));
    const std::string temporaryFolder = varnolux::TempFolder();
    unsetenv("TEMP");
    EXPECT_TRUE(std::filesystem::is_empty(temporaryFolder));
}

TEST_F(TAnalysisTest, ACancelledOpenOrRunStopsWithoutAMessage)
{
    const std::string image = WriteImage(Objects);
    std::atomic<bool> cancelled{true};
    {
        const TQStatus::TCancelScope cancelScope(&cancelled);
        const TOpenResult open = engine.LoadImage(image, true);
        EXPECT_FALSE(open.Loaded);
        EXPECT_TRUE(open.Cancelled);
        EXPECT_FALSE(engine.HasImage());
    }
    ASSERT_TRUE(Open(image));
    TAnalysisSettings settings = RedSettings();
    {
        const TQStatus::TCancelScope cancelScope(&cancelled);
        EXPECT_FALSE(Run(settings));
        EXPECT_TRUE(last.Cancelled);
        EXPECT_EQ(last.Items.Count(), 2) << "nothing of it to show or save";
        EXPECT_TRUE(last.Pictures.Analysed.IsEmpty());
    }
    EXPECT_TRUE(reporter.messages.empty());
    // The image stays open for the run that replaces the cancelled one.
    cancelled = false;
    ASSERT_TRUE(Run(settings));
    EXPECT_FALSE(last.Cancelled);
    EXPECT_EQ(Item("Count"), "2");
}

TEST_F(TAnalysisTest, BuildsCumulativeCurvesAndChannelImages)
{
    // Half the pixels red (S 255), half white (S 0); all have hue 0.
    std::vector<std::string> rows(10, std::string(5, 'r') + std::string(5, 'w'));
    ASSERT_TRUE(Open(WriteImage(rows)));
    TAnalysisSettings settings = RedSettings();
    ASSERT_TRUE(Run(settings));
    const auto& hue = last.Curves[0];
    const auto& saturation = last.Curves[1];
    EXPECT_EQ(hue[0], 0.0);
    EXPECT_EQ(hue[1], 1.0);
    EXPECT_EQ(hue[255], 1.0);
    EXPECT_EQ(saturation[0], 0.0);
    EXPECT_EQ(saturation[1], 0.5);
    EXPECT_EQ(saturation[255], 0.5);

    for (int channel = 0; channel < 3; ++channel) {
        EXPECT_EQ(last.Pictures.Channels[size_t(channel)].Width(), 10);
        EXPECT_EQ(last.Pictures.Channels[size_t(channel)].Height(), 10);
    }
    EXPECT_EQ(last.Pictures.Channels[1].Pixel(0, 0), 255);
    EXPECT_EQ(last.Pictures.Channels[1].Pixel(9, 0), 0);
    EXPECT_EQ(last.Pictures.Channels[2].Pixel(9, 9), 255);
}

TEST_F(TAnalysisTest, ChannelCurvesOfAnEmptyAreaAreZero)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    TAnalysisSettings settings = RedSettings();
    settings.Options.lUseInclCircle = true;
    settings.Options.iInclCircleX = -100;
    settings.Options.iInclCircleDiam = 4;
    ASSERT_TRUE(Run(settings));
    EXPECT_EQ(last.Curves[0][255], 0.0);
    EXPECT_EQ(Item("AnalysisAreaPixel"), "0");
    EXPECT_EQ(Item("Count"), "0");
}

/// Everything a run leaves behind that threads could change.
struct TRunOutcome {
    std::vector<std::string> items; // without DateTime
    std::vector<TBitmap24> pictures;
    std::array<TGreyBitmap, 3> channels;
    std::vector<std::vector<std::uint8_t>> planes;
    TChannelCurves curves;
    TPixelVector<TRegionSummary> regions;
    friend bool operator==(const TRunOutcome&, const TRunOutcome&) = default;
};

/// Reds through the wrap in an inclusion circle.
TAnalysisSettings CircleSettings(int x, int y, int diameter,
                                 TColourRange range = {230, 20, 40, 255, 40, 255})
{
    TAnalysisSettings settings;
    settings.Options.ColorBack = int(MakeColour(20, 80, 140));
    settings.Range = range;
    settings.Options.EditMinRegion = "3";
    settings.Options.lUseInclCircle = true;
    settings.Options.iInclCircleX = x;
    settings.Options.iInclCircleY = y;
    settings.Options.iInclCircleDiam = diameter;
    return settings;
}

TRunOutcome OutcomeOf(const TAnalysis& engine, const TAnalysisResult& result)
{
    EXPECT_TRUE(result.Complete);
    TRunOutcome outcome;
    for (const TResultItem& item : result.Items.Items())
        if (item.Name != "DateTime")
            outcome.items.push_back(item.Name + "=" + item.ValueText);
    outcome.pictures = {result.Pictures.Source, result.Pictures.Analysed};
    outcome.channels = result.Pictures.Channels;
    const TImageSession& session = *engine.Session();
    for (const auto* plane : {&session.Hsv().Red(), &session.Hsv().Green(), &session.Hsv().Blue(),
                              &session.Hsv().Mask(), &session.Colours().Mask()})
        outcome.planes.emplace_back(plane->Elements().begin(), plane->Elements().end());
    outcome.curves = result.Curves;
    outcome.regions = result.Regions;
    return outcome;
}

/// What a fresh engine gives for an image.
TRunOutcome AnalyseFresh(const std::string& fileName, const TAnalysisSettings& settings)
{
    TAnalysis engine;
    EXPECT_TRUE(engine.LoadImage(fileName, true).Loaded);
    return OutcomeOf(engine, engine.Run(settings, TPictureRequest::All()));
}

TRunOutcome AnalyseWithThreads(const std::string& fileName, int threads)
{
    SetKernelThreadCount(threads);
    return AnalyseFresh(fileName, CircleSettings(700, 450, 1300));
}

/// Random colours with red discs, so that every kernel has work.
TBitmap24 NoiseWithDiscs(int width, int height, unsigned seed, int discs)
{
    TBitmap24 bitmap(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (std::uint8_t& byte : bitmap.Row(y))
            byte = std::uint8_t(random());
    for (int disc = 0; disc < discs; ++disc) {
        const int cx = int(random() % unsigned(width)), cy = int(random() % unsigned(height));
        const int radius = int(random() % 30);
        for (int y = std::max(0, cy - radius); y <= std::min(height - 1, cy + radius); ++y)
            for (int x = std::max(0, cx - radius); x <= std::min(width - 1, cx + radius); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                    bitmap.SetPixel(x, y, MakeColour(240, 10 + disc % 20, 5));
    }
    return bitmap;
}

TEST_F(TAnalysisTest, PlanesKeptForTheNextImageAndRunGiveWhatAFreshEngineGives)
{
    // Sizes around the bands the bitmap file is read back in; the same size twice.
    const struct {
        const char* name;
        int width;
        int height;
        bool samePlanes; // as the image before
    } images[] = {{"large.bmp", 301, 259, false},
                  {"same-size.bmp", 301, 259, true},
                  {"smaller.bmp", 150, 97, false},
                  {"large-again.bmp", 301, 259, false}};
    const TColourRange ranges[] = {{230, 20, 40, 255, 40, 255}, {60, 120, 30, 200, 50, 255}};
    unsigned seed = 1;
    const std::uint8_t* hue = nullptr;
    for (const auto& image : images) {
        const std::string fileName = folder.File(image.name);
        WriteBmpFile(NoiseWithDiscs(image.width, image.height, seed++, 40), fileName);
        ASSERT_TRUE(engine.LoadImage(fileName, true).Loaded) << image.name;
        const TImageSession& session = *engine.Session();
        if (image.samePlanes) {
            EXPECT_EQ(session.Hsv().Red().Elements().data(), hue) << image.name;
        }
        hue = session.Hsv().Red().Elements().data();
        for (const TColourRange& range : ranges) {
            const TAnalysisSettings settings = CircleSettings(150, 100, 250, range);
            const TRunOutcome reused =
                OutcomeOf(engine, engine.Run(settings, TPictureRequest::All()));
            EXPECT_TRUE(reused == AnalyseFresh(fileName, settings)) << image.name;
            EXPECT_EQ(session.Hsv().Red().Elements().data(), hue) << "a run allocates no plane";
            EXPECT_EQ(std::find(reused.items.begin(), reused.items.end(), "Count=0"),
                      reused.items.end())
                << "each range must select something";
        }
    }
}

TEST_F(TAnalysisTest, ChannelImagesAskedForLaterAreThoseOfTheRun)
{
    const std::string fileName = folder.File("noise.bmp");
    WriteBmpFile(NoiseWithDiscs(203, 151, 4, 20), fileName);
    TAnalysisSettings settings = CircleSettings(100, 70, 120);
    settings.Options.lUseExclRect = true;
    settings.Options.iExclRectLeft = 9;
    settings.Options.iExclRectDown = 30;
    const TRunOutcome expected = AnalyseFresh(fileName, settings);

    EXPECT_TRUE(engine.PaintChannelImages(settings, {true, true, true}).Channels[0].IsEmpty())
        << "no image";
    ASSERT_TRUE(engine.LoadImage(fileName).Loaded);
    const TAnalysisResult shown = engine.Run(settings, {true, true, {true, false, false}});
    ASSERT_TRUE(shown.Complete);
    EXPECT_TRUE(shown.Pictures.Channels[1].IsEmpty());
    EXPECT_EQ(shown.Pictures.Channels[0], expected.channels[0]);
    const TAnalysisPictures later = engine.PaintChannelImages(shown.Settings, {false, true, true});
    EXPECT_TRUE(later.Channels[0].IsEmpty());
    EXPECT_TRUE(later.Source.IsEmpty());
    EXPECT_EQ(later.Channels[1], expected.channels[1]);
    EXPECT_EQ(later.Channels[2], expected.channels[2]);
    // The selection of the run stays for its regions.
    const TAnalysisPictures all = engine.PaintChannelImages(shown.Settings, {true, true, true});
    EXPECT_TRUE(all.Channels == expected.channels);
    const std::vector<std::uint8_t> selection(engine.Session()->Colours().Mask().Elements().begin(),
                                              engine.Session()->Colours().Mask().Elements().end());
    EXPECT_EQ(selection, expected.planes.back());
}

TEST_F(TAnalysisTest, TheOpenKeepsOnlyThePlanesARunReads)
{
    ASSERT_TRUE(Open(WriteImage(Objects)));
    const TImageSession& session = *engine.Session();
    for (const TQROIRGB* image : {&session.Colours(), &session.Hsv()}) {
        EXPECT_FALSE(image->Values().IsAllocated());
        EXPECT_FALSE(image->Grey().IsAllocated());
        EXPECT_TRUE(image->Red().IsAllocated());
        EXPECT_TRUE(image->Mask().IsAllocated());
    }
    EXPECT_EQ(session.Colours().Red()[2][2], 255);
    EXPECT_EQ(session.Colours().Blue()[16][5], 0);
    EXPECT_EQ(session.Colours().Green()[16][5], 255);
}

TEST_F(TAnalysisTest, ThreadsGiveTheSameResultsAndPictures)
{
    // Large enough that every kernel splits its work: noise with red discs.
    const std::string fileName = folder.File("large.bmp");
    WriteBmpFile(NoiseWithDiscs(1601, 1003, 99, 300), fileName);

    const int threads = KernelThreadCount();
    const TRunOutcome alone = AnalyseWithThreads(fileName, 1);
    const TRunOutcome split = AnalyseWithThreads(fileName, 4);
    SetKernelThreadCount(threads);
    EXPECT_EQ(alone.items, split.items);
    EXPECT_TRUE(alone == split);
    EXPECT_EQ(std::find(alone.items.begin(), alone.items.end(), "Count=0"), alone.items.end())
        << "the test image must select something";
}

TEST_F(TAnalysisTest, TheRegionTableAddsUpToTheResultLine)
{
    std::mt19937 random(5);
    const struct {
        const char* minRegion;
        bool units;
    } cases[] = {{"0", false}, {"2", false}, {"0.03", true}, {"1000000", false}};
    TBitmap24 bitmap(211, 157);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (std::uint8_t& byte : bitmap.Row(y))
            byte = std::uint8_t(random());
    const std::string image = folder.File("noise.bmp");
    WriteBmpFile(bitmap, image);
    ASSERT_TRUE(Open(image));
    for (const auto& c : cases) {
        TAnalysisSettings settings = RedSettings(c.minRegion);
        settings.Range = {230, 40, 60, 255, 0, 255};
        settings.Options.lCheckBoxUnits = c.units;
        settings.Options.EditMeasure = "10";
        settings.MeasureRegionTable = true;
        ASSERT_TRUE(Run(settings));
        const TRegionTable& table = last.RegionTable;
        EXPECT_EQ(std::to_string(table.RowCount()), Item("Count")) << c.minRegion;
        double pixels = 0.0;
        double units = 0.0;
        for (std::size_t row = 0; row < table.Regions.size(); ++row) {
            pixels += table.Cell(row, TRegionTable::ColumnAreaPixel).DoubleValue;
            units += table.Cell(row, TRegionTable::ColumnArea).DoubleValue;
        }
        EXPECT_EQ(pixels, last.Items.Find("AreaPixel")->DoubleValue) << c.minRegion;
        EXPECT_NEAR(units, last.Items.Find("Area")->DoubleValue, 1e-9) << c.minRegion;
        EXPECT_EQ(table.Path, Item("Path"));
        EXPECT_EQ(table.Name, "noise.bmp");
        EXPECT_EQ(table.ShaResult, Item("SHAResult"));
        EXPECT_EQ(table.Measure, c.units ? 10.0 : 1.0);
    }
    EXPECT_EQ(last.RegionTable.RowCount(), 0) << "a minimum above every region keeps none";

    TAnalysisSettings without = RedSettings("0");
    ASSERT_TRUE(Run(without));
    EXPECT_EQ(last.RegionTable.RowCount(), 0) << "only when asked for";
    EXPECT_NE(Item("Count"), "0");
}

TEST(ApplyOptions, MovesTheTrackBarsAndReportsInvalidTexts)
{
    RecordingReporter reporter;
    TOptions options = TOptions::Initial();
    options.rangeTexts = {"12", "300", "abc", "200", "-3", "40"};
    options.lCheckBoxUnits = true;
    options.EditMeasure = "5.00";
    options.ComboBoxUnits = 2;
    TAnalysisSettings settings;
    ApplyOptions(settings, options);
    EXPECT_EQ(settings.Range, (TColourRange{12, 255, 0, 200, 0, 40}));
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0],
              "Invalid value Sättigung Min - value will be replaced by position of trackbar");
    EXPECT_EQ(settings.MeasureText, "5.00");
    EXPECT_EQ(settings.UnitText, "mm");

    options.lCheckBoxUnits = false;
    ApplyOptions(settings, options);
    EXPECT_EQ(settings.MeasureText, "");
}

} // namespace
} // namespace varnolux
