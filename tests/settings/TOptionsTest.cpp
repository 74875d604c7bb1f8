#include "settings/TOptions.h"

#include "settings/IniDocument.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {
namespace {

using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

// Every value differs from both the initial and the reading defaults.
TOptions SampleOptions()
{
    TOptions options;
    options.rangeTexts = {"250", "5", "0,5", "200.25", "", "abc"};
    options.iInclCircleX = 640;
    options.iInclCircleY = -3;
    options.iInclCircleDiam = 2147483647;
    options.iExclRectLeft = 1;
    options.iExclRectUp = 2;
    options.iExclRectRight = 3;
    options.iExclRectDown = -2147483647 - 1;
    options.colColorInclCircle = 255;
    options.colColorExclRect = 16711680;
    options.lUseInclCircle = true;
    options.lUseExclRect = true;
    options.ColorBack = 9195540;
    options.EditMinRegion = "2,5";
    options.EditResultFile = "/data/Sättigung results.txt";
    options.EditRegionFile = "/data/regions.txt";
    options.lCheckBoxUnits = true;
    options.ComboBoxUnits = 5;
    options.ComboBoxZoom = -1;
    options.EditMeasure = "12.75";
    return options;
}

TEST(TOptions, InitialValuesAreThoseOfTheWindows)
{
    const TOptions options = TOptions::Initial();
    EXPECT_EQ(options.rangeTexts, (std::array<std::string, 6>{"0", "255", "0", "255", "0", "255"}));
    for (const int value :
         {options.iInclCircleX, options.iInclCircleY, options.iInclCircleDiam,
          options.iExclRectLeft, options.iExclRectUp, options.iExclRectRight, options.iExclRectDown,
          options.colColorInclCircle, options.colColorExclRect})
        EXPECT_EQ(value, 0);
    EXPECT_FALSE(options.lUseInclCircle);
    EXPECT_FALSE(options.lUseExclRect);
    EXPECT_EQ(options.ColorBack, 9195540);
    EXPECT_EQ(options.EditMinRegion, "10.0");
    EXPECT_EQ(options.EditResultFile, "");
    EXPECT_EQ(options.EditRegionFile, "") << "no regions file: Save regions is off";
    EXPECT_FALSE(options.lCheckBoxUnits);
    EXPECT_EQ(options.ComboBoxUnits, 3);
    EXPECT_EQ(options.ComboBoxZoom, -1);
    EXPECT_EQ(options.EditMeasure, "");
}

TEST(TOptions, SaveAndLoadReproduceEveryValue)
{
    const TempFolder folder;
    const std::string fileName = folder.File("VXDefault.ini");
    WriteFile(fileName, "");
    for (const TOptions& options : {SampleOptions(), TOptions::Initial(), TOptions()}) {
        options.Save(fileName);
        EXPECT_EQ(TOptions::Load(fileName), options);
    }
}

TEST(TOptions, SaveWritesTheKeysInFileOrder)
{
    const TempFolder folder;
    const std::string fileName = folder.File("options.ini");
    WriteFile(fileName, "");
    SampleOptions().Save(fileName);
    const auto document = TIniDocument::Load(fileName);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->Problems().empty());
    EXPECT_EQ(document->Keys("FormMain"),
              (std::vector<std::string>{"LabeledEditHMin", "LabeledEditHMax", "LabeledEditSMin",
                                        "LabeledEditSMax", "LabeledEditVMin", "LabeledEditVMax"}));
    EXPECT_EQ(document->Keys("FormOptions"),
              (std::vector<std::string>{"iInclCircleX", "iInclCircleY", "iInclCircleDiam",
                                        "iExclRectLeft", "iExclRectUp", "iExclRectRight",
                                        "iExclRectDown", "colColorInclCircle", "colColorExclRect",
                                        "lUseInclCircle", "lUseExclRect", "ColorBack",
                                        "EditMinRegion", "EditResultFile", "EditRegionFile"}));
    EXPECT_EQ(document->Keys("FormMeasure"),
              (std::vector<std::string>{"lCheckBoxUnits", "ComboBoxUnits", "ComboBoxZoom",
                                        "EditMeasure"}));
    const std::string text = ReadFile(fileName);
    EXPECT_LT(text.find("[FormMain]"), text.find("[FormOptions]"));
    EXPECT_LT(text.find("[FormOptions]"), text.find("[FormMeasure]"));
    EXPECT_NE(text.find("lUseInclCircle=1\n"), std::string::npos);
    EXPECT_NE(text.find("ComboBoxZoom=-1\n"), std::string::npos);
}

