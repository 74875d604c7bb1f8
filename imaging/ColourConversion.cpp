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
void ConvertHsvRange(const THsvTables& tables, std::uint8_t* red, std::uint8_t* green,
                     std::uint8_t* blue, std::size_t count)
{
    [[maybe_unused]] const THsvKernel kernel = hsvKernel.load(std::memory_order_relaxed);
#if defined(VARNOLUX_HAVE_AVX2_KERNEL)
    if (kernel == THsvKernel::Best && HasAvx2())
        return ConvertHsvRangeAvx2(tables, red, green, blue, count);
#endif
#if defined(VARNOLUX_HAVE_SSE2_KERNEL)
    if (kernel != THsvKernel::Scalar)
        return ConvertHsvRangeSse2(tables, red, green, blue, count);
#endif
    for (std::size_t i = 0; i < count; ++i)
        tables.Convert(red[i], green[i], blue[i]);
}

void ConvertHsvLine(std::span<std::uint8_t> first, std::span<std::uint8_t> second,
                    std::span<std::uint8_t> third)
{
    const THsvTables& tables = HsvTables();
    const std::size_t count = std::min({first.size(), second.size(), third.size()});
    // Pixels in blocks of 4096, the blocks across threads.
    constexpr std::size_t BlockSize = 4096;
    const int blocks = int((count + BlockSize - 1) / BlockSize);
    ForEachBlock(blocks, 6 * BlockSize, [&](int firstBlock, int lastBlock) {
        const std::size_t begin = std::size_t(firstBlock) * BlockSize;
        const std::size_t end = std::min(count, std::size_t(lastBlock) * BlockSize);
        ConvertHsvRange(tables, first.data() + begin, second.data() + begin, third.data() + begin,
                        end - begin);
    });
}

} // namespace

void UseHsvKernel(THsvKernel kernel)
{
    hsvKernel.store(kernel, std::memory_order_relaxed);
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
        ConvertHsvLine(first, second, third);
        return true;
    }
    return false;
}

} // namespace varnolux
