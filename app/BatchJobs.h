#pragma once

// How many images the batch analyses at once when it is not told.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace varnolux {

/// What one job holds at its peak, per pixel of its image: the planes it keeps for the
/// next image of that size, which that image's open takes over, and the decoder's
/// memory beside them (measured: 12.3 bytes per pixel for one job over three 24 MP JPEG
/// images, 18.8 for two jobs); the rest is room for the estimate's error.
constexpr std::uint64_t JobBytesPerPixel = 16;

struct TJobLimits {
    /// Cores of the machine, at least 1.
    int Cores = 1;
    std::size_t Images = 0;
    /// What the process can still take; nothing when it cannot be read.
    std::optional<std::uint64_t> AvailableMemory;
    /// Pixels of the largest image, or an estimate.
    std::uint64_t LargestPixels = 0;
};

/// One job per core, no more than there are images, and no more than fit into three
/// quarters of the available memory (the rest stays for other programs, the page
/// cache and the estimate's error); always at least one.
int DefaultJobCount(const TJobLimits& limits);

/// The pixels of an image as its header declares them; for a file whose header says
/// nothing near its start (a DICOM file, a damaged one) its length in bytes, which
/// does not underestimate a file stored as it is.
std::uint64_t EstimatedPixels(const std::string& fileName);

/// The largest estimate among the first few images: a batch usually holds images of
/// one camera, and a larger one later waits for memory when it opens.
std::uint64_t LargestEstimatedPixels(std::span<const std::string> images);

/// Asks the system to read a file into its cache now, in the background, so that the
/// job which opens it next finds it there instead of waiting for the disk.
void ReadAhead(const std::string& fileName);

} // namespace varnolux
