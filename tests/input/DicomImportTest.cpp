#include "input/DicomImport.h"

#include "ImageFixtures.h"
#include "input/TKVFreeImage.h"
#include "support/DicomFiles.h"
#include "support/RecordingReporter.h"
#include "support/ScopedEnvironment.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace varnolux {
namespace {

using test::DumpHeader;
using test::DumpImageElements;
using test::DumpToDicom;
using test::ImageDump;
using test::ReadFile;
using test::TempFolder;
using test::WriteFile;

TEST(DicomDump, ReadsTheTwoValuesAtTheirColumns)
{
    const struct {
        std::string dump;
        int samples;
        int frames;
    } cases[] = {
        {"", 0, 1},
        {"(0028,0002) US 3                                        #   2, 1 SamplesPerPixel\n", 3,
         1},
        {"(0028,0008) IS [12]                                     #   2, 1 NumberOfFrames\n", 0,
         12},
        {"(0028,0002) US 1\r\n(0028,0008) IS [2]\r\n", 1, 2},
        // No line end after the last line.
        {"(0028,0002) US 3", 3, 1},
        // The last top-level occurrence wins.
        {"(0028,0002) US 1\n(0028,0002) US 4\n", 4, 1},
        // Not numbers, or no value at all.
        {"(0028,0002) US abc\n(0028,0008) IS 12\n", 0, 0},
        {"(0028,0002)\n(0028,0008) IS []\n", 0, 0},
        {"(0028,0002) US (no value available)\n", 0, 1},
        {"(0028,0002) US -1\n", -1, 1},
        // Eight characters are read: a longer value is cut.
        {"(0028,0002) US 123456789\n", 12345678, 1},
        // Other tags and comment lines do not count, nor a tag inside another line.
        {"# Used TransferSyntax: (0028,0002) US 7\n(0028,0003) US 5\n"
         "(0008,0000) LO [(0028,0002) US 9]\n",
         0, 1},
    };
    for (const auto& c : cases) {
        const TDicomDumpValues values = ReadDicomDumpValues(c.dump);
        EXPECT_EQ(values.SamplesPerPixel, c.samples) << c.dump;
        EXPECT_EQ(values.Frames, c.frames) << c.dump;
    }
}

TEST(DicomDump, ItemsOfSequencesDoNotCount)
{
    const std::string dump = "(0028,0002) US 3\n"
                             "(0088,0200) SQ (Sequence with explicit length #=1)\n"
                             "  (fffe,e000) na (Item with explicit length #=10)\n"
                             "    (0028,0002) US 1\n"
                             "    (0028,0008) IS [5]\n"
                             "  (fffe,e00d) na (ItemDelimitationItem)\n"
                             "(fffe,e0dd) na (SequenceDelimitationItem)\n";
    const TDicomDumpValues values = ReadDicomDumpValues(dump);
    EXPECT_EQ(values.SamplesPerPixel, 3);
    EXPECT_EQ(values.Frames, 1);
}

TEST(DicomDump, FindsValuesAnywhereInALongText)
{
    const std::string filler =
        "(0008,1150) UI [1.2.840.10008.5.1.4.1.1.7]  #  26, 1 ReferencedSOPClassUID\n";
    std::string dump;
    while (dump.size() + filler.size() < 8188)
        dump += filler;
    dump += std::string(8188 - dump.size() - 1, '#') + "\n";
    // Straddles the 8192-byte blocks an earlier reader stopped at.
    dump += "(0028,0002) US 3\n";
    while (dump.size() < 100000)
        dump += filler;
    dump += "(0028,0008) IS [7]\n";
    const TDicomDumpValues values = ReadDicomDumpValues(dump);
    EXPECT_EQ(values.SamplesPerPixel, 3);
    EXPECT_EQ(values.Frames, 7);
}

TEST(DicomFileName, OnlyDcmAndDc3InAnyCase)
{
    for (const char* name : {"knee.dcm", "knee.DCM", "knee.Dcm", "/data/knee.dc3", "x.DC3", ".dcm"})
        EXPECT_TRUE(IsDicomFileName(name)) << name;
    for (const char* name : {"knee.dicom", "knee.dcm.png", "knee", "dcm", "/data.dcm/knee",
                             "knee.dc", "knee.dcm ", ""})
        EXPECT_FALSE(IsDicomFileName(name)) << name;
}

void WriteProgram(const std::string& fileName, mode_t mode = 0755)
{
    WriteFile(fileName, "#!/bin/sh\nexit 0\n");
    ASSERT_EQ(::chmod(fileName.c_str(), mode), 0);
}

TEST(DicomTool, TheProgramFolderComesBeforePath)
{
    const TempFolder program, first, second;
    WriteProgram(program.File("dcmdump"));
    WriteProgram(first.File("dcmdump"));
    WriteProgram(second.File("dcmdump"));
    WriteProgram(second.File("dcm2pnm"));
    WriteProgram(first.File("dcmp2pgm"), 0644);
    WriteProgram(second.File("dcmp2pgm"));
    std::filesystem::create_directory(first.File("dcmj2pnm"));
    const test::ScopedEnvironment path("PATH", "relative:" + first.Path().string() +
                                                   "::" + second.Path().string() + "/");
    const std::string programFolder = program.Path().string() + "/";

    EXPECT_EQ(FindDicomTool("dcmdump", programFolder), programFolder + "dcmdump");
    EXPECT_EQ(FindDicomTool("dcmdump", "/nonexistent/"), first.File("dcmdump"));
    EXPECT_EQ(FindDicomTool("dcm2pnm", programFolder), second.Path().string() + "//dcm2pnm");
    // Not executable, or a folder: the search goes on.
    EXPECT_EQ(FindDicomTool("dcmp2pgm", programFolder), second.Path().string() + "//dcmp2pgm");
    EXPECT_EQ(FindDicomTool("dcmj2pnm", programFolder), "");
    EXPECT_EQ(FindDicomTool("img2dcm", programFolder), "");
}

TEST(DicomTool, ARelativePathEntryIsNotSearched)
{
    const TempFolder folder;
    WriteProgram(folder.File("dcmdump"));
    const std::string previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.Path());
    {
        const test::ScopedEnvironment path("PATH", std::string(".::bin"));
        EXPECT_EQ(FindDicomTool("dcmdump", "/nonexistent/"), "");
    }
    {
        const test::ScopedEnvironment path("PATH", std::nullopt);
        EXPECT_EQ(FindDicomTool("dcmdump", "/nonexistent/"), "");
    }
    std::filesystem::current_path(previous);
}

