#include "imaging/TRegionRuns.h"

#include "imaging/KernelThreads.h"
#include "imaging/TQROIL.h"
#include "imaging/TQStatus.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <numeric>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace varnolux {

namespace {

using TRun = TRegionRuns::TRun;

/// The runs of one column. Runs start and end where the test "byte equals 1" changes
/// from one row to the next: 16 rows at a time, those changes are the set bits of
/// the tests XOR-ed with themselves shifted by a row, taken in order.
void AppendColumnRuns(const std::uint8_t* column, int height, std::vector<TRun>& runs)
{
    bool inside = false;
    int top = 0;
    const auto change = [&](int y) {
        if (inside)
            runs.push_back({top, y, 0});
        else
            top = y;
        inside = !inside;
    };
    int y = 0;
#if defined(__SSE2__)
    const __m128i ones = _mm_set1_epi8(1);
    unsigned previous = 0; // the test of the row above the block, in bit 0
    for (; y + 16 <= height; y += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(column + y));
        const auto tests = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, ones)));
        for (unsigned changes = (tests ^ ((tests << 1) | previous)) & 0xFFFFu; changes != 0;
             changes &= changes - 1)
            change(y + __builtin_ctz(changes));
        previous = tests >> 15;
    }
#endif
    for (; y < height; ++y)
        if ((column[y] == 1) != inside)
            change(y);
    if (inside)
        change(height);
}

/// The runs of every column, scanned in blocks of columns on several threads.
void ScanRuns(const TQROIL& roi, TRegionRuns& result)
{
    const int width = roi.Width();
    const int height = roi.Height();
    struct TBlock {
        std::vector<TRun> runs;
        std::vector<std::size_t> counts;
    };
    std::map<int, TBlock> blocks;
    std::mutex mutex;
    TQStatus& status = TQStatus::Instance();
    status.StartProgress(0, 0, width - 1, 0);
    ForEachBlock(width, std::size_t(height), [&](int x0, int x1) {
        TBlock block;
        for (int x = x0; x < x1; ++x) {
            status.StepEvery(4, x);
            const std::size_t before = block.runs.size();
            AppendColumnRuns(roi.Mask()[x], height, block.runs);
            block.counts.push_back(block.runs.size() - before);
        }
        const std::lock_guard lock(mutex);
        blocks.emplace(x0, std::move(block));
    });
    result.ColumnStart.assign(1, 0);
    for (auto& [first, block] : blocks) {
        result.Runs.insert(result.Runs.end(), block.runs.begin(), block.runs.end());
        for (const std::size_t count : block.counts)
            result.ColumnStart.push_back(result.ColumnStart.back() + count);
        block = {};
    }
}

/// A union-find over run indices whose roots are the earliest runs of their sets.
class TRunSets {
public:
    explicit TRunSets(std::size_t count)
        : parent_(count)
    {
        std::iota(parent_.begin(), parent_.end(), std::uint32_t(0));
    }

    std::uint32_t Find(std::uint32_t run)
    {
        std::uint32_t root = run;
        while (parent_[root] != root)
            root = parent_[root];
        while (parent_[run] != root)
            run = std::exchange(parent_[run], root);
        return root;
    }

    void Join(std::uint32_t a, std::uint32_t b)
    {
        a = Find(a);
        b = Find(b);
        if (a < b)
            parent_[b] = a;
        else if (b < a)
            parent_[a] = b;
    }

private:
    std::vector<std::uint32_t> parent_;
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
            sets.Join(std::uint32_t(left), std::uint32_t(right));
        if (a.Bottom < b.Bottom)
            ++left;
        else
            ++right;
    }
}

} // namespace

TRegionRuns LabelRegionRuns(const TQROIL& roi)
{
    TRegionRuns result;
    if (roi.Width() <= 0 || roi.Height() <= 0) {
        result.ColumnStart.assign(std::size_t(std::max(roi.Width(), 0)) + 1, 0);
        return result;
    }
    ScanRuns(roi, result);
    TRunSets sets(result.Runs.size());
    for (int x = 1; x < roi.Width(); ++x)
        JoinColumns(result, x, sets);
    // Runs come in column order, so numbering the roots as they come numbers the
    // regions by their first pixel in column order.
    for (std::size_t i = 0; i < result.Runs.size(); ++i) {
        TRun& run = result.Runs[i];
        const std::uint32_t root = sets.Find(std::uint32_t(i));
        if (root == i) {
            run.Region = result.RegionCount++;
            result.PixelCounts.push_back(0);
        } else {
            run.Region = result.Runs[root].Region;
        }
        result.PixelCounts[std::size_t(run.Region)] += run.Bottom - run.Top;
    }
    return result;
}

} // namespace varnolux
