#include "imaging/TRegionRuns.h"

#include "imaging/KernelThreads.h"
#include "imaging/TQError.h"
#include "imaging/TQROIL.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <bit>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

using TRun = TRegionRuns::TRun;

#if defined(__SSE2__)
/// The tests "byte equals 1" of 16 rows, row y0 + i in bit i.
unsigned SetBits(const std::uint8_t* bytes)
{
    const __m128i loaded = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    return unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(loaded, _mm_set1_epi8(1))));
}
#endif

/// The number of runs of one column: of rows set whose row above is not.
std::size_t CountColumnRuns(const std::uint8_t* column, int height)
{
    std::size_t runs = 0;
    bool inside = false;
    int y = 0;
#if defined(__SSE2__)
    for (; y + 16 <= height; y += 16) {
        const unsigned tests = SetBits(column + y);
        runs += std::size_t(std::popcount(tests & ~((tests << 1) | unsigned(inside)) & 0xFFFFu));
        inside = (tests >> 15) != 0;
    }
#endif
    for (; y < height; ++y) {
        const bool set = column[y] == 1;
        runs += set && !inside;
        inside = set;
    }
    return runs;
}

/// Writes the runs of one column from run, each its own set (its index as parent).
/// Runs start and end where the test "byte equals 1" changes from one row to the
/// next: 16 rows at a time, those changes are the set bits of the tests XOR-ed with
/// themselves shifted by a row, taken in order.
void WriteColumnRuns(const std::uint8_t* column, int height, TRun* run, std::int32_t index)
{
    bool inside = false;
    int top = 0;
    const auto change = [&](int y) {
        if (inside) {
            *run++ = {top, y, index};
            ++index;
        } else {
            top = y;
        }
        inside = !inside;
    };
    int y = 0;
#if defined(__SSE2__)
    for (; y + 16 <= height; y += 16) {
        const unsigned tests = SetBits(column + y);
        for (unsigned changes = (tests ^ ((tests << 1) | unsigned(inside))) & 0xFFFFu; changes != 0;
             changes &= changes - 1)
            change(y + std::countr_zero(changes));
    }
#endif
    for (; y < height; ++y)
        if ((column[y] == 1) != inside)
            change(y);
    if (inside)
        change(height);
}

/// The runs of every column: counted, then written in place, in blocks of columns on
/// several threads.
void ScanRuns(const TQROIL& roi, TRegionRuns& result)
{
    const int width = roi.Width();
    const int height = roi.Height();
    result.ColumnStart.resize(std::size_t(width) + 1);
    ForEachBlock(width, std::size_t(height), [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            result.ColumnStart[std::size_t(x) + 1] = CountColumnRuns(roi.Mask()[x], height);
    });
    result.ColumnStart[0] = 0;
    for (std::size_t x = 1; x < result.ColumnStart.size(); ++x)
        result.ColumnStart[x] += result.ColumnStart[x - 1];
    const std::size_t runCount = result.ColumnStart.back();
    if (runCount > std::size_t(std::numeric_limits<std::int32_t>::max()))
        throw TQError("Internal error: LabelRegionRuns - the image is too large");
    result.Runs.resize(runCount);

    TQStatus& status = TQStatus::Instance();
    status.StartProgress(0, 0, width - 1, 0);
    ForEachBlock(width, std::size_t(height), [&](int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            status.StepEvery(4, x);
            const std::size_t first = result.ColumnBegin(x);
            WriteColumnRuns(roi.Mask()[x], height, result.Runs.data() + first, std::int32_t(first));
        }
    });
}

/// A union-find over the runs, whose Region holds the parent's index until the
/// regions are numbered. A root is the earliest run of its set, so every parent comes
/// before its child.
class TRunSets {
public:
    explicit TRunSets(TPixelVector<TRun>& runs)
        : runs_(runs)
    {
    }

    std::int32_t Find(std::int32_t run)
    {
        std::int32_t root = run;
        while (runs_[std::size_t(root)].Region != root)
            root = runs_[std::size_t(root)].Region;
        while (runs_[std::size_t(run)].Region != root)
            run = std::exchange(runs_[std::size_t(run)].Region, root);
        return root;
    }

    void Join(std::int32_t a, std::int32_t b)
    {
        a = Find(a);
        b = Find(b);
        if (a < b)
            runs_[std::size_t(b)].Region = a;
        else if (b < a)
            runs_[std::size_t(a)].Region = b;
    }

private:
    TPixelVector<TRun>& runs_;
};

/// Joins the runs of two neighbouring columns that overlap or meet at a corner.
void JoinColumns(const TRegionRuns& result, int x, TRunSets& sets)
{
    std::size_t left = result.ColumnBegin(x - 1);
    std::size_t right = result.ColumnBegin(x);
    const std::size_t leftEnd = result.ColumnEnd(x - 1);
    const std::size_t rightEnd = result.ColumnEnd(x);
    while (left < leftEnd && right < rightEnd) {
        const TRun& a = result.Runs[left];
        const TRun& b = result.Runs[right];
        if (a.Top <= b.Bottom && b.Top <= a.Bottom)
            sets.Join(std::int32_t(left), std::int32_t(right));
        if (a.Bottom < b.Bottom)
            ++left;
        else
            ++right;
    }
}

/// Joins the touching runs of all neighbouring columns. Blocks of columns join their
/// own runs on threads of their own, as their runs, and so their sets, lie apart;
/// the columns where two blocks meet are joined afterwards.
void JoinRuns(TRegionRuns& result)
{
    const int width = int(result.ColumnStart.size()) - 1;
    TRunSets sets(result.Runs);
    std::vector<int> blockStarts;
    std::mutex mutex;
    ForEachBlock(width, result.Runs.size() * sizeof(TRun) / std::size_t(width) + 1,
                 [&](int x0, int x1) {
                     for (int x = x0 + 1; x < x1; ++x)
                         JoinColumns(result, x, sets);
                     const std::lock_guard lock(mutex);
                     blockStarts.push_back(x0);
                 });
    for (const int x : blockStarts)
        if (x > 0)
            JoinColumns(result, x, sets);
}

/// Numbers the sets by their roots as they come, which is by their first pixel in
/// column order, and counts their pixels. A parent is numbered before its children.
void NumberRegions(TRegionRuns& result)
{
    result.RegionCount = 0;
    result.PixelCounts.clear();
    for (std::size_t i = 0; i < result.Runs.size(); ++i) {
        TRun& run = result.Runs[i];
        if (run.Region == std::int32_t(i)) {
            run.Region = result.RegionCount++;
            result.PixelCounts.push_back(0);
        } else {
            run.Region = result.Runs[std::size_t(run.Region)].Region;
        }
        result.PixelCounts[std::size_t(run.Region)] += run.Bottom - run.Top;
    }
}

} // namespace

void LabelRegionRuns(const TQROIL& roi, TRegionRuns& runs)
{
    runs.Runs.clear();
    runs.RegionCount = 0;
    runs.PixelCounts.clear();
    if (roi.Width() <= 0 || roi.Height() <= 0) {
        runs.ColumnStart.assign(std::size_t(std::max(roi.Width(), 0)) + 1, 0);
        return;
    }
    ScanRuns(roi, runs);
    JoinRuns(runs);
    NumberRegions(runs);
}

TRegionRuns LabelRegionRuns(const TQROIL& roi)
{
    TRegionRuns runs;
    LabelRegionRuns(roi, runs);
    return runs;
}

} // namespace varnolux