TEST(DicomTool, MissingMessageNamesTheProgramFolder)
{
    EXPECT_EQ(MissingDicomToolText("dcmdump"),
              "Datei " + ProgramFolder() + "dcmdump fehlt zum Auslesen von DICOM-Dateien.");
}

TEST(DicomTempFileName, CountsFromOneToTheFirstFreeName)
{
    const TempFolder folder;
    const std::string prefix = folder.Path().string() + "/";
    EXPECT_EQ(MakeDicomTempFileName(prefix, "knee.dcm", ".pgm"), prefix + "knee.dcm1.pgm");
    EXPECT_TRUE(std::filesystem::is_regular_file(prefix + "knee.dcm1.pgm")) << "claimed";
    EXPECT_EQ(MakeDicomTempFileName(prefix, "knee.dcm", ".pgm"), prefix + "knee.dcm2.pgm");
    EXPECT_EQ(MakeDicomTempFileName(prefix, "knee.dcm", ".bmp"), prefix + "knee.dcm1.bmp");
    std::filesystem::remove(prefix + "knee.dcm1.pgm");
    EXPECT_EQ(MakeDicomTempFileName(prefix, "knee.dcm", ".pgm"), prefix + "knee.dcm1.pgm");
}

/// 3 × 2 grey levels and 2 × 2 colours, row by row from the top.
const std::vector<std::uint8_t> GreyPixels = {0x00, 0x40, 0x80, 0xc0, 0xff, 0x10};
const std::vector<std::uint8_t> ColourPixels = {255, 0, 0, 0, 128, 255, 1, 2, 3, 250, 251, 252};

class DicomImport : public testing::Test {
protected:
    std::unique_ptr<TBitmap24> Load(const std::string& fileName)
    {
        reporter.messages.clear();
        auto bitmap = TKVFreeImage().LoadToBitmap(fileName);
        for (const auto& entry : std::filesystem::directory_iterator(varnolux::TempFolder()))
            ADD_FAILURE() << "a temporary file remains: " << entry.path();
        return bitmap;
    }

    std::string Dicom(const std::string& name, const std::string& dump)
    {
        const std::string fileName = files.File(name);
        DumpToDicom(dump, fileName);
        return fileName;
    }
    std::string GreyDicom(const std::string& name = "grey.dcm")
    {
        return Dicom(name, ImageDump(1, 3, 2, GreyPixels));
    }
    std::string ColourDicom(const std::string& name = "colour.dcm")
    {
        return Dicom(name, ImageDump(3, 2, 2, ColourPixels));
    }

