// The desktop program's time from a change of the colour range to the new result on
// screen: the main window opens the image, then a track bar moves and the clock runs
// until the analysis of the new range is shown. The quiet time is part of it.
//
//   QT_QPA_PLATFORM=offscreen varnolux-bench-range IMAGE [ROUNDS]

#include "shell/TFormMain.h"
#include "shell/TProgramWindows.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>

using namespace varnolux;

namespace {

bool WaitFor(QSignalSpy& spy, int count)
{
    while (spy.count() < count)
        if (!spy.wait(120000))
            return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s IMAGE [ROUNDS]\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::string image = std::filesystem::absolute(argv[1]).string();
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir folder;
    TProgramWindows windows(TProgramFiles::InFolder(folder.path().toStdString() + "/"));
    TFormMain& main = *windows.FormMain;
    QSignalSpy started(&main, &TFormMain::StartupFinished);
    main.show();
    if (!WaitFor(started, 1))
        return 1;
    QSignalSpy work(&main, &TFormMain::WorkFinished);
    main.OpenImage(image);
    if (!WaitFor(work, 1))
        return 1;
    auto* bar = main.findChild<QSlider*>("TrackBarSMax");
    QSignalSpy shown(&main, &TFormMain::AnalysisFinished);
    std::vector<double> times;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        bar->setValue(bar->value() == 255 ? 200 : 255);
        if (!WaitFor(shown, round + 1))
            return 1;
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::ranges::sort(times);
    std::printf("range change to result: median %.0f ms, best %.0f ms (%d rounds)\n",
                times[times.size() / 2], times.front(), rounds);
    return 0;
}
