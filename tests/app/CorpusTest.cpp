// Damaged files of every readable format through varnolux-batch: cut short at many
// places and with single bytes flipped. Built with the sanitizers, this finds
// memory faults in reading them.

#include "../input/ImageFixtures.h"
#include "BatchRun.h"
#include "base/Paths.h"
#include "support/DicomFiles.h"
#include "support/TempFolder.h"

#include <FreeImage.h>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace varnolux {
namespace {

using test::ReadFile;
using test::SplitText;
using test::TempFolder;
using test::TFreeImage;

constexpr int Width = 40;
constexpr int Height = 30;

std::string SavedWithFreeImage(FIBITMAP* image, FREE_IMAGE_FORMAT format, int flags,
                               const TempFolder& folder)
{
    const std::string fileName = folder.File("source");
    if (!FreeImage_Save(format, image, fileName.c_str(), flags))
        throw std::runtime_error("FreeImage cannot save the source");
    return ReadFile(fileName);
}

TFreeImage GreyImage()
{
    TFreeImage grey(FreeImage_Allocate(Width, Height, 8));
    RGBQUAD* palette = FreeImage_GetPalette(grey.get());
    for (int i = 0; i < 256; ++i)
        palette[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            FreeImage_GetScanLine(grey.get(), y)[x] = BYTE(6 * x + y);
    return grey;
}

std::string Dicom(FIBITMAP* image, FREE_IMAGE_FORMAT format, const TempFolder& folder)
{
    const std::string source = folder.File(format == FIF_BMP ? "source.bmp" : "source.jpg");
    if (!FreeImage_Save(format, image, source.c_str(), 0))
        throw std::runtime_error("FreeImage cannot save the source");
    const std::string dicom = folder.File("source.dcm");
    test::ImageToDicom(source, format == FIF_BMP, dicom);
    return ReadFile(dicom);
}

struct TFormat {
    const char* name;
    const char* extension;
    std::function<std::string(const TempFolder&)> make;
};

std::string PrintFormat(const testing::TestParamInfo<TFormat>& info)
{
    return info.param.name;
}

void PrintTo(const TFormat& format, std::ostream* out)
{
    *out << format.name;
}

const TFormat Formats[] = {
    {"Bmp", ".bmp",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_BMP, 0, f);
     }},
    {"PaletteBmp", ".bmp",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PalettisedImage(Width, Height).get(), FIF_BMP, 0, f);
     }},
    {"Ico", ".ico",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(32, 32).get(), FIF_ICO, 0, f);
     }},
    {"Jpeg", ".jpg",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_JPEG, 0, f);
     }},
    {"Koala", ".koa",
     [](const TempFolder&) {
         return test::KoalaFile();
     }},
    {"Pbm", ".pbm",
     [](const TempFolder&) {
         return test::AsciiBitmapFile(Width, Height);
     }},
    {"Pgm", ".pgm",
     [](const TempFolder& f) {
         return SavedWithFreeImage(GreyImage().get(), FIF_PGMRAW, 0, f);
     }},
    {"Png", ".png",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_PNG, 0, f);
     }},
    {"PalettePng", ".png",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PalettisedImage(Width, Height).get(), FIF_PNG, 0, f);
     }},
    {"Ppm", ".ppm",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_PPMRAW, 0, f);
     }},
    {"AsciiPpm", ".ppm",
     [](const TempFolder&) {
         return test::AsciiPixmapFile(12, 9);
     }},
    {"Pcx", ".pcx",
     [](const TempFolder&) {
         return test::PcxFile(Width, Height);
     }},
    {"Ras", ".ras",
     [](const TempFolder&) {
         return test::SunRasterFile(Width, Height);
     }},
    {"Targa", ".tga",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_TARGA,
                                   TARGA_SAVE_RLE, f);
     }},
    {"Tiff", ".tif",
     [](const TempFolder& f) {
         return SavedWithFreeImage(test::PatternImage(Width, Height).get(), FIF_TIFF, TIFF_LZW, f);
     }},
    {"DirectoryFirstTiff", ".tif",
     [](const TempFolder&) {
         return test::DirectoryFirstTiffFile();
     }},
    {"GreyDicom", ".dcm",
     [](const TempFolder& f) {
         return Dicom(GreyImage().get(), FIF_BMP, f);
     }},
    {"ColourDicom", ".dcm",
     [](const TempFolder& f) {
         return Dicom(test::PatternImage(Width, Height).get(), FIF_BMP, f);
     }},
    {"JpegDicom", ".dcm",
     [](const TempFolder& f) {
         return Dicom(test::PatternImage(Width, Height).get(), FIF_JPEG, f);
     }},
};