    /// A folder for PATH holding links to some of the DCMTK tools only.
    std::string ToolsFolder(const std::vector<std::string>& tools)
    {
        const std::string folder = files.File("tools" + std::to_string(++toolsFolders));
        std::filesystem::create_directory(folder);
        for (const auto& tool : tools)
            std::filesystem::create_symlink(FindDicomTool(tool, "/nonexistent/"),
                                            folder + "/" + tool);
        return folder;
    }

    TempFolder files;
    TempFolder temp;
    int toolsFolders = 0;
    test::ScopedEnvironment tempVariable{"TEMP", temp.Path().string()};
    test::RecordingReporter reporter;
};

void ExpectGreyPixels(const TBitmap24* bitmap)
{
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), 3);
    ASSERT_EQ(bitmap->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t level = GreyPixels[std::size_t(3 * y + x)];
            EXPECT_EQ(bitmap->Pixel(x, y), MakeColour(level, level, level)) << x << ", " << y;
        }
}

void ExpectColourPixels(const TBitmap24* bitmap)
{
    ASSERT_NE(bitmap, nullptr);
    ASSERT_EQ(bitmap->Width(), 2);
    ASSERT_EQ(bitmap->Height(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            const std::uint8_t* rgb = &ColourPixels[std::size_t(3 * (2 * y + x))];
            EXPECT_EQ(bitmap->Pixel(x, y), MakeColour(rgb[0], rgb[1], rgb[2])) << x << ", " << y;
        }
}

TEST_F(DicomImport, GreyAndColourFilesOpenPixelForPixel)
{
    ExpectGreyPixels(Load(GreyDicom()).get());
    ExpectColourPixels(Load(ColourDicom()).get());
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(DicomImport, GreyGoesThroughPgmAndColourThroughBmp)
{
    TKVFreeImage reader;
    for (const auto& [fileName, extension] :
         {std::pair{GreyDicom("knee.dcm"), ".pgm"}, std::pair{ColourDicom("knee.DC3"), ".bmp"}}) {
        const std::string converted = reader.ConvertDicom(fileName);
        EXPECT_EQ(converted, varnolux::TempFolder() + FileNamePart(fileName) + "1" + extension);
        std::filesystem::remove(converted);
    }
    EXPECT_EQ(reader.RunDicomConverter(GreyDicom(), 0), "");
    EXPECT_EQ(reader.RunDicomConverter(GreyDicom(), -3), "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DicomImport, ConvertsIntoTheFirstFreeTemporaryName)
{
    const std::string taken = varnolux::TempFolder() + "knee.dcm1.pgm";
    WriteFile(taken, "someone else's");
    TKVFreeImage reader;
    const std::string converted = reader.ConvertDicom(GreyDicom("knee.dcm"));
    EXPECT_EQ(converted, varnolux::TempFolder() + "knee.dcm2.pgm");
    EXPECT_EQ(ReadFile(taken), "someone else's");
    std::filesystem::remove(converted);
    std::filesystem::remove(taken);

    // The first reader of a run has no folder of its own and uses the same one.
    reader.TempDir.clear();
    const std::string first = reader.ConvertDicom(GreyDicom("knee.dcm"));
    EXPECT_EQ(first, varnolux::TempFolder() + "knee.dcm1.pgm");
    std::filesystem::remove(first);
}

TEST_F(DicomImport, FilesMadeFromBitmapsAndJpegsOpen)
{
    // img2dcm takes a palette BMP as grey, a 24-bit BMP as colour, and JPEG files as
    // they are, compressed.
    const int width = 12, height = 8;
    test::TFreeImage grey(FreeImage_Allocate(width, height, 8));
    RGBQUAD* palette = FreeImage_GetPalette(grey.get());
    for (int i = 0; i < 256; ++i)
        palette[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            FreeImage_GetScanLine(grey.get(), height - 1 - y)[x] = BYTE(20 * x + y);
    // Smooth enough for JPEG's subsampled colours.
    test::TFreeImage colour(FreeImage_Allocate(width, height, 24));
    auto smoothColour = [](int x, int y) {
        return MakeColour(std::uint8_t(200 - 10 * x), std::uint8_t(40 + 20 * y), 128);
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* pixel = FreeImage_GetScanLine(colour.get(), height - 1 - y) + 3 * x;
            const TColour c = smoothColour(x, y);
            pixel[FI_RGBA_RED] = RedOf(c);
            pixel[FI_RGBA_GREEN] = GreenOf(c);
            pixel[FI_RGBA_BLUE] = BlueOf(c);
        }
    struct {
        FIBITMAP* image;
        FREE_IMAGE_FORMAT format;
        const char* name;
        int tolerance;
    } const sources[] = {
        {grey.get(), FIF_BMP, "grey-bmp", 0},
        {colour.get(), FIF_BMP, "colour-bmp", 0},
        {grey.get(), FIF_JPEG, "grey-jpeg", 12},
        {colour.get(), FIF_JPEG, "colour-jpeg", 16},
    };
    for (const auto& source : sources) {
        const std::string image = files.File(std::string(source.name) + ".img");
        ASSERT_TRUE(FreeImage_Save(source.format, source.image, image.c_str(),
                                   source.format == FIF_JPEG ? JPEG_QUALITYSUPERB : 0));
        const std::string dicom = files.File(std::string(source.name) + ".dcm");
        test::ImageToDicom(image, source.format == FIF_BMP, dicom);
        const auto bitmap = Load(dicom);
        ASSERT_NE(bitmap, nullptr)
            << source.name << ": " << ::testing::PrintToString(reporter.messages);
        ASSERT_EQ(bitmap->Width(), width);
        ASSERT_EQ(bitmap->Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const auto level = std::uint8_t(20 * x + y);
                const TColour expected = source.image == grey.get()
                                             ? MakeColour(level, level, level)
                                             : smoothColour(x, y);
                const TColour actual = bitmap->Pixel(x, y);
                for (const int shift : {0, 8, 16})
                    ASSERT_LE(
                        std::abs(int((actual >> shift) & 255) - int((expected >> shift) & 255)),
                        source.tolerance)
                        << source.name << " at " << x << ", " << y;
            }
        EXPECT_TRUE(reporter.messages.empty()) << source.name;
    }
}

TEST_F(DicomImport, IconImagesInsideTheFileDoNotCount)
{
    // A grey, "multi-frame" icon after the colour image's own elements.
    const std::string icon = "(0088,0200) SQ (Sequence with undefined length)\n"
                             "(fffe,e000) na (Item with undefined length)\n" +
                             DumpImageElements(1, 1, 1) +
                             "(0028,0008) IS [5]\n(7fe0,0010) OB 80\\00\n"
                             "(fffe,e00d) na\n(fffe,e0dd) na\n";
    ExpectColourPixels(Load(Dicom("icon.dcm", ImageDump(3, 2, 2, ColourPixels, icon))).get());
    EXPECT_TRUE(reporter.messages.empty()) << reporter.messages.front();
}

TEST_F(DicomImport, ALongDumpIsReadWhole)
{
    // Hundreds of items before the image elements: far more dump than a pipe holds.
    std::string items = "(0008,1140) SQ (Sequence with undefined length)\n";
    for (int i = 1; i <= 400; ++i)
        items += "(fffe,e000) na\n(0008,1150) UI [1.2.840.10008.5.1.4.1.1.7]\n"
                 "(0008,1155) UI [1.2.826.0.1.3680043.2.9." +
                 std::to_string(i) + "]\n(fffe,e00d) na\n";
    items += "(fffe,e0dd) na\n";
    const std::string dump = DumpHeader(items) + DumpImageElements(1, 3, 2) + "(7fe0,0010) OB " +
                             test::DumpBytes(GreyPixels) + "\n";
    ExpectGreyPixels(Load(Dicom("long.dcm", dump)).get());
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(DicomImport, AMultiFrameFileIsReportedAndOpens)
{
    std::vector<std::uint8_t> frames = GreyPixels;
    frames.insert(frames.end(), 6, 0x33);
    const auto bitmap =
        Load(Dicom("frames.dcm", ImageDump(1, 3, 2, frames, "(0028,0008) IS [2]\n")));
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Die DICOM-Datei enthält 2 Bilder."});
    ExpectGreyPixels(bitmap.get());
}

TEST_F(DicomImport, PathsAreJustPaths)
{
    const std::string grey = GreyDicom();
    const std::string names[] = {"with space.dcm", "quote\"d.dcm",   "it's.Dcm",
                                 "semi;colon.DCM", "$(touch x).dc3", "back`tick`.DC3",
                                 "-dash.dcm",      "@at.dcm",        "new\nline.dcm"};
    for (const auto& name : names)
        std::filesystem::copy_file(grey, files.File(name));
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(files.Path());
    for (const auto& name : names) {
        ExpectGreyPixels(Load(files.File(name)).get());
        // Relative names too: a leading "-" or "@" means something else to the tools.
        ExpectGreyPixels(Load(name).get());
        EXPECT_TRUE(reporter.messages.empty()) << name << ": " << reporter.messages.front();
    }
    EXPECT_FALSE(std::filesystem::exists(files.File("x")));
    std::filesystem::current_path(previous);
}

TEST_F(DicomImport, OnlyTheDicomExtensionsTakeTheDicomPath)
{
    const std::string grey = GreyDicom();
    const std::string dicom = files.File("image.dicom");
    std::filesystem::copy_file(grey, dicom);
    EXPECT_EQ(Load(dicom), nullptr);
    EXPECT_EQ(reporter.messages,
              std::vector<std::string>{"\"" + dicom +
                                       "\" : Unrecognized file format. File may be damaged."});

    const std::string png = files.File("picture.dcm");
    ASSERT_TRUE(FreeImage_Save(FIF_PNG, test::PatternImage(4, 3).get(), png.c_str(), 0));
    EXPECT_EQ(Load(png), nullptr);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("\"" + png + "\" : dcmdump cannot read the file: ", 0), 0u)
        << reporter.messages[0];
}

TEST_F(DicomImport, DamagedFilesGiveOneMessage)
{
    const std::string whole = ReadFile(ColourDicom());
    const std::string cuts[] = {"", whole.substr(0, 100), whole.substr(0, 200),
                                whole.substr(0, whole.size() - 5), "just text\n"};
    for (const auto& bytes : cuts) {
        const std::string fileName = files.File("damaged.dcm");
        WriteFile(fileName, bytes);
        EXPECT_EQ(Load(fileName), nullptr) << bytes.size();
        ASSERT_EQ(reporter.messages.size(), 1u) << bytes.size();
        EXPECT_EQ(reporter.messages[0].rfind("\"" + fileName + "\" : ", 0), 0u);
        EXPECT_GT(reporter.messages[0].size(), fileName.size() + 30) << reporter.messages[0];
    }
}

TEST_F(DicomImport, AFileWithoutAnImageIsReported)
{
    const std::string noSamples = Dicom("no-samples.dcm", DumpHeader());
    EXPECT_EQ(Load(noSamples), nullptr);
    EXPECT_EQ(reporter.messages,
              std::vector<std::string>{
                  "\"" + noSamples + "\" : The DICOM file holds no image (no samples per pixel)."});

    const std::string noPixels = Dicom("no-pixels.dcm", DumpHeader() + DumpImageElements(1, 3, 2));
    EXPECT_EQ(Load(noPixels), nullptr);
    ASSERT_EQ(reporter.messages.size(), 1u);
    const std::string& message = reporter.messages[0];
    EXPECT_EQ(message.rfind("\"" + noPixels + "\" : dcmp2pgm wrote no image file: ", 0), 0u)
        << message;
    // The tools' errors, without their warnings.
    EXPECT_NE(message.find("; dcmj2pnm wrote no image file: E: no pixel data found in DICOM "
                           "dataset F: Missing attribute"),
              std::string::npos)
        << message;
    EXPECT_EQ(message.find("W: "), std::string::npos) << message;
}

TEST_F(DicomImport, MissingToolsAreNamed)
{
    const std::string grey = GreyDicom();
    const std::string colour = ColourDicom();
    {
        const test::ScopedEnvironment path("PATH", ToolsFolder({}));
        EXPECT_EQ(Load(grey), nullptr);
        EXPECT_EQ(reporter.messages, std::vector<std::string>{MissingDicomToolText("dcmdump")});
    }
    const test::ScopedEnvironment path("PATH", ToolsFolder({"dcmdump"}));
    EXPECT_EQ(Load(grey), nullptr);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{MissingDicomToolText("dcmp2pgm")});
    EXPECT_EQ(Load(colour), nullptr);
    EXPECT_EQ(reporter.messages, std::vector<std::string>{MissingDicomToolText("dcm2pnm")});
}

TEST_F(DicomImport, WithoutDcmj2pnmColourGoesThroughDcm2pnm)
{
    const std::string colour = ColourDicom();
    const std::string jpegFile = files.File("colour.jpg");
    ASSERT_TRUE(FreeImage_Save(FIF_JPEG, test::PatternImage(8, 8).get(), jpegFile.c_str(), 0));
    const std::string jpeg = files.File("jpeg.dcm");
    test::ImageToDicom(jpegFile, false, jpeg);

    const test::ScopedEnvironment path("PATH", ToolsFolder({"dcmdump", "dcmp2pgm", "dcm2pnm"}));
    ExpectColourPixels(Load(colour).get());
    EXPECT_TRUE(reporter.messages.empty());
    // dcm2pnm has no JPEG decoder.
    EXPECT_EQ(Load(jpeg), nullptr);
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0].rfind("\"" + jpeg + "\" : dcm2pnm wrote no image file: ", 0), 0u)
        << reporter.messages[0];
}

} // namespace
} // namespace varnolux
