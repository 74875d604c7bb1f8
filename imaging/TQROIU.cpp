#include "imaging/TQROIU.h"

#include "imaging/LabelPlane.h"
#include "imaging/PlaneArithmetic.h"
#include "imaging/TQListROIU.h"
#include "imaging/TQStatus.h"
#include "imaging/TReplacingFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace varnolux {

namespace {

std::uint8_t HalvedDifference(std::uint8_t v, std::uint8_t o)
{
    return std::uint8_t((int(v) - int(o)) / 2 + 128);
}

/// (value − from) · 255 / (to − from), truncated and clamped to a byte.
std::uint8_t MappedToByte(double value, double from, double to)
{
    return ClampedByte((value - from) * 255.0 / (to - from));
}

} // namespace

void TQROIU::Draw(TBitmap24& bitmap)
{
    DrawMasked(bitmap,
               [this](int x, int y, std::uint8_t* bgr) { std::fill_n(bgr, 3, values_[x][y]); });
}

std::unique_ptr<TQROIL> TQROIU::NewOfSize(int width, int height) const
{
    return std::make_unique<TQROIU>(width, height);
}

void TQROIU::Invert()
{
    ChangePlane(values_, mask_, true, [](std::uint8_t v) { return std::uint8_t(255 - v); });
}

void TQROIU::Subtract(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.Width(), other.Height(), "TQROIU::Subtract");
    CombinePlanes(values_, mask_, other.Values(), other.Mask(), all, HalvedDifference);
}

void TQROIU::Add(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.Width(), other.Height(), "TQROIU::Add");
    TQROIU stretched;
    stretched.Assign(other);
    Stretch(0, 127);
    stretched.Stretch(0, 127);
    CombinePlanes(values_, mask_, stretched.values_, stretched.mask_, all,
                  [](std::uint8_t v, std::uint8_t o) { return std::uint8_t(v + o); });
}

void TQROIU::AddConstant(double c, bool all)
{
    ChangePlane(values_, mask_, all, [c](std::uint8_t v) { return ClampedByte(v + c); });
}

void TQROIU::Multiply(const TQROITemplate& other, bool all)
{
    RequireSameSize(width_, height_, other.Width(), other.Height(), "TQROIU::Multiply");
    std::uint8_t minA = 0, maxA = 0, minB = 0, maxB = 0;
    // The ranges of the two value planes themselves, also in a colour ROI.
    if (!TQROITemplate::MinMax(minA, maxA, all) || !other.TQROITemplate::MinMax(minB, maxB, all))
        return;
    const double lowest = double(minA) * minB;
    const double highest = double(maxA) * maxB;
    if (lowest == highest)
        return;
    CombinePlanes(values_, mask_, other.Values(), other.Mask(), all,
                  [&](std::uint8_t v, std::uint8_t o) {
                      return MappedToByte(double(v) * o, lowest, highest);
                  });
}

void TQROIU::MultiplyConstant(double c, bool all)
{
    std::uint8_t min = 0, max = 0;
    if (!TQROITemplate::MinMax(min, max, all))
        return;
    const double lowest = std::trunc(c * min);
    const double highest = std::trunc(c * max);
    if (lowest == highest || !std::isfinite(lowest) || !std::isfinite(highest))
        return;
    ChangePlane(values_, mask_, all,
                [&](std::uint8_t v) { return MappedToByte(std::trunc(c * v), lowest, highest); });
}

std::unique_ptr<TQListROIU> TQROIU::Label(int connectivity) const
{
    const TLabelPlane labelled = LabelRegions(*this, connectivity);
    const TPlane<std::int32_t>& labels = labelled.Labels;

    struct TBox {
        int MinX, MaxX, MinY, MaxY;
    };
    std::vector<TBox> boxes(std::size_t(labelled.RegionCount), {width_, -1, height_, -1});
    for (int x = 0; x < width_; ++x) {
        const std::int32_t* column = labels[x];
        for (int y = 0; y < height_; ++y)
            if (column[y] > 0) {
                TBox& box = boxes[std::size_t(column[y] - 1)];
                box.MinX = std::min(box.MinX, x);
                box.MaxX = std::max(box.MaxX, x);
                box.MinY = std::min(box.MinY, y);
                box.MaxY = std::max(box.MaxY, y);
            }
    }

    auto regions = std::make_unique<TQListROIU>();
    for (std::int32_t label = 1; label <= labelled.RegionCount; ++label) {
        const TBox& box = boxes[std::size_t(label - 1)];
        std::unique_ptr<TQROIL> made = NewOfSize(box.MaxX - box.MinX + 1, box.MaxY - box.MinY + 1);
        if (!dynamic_cast<TQROIU*>(made.get()))
            throw TQError("Internal error: TQROIU::Label - NewOfSize made no TQROIU");
        std::unique_ptr<TQROIU> region(static_cast<TQROIU*>(made.release()));
        region->OriginX = box.MinX + OriginX;
        region->OriginY = box.MinY + OriginY;
        // Runs of the region's pixels down each column are copied together.
        for (int j = 0; j < region->Width(); ++j) {
            const std::int32_t* column = labels[box.MinX + j] + box.MinY;
            for (int k = 0; k < region->Height();) {
                if (column[k] != label) {
                    region->mask_[j][k++] = 0;
                    continue;
                }
                int runEnd = k + 1;
                while (runEnd < region->Height() && column[runEnd] == label)
                    ++runEnd;
                region->CopyPixels(*this, j, k, box.MinX + j, box.MinY + k, runEnd - k);
                k = runEnd;
            }
        }
        regions->Add(std::move(region));
    }
    return regions;
}

