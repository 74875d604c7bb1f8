#pragma once

// The vector kernels of the HSV conversion. Each converts the pixels [0, count) of
// three planes in place, 16 at a time, the rest and the doubtful lanes with the
// tables, and gives the same bytes as RgbToHsv.

#include "imaging/HsvTables.h"

#include <cstddef>
#include <cstdint>

namespace varnolux {

#if defined(__SSE2__)
#define VARNOLUX_HAVE_SSE2_KERNEL 1
void ConvertHsvRangeSse2(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue, std::size_t count);

#if defined(__x86_64__) && defined(__GNUC__)
#define VARNOLUX_HAVE_AVX2_KERNEL 1
/// Only for processors with AVX2 (HasAvx2).
void ConvertHsvRangeAvx2(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                         std::uint8_t* blue, std::size_t count);
#endif
#endif

} // namespace varnolux
