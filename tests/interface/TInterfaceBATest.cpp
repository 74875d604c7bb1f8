#include "interface/TInterfaceBA.h"

#include "base/Paths.h"
#include "settings/ProgramInfo.h"
#include "support/RecordingReporter.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace varnolux {
namespace {

using test::ReadFile;
using test::RecordingReporter;
using test::TempFolder;
using test::WriteFile;

const char* const SetValueRefused =
    "Wert kann nicht gesetzt werden. (Wert kann nur im Modus 'miSend' gesetzt werden";
const char* const SetDefaultsRefused =
    "Werte können nicht gesetzt werden. (Wert kann nur im Modus 'miSend' gesetzt werden";

// A temporary folder that stands in for the program folder, with a receiving
// interface object that looks there for its defaults and "Camera.ini".
class InterfaceTest : public ::testing::Test {
protected:
    std::string ProgramFolderPath() const { return folder.Path().string() + "/"; }

    // Writes an interface file into the folder and reads it as the only parameter.
    bool ReadInterfaceFile(const std::string& bytes)
    {
        const std::string fileName = folder.File("interface.ini");
        WriteFile(fileName, bytes);
        const std::vector<std::string> parameters = {fileName};
        return received.ReadIni(parameters);
    }

    TempFolder folder;
    RecordingReporter reporter;
    TInterfaceBA received{TInterfaceMode::miReceive, ProgramFolderPath()};
};

void ExpectConstructionValues(const TInterfaceBA& ba, const std::string& programFolder)
{
    EXPECT_FALSE(ba.Automatic());
    EXPECT_FALSE(ba.Result());
    EXPECT_FALSE(ba.ResultDetail());
    EXPECT_FALSE(ba.ResultImage());
    EXPECT_TRUE(ba.StoppAtEnd());
    EXPECT_TRUE(ba.ResultRequest());
    EXPECT_FALSE(ba.ResultFileAppend());
    EXPECT_EQ(ba.ResultImageDirectory(), programFolder);
    EXPECT_EQ(ba.ResultFile(), programFolder + "result.txt");
    EXPECT_EQ(ba.ResultFileDetail(), programFolder + "detail.txt");
    EXPECT_EQ(ba.ResultFileDB(), "");
    EXPECT_EQ(ba.Sender(), "");
    EXPECT_EQ(ba.Receiver(), "");
    EXPECT_EQ(ba.Count(), 0);
    EXPECT_TRUE(ba.AdditionalNames().empty());
    EXPECT_TRUE(ba.AdditionalValues().empty());
}

// ---- construction and setters ----

TEST_F(InterfaceTest, StartsWithTheDefaultsInEitherModeWithoutAMessage)
{
    ExpectConstructionValues(received, ProgramFolderPath());
    EXPECT_EQ(received.Mode(), TInterfaceMode::miReceive);
    const TInterfaceBA sending(TInterfaceMode::miSend, ProgramFolderPath());
    ExpectConstructionValues(sending, ProgramFolderPath());
    EXPECT_EQ(sending.Mode(), TInterfaceMode::miSend);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(Interface, TheProgramFolderIsTheDefaultFolder)
{
    const TInterfaceBA ba(TInterfaceMode::miReceive);
    EXPECT_EQ(ba.ResultImageDirectory(), ProgramFolder());
    EXPECT_EQ(ba.ResultFile(), ProgramFolder() + "result.txt");
}

struct TFlagAccess {
    const char* name;
    void (TInterfaceBA::*set)(bool);
    bool (TInterfaceBA::*get)() const;
};

const TFlagAccess Flags[] = {
    {"Automatic", &TInterfaceBA::SetAutomatic, &TInterfaceBA::Automatic},
    {"Result", &TInterfaceBA::SetResult, &TInterfaceBA::Result},
    {"ResultDetail", &TInterfaceBA::SetResultDetail, &TInterfaceBA::ResultDetail},
    {"ResultImage", &TInterfaceBA::SetResultImage, &TInterfaceBA::ResultImage},
    {"StoppAtEnd", &TInterfaceBA::SetStoppAtEnd, &TInterfaceBA::StoppAtEnd},
    {"ResultRequest", &TInterfaceBA::SetResultRequest, &TInterfaceBA::ResultRequest},
    {"ResultFileAppend", &TInterfaceBA::SetResultFileAppend, &TInterfaceBA::ResultFileAppend},
};

TEST_F(InterfaceTest, SettersWorkInSendModeOnly)
{
    TInterfaceBA sending(TInterfaceMode::miSend, ProgramFolderPath());
    for (const auto& flag : Flags) {
        const bool start = (received.*flag.get)();
        (received.*flag.set)(!start);
        EXPECT_EQ((received.*flag.get)(), start) << flag.name;

        (sending.*flag.set)(!start);
        EXPECT_EQ((sending.*flag.get)(), !start) << flag.name;
        (sending.*flag.set)(start);
        EXPECT_EQ((sending.*flag.get)(), start) << flag.name;
    }
    EXPECT_EQ(reporter.messages, std::vector<std::string>(std::size(Flags), SetValueRefused));
}

TEST_F(InterfaceTest, SetDefaultsResetsInSendModeAndOnlyComplainsInReceiveMode)
{
    TInterfaceBA sending(TInterfaceMode::miSend, ProgramFolderPath());
    for (const auto& flag : Flags)
        (sending.*flag.set)(!(sending.*flag.get)());
    sending.SetDefaults();
    ExpectConstructionValues(sending, ProgramFolderPath());
    EXPECT_TRUE(reporter.messages.empty());

    ASSERT_FALSE(ReadInterfaceFile("[General]\nCount=0\n[Analysis]\nAutomatic=1\nStoppAtEnd=0\n"
                                   "ResultFile=/data/r.txt\n"));
    received.SetDefaults();
    EXPECT_EQ(reporter.messages, std::vector<std::string>{SetDefaultsRefused});
    EXPECT_TRUE(received.Automatic());
    EXPECT_FALSE(received.StoppAtEnd());
    EXPECT_EQ(received.ResultFile(), "/data/r.txt");
}

// ---- records ----

TEST_F(InterfaceTest, AllocatedRecordsStartEmptyWithMinusOne)
{
    received.AllocateRecords(2);
    ASSERT_EQ(received.Count(), 2);
    const structImage image = received.GetImage(1);
    EXPECT_EQ(image.ImageFileName, "");
    EXPECT_EQ(image.Pp100MM, -1);
    EXPECT_EQ(image.ExclusionCircleRadiusInPixel, -1);
    EXPECT_EQ(image.ExclusionCircleX0InPixel, -1);
    EXPECT_EQ(image.ExclusionCircleY0InPixel, -1);
    EXPECT_EQ(received.GetSubject(1).Name, "");

    for (const int n : {-1, 2})
        EXPECT_THROW(received.GetImage(n), std::out_of_range) << n;
    EXPECT_THROW(received.GetSubject(2), std::out_of_range);
    received.AllocateRecords(-3);
    EXPECT_EQ(received.Count(), 0);
    EXPECT_THROW(received.GetImage(0), std::out_of_range);
}

// ---- the general layout ----

TEST_F(InterfaceTest, ReadsTheGeneralLayout)
{
    ASSERT_TRUE(ReadInterfaceFile("[General]\n"
                                  "Sender=Robot\nReceiver=Varnolux\nCount=2\n"
                                  "[Image0]\nImage=/img/a.jpg\nResultFileDB=/out/a.ini\n"
                                  "Date=2024-03-01\nTime=10:15:00\nPp100MM=1250\n"
                                  "ExclusionCircleRadiusInPixel=300\n"
                                  "ExclusionCircleX0InPixel=0x10\nExclusionCircleY0InPixel=-4\n"
                                  "[Subject0]\nName=Muster\nFirstname=Erika\nBirthdate=1.2.1970\n"
                                  "[image1]\nIMAGE=/img/b.jpg\n"
                                  "[Subject1]\nName=Doe\n"
                                  "[Analysis]\nAutomatic=1\nResult=1\nResultDetail=1\n"
                                  "ResultImage=1\nStoppAtEnd=0\nResultRequest=0\n"
                                  "ResultFileAppend=1\nResultImageDirectory=/out\n"
                                  "ResultFile=/data/r.txt\nResultFileDetail=/data/d.txt\n"
                                  "ResultFileDB=/data/db.ini\n"
                                  "[Additional]\nAdd0Name=Station\nAdd0Value=3\n"));
    EXPECT_EQ(received.Sender(), "Robot");
    EXPECT_EQ(received.Receiver(), "Varnolux");
    ASSERT_EQ(received.Count(), 2);

    const structImage first = received.GetImage(0);
    EXPECT_EQ(first.ImageFileName, "/img/a.jpg");
    EXPECT_EQ(first.ResultFileDB, "/out/a.ini");
    EXPECT_EQ(first.Date, "2024-03-01");
    EXPECT_EQ(first.Time, "10:15:00");
    EXPECT_EQ(first.Pp100MM, 1250);
    EXPECT_EQ(first.ExclusionCircleRadiusInPixel, 300);
    EXPECT_EQ(first.ExclusionCircleX0InPixel, 16);
    EXPECT_EQ(first.ExclusionCircleY0InPixel, -4);
    EXPECT_EQ(received.GetSubject(0).Name, "Muster");
    EXPECT_EQ(received.GetSubject(0).Firstname, "Erika");
    EXPECT_EQ(received.GetSubject(0).Birthdate, "1.2.1970");

    // Section and key names match without regard to case; missing keys are 0 or empty.
    const structImage second = received.GetImage(1);
    EXPECT_EQ(second.ImageFileName, "/img/b.jpg");
    EXPECT_EQ(second.ResultFileDB, "");
    EXPECT_EQ(second.Pp100MM, 0);
    EXPECT_EQ(second.ExclusionCircleY0InPixel, 0);
    EXPECT_EQ(received.GetSubject(1).Name, "Doe");
    EXPECT_EQ(received.GetSubject(1).Firstname, "");

    EXPECT_TRUE(received.Automatic());
    EXPECT_TRUE(received.Result());
    EXPECT_TRUE(received.ResultDetail());
    EXPECT_TRUE(received.ResultImage());
    EXPECT_FALSE(received.StoppAtEnd());
    EXPECT_FALSE(received.ResultRequest());
    EXPECT_TRUE(received.ResultFileAppend());
    EXPECT_EQ(received.ResultImageDirectory(), "/out/");
    EXPECT_EQ(received.ResultFile(), "/data/r.txt");
    EXPECT_EQ(received.ResultFileDetail(), "/data/d.txt");
    EXPECT_EQ(received.ResultFileDB(), "/data/db.ini");
    EXPECT_EQ(received.AdditionalNames(), std::vector<std::string>{"Station"});
    EXPECT_EQ(received.AdditionalValues(), std::vector<std::string>{"3"});
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, CountZeroGivesNoRecordsButTheAnalysisSectionIsRead)
{
    EXPECT_FALSE(ReadInterfaceFile("[General]\nSender=Robot\nCount=0\n[Image0]\nImage=/img/a.jpg\n"
                                   "[Analysis]\nAutomatic=1\nResultImageDirectory=/out/\n"
                                   "[Additional]\nAdd0Name=N\n"));
    EXPECT_EQ(received.Count(), 0);
    EXPECT_EQ(received.Sender(), "Robot");
    EXPECT_TRUE(received.Automatic());
    EXPECT_EQ(received.ResultImageDirectory(), "/out/");
    EXPECT_EQ(received.AdditionalNames(), std::vector<std::string>{"N"});
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, AnEmptyFileGivesTheDefaults)
{
    EXPECT_FALSE(ReadInterfaceFile(""));
    ExpectConstructionValues(received, ProgramFolderPath());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, ResultImageDirectoryAlwaysEndsWithOneSlash)
{
    struct {
        const char* line; // nullptr: no key at all
        std::string expected;
    } const cases[] = {
        {"ResultImageDirectory=/out/", "/out/"},
        {"ResultImageDirectory=/out", "/out/"},
        {"ResultImageDirectory=relative/out", "relative/out/"},
        {"ResultImageDirectory=/", "/"},
        {nullptr, ProgramFolderPath()},
        // An empty value means none was given, not the root folder.
        {"ResultImageDirectory=", ProgramFolderPath()},
    };
    for (const auto& c : cases) {
        ReadInterfaceFile(std::string("[Analysis]\n") + (c.line ? c.line : "") + "\n");
        EXPECT_EQ(received.ResultImageDirectory(), c.expected) << (c.line ? c.line : "none");
    }
}

TEST_F(InterfaceTest, ResultFilesWithoutAFolderGoIntoTheProgramFolder)
{
    const std::string program = ProgramFolderPath();
    struct {
        const char* value; // nullptr: no key at all
        std::string resultFile;
        std::string resultFileDB;
    } const cases[] = {
        {"r.txt", program + "r.txt", program + "r.txt"},
        {"/data/r.txt", "/data/r.txt", "/data/r.txt"},
        {"sub/r.txt", "sub/r.txt", "sub/r.txt"},
        {nullptr, program + "result.txt", ""},
        {"", program + "result.txt", ""},
    };
    for (const auto& c : cases) {
        const std::string value = c.value ? c.value : "";
        const std::string keys = c.value ? "ResultFile=" + value + "\nResultFileDetail=" + value +
                                               "\nResultFileDB=" + value + "\n"
                                         : "";
        ReadInterfaceFile("[Analysis]\n" + keys);
        EXPECT_EQ(received.ResultFile(), c.resultFile) << value;
        const std::string detail =
            c.value && !value.empty() ? c.resultFile : program + "detail.txt";
        EXPECT_EQ(received.ResultFileDetail(), detail) << value;
        EXPECT_EQ(received.ResultFileDB(), c.resultFileDB) << value;
    }
}

TEST_F(InterfaceTest, FlagsAreIntegersAndANonNumberIsTheDefault)
{
    struct {
        const char* text;
        bool automatic;  // default false
        bool stoppAtEnd; // default true
    } const cases[] = {
        {"1", true, true},      {"0", false, false},   {"2", true, true},
        {"-1", true, true},     {"0x0", false, false}, {"true", false, true},
        {"false", false, true}, {"", false, true},     {"1.0", false, true},
    };
    for (const auto& c : cases) {
        ReadInterfaceFile(std::string("[Analysis]\nAutomatic=") + c.text +
                          "\nStoppAtEnd=" + c.text + "\n");
        EXPECT_EQ(received.Automatic(), c.automatic) << c.text;
        EXPECT_EQ(received.StoppAtEnd(), c.stoppAtEnd) << c.text;
    }
}

TEST_F(InterfaceTest, AdditionalPairsStopAtTheFirstMissingName)
{
    ReadInterfaceFile("[Additional]\nAdd0Name=Station\nAdd0Value=3\nAdd1Name=Operator\n"
                      "Add3Name=Lost\nAdd3Value=x\n");
    EXPECT_EQ(received.AdditionalNames(), (std::vector<std::string>{"Station", "Operator"}));
    EXPECT_EQ(received.AdditionalValues(), (std::vector<std::string>{"3", ""}));

    ReadInterfaceFile("[Additional]\nAdd0Name=\nAdd1Name=Hidden\n");
    EXPECT_TRUE(received.AdditionalNames().empty());
    EXPECT_TRUE(received.AdditionalValues().empty());
}

TEST_F(InterfaceTest, ACountThatNoCallerCanMeanGivesAMessageAndNoRecords)
{
    const char* const counts[] = {"-1", "-2147483648", "1001", "2147483647", "0x7FFFFFFF"};
    for (const char* count : counts) {
        reporter.messages.clear();
        EXPECT_FALSE(ReadInterfaceFile(std::string("[General]\nCount=") + count +
                                       "\n[Image0]\nImage=/img/a.jpg\n[Analysis]\nAutomatic=1\n"))
            << count;
        EXPECT_EQ(received.Count(), 0) << count;
        ASSERT_EQ(reporter.messages.size(), 1u) << count;
        EXPECT_NE(reporter.messages[0].find(folder.File("interface.ini")), std::string::npos)
            << reporter.messages[0];
        // The rest of the file is still taken.
        EXPECT_TRUE(received.Automatic()) << count;
    }
}

TEST_F(InterfaceTest, TheLargestCountIsStillRead)
{
    const int count = TInterfaceBA::MaxRecordCount;
    ASSERT_TRUE(ReadInterfaceFile("[General]\nCount=" + std::to_string(count) + "\n[Image" +
                                  std::to_string(count - 1) + "]\nImage=/img/last.jpg\n"));
    ASSERT_EQ(received.Count(), count);
    EXPECT_EQ(received.GetImage(count - 1).ImageFileName, "/img/last.jpg");
    EXPECT_TRUE(reporter.messages.empty());
}

// ---- reading the file itself ----

TEST_F(InterfaceTest, NoParameterOrNoFileLeavesTheConstructionValues)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {folder.File("missing.ini")},
        {""},
        {folder.Path().string()},
    };
    for (const auto& parameters : cases) {
        EXPECT_FALSE(received.ReadIni(parameters));
        ExpectConstructionValues(received, ProgramFolderPath());
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, ASecondReadWithoutAFileLeavesNoRecords)
{
    ASSERT_TRUE(ReadInterfaceFile("[General]\nCount=1\n[Image0]\nImage=/img/a.jpg\n"));
    const std::vector<std::string> missing = {folder.File("missing.ini")};
    EXPECT_FALSE(received.ReadIni(missing));
    EXPECT_EQ(received.Count(), 0);
}

TEST_F(InterfaceTest, AReadOnlyInterfaceFileIsRead)
{
    const std::string fileName = folder.File("handed-over.ini");
    WriteFile(fileName, "[General]\nCount=1\n[Image0]\nImage=/img/a.jpg\n");
    ASSERT_EQ(::chmod(fileName.c_str(), 0444), 0);
    const std::vector<std::string> parameters = {fileName};
    ASSERT_TRUE(received.ReadIni(parameters));
    EXPECT_EQ(received.GetImage(0).ImageFileName, "/img/a.jpg");
}

TEST_F(InterfaceTest, WindowsTextIsReadAsWindows1252)
{
    ASSERT_TRUE(ReadInterfaceFile("[General]\r\nCount=1\r\n[Subject0]\r\nName=M\xFCller\r\n"));
    EXPECT_EQ(received.GetSubject(0).Name, "Müller");
}

TEST_F(InterfaceTest, ADocumentInMemoryReadsAsItsFile)
{
    const std::string bytes = "[General]\nSender=Optivane\nCount=1\n[Image0]\nImage=/img/a.jpg\n"
                              "[Analysis]\nResultImageDirectory=/out\nResultFile=r.txt\n"
                              "[Additional]\nAdd0Name=A\nAdd0Value=1\n";
    ASSERT_TRUE(ReadInterfaceFile(bytes));
    TInterfaceBA fromMemory(TInterfaceMode::miReceive, ProgramFolderPath());
    ASSERT_TRUE(fromMemory.ReadInterfaceDocument(TIniDocument::Parse(bytes)));
    EXPECT_EQ(fromMemory.Sender(), received.Sender());
    EXPECT_EQ(fromMemory.GetImage(0).ImageFileName, received.GetImage(0).ImageFileName);
    EXPECT_EQ(fromMemory.ResultImageDirectory(), received.ResultImageDirectory());
    EXPECT_EQ(fromMemory.ResultFile(), received.ResultFile());
    EXPECT_EQ(fromMemory.AdditionalNames(), received.AdditionalNames());
    EXPECT_EQ(fromMemory.AdditionalValues(), received.AdditionalValues());
}

// ---- the camera record layout ----

std::string CameraRecord(const std::string& cameraType, const std::string& imageFile,
                         const std::string& name)
{
    return "[RecordData]\nCameratype=" + cameraType + "\nfilename=" + imageFile +
           "\nAufnahmedatum=2024-03-01\nName=" + name + "\nVorname=Erika\nGeburtsdatum=1.2.1970\n";
}

TEST_F(InterfaceTest, CameraRecordsComeFromTheFilesThatExist)
{
    const std::string a = folder.File("a.ini");
    const std::string b = folder.File("b.ini");
    const std::string c = folder.File("c.ini");
    WriteFile(a, CameraRecord("", "/img/a.jpg", "Anna"));
    WriteFile(b, CameraRecord("", "/img/b.jpg", "Berta"));
    WriteFile(c, CameraRecord("", "/img/c.jpg", "Clara"));

    // A missing file in the middle and one at the end.
    const std::vector<std::string> parameters = {
        a, folder.File("gone.ini"), b, folder.Path().string(), c, folder.File("gone-too.ini")};
    ASSERT_TRUE(received.ReadIni(parameters));
    ASSERT_EQ(received.Count(), 3);
    const char* const names[] = {"Anna", "Berta", "Clara"};
    const char* const images[] = {"/img/a.jpg", "/img/b.jpg", "/img/c.jpg"};
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(received.GetImage(k).ImageFileName, images[k]) << k;
        EXPECT_EQ(received.GetImage(k).Date, "2024-03-01") << k;
        EXPECT_EQ(received.GetImage(k).Time, "") << k;
        EXPECT_EQ(received.GetImage(k).ResultFileDB, "") << k;
        EXPECT_EQ(received.GetSubject(k).Name, names[k]) << k;
        EXPECT_EQ(received.GetSubject(k).Firstname, "Erika") << k;
        EXPECT_EQ(received.GetSubject(k).Birthdate, "1.2.1970") << k;
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, TheCameraLayoutIgnoresTheGeneralSections)
{
    ASSERT_TRUE(ReadInterfaceFile(CameraRecord("", "/img/a.jpg", "Anna") +
                                  "[General]\nSender=Robot\nCount=5\n"
                                  "[Analysis]\nAutomatic=1\n[Additional]\nAdd0Name=N\n"));
    EXPECT_EQ(received.Count(), 1);
    EXPECT_EQ(received.GetImage(0).ImageFileName, "/img/a.jpg");
    EXPECT_EQ(received.Sender(), "");
    EXPECT_FALSE(received.Automatic());
    EXPECT_EQ(received.ResultImageDirectory(), ProgramFolderPath());
    EXPECT_TRUE(received.AdditionalNames().empty());
}

TEST_F(InterfaceTest, CameraValuesComeFromCameraIni)
{
    const std::string cameraTable = "[CamA]\nPp100MM=1250\nExclusionCircleRadiusInPixel=300\n"
                                    "ExclusionCircleX0InPixel=320\nExclusionCircleY0InPixel=240\n"
                                    "[CamB]\nPp100MM=800\n";
    struct {
        const char* name;
        bool cameraIniPresent;
        const char* cameraType;
        int pp100mm;
        int radius;
        int x0;
        int y0;
    } const cases[] = {
        {"section present", true, "CamA", 1250, 300, 320, 240},
        {"keys missing", true, "CamB", 800, 0, 0, 0},
        {"section missing", true, "CamC", 0, 0, 0, 0},
        {"no camera type", true, "", 0, 0, 0, 0},
        {"no Camera.ini", false, "CamA", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const std::string cameraIni = folder.File("Camera.ini");
        if (c.cameraIniPresent)
            WriteFile(cameraIni, cameraTable);
        else
            std::filesystem::remove(cameraIni);
        ASSERT_TRUE(ReadInterfaceFile(CameraRecord(c.cameraType, "/img/a.jpg", "Anna")));
        const structImage image = received.GetImage(0);
        EXPECT_EQ(image.Pp100MM, c.pp100mm) << c.name;
        EXPECT_EQ(image.ExclusionCircleRadiusInPixel, c.radius) << c.name;
        EXPECT_EQ(image.ExclusionCircleX0InPixel, c.x0) << c.name;
        EXPECT_EQ(image.ExclusionCircleY0InPixel, c.y0) << c.name;
    }
}

TEST_F(InterfaceTest, AReadOnlyCameraIniIsRead)
{
    const std::string cameraIni = folder.File("Camera.ini");
    WriteFile(cameraIni, "[CamA]\nPp100MM=1250\n");
    ASSERT_EQ(::chmod(cameraIni.c_str(), 0444), 0);
    structImage record;
    received.ReadCameraData(record, "CamA");
    EXPECT_EQ(record.Pp100MM, 1250);
    EXPECT_EQ(record.ExclusionCircleRadiusInPixel, 0);
}

// ---- the result file for the calling program ----

std::string GeneralSection(const std::string& resultCount)
{
    return "[General]\nProgramName=Lamivex\nResultCount=" + resultCount +
           "\nVersion=" + ProgramVersionText() + "\n";
}

std::string ResultSection(int number, const std::string& name, const std::string& value,
                          const std::string& type)
{
    return "\n[Result" + std::to_string(number) + "]\nName=" + name + "\nCaption=" + name +
           "\nPriority=0\nValue=" + value + "\nType=" + type + "\n";
}

TResult FinishedAnalysisResults()
{
    TResult results;
    results.AddString("Path", "/img/");
    results.AddString("Name", "a.jpg");
    results.AddDouble("AreaPixel", 1234.5);
    results.AddInteger("Count", 3);
    return results;
}

TEST_F(InterfaceTest, TheResultFileWithoutAFinishedAnalysisNamesOnlyTheProgram)
{
    const std::string fileName = folder.File("caller.ini");
    ASSERT_TRUE(received.WriteCallerResultFile(fileName, FinishedAnalysisResults(), false));
    EXPECT_EQ(ReadFile(fileName), GeneralSection("0"));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, AFinishedAnalysisWithoutContrastOrBrightnessGivesEmptyTexts)
{
    const std::string fileName = folder.File("caller.ini");
    for (const TResult& results : {TResult(), FinishedAnalysisResults()}) {
        ASSERT_TRUE(received.WriteCallerResultFile(fileName, results, true));
        EXPECT_EQ(ReadFile(fileName), GeneralSection("2") +
                                          ResultSection(1, "Contrast", "", "string") +
                                          ResultSection(2, "Brightness", "", "string"));
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(InterfaceTest, ResultItemsGiveTheirValueAndType)
{
    struct {
        const char* name;
        TResultItem item;
        const char* value;
        const char* type;
    } const cases[] = {
        {"text", {TResultItem::KindText, "", "high", 0.0, 0}, "high", "string"},
        {"empty text", {TResultItem::KindText, "", "", 0.0, 0}, "", "string"},
        {"integer", {TResultItem::KindInteger, "", "ignored", 0.0, 42}, "42", "int"},
        {"negative integer", {TResultItem::KindInteger, "", "", 0.0, -7}, "-7", "int"},
        {"float", {TResultItem::KindFloat, "", "ignored", 1234.5, 0}, "1235", "float"},
        {"small float", {TResultItem::KindFloat, "", "", 0.4, 0}, "0", "float"},
        {"negative float", {TResultItem::KindFloat, "", "", -2.5, 0}, "-3", "float"},
        {"seven digits", {TResultItem::KindFloat, "", "", 1234567.4, 0}, "1234567", "float"},
        {"eight digits", {TResultItem::KindFloat, "", "", 12345678.9, 0}, "1.234568E7", "float"},
    };
    const std::string fileName = folder.File("caller.ini");
    for (const auto& c : cases) {
        TResult results = FinishedAnalysisResults();
        TResultItem contrast = c.item;
        contrast.Name = "Contrast";
        results.AddItem(contrast);
        results.AddInteger("Brightness", 200);
        ASSERT_TRUE(received.WriteCallerResultFile(fileName, results, true)) << c.name;
        EXPECT_EQ(ReadFile(fileName), GeneralSection("2") +
                                          ResultSection(1, "Contrast", c.value, c.type) +
                                          ResultSection(2, "Brightness", "200", "int"))
            << c.name;
    }
}

TEST_F(InterfaceTest, TheResultFileReplacesWhateverTheFileHeld)
{
    const std::string fileName = folder.File("caller.ini");
    WriteFile(fileName, "; left by the caller\n[Request]\nImage=/img/a.jpg\n[General]\n"
                        "ProgramName=Other\nExtra=1\n[Result1]\nValue=old\n");
    ASSERT_TRUE(received.WriteCallerResultFile(fileName, TResult(), false));
    EXPECT_EQ(ReadFile(fileName), GeneralSection("0"));
}

TEST_F(InterfaceTest, AResultFileWithoutAFolderGoesIntoTheProgramFolder)
{
    ASSERT_TRUE(received.WriteCallerResultFile("caller.ini", TResult(), false));
    EXPECT_EQ(ReadFile(folder.File("caller.ini")), GeneralSection("0"));
}

TEST_F(InterfaceTest, AResultFileThatCannotBeWrittenIsReported)
{
    const std::string readOnly = folder.File("read-only.ini");
    WriteFile(readOnly, "[Keep]\nK=1\n");
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    const std::string missingFolder = folder.File("missing/caller.ini");
    const std::string aFolder = folder.Path().string();

    for (const std::string& fileName : {readOnly, missingFolder, aFolder, std::string()}) {
        reporter.messages.clear();
        EXPECT_FALSE(received.WriteCallerResultFile(fileName, TResult(), true)) << fileName;
        ASSERT_EQ(reporter.messages.size(), 1u) << fileName;
        EXPECT_NE(reporter.messages[0].find("result file for the calling program"),
                  std::string::npos)
            << reporter.messages[0];
    }
    EXPECT_EQ(ReadFile(readOnly), "[Keep]\nK=1\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("missing")));
}

} // namespace
} // namespace varnolux