bool TQROIU::Gradient(bool all)
{
    TBytePlane* const planes[] = {&values_};
    return GradientOf(planes, all);
}

void TQROIU::RankFilter(int radius, double fraction, bool all)
{
    TBytePlane* const planes[] = {&values_};
    RankFilterOf(planes, radius, fraction, all);
}

void TQROIU::MeanFilter(int radius, bool all)
{
    TBytePlane* const planes[] = {&values_};
    MeanFilterOf(planes, radius, all);
}

bool TQROIU::Stretch(int low, int high)
{
    TBytePlane* const planes[] = {&values_};
    return StretchOf(planes, low, high);
}

void TQROIU::Distort(double k)
{
    TBytePlane* const planes[] = {&values_};
    DistortOf(planes, k);
}

void TQROIU::ApplyLookup()
{
    TBytePlane* const planes[] = {&values_};
    ApplyLookupOf(planes);
}

void TQROIU::SaveToTextFile(const std::string& fileName) const
{
    const TBytePlane* const planes[] = {&values_};
    SaveTableOf(fileName, "i\tj\tl\tg\n", planes);
}

bool TQROIU::GradientOf(TPlanes planes, bool all)
{
    const TBytePlane mask = mask_;
    std::vector<TBytePlane> sources;
    for (TBytePlane* plane : planes)
        sources.push_back(*plane);
    const auto counts = [&](int x, int y) {
        return all || mask[x][y] != 0;
    };
    bool anyPair = false;
    for (int x = 0; x < width_; ++x)
        for (int y = 0; y < height_; ++y) {
            const bool horizontal = x > 0 && x + 1 < width_ && counts(x - 1, y) && counts(x + 1, y);
            const bool vertical = y > 0 && y + 1 < height_ && counts(x, y - 1) && counts(x, y + 1);
            if (!horizontal && !vertical) {
                mask_[x][y] = 0;
                continue;
            }
            anyPair = true;
            for (std::size_t p = 0; p < planes.size(); ++p) {
                const TBytePlane& source = sources[p];
                int difference = 0;
                if (horizontal)
                    difference = std::abs(source[x - 1][y] - source[x + 1][y]);
                if (vertical)
                    difference =
                        std::max(difference, std::abs(source[x][y - 1] - source[x][y + 1]));
                (*planes[p])[x][y] = std::uint8_t(difference);
            }
        }
    return anyPair;
}

void TQROIU::RankFilterOf(TPlanes planes, int radius, double fraction, bool all)
{
    if (radius <= 0 || width_ == 0)
        return;
    TQStatus& status = TQStatus::Instance();
    const auto counts = [&](int x, int y) {
        return all || mask_[x][y] != 0;
    };
    for (TBytePlane* plane : planes) {
        const TBytePlane source = *plane;
        status.StartProgress(0, 0, height_ - 1, 0);
        for (int y = 0; y < height_; ++y) {
            status.StepEvery(0, y);
            const int top = std::max(0, y - radius);
            const int bottom = std::min(height_ - 1, y + radius);
            std::array<int, 256> histogram{};
            int n = 0;
            const auto addColumn = [&](int x, int change) {
                if (x < 0 || x >= width_)
                    return;
                for (int row = top; row <= bottom; ++row)
                    if (counts(x, row)) {
                        histogram[source[x][row]] += change;
                        n += change;
                    }
            };
            for (int x = 0; x <= std::min(radius, width_ - 1); ++x)
                addColumn(x, 1);
            for (int x = 0; x < width_; ++x) {
                if (x > 0) {
                    addColumn(x + radius, 1);
                    addColumn(x - radius - 1, -1);
                }
                if (!counts(x, y) || n == 0)
                    continue;
                const double wanted = std::trunc(fraction * n);
                const int target = wanted > 0.0 ? int(std::min(wanted, double(n))) : 0;
                int level = 0;
                for (int below = histogram[0]; below < target; below += histogram[++level]) {
                }
                (*plane)[x][y] = std::uint8_t(level);
            }
        }
    }
}

