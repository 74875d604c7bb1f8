// varnolux-batch on DICOM files made here with DCMTK.

#include "BatchRun.h"
#include "imaging/BmpFile.h"
#include "results/ShaFingerprint.h"
#include "support/DicomFiles.h"
#include "support/Pictures.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace varnolux {
namespace {

using test::Field;
using test::RunBatch;
using test::SplitText;

class BatchDicom : public testing::Test {
protected:
    void SetUp() override
    {
        bmp = folder.File("objects.bmp");
        WriteBmpFile(test::Picture(test::ObjectRows), bmp);
        dicom = folder.File("objects.dcm");
        test::ImageToDicom(bmp, true, dicom);
        options = folder.File("options.ini");
        test::WriteFile(options, "[FormMain]\r\nLabeledEditHMin=0\r\nLabeledEditHMax=10\r\n"
                                 "LabeledEditSMin=100\r\nLabeledEditSMax=255\r\n"
                                 "LabeledEditVMin=0\r\nLabeledEditVMax=255\r\n"
                                 "[FormOptions]\r\nEditMinRegion=2\r\n");
    }

    void ExpectNoTemporaryFiles()
    {
        for (const std::string& left : test::LeftInTempFolder(temp.Path()))
            ADD_FAILURE() << "a temporary file remains: " << left;
    }

    std::string TempSetting() const { return "TEMP=" + temp.Path().string(); }

    test::TempFolder folder;
    test::TempFolder temp;
    std::string bmp;
    std::string dicom;
    std::string options;
};

TEST_F(BatchDicom, AnalysesADicomFileLikeItsImage)
{
    const TConsoleResult run = RunBatch({"--options", options, dicom, bmp}, {TempSetting()});
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    EXPECT_EQ(run.ErrorOutput, "");
    ASSERT_EQ(SplitText(run.Output, '\n').size(), 3u) << run.Output;
    EXPECT_EQ(Field(run.Output, 1, "Name"), "objects.dcm");
    for (const char* item :
         {"AreaPercent", "AnalysisAreaPixel", "AreaPixel", "Count", "SHAOptions"})
        EXPECT_EQ(Field(run.Output, 1, item), Field(run.Output, 2, item)) << item;
    EXPECT_EQ(Field(run.Output, 1, "AreaPixel"), "11.25");
    // The fingerprint is the DICOM file's own, not the converted image's.
    EXPECT_EQ(Field(run.Output, 1, "SHAImageFile"), Sha256FileHex(dicom).value());
    ExpectNoTemporaryFiles();
}

TEST_F(BatchDicom, ADicomLineVerifiesAgainstTheDicomFilesOwnBytes)
{
    const std::string results = folder.File("results.txt");
    const TConsoleResult analysed =
        RunBatch({"--options", options, "--result", results, dicom}, {TempSetting()});
    ASSERT_EQ(analysed.ExitCode, 0) << analysed.ErrorOutput;
    const TConsoleResult run =
        RunBatch({"--verify", results, "--options", options, "--reanalyse"}, {TempSetting()});
    EXPECT_EQ(run.ExitCode, 0) << run.Output << run.ErrorOutput;
    EXPECT_EQ(SplitText(run.Output, '\n').at(0), "2: ok");

    // The same picture in a new DICOM file (new instance identifiers) is another file.
    test::ImageToDicom(bmp, true, dicom);
    const TConsoleResult changed = RunBatch({"--verify", results}, {TempSetting()});
    EXPECT_EQ(changed.ExitCode, 1);
    EXPECT_EQ(SplitText(changed.Output, '\n').at(0),
              "2: image changed: " + dicom + " is not the image that was analysed");
    ExpectNoTemporaryFiles();
}

TEST_F(BatchDicom, ADamagedDicomFileIsReportedOnOneLine)
{
    const std::string damaged = folder.File("damaged.Dcm");
    test::WriteFile(damaged, test::ReadFile(dicom).substr(0, 300));
    const TConsoleResult run = RunBatch({damaged, bmp}, {TempSetting()});
    EXPECT_EQ(run.ExitCode, 1);
    ASSERT_EQ(SplitText(run.Output, '\n').size(), 2u) << run.Output;
    EXPECT_EQ(Field(run.Output, 1, "Name"), "objects.bmp");
    const auto messages = SplitText(run.ErrorOutput, '\n');
    ASSERT_EQ(messages.size(), 1u) << run.ErrorOutput;
    EXPECT_EQ(
        messages[0].rfind(damaged + ": \"" + damaged + "\" : dcmdump cannot read the file: ", 0),
        0u)
        << messages[0];
    ExpectNoTemporaryFiles();
}

TEST_F(BatchDicom, MissingToolsAreNamedWithTheProgramFolder)
{
    const test::TempFolder emptyFolder;
    const TConsoleResult run =
        RunBatch({dicom}, {TempSetting(), "PATH=" + emptyFolder.Path().string()});
    EXPECT_EQ(run.ExitCode, 1);
    const std::string programFolder = std::filesystem::path(VARNOLUX_BATCH).parent_path().string();
    EXPECT_EQ(run.ErrorOutput, dicom + ": Datei " + programFolder +
                                   "/dcmdump fehlt zum Auslesen von DICOM-Dateien.\n");
}

TEST_F(BatchDicom, ToolsInTheProgramFolderComeFirst)
{
    // A copy of the program with a dcmdump of its own that notes its calls.
    const std::string programFolder = folder.File("program");
    std::filesystem::create_directory(programFolder);
    const std::string program = programFolder + "/varnolux-batch";
    std::filesystem::copy_file(VARNOLUX_BATCH, program);
    const std::string log = folder.File("calls.txt");
    const std::string dump = programFolder + "/dcmdump";
    test::WriteFile(dump, "#!/bin/sh\necho \"$@\" >>'" + log + "'\nexec " +
                              FindDicomTool("dcmdump", "/nonexistent/") + " \"$@\"\n");
    std::filesystem::permissions(dump, std::filesystem::perms::owner_all);

    const TConsoleResult run =
        RunBatch({dicom}, {TempSetting()}, {}, test::TBatchUser::Same, program);
    EXPECT_EQ(run.ExitCode, 0) << run.ErrorOutput;
    // It reads a private copy of the bytes that were fingerprinted, not the file again.
    const std::string call = test::ReadFile(log);
    const std::string userFolder =
        temp.Path().string() + "/varnolux-" + std::to_string(::geteuid()) + "/run";
    EXPECT_TRUE(call.starts_with(userFolder)) << call;
    EXPECT_TRUE(call.ends_with("/objects.dcm1\n")) << call;
    ExpectNoTemporaryFiles();
}

} // namespace
} // namespace varnolux
