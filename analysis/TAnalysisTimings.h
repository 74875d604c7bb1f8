#pragma once

#include <chrono>

namespace varnolux {

/// How long the phases of the last LoadImage and Run took, in milliseconds. A phase
/// that did not run (a failed open, an image without a run) stays 0.
struct TAnalysisTimings {
    // LoadImage
    double Read = 0.0;        // the rest: file, reader, temporary BMP, planes, copies, pictures
    double Fingerprint = 0.0; // the image file's SHA-256, of the bytes read
    double Convert = 0.0;     // the conversion of the copy to hue, saturation, brightness

    // Run
    double Run = 0.0;          // the whole run without its fingerprints
    double Fingerprints = 0.0; // the options' and the results' SHA-256 fingerprints
    // Inside Run
    double Area = 0.0;           // analysis-area mask, its outline and its area
    double Curves = 0.0;         // cumulative curves and channel images
    double Classification = 0.0; // the colour-range test of every area pixel
    double Labelling = 0.0;      // cutting the selection into regions
    double Statistics = 0.0;     // region areas and the minimum-size filter
    double Drawing = 0.0;        // the analysed image

    /// Forgets the run phases, keeping those of the open.
    void ClearRun()
    {
        Run = Fingerprints = Area = Curves = Classification = Labelling = Statistics = Drawing =
            0.0;
    }
};

/// Adds the time between its construction and its destruction to a phase.
class TPhaseTimer {
public:
    explicit TPhaseTimer(double& phase)
        : phase_(phase)
        , start_(std::chrono::steady_clock::now())
    {
    }
    ~TPhaseTimer()
    {
        const std::chrono::duration<double, std::milli> elapsed =
            std::chrono::steady_clock::now() - start_;
        phase_ += elapsed.count();
    }
    TPhaseTimer(const TPhaseTimer&) = delete;
    TPhaseTimer& operator=(const TPhaseTimer&) = delete;

private:
    double& phase_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace varnolux