void TQROIU::MeanFilterOf(TPlanes planes, int radius, bool all)
{
    if (radius <= 0 || width_ == 0)
        return;
    const auto counts = [&](int x, int y) {
        return all || mask_[x][y] == 1;
    };
    // Window sums along x for every pixel, kept column by column.
    const auto sumAlongX = [&](const auto& valueAt) {
        TPlane<std::int32_t> sums(width_, height_);
        std::vector<std::int32_t> running(std::size_t(height_), 0);
        const auto change = [&](int x, int sign) {
            if (x < 0 || x >= width_)
                return;
            for (int y = 0; y < height_; ++y)
                running[y] += sign * valueAt(x, y);
        };
        for (int x = 0; x < std::min(radius, width_); ++x)
            change(x, 1);
        for (int x = 0; x < width_; ++x) {
            change(x + radius, 1);
            change(x - radius - 1, -1);
            std::copy(running.begin(), running.end(), sums[x]);
        }
        return sums;
    };
    const TPlane<std::int32_t> countsAlongX =
        sumAlongX([&](int x, int y) { return counts(x, y) ? 1 : 0; });
    std::vector<std::uint8_t> newMask;
    for (TBytePlane* plane : planes) {
        const TPlane<std::int32_t> sumsAlongX =
            sumAlongX([&](int x, int y) { return counts(x, y) ? int((*plane)[x][y]) : 0; });
        for (int x = 0; x < width_; ++x) {
            std::int64_t sum = 0;
            std::int64_t n = 0;
            for (int y = 0; y < std::min(radius, height_); ++y) {
                sum += sumsAlongX[x][y];
                n += countsAlongX[x][y];
            }
            for (int y = 0; y < height_; ++y) {
                if (y + radius < height_) {
                    sum += sumsAlongX[x][y + radius];
                    n += countsAlongX[x][y + radius];
                }
                if (y - radius - 1 >= 0) {
                    sum -= sumsAlongX[x][y - radius - 1];
                    n -= countsAlongX[x][y - radius - 1];
                }
                if (counts(x, y) && n > 0)
                    (*plane)[x][y] = ClampedByte(std::trunc(double(sum) / double(n) + 0.5));
            }
        }
    }
    for (int x = 0; x < width_; ++x)
        for (int y = 0; y < height_; ++y) {
            mask_[x][y] = counts(x, y) ? 1 : 0;
        }
}

bool TQROIU::StretchOf(TPlanes planes, int low, int high)
{
    if (low >= high)
        return false;
    std::uint8_t min = 0, max = 0;
    if (!MinMax(min, max, false) || min >= max)
        return false;
    const std::int64_t span = std::int64_t(high) - low;
    for (TBytePlane* plane : planes)
        ChangePlane(*plane, mask_, false, [&](std::uint8_t v) {
            const std::int64_t stretched = (std::int64_t(v) - min) * span / (max - min);
            return std::uint8_t(std::clamp<std::int64_t>(stretched, 0, 255));
        });
    return true;
}

void TQROIU::DistortOf(TPlanes planes, double k)
{
    const int centreX = width_ / 2;
    const int centreY = height_ / 2;
    std::vector<TBytePlane> sources;
    for (TBytePlane* plane : planes)
        sources.push_back(*plane);
    SetMask(0);
    for (int x = 0; x < width_; ++x)
        for (int y = 0; y < height_; ++y) {
            const double dx = x - centreX;
            const double dy = y - centreY;
            const double d = std::sqrt(dx * dx + dy * dy);
            double targetX = centreX;
            double targetY = centreY;
            if (d > 0.0) {
                // Scaling by moved / d keeps k = 0 an exact identity.
                const double factor = (d + k * d * d * d) / d;
                targetX = std::trunc(centreX + dx * factor);
                targetY = std::trunc(centreY + dy * factor);
            }
            if (!(targetX >= 0.0 && targetX < width_ && targetY >= 0.0 && targetY < height_))
                continue;
            const int nx = int(targetX);
            const int ny = int(targetY);
            mask_[nx][ny] = 1;
            for (std::size_t p = 0; p < planes.size(); ++p)
                (*planes[p])[nx][ny] = sources[p][x][y];
        }
}

void TQROIU::ApplyLookupOf(TPlanes planes)
{
    for (TBytePlane* plane : planes)
        for (std::uint8_t& value : plane->Elements())
            value = Lookup[value];
}

void TQROIU::SaveTableOf(const std::string& fileName, const std::string& header,
                         std::span<const TBytePlane* const> planes) const
{
    try {
        TReplacingFile file(fileName);
        file.Write(header.data(), header.size());
        std::string line;
        char number[16];
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                line.clear();
                const auto append = [&](int value, bool last) {
                    const int length =
                        std::snprintf(number, sizeof number, last ? "%d\n" : "%d\t", value);
                    line.append(number, std::size_t(length));
                };
                append(x, false);
                append(y, false);
                append(mask_[x][y], planes.empty());
                for (std::size_t p = 0; p < planes.size(); ++p)
                    append((*planes[p])[x][y], p + 1 == planes.size());
                file.Write(line.data(), line.size());
            }
        file.Commit();
    } catch (const TImageFileError& error) {
        throw TQError(std::string("Internal error: SaveToTextFile - ") + error.what());
    }
}

} // namespace varnolux
