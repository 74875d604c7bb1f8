// varnolux-bench: times the phases of an open and a run on generated images, beside
// one plain read pass over the image's bytes measured in the same run, and (when
// built with OpenCV) the nearest OpenCV pipeline.

#include "analysis/TAnalysis.h"
#include "imaging/BmpFile.h"
#include "imaging/KernelThreads.h"
#include "imaging/TBitmap24.h"
#include "input/TKVFreeImage.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#if defined(VARNOLUX_HAVE_OPENCV)
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace varnolux {
namespace {

struct TImageSize {
    const char* Label;
    int Width;
    int Height;
};

constexpr TImageSize FullSizes[] = {
    {"1 MP", 1152, 864}, {"6 MP", 3000, 2000}, {"24 MP", 6000, 4000}};
constexpr TImageSize SmokeSizes[] = {{"tiny", 64, 48}};

enum class TSelection { Blobs, Noise };

/// Reds through the wrap of the hue circle, fairly saturated and bright.
constexpr TColourRange RedRange = {230, 20, 60, 255, 60, 255};

double Milliseconds(std::chrono::steady_clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

/// The fastest of several runs: on a shared machine the others are slower only
/// because something else ran.
double Fastest(const std::vector<double>& values)
{
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

/// The fastest of repeated calls of a function.
double TimeFastest(int repeats, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    return Fastest(times);
}

/// Blobs: red discs of many sizes on a slightly noisy grey, which is too pale to be
/// selected. Noise: every
/// pixel a random colour, so the selection is a scatter of tiny regions.
TBitmap24 MakeImage(const TImageSize& size, TSelection selection)
{
    TBitmap24 bitmap(size.Width, size.Height);
    std::mt19937 random(12345);
    for (int y = 0; y < size.Height; ++y) {
        auto row = bitmap.Row(y);
        for (std::uint8_t& byte : row)
            byte = selection == TSelection::Noise ? std::uint8_t(random())
                                                  : std::uint8_t(112 + random() % 16);
    }
    if (selection == TSelection::Noise)
        return bitmap;
    const int discs = std::max(4, size.Width * size.Height / 20000);
    for (int i = 0; i < discs; ++i) {
        const int cx = int(random() % unsigned(size.Width));
        const int cy = int(random() % unsigned(size.Height));
        const int radius = 2 + int(random() % 40);
        for (int y = std::max(0, cy - radius); y <= std::min(size.Height - 1, cy + radius); ++y)
            for (int x = std::max(0, cx - radius); x <= std::min(size.Width - 1, cx + radius); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                    bitmap.SetPixel(x, y,
                                    MakeColour(200 + int(random() % 56), int(random() % 40),
                                               int(random() % 40)));
    }
    return bitmap;
}

/// One plain read pass: the sum of the 3 · w · h bytes.
std::uint64_t SumOfBytes(const TBitmap24& bitmap)
{
    std::uint64_t sum = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const auto row = bitmap.Row(y);
        sum = std::accumulate(row.begin(), row.end(), sum);
    }
    return sum;
}

/// The phases in the order of the table.
using TPhaseTimes = std::vector<std::pair<std::string, double>>;

TPhaseTimes MeasureEngine(const std::string& fileName, int repeats)
{
    TAnalysis engine;
    std::map<std::string, std::vector<double>> samples;
    for (int i = 0; i < repeats; ++i) {
        const TOpenResult open = engine.LoadImage(fileName, true);
        if (!open.Loaded)
            return {};
        samples["read"].push_back(open.Timings.Read);
        samples["convert"].push_back(open.Timings.Convert);
    }
    TAnalysisSettings settings;
    settings.Range = RedRange;
    settings.Options.EditMinRegion = "2";
    for (int i = 0; i < repeats; ++i) {
        TAnalysisResult result = engine.Run(settings, TPictureRequest::All());
        if (!result.Complete)
            return {};
        const TAnalysisTimings& t = result.Timings;
        for (const auto& [name, value] : {std::pair{"run", t.Run},
                                          {"  area", t.Area},
                                          {"  curves, channel images", t.Curves},
                                          {"  classification", t.Classification},
                                          {"  labelling", t.Labelling},
                                          {"  statistics", t.Statistics},
                                          {"  drawing", t.Drawing},
                                          {"fingerprints", t.Fingerprint + t.Fingerprints}})
            samples[name].push_back(value);
        // As the desktop program does: the pictures shown before are painted again.
        engine.Recycle(std::move(result.Pictures));
    }
    // A re-analysis as the desktop program asks for it: the source, the analysed image
    // and the one channel image in view, into the pictures it handed back.
    TPictureRequest shown = TPictureRequest::All();
    shown.Channels = {true, false, false};
    for (int i = 0; i < repeats; ++i) {
        TAnalysisResult result = engine.Run(settings, shown);
        if (!result.Complete)
            return {};
        samples["run, desktop view"].push_back(result.Timings.Run);
        engine.Recycle(std::move(result.Pictures));
    }
    // The batch command's engine: the same run without pictures and curves.
    TPictureRequest batchRequest;
    batchRequest.Curves = false;
    TAnalysis batchEngine;
    for (int i = 0; i < repeats; ++i) {
        const TOpenResult open = batchEngine.LoadImage(fileName);
        if (!open.Loaded)
            return {};
        samples["read, unpainted"].push_back(open.Timings.Read);
        const TAnalysisResult result = batchEngine.Run(settings, batchRequest);
        if (!result.Complete)
            return {};
        samples["run, unpainted"].push_back(result.Timings.Run);
    }
    TPhaseTimes times;
    for (const char* name :
         {"read", "convert", "run", "  area", "  curves, channel images", "  classification",
          "  labelling", "  statistics", "  drawing", "fingerprints", "run, desktop view",
          "read, unpainted", "run, unpainted"})
        times.emplace_back(name, Fastest(samples[name]));
    samples.clear();
    return times;
}

#if defined(VARNOLUX_HAVE_OPENCV)
/// BGR→HSV, the wrapped hue as two inRange calls OR-ed, and the 8-connected labelling
/// with statistics: the nearest OpenCV pipeline.
TPhaseTimes MeasureOpenCv(const TBitmap24& bitmap, int repeats)
{
    const cv::Mat bgr(bitmap.Height(), bitmap.Width(), CV_8UC3,
                      const_cast<std::uint8_t*>(bitmap.Bits()), bitmap.Stride());
    cv::Mat hsv, low, high, mask, labels, stats, centroids;
    const auto [hMin, hMax, sMin, sMax, vMin, vMax] = RedRange;
    const double convert =
        TimeFastest(repeats, [&] { cv::cvtColor(bgr, hsv, cv::COLOR_BGR2HSV_FULL); });
    const double threshold = TimeFastest(repeats, [&] {
        cv::inRange(hsv, cv::Scalar(hMin, sMin, vMin), cv::Scalar(255, sMax, vMax), low);
        cv::inRange(hsv, cv::Scalar(0, sMin, vMin), cv::Scalar(hMax, sMax, vMax), high);
        cv::bitwise_or(low, high, mask);
    });
    const double components = TimeFastest(repeats, [&] {
        cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    });
    return {{"OpenCV BGR→HSV", convert},
            {"OpenCV inRange ×2 + OR", threshold},
            {"OpenCV connectedComponentsWithStats", components},
            {"OpenCV threshold + components", threshold + components}};
}
#endif

struct TColumn {
    TPhaseTimes Times;
    double ReadPass = 0.0;
};

double Find(const TPhaseTimes& times, const std::string& name)
{
    for (const auto& [phase, value] : times)
        if (phase == name)
            return value;
    return 0.0;
}

void PrintTable(const char* title, std::span<const TImageSize> sizes,
                const std::vector<TColumn>& columns)
{
    std::printf("\n### %s\n\n| Phase |", title);
    for (const TImageSize& size : sizes)
        std::printf(" %s ms |", size.Label);
    std::printf(" %s ÷ read pass |\n|---|", sizes.back().Label);
    for (size_t i = 0; i <= sizes.size(); ++i)
        std::printf("---:|");
    std::printf("\n| read pass (sum of 3·w·h bytes) |");
    for (const TColumn& column : columns)
        std::printf(" %.2f |", column.ReadPass);
    std::printf(" 1 |\n");
    for (const auto& [phase, ignored] : columns.front().Times) {
        const bool inside = phase.starts_with("  ");
        std::printf("| %s%s |", inside ? "… " : "", inside ? phase.c_str() + 2 : phase.c_str());
        for (const TColumn& column : columns)
            std::printf(" %.2f |", Find(column.Times, phase));
        const TColumn& last = columns.back();
        std::printf(" %.1f |\n", Find(last.Times, phase) / last.ReadPass);
    }
    const TColumn& last = columns.back();
    const double run = Find(last.Times, "run");
    std::printf("\n%s, %s: run = %.1f read passes (target ≤ 25, stretch ≤ 15)", title,
                sizes.back().Label, run / last.ReadPass);
    const double openCvConvert = Find(last.Times, "OpenCV BGR→HSV");
    if (openCvConvert > 0)
        std::printf("; convert ÷ OpenCV BGR→HSV = %.2f (target ≤ 1); OpenCV threshold + "
                    "components ÷ run = %.2f, ÷ run unpainted = %.2f (target ≥ 2)",
                    Find(last.Times, "convert") / openCvConvert,
                    Find(last.Times, "OpenCV threshold + components") / run,
                    Find(last.Times, "OpenCV threshold + components") /
                        Find(last.Times, "run, unpainted"));
    std::printf("\n");
}

int RunBenchmark(bool smoke, bool largestOnly)
{
    const std::span<const TImageSize> sizes = smoke ? std::span<const TImageSize>(SmokeSizes)
                                              : largestOnly
                                                  ? std::span(FullSizes).last(1)
                                                  : std::span<const TImageSize>(FullSizes);
    const std::string folder = TempFolder();
    std::printf("Kernel threads: %d", KernelThreadCount());
#if defined(VARNOLUX_HAVE_OPENCV)
    // Its kernels get as many threads as ours; its buffers are made once and reused.
    cv::setNumThreads(KernelThreadCount());
    std::printf(", OpenCV %s with %d threads", CV_VERSION, cv::getNumThreads());
#endif
    std::printf(". Each time is the fastest of several runs.\n");
    for (const auto& [selection, title] : {std::pair{TSelection::Blobs, "Blob-like selection"},
                                           {TSelection::Noise, "Noise-like selection"}}) {
        std::vector<TColumn> columns;
        for (const TImageSize& size : sizes) {
            const int repeats = smoke ? 1 : size.Width * size.Height > 10'000'000 ? 7 : 11;
            const TBitmap24 bitmap = MakeImage(size, selection);
            const std::string fileName =
                folder + "varnolux-bench-" + std::to_string(size.Width) + ".bmp";
            WriteBmpFile(bitmap, fileName);
            TColumn column;
            column.Times = MeasureEngine(fileName, repeats);
            std::filesystem::remove(fileName);
            if (column.Times.empty()) {
                std::fprintf(stderr, "varnolux-bench: the engine could not analyse %s\n",
                             fileName.c_str());
                return 1;
            }
            volatile std::uint64_t sink = 0;
            column.ReadPass = TimeFastest(repeats * 3, [&] { sink = sink + SumOfBytes(bitmap); });
#if defined(VARNOLUX_HAVE_OPENCV)
            const TPhaseTimes openCv = MeasureOpenCv(bitmap, repeats);
            column.Times.insert(column.Times.end(), openCv.begin(), openCv.end());
#endif
            columns.push_back(std::move(column));
        }
        PrintTable(title, sizes, columns);
    }
    return 0;
}

} // namespace
} // namespace varnolux

int main(int argc, char** argv)
{
    bool smoke = false;
    bool largest = false;
    int threads = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--smoke" && !largest) {
            smoke = true;
        } else if (argument == "--largest" && !smoke) {
            largest = true;
        } else if (argument == "--threads" && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
            threads = std::atoi(argv[++i]);
        } else {
            std::fputs("usage: varnolux-bench [--smoke | --largest] [--threads N]\n", stderr);
            return 2;
        }
    }
    // A loaded machine times kernels more fairly on one thread each.
    if (threads > 0)
        varnolux::SetKernelThreadCount(threads);
    return varnolux::RunBenchmark(smoke, largest);
}
