#include "imaging/ColourConversion.h"

#include "imaging/ColourFormulas.h"
#include "imaging/CpuFeatures.h"
#include "imaging/HsvKernels.h"
#include "imaging/HsvTables.h"
#include "imaging/KernelThreads.h"

#include <algorithm>
#include <atomic>

namespace varnolux {

namespace {

template <typename Convert>
void ConvertLine(std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                 std::span<std::uint8_t> third, Convert convert)
{
    const std::size_t count = std::min({first.size(), second.size(), third.size()});
    for (std::size_t i = 0; i < count; ++i) {
        const TTriple result = convert(first[i], second[i], third[i]);
        first[i] = ChannelByte(result.First);
        second[i] = ChannelByte(result.Second);
        third[i] = ChannelByte(result.Third);
    }
}

std::atomic<THsvKernel> hsvKernel{THsvKernel::Best};

/// The pixels [0, count) with the widest kernel allowed and available.
void ConvertHsvRange(const THsvTables& tables, const THsvPixels& pixels, std::size_t count)
{
    [[maybe_unused]] const THsvKernel kernel = hsvKernel.load(std::memory_order_relaxed);
#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
    if (kernel == THsvKernel::Best && HasAvx2())
        return ConvertHsvRangeAvx2(tables, pixels, count);
#endif
#if defined(VARNOLUX_HAVE_SSE2_KERNEL)
    if (kernel != THsvKernel::Scalar)
        return ConvertHsvRangeSse2(tables, pixels, count);
#endif
    for (std::size_t i = 0; i < count; ++i)
        pixels.ConvertOne(tables, i);
}

constexpr std::size_t HsvBlockSize = 4096;

/// Runs convert(tables, begin, size) over the pixels [0, count) in blocks of
/// HsvBlockSize, the blocks across threads.
template <typename Convert>
void ForEachHsvBlock(std::size_t count, Convert convert)
{
    const THsvTables& tables = HsvTables();
    const int blocks = int((count + HsvBlockSize - 1) / HsvBlockSize);
    ForEachBlock(blocks, 6 * HsvBlockSize, [&](int firstBlock, int lastBlock) {
        for (int block = firstBlock; block < lastBlock; ++block) {
            const std::size_t begin = std::size_t(block) * HsvBlockSize;
            convert(tables, begin, std::min(HsvBlockSize, count - begin));
        }
    });
}

} // namespace

void UseHsvKernel(THsvKernel kernel)
{
    hsvKernel.store(kernel, std::memory_order_relaxed);
}

void ConvertRgbToHsv(std::span<const std::uint8_t> red, std::span<const std::uint8_t> green,
                     std::span<const std::uint8_t> blue, std::span<std::uint8_t> hue,
                     std::span<std::uint8_t> saturation, std::span<std::uint8_t> brightness)
{
    const std::size_t count = std::min(
        {red.size(), green.size(), blue.size(), hue.size(), saturation.size(), brightness.size()});
    const THsvPixels pixels{red.data(), green.data(),      blue.data(),
                            hue.data(), saturation.data(), brightness.data()};
    ForEachHsvBlock(count, [&](const THsvTables& tables, std::size_t begin, std::size_t size) {
        ConvertHsvRange(tables, pixels.From(begin), size);
    });
}

bool ConvertColourBytes(TConversionCode code, std::span<std::uint8_t> first,
                        std::span<std::uint8_t> second, std::span<std::uint8_t> third)
{
    switch (code) {
    case TConversionCode::Luv:
        ConvertLine(first, second, third, Luv);
        return true;
    case TConversionCode::Lab:
        ConvertLine(first, second, third, Lab);
        return true;
    case TConversionCode::LinearMap:
        ConvertLine(first, second, third, LinearMap);
        return true;
    case TConversionCode::Xyz:
        ConvertLine(first, second, third, Xyz);
        return true;
    case TConversionCode::Inversion:
        ConvertLine(first, second, third, Inversion);
        return true;
    case TConversionCode::None:
        return true;
    case TConversionCode::Hsv:
        ConvertRgbToHsv(first, second, third, first, second, third);
        return true;
    }
    return false;
}

} // namespace varnolux
