#include "results/TRegionTable.h"

#include "results/NumberFormat.h"
#include "support/SplitText.h"
#include "support/TempFolder.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace varnolux {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

/// Two regions of an image analysed at 10 pixels per unit.
TRegionTable TwoRegions()
{
    TRegionTable table;
    table.Path = "/data/plates/";
    table.Name = "plate 1.png";
    table.Measure = 10.0;
    table.ShaResult = "abc123";
    TRegionMeasurement bar;
    bar.AreaPixel = 3.0;
    bar.Pixels = 3;
    bar.CentreX = 1.0;
    bar.CentreY = 0.0;
    bar.Left = 0;
    bar.Right = 2;
    bar.MajorAxis = 4.0 * std::sqrt(2.0 / 3.0);
    bar.HMean = 250.5;
    bar.SMean = 10.0;
    bar.VMean = 200.25;
    TRegionMeasurement pair = bar;
    pair.AreaPixel = 2.25;
    pair.Pixels = 2;
    pair.CentreX = 7.5;
    pair.CentreY = 4.5;
    pair.Left = 7;
    pair.Top = 4;
    pair.Right = 8;
    pair.Bottom = 5;
    pair.MajorAxis = 4.0 * std::sqrt(0.5);
    pair.Orientation = -45.0;
    table.Regions = {bar, pair};
    return table;
}

TEST(TRegionTable, RowsHoldEveryColumnInTheResultFilesFormat)
{
    const TRegionTable table = TwoRegions();
    EXPECT_EQ(TRegionTable::HeaderLine(),
              "Path\tName\tRegion\tAreaPixel\tArea\tPixels\tCentreX\tCentreY\tLeft\tTop\tRight\t"
              "Bottom\tMajorAxis\tMinorAxis\tOrientation\tHMean\tSMean\tVMean\tSHAResult");
    const std::vector<std::string> lines = test::SplitText(table.ValueLines(), '\n');
    ASSERT_EQ(lines.size(), 2u);
    // Areas in square units divide by the measure squared, axes by the measure.
    EXPECT_EQ(lines[0], "/data/plates/\tplate 1.png\t1\t3\t0.03\t3\t1\t0\t0\t0\t2\t0\t" +
                            FormatGeneral(0.4 * std::sqrt(2.0 / 3.0), ".") +
                            "\t0\t0\t250.5\t10\t200.25\tabc123\r");
    EXPECT_EQ(lines[1], "/data/plates/\tplate 1.png\t2\t2.25\t0.0225\t2\t7.5\t4.5\t7\t4\t8\t5\t" +
                            FormatGeneral(0.4 * std::sqrt(0.5), ".") +
                            "\t0\t-45\t250.5\t10\t200.25\tabc123\r");

    const TResultItem region = table.Cell(1, TRegionTable::ColumnRegion);
    EXPECT_EQ(region.Kind, TResultItem::KindInteger);
    EXPECT_EQ(region.IntValue, 2);
    const TResultItem area = table.Cell(1, TRegionTable::ColumnArea);
    EXPECT_EQ(area.Kind, TResultItem::KindFloat);
    EXPECT_EQ(area.Name, "Area");
    EXPECT_DOUBLE_EQ(area.DoubleValue, 0.0225);
}

TEST(TRegionTable, NumbersUseTheLocalesSeparatorAndJsonAPoint)
{
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    const TRegionTable table = TwoRegions();
    const std::string line = table.Row(1).ValueLine();
    const std::string json = table.JsonLines();
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_NE(line.find("\t2,25\t0,0225\t2\t7,5\t4,5\t"), std::string::npos) << line;
    EXPECT_NE(json.find("\"AreaPixel\":2.25,\"Area\":0.0225,\"Pixels\":2,\"CentreX\":7.5"),
              std::string::npos)
        << json;
}

TEST(TRegionTable, JsonHasOneObjectPerRegionAndLine)
{
    const std::vector<std::string> lines = test::SplitText(TwoRegions().JsonLines(), '\n');
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].starts_with(
        "{\"Path\":\"/data/plates/\",\"Name\":\"plate 1.png\",\"Region\":1,\"AreaPixel\":3,"))
        << lines[0];
    EXPECT_NE(lines[1].find("\"Orientation\":-45,"), std::string::npos) << lines[1];
    EXPECT_TRUE(lines[1].ends_with("\"SHAResult\":\"abc123\"}"));
}

TEST(TRegionTableFile, HeaderOnlyWhenNewThenWholeRowsWithCrLf)
{
    const TempFolder folder;
    const std::string file = folder.File("regions.txt");
    const TRegionTable table = TwoRegions();
    ASSERT_TRUE(table.AppendToFile(file, false));
    ASSERT_TRUE(table.AppendToFile(file, false));
    const std::string header = TRegionTable::HeaderLine() + "\r\n";
    EXPECT_EQ(ReadFile(file), header + table.ValueLines() + table.ValueLines());

    // An image without regions adds nothing, but a new file still gets its header.
    const std::string empty = folder.File("empty.txt");
    ASSERT_TRUE(TRegionTable{}.AppendToFile(empty, false));
    ASSERT_TRUE(TRegionTable{}.AppendToFile(empty, false));
    EXPECT_EQ(ReadFile(empty), header);

    const std::string json = folder.File("regions.jsonl");
    ASSERT_TRUE(table.AppendToFile(json, true));
    ASSERT_TRUE(table.AppendToFile(json, true));
    EXPECT_EQ(ReadFile(json), table.JsonLines() + table.JsonLines());
}

TEST(TRegionTableFile, AFailedAppendSaysWhy)
{
    const TempFolder folder;
    std::string why;
    EXPECT_FALSE(TwoRegions().AppendToFile(folder.Path().string(), false, &why));
    EXPECT_EQ(why, "Is a directory");
    EXPECT_FALSE(TwoRegions().AppendToFile(folder.File("missing/regions.txt"), true, &why));
    EXPECT_EQ(why, "No such file or directory");
}

TEST(TRegionTableFile, ConcurrentAppendersKeepEachImagesRowsTogether)
{
    const TempFolder folder;
    const std::string file = folder.File("shared.txt");
    constexpr int Writers = 6;
    constexpr int AppendsEach = 20;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TRegionTable table = TwoRegions();
            table.Name = "writer" + std::to_string(writer);
            bool appended = true;
            for (int append = 0; append < AppendsEach; ++append)
                appended = table.AppendToFile(file, false) && appended;
            ::_exit(appended ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::vector<std::string> lines = test::SplitText(ReadFile(file), '\n');
    ASSERT_EQ(lines.size(), std::size_t(1 + Writers * AppendsEach * 2));
    EXPECT_EQ(lines[0], TRegionTable::HeaderLine() + "\r");
    // Region 2 follows region 1 of the same writer: an image's rows are never split.
    for (std::size_t i = 1; i < lines.size(); i += 2) {
        const std::vector<std::string> first = test::SplitText(lines[i], '\t');
        const std::vector<std::string> second = test::SplitText(lines[i + 1], '\t');
        ASSERT_EQ(first.size(), std::size_t(TRegionTable::ColumnCount)) << i;
        ASSERT_EQ(second.size(), std::size_t(TRegionTable::ColumnCount)) << i;
        EXPECT_EQ(first[TRegionTable::ColumnRegion], "1") << i;
        EXPECT_EQ(second[TRegionTable::ColumnRegion], "2") << i;
        EXPECT_EQ(first[TRegionTable::ColumnName], second[TRegionTable::ColumnName]) << i;
        EXPECT_TRUE(lines[i + 1].ends_with("\r")) << i;
    }
}

} // namespace
} // namespace varnolux