TEST(TOptions, SaveLeavesTheWindowPlacementAndUnknownKeys)
{
    const TempFolder folder;
    const std::string fileName = folder.File("options.ini");
    WriteFile(fileName, "[FormMain]\r\nFormMainLeft=10\r\nFormMainTop=20\r\n"
                        "[Other]\r\nKept=yes\r\n");
    SampleOptions().Save(fileName);
    const auto document = TIniDocument::Load(fileName);
    ASSERT_TRUE(document);
    EXPECT_EQ(document->Value("FormMain", "FormMainLeft"), "10");
    EXPECT_EQ(document->Value("FormMain", "FormMainTop"), "20");
    EXPECT_EQ(document->Value("Other", "Kept"), "yes");
    const std::string text = ReadFile(fileName);
    for (size_t i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 1))
        EXPECT_EQ(text[i - 1], '\r') << "line end at byte " << i;
    EXPECT_EQ(TOptions::Load(fileName), SampleOptions());
}

TEST(TOptions, SavingToAMissingOrReadOnlyFileWritesNothing)
{
    const TempFolder folder;
    const std::string missing = folder.File("new.ini");
    SampleOptions().Save(missing);
    EXPECT_FALSE(std::filesystem::exists(missing));

    const std::string readOnly = folder.File("readonly.ini");
    WriteFile(readOnly, "[FormMain]\nLabeledEditHMin=1\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    SampleOptions().Save(readOnly);
    EXPECT_EQ(ReadFile(readOnly), "[FormMain]\nLabeledEditHMin=1\n");
}

TEST(TOptions, LoadUsesTheReadingDefaults)
{
    const TempFolder folder;
    EXPECT_EQ(TOptions::Load(folder.File("missing.ini")), TOptions());

    const std::string readOnly = folder.File("readonly.ini");
    WriteFile(readOnly, "[FormOptions]\nColorBack=255\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(TOptions::Load(readOnly), TOptions());

    const std::string onlyMain = folder.File("onlymain.ini");
    WriteFile(onlyMain, "[FormMain]\nLabeledEditHMin=10\nLabeledEditHMax=20\n");
    TOptions expected;
    expected.rangeTexts[0] = "10";
    expected.rangeTexts[1] = "20";
    const TOptions loaded = TOptions::Load(onlyMain);
    EXPECT_EQ(loaded, expected);
    EXPECT_EQ(loaded.ComboBoxUnits, 0);
    EXPECT_EQ(loaded.ComboBoxZoom, 0);
    EXPECT_EQ(loaded.EditMinRegion, "");
}

TEST(TOptions, LoadsAWindowsFileCaseBlind)
{
    const TempFolder folder;
    const std::string fileName = folder.File("windows.ini");
    WriteFile(fileName, "[formmain]\r\n"
                        "LABELEDEDITHMIN=0\r\n"
                        "[FORMOPTIONS]\r\n"
                        "iinclcirclex = 12\r\n"
                        "ColorBack=$8C5014\r\n"
                        "lUseExclRect=2\r\n"
                        "EditResultFile=C:\\Ergebnisse\\S\xe4ttigung.txt\r\n"
                        "[FormMeasure]\r\n"
                        "comboboxunits=1\r\n");
    const TOptions options = TOptions::Load(fileName);
    EXPECT_EQ(options.rangeTexts[0], "0");
    EXPECT_EQ(options.iInclCircleX, 12);
    EXPECT_EQ(options.ColorBack, 9195540);
    EXPECT_TRUE(options.lUseExclRect);
    EXPECT_EQ(options.EditResultFile, "C:\\Ergebnisse\\Sättigung.txt");
    EXPECT_EQ(options.ComboBoxUnits, 1);
    EXPECT_EQ(UnitName(options.ComboBoxUnits), "µm");
}

TEST(TOptions, StrayLinesAndCommentsArePassedOver)
{
    const TempFolder folder;
    const std::string fileName = folder.File("annotated.ini");
    WriteFile(fileName, "# written by hand\n"
                        "iInclCircleDiam=99\n"
                        "[FormOptions]\n"
                        "iInclCircleX=5\n"
                        "this line is garbage\n"
                        "; iInclCircleY=7\n"
                        "#iInclCircleY=8\n"
                        "iInclCircleY=abc\n"
                        "iInclCircleDiam=30\n");
    EXPECT_EQ(CheckOptionsFile(fileName), "");
    const test::RecordingReporter reporter;
    const TOptions options = TOptions::Load(fileName);
    EXPECT_EQ(options.iInclCircleX, 5);
    EXPECT_EQ(options.iInclCircleY, 0);
    EXPECT_EQ(options.iInclCircleDiam, 30);
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST(TOptions, IntegersNoIntCanHoldAreReportedAndReadAsTheirDefault)
{
    const TempFolder folder;
    const std::string fileName = folder.File("large.ini");
    WriteFile(fileName, "[FormOptions]\n"
                        "iInclCircleDiam=2147483648\n"
                        "iExclRectLeft=99999999999\n"
                        "iExclRectUp=-2147483649\n"
                        "iExclRectRight=2147483647\n"
                        "iExclRectDown=-2147483648\n"
                        "colColorInclCircle=0xFFFFFFFF\n"
                        "[FormMeasure]\nComboBoxZoom=" +
                            std::string(100, '9') + "\n");
    const test::RecordingReporter reporter;
    const TOptions options = TOptions::Load(fileName);
    EXPECT_EQ(options.iInclCircleDiam, 0);
    EXPECT_EQ(options.iExclRectLeft, 0);
    EXPECT_EQ(options.iExclRectUp, 0);
    EXPECT_EQ(options.iExclRectRight, 2147483647);
    EXPECT_EQ(options.iExclRectDown, -2147483647 - 1);
    EXPECT_EQ(options.colColorInclCircle, -1);
    EXPECT_EQ(options.ComboBoxZoom, 0);
    ASSERT_EQ(reporter.messages.size(), 4u);
    EXPECT_EQ(reporter.messages[0], "Invalid value iInclCircleDiam=2147483648 - not a whole number "
                                    "from -2147483648 to 2147483647; 0 is used.");
    EXPECT_NE(reporter.messages[1].find("iExclRectLeft=99999999999 "), std::string::npos);
    EXPECT_NE(reporter.messages[2].find("iExclRectUp=-2147483649 "), std::string::npos);
    // A long value is quoted in part.
    EXPECT_NE(reporter.messages[3].find("ComboBoxZoom=" + std::string(40, '9') + "…"),
              std::string::npos)
        << reporter.messages[3];
}

TEST(TOptions, ALoadOpensTheFileOnce)
{
    // Every value comes from one snapshot, so a file replaced meanwhile cannot mix.
    const TempFolder folder;
    const std::string fileName = folder.File("options.ini");
    WriteFile(fileName, "");
    SampleOptions().Save(fileName);
    const int notify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(notify, 0);
    ASSERT_GE(::inotify_add_watch(notify, fileName.c_str(), IN_OPEN), 0);
    EXPECT_EQ(TOptions::Load(fileName), SampleOptions());
    int opens = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t count; (count = ::read(notify, events, sizeof events)) > 0;)
        for (ssize_t at = 0; at < count;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            opens += (event->mask & IN_OPEN) != 0 ? 1 : 0;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    ::close(notify);
    EXPECT_EQ(opens, 1);
}

TEST(TOptions, OnlyAFileThatCannotBeReadIsRefused)
{
    const TempFolder folder;
    const struct {
        const char* name;
        std::string bytes;
        const char* expected;
    } cases[] = {
        {"good.ini", "; comment\r\n[FormMain]\r\nLabeledEditHMin=0\r\n\r\n", ""},
        {"empty.ini", "", ""},
        {"windows.ini", "[FormOptions]\r\nEditResultFile=S\xe4ttigung\r\n", ""},
        {"garbage.ini", "[FormMain]\nLabeledEditHMin=0\nnonsense\n", ""},
        {"hash comment.ini", "# options for the red objects\n[FormMain]\n", ""},
        {"orphan.ini", "LabeledEditHMin=0\n[FormMain]\n", ""},
        {"binary.ini",
         "[FormMain]\n\n\n\n\n\n" + std::string("PK\x03\x04\0\0", 6) + "\n[FormOptions]\n",
         "binary data at line 7"},
    };
    for (const auto& c : cases) {
        WriteFile(folder.File(c.name), c.bytes);
        EXPECT_EQ(CheckOptionsFile(folder.File(c.name)), c.expected) << c.name;
    }
    EXPECT_EQ(CheckOptionsFile(folder.File("missing.ini")), "file not found");
    EXPECT_EQ(CheckOptionsFile(folder.Path().string()), "file cannot be read");

    const std::string readOnly = folder.File("readonly.ini");
    WriteFile(readOnly, "[FormMain]\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    EXPECT_EQ(CheckOptionsFile(readOnly), "read-only file: its values are not read");
}

TEST(TOptions, UnitNamesByItemIndex)
{
    const std::pair<int, const char*> cases[] = {{-1, ""},  {0, "nm"}, {1, "µm"},
                                                 {2, "mm"}, {3, "cm"}, {4, "m"},
                                                 {5, "km"}, {6, ""},   {-2147483647 - 1, ""}};
    for (const auto& [index, name] : cases)
        EXPECT_EQ(UnitName(index), name) << index;
}

} // namespace
} // namespace varnolux
