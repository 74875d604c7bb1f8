#include "interface/InterfaceStart.h"

#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace varnolux {
namespace {

using test::RecordingReporter;
using test::TempFolder;
using test::WriteFile;

TEST(AnalysedImageFileName, IsTheFolderLamivexAndTheWholeFileName)
{
    struct {
        const char* folder;
        const char* image;
        const char* expected;
    } const cases[] = {
        {"/out/", "/img/a.jpg", "/out/Lamivex_a.jpg.bmp"},
        {"/out", "/img/a.jpg", "/out/Lamivex_a.jpg.bmp"},
        {"/out/", "a.jpg", "/out/Lamivex_a.jpg.bmp"},
        {"/out/", "/img/scan", "/out/Lamivex_scan.bmp"},
        {"/out/", "/img/two.dots.tif", "/out/Lamivex_two.dots.tif.bmp"},
        {"", "/img/a.jpg", "Lamivex_a.jpg.bmp"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AnalysedImageFileName(c.folder, c.image), c.expected)
            << c.folder << " " << c.image;
}

TEST(SubjectStatusText, IsTheTitleAndTimeForOptivaneElseTheSubject)
{
    const structSubject subject{"Muster", "Erika", "01.02.1970"};
    EXPECT_EQ(SubjectStatusText("Optivane", "Varnolux", "01.03.2024 10:15:00", subject),
              "Varnolux 01.03.2024 10:15:00");
    for (const char* sender : {"", "Robot", "optivane", "Optivane "})
        EXPECT_EQ(SubjectStatusText(sender, "Varnolux", "01.03.2024 10:15:00", subject),
                  "Muster, Erika, *01.02.1970")
            << sender;
    EXPECT_EQ(SubjectStatusText("", "Varnolux", "", structSubject{}), ", , *");
}

TEST(InterfaceStart, TheFileDecidesHowTheProgramStarts)
{
    struct {
        const char* name;
        const char* file;
        bool hidesOpen;
        bool robot;
        bool interactive;
        const char* callerResultFile;
    } const cases[] = {
        {"robot",
         "[General]\nSender=Robot\nCount=1\n[Image0]\nImage=/img/a.jpg\nResultFileDB=/out/r.ini\n"
         "[Analysis]\nAutomatic=1\n",
         true, true, false, "/out/r.ini"},
        {"other automatic sender", "[General]\nSender=robot\nCount=1\n[Analysis]\nAutomatic=1\n",
         true, false, false, ""},
        {"robot without images", "[General]\nSender=Robot\nCount=0\n[Analysis]\nAutomatic=1\n",
         false, false, false, ""},
        {"interactive", "[General]\nSender=Optivane\nCount=1\n", true, false, true, ""},
        {"interactive without images", "[General]\nCount=0\n", false, false, false, ""},
        {"camera record", "[RecordData]\nfilename=/img/a.jpg\n", true, false, true, ""},
    };
    const TempFolder folder;
    const RecordingReporter reporter;
    for (const auto& c : cases) {
        const std::string fileName = folder.File("interface.ini");
        WriteFile(fileName, c.file);
        TInterfaceBA received(TInterfaceMode::miReceive, folder.Path().string() + "/");
        const std::vector<std::string> parameters = {fileName};
        received.ReadIni(parameters);
        EXPECT_EQ(HidesActionOpen(received), c.hidesOpen) << c.name;
        EXPECT_EQ(IsRobotRun(received), c.robot) << c.name;
        EXPECT_EQ(IsInteractiveStart(received), c.interactive) << c.name;
        EXPECT_EQ(CallerResultFileName(received), c.callerResultFile) << c.name;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(InterfaceStart, ADirectoryWithOrWithoutSlashGivesTheSameAnalysedImage)
{
    const TempFolder folder;
    std::vector<std::string> names;
    for (const char* directory : {"/out/", "/out"}) {
        const std::string fileName = folder.File("interface.ini");
        WriteFile(fileName, std::string("[General]\nSender=Robot\nCount=1\n[Image0]\n"
                                        "Image=/img/a.jpg\n[Analysis]\nAutomatic=1\n"
                                        "ResultImage=1\nStoppAtEnd=0\nResultImageDirectory=") +
                                directory + "\n");
        TInterfaceBA received(TInterfaceMode::miReceive, folder.Path().string() + "/");
        const std::vector<std::string> parameters = {fileName};
        ASSERT_TRUE(received.ReadIni(parameters));
        EXPECT_TRUE(IsRobotRun(received));
        EXPECT_TRUE(received.ResultImage());
        EXPECT_FALSE(received.StoppAtEnd());
        names.push_back(AnalysedImageFileName(received.ResultImageDirectory(),
                                              received.GetImage(0).ImageFileName));
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"/out/Lamivex_a.jpg.bmp", "/out/Lamivex_a.jpg.bmp"}));
}

} // namespace
} // namespace varnolux