/// Cuts at the start, in the headers and through the data; flips bytes densely in the
/// first 64 and then spread over the file.
std::vector<std::pair<std::string, std::string>> Damaged(const std::string& whole)
{
    std::vector<std::pair<std::string, std::string>> variants;
    const std::size_t n = whole.size();
    for (const std::size_t cut : {std::size_t(0), std::size_t(1), std::size_t(8), std::size_t(20),
                                  std::size_t(60), n / 3, n / 2, 2 * n / 3, n - 10, n - 1})
        if (cut < n)
            variants.emplace_back("cut" + std::to_string(cut), whole.substr(0, cut));
    std::vector<std::size_t> flips;
    for (std::size_t at = 0; at < std::min<std::size_t>(n, 64); at += 3)
        flips.push_back(at);
    for (std::size_t at = 64; at < n; at += std::max<std::size_t>(1, n / 16))
        flips.push_back(at);
    for (const std::size_t at : flips) {
        std::string flipped = whole;
        flipped[at] = char(~flipped[at]);
        variants.emplace_back("flip" + std::to_string(at), flipped);
    }
    return variants;
}

class Corpus : public testing::TestWithParam<TFormat> {};

TEST_P(Corpus, DamagedFilesAreReportedAndTheOthersAnalysed)
{
    const TempFolder folder;
    const TempFolder temp;
    const TFormat& format = GetParam();
    const std::string whole = format.make(folder);

    // The good file first and last: it is analysed whatever came before.
    const std::string good = folder.File(std::string("good") + format.extension);
    test::WriteFile(good, whole);
    std::vector<std::string> files = {good};
    for (const auto& [name, bytes] : Damaged(whole)) {
        files.push_back(folder.File(name + format.extension));
        test::WriteFile(files.back(), bytes);
    }
    files.push_back(good);

    const TConsoleResult run = test::RunBatch(
        files, {"TEMP=" + temp.Path().string(),
                // Sanitizer reports must not pass for our own exit status 1.
                "ASAN_OPTIONS=exitcode=86:allocator_may_return_null=1:detect_leaks=1",
                "UBSAN_OPTIONS=exitcode=87:print_stacktrace=1"});
    ASSERT_FALSE(run.TimedOut);
    ASSERT_TRUE(run.ExitCode == 0 || run.ExitCode == 1) << "exit " << run.ExitCode << ":\n"
                                                        << run.ErrorOutput;

    // Result lines come in input order; each names its file.
    const auto lines = SplitText(run.Output, '\n');
    ASSERT_GE(lines.size(), 3u) << run.ErrorOutput;
    std::map<std::string, int> resultLines;
    for (std::size_t i = 1; i < lines.size(); ++i)
        ++resultLines[test::Field(run.Output, int(i), "Name")];
    EXPECT_EQ(resultLines[FileNamePart(good)], 2);
    EXPECT_EQ(test::Field(run.Output, 1, "Name"), FileNamePart(good));
    EXPECT_EQ(test::Field(run.Output, int(lines.size()) - 1, "SHAResult"),
              test::Field(run.Output, 1, "SHAResult"));

    std::map<std::string, int> messages;
    for (const std::string& line : SplitText(run.ErrorOutput, '\n')) {
        const auto file = std::find_if(files.begin(), files.end(), [&](const std::string& name) {
            return line.starts_with(name + ": ");
        });
        ASSERT_NE(file, files.end()) << "not about one of the files: " << line;
        EXPECT_EQ(line.find("Internal error"), std::string::npos) << line;
        EXPECT_GT(line.size(), file->size() + 20) << line;
        ++messages[*file];
    }
    int failed = 0;
    for (std::size_t i = 1; i + 1 < files.size(); ++i) {
        const int results = resultLines[FileNamePart(files[i])];
        const int said = messages[files[i]];
        EXPECT_TRUE((results == 1 && said == 0) || (results == 0 && said == 1))
            << files[i] << ": " << results << " result lines, " << said << " messages";
        failed += results == 0;
    }
    EXPECT_EQ(run.ExitCode, failed > 0 ? 1 : 0);
    EXPECT_GT(failed, 0) << "some damage must show";
    EXPECT_EQ(test::LeftInTempFolder(temp.Path()), std::vector<std::string>())
        << "temporary files remain";
}

INSTANTIATE_TEST_SUITE_P(Formats, Corpus, testing::ValuesIn(Formats), PrintFormat);

} // namespace
} // namespace varnolux
