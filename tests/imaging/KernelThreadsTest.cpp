#include "imaging/KernelThreads.h"

#include "ImagingTestSupport.h"
#include "imaging/TQStatus.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace varnolux {
namespace {

/// Restores the thread count.
class KernelThreadsTest : public testing::Test {
protected:
    void TearDown() override { SetKernelThreadCount(previous_); }

private:
    int previous_ = KernelThreadCount();
};

TEST_F(KernelThreadsTest, CoversEveryItemOnceInConsecutiveBlocks)
{
    SetKernelThreadCount(3);
    for (const int count : {0, 1, 2, 3, 7, 1000}) {
        std::vector<int> visits(size_t(count), 0);
        std::mutex mutex;
        std::vector<std::pair<int, int>> blocks;
        ForEachBlock(count, std::size_t(1) << 30, [&](int begin, int end) {
            for (int i = begin; i < end; ++i)
                ++visits[size_t(i)];
            const std::lock_guard lock(mutex);
            blocks.emplace_back(begin, end);
        });
        EXPECT_EQ(visits, std::vector<int>(size_t(count), 1)) << count;
        EXPECT_EQ(blocks.size(), size_t(std::min(count, 3))) << count;
    }
}

TEST_F(KernelThreadsTest, SmallWorkAndOneThreadStayOnTheCallingThread)
{
    const auto threadsUsed = [](int count, std::size_t cost) {
        std::mutex mutex;
        std::vector<std::thread::id> ids;
        ForEachBlock(count, cost, [&](int, int) {
            const std::lock_guard lock(mutex);
            ids.push_back(std::this_thread::get_id());
        });
        return ids;
    };
    SetKernelThreadCount(4);
    EXPECT_EQ(threadsUsed(100, 10), std::vector{std::this_thread::get_id()});
    SetKernelThreadCount(0);
    EXPECT_EQ(KernelThreadCount(), 1);
    EXPECT_EQ(threadsUsed(100, std::size_t(1) << 30), std::vector{std::this_thread::get_id()});
}

TEST_F(KernelThreadsTest, AProgressBarLeavesTheWorkSplitAcrossThreads)
{
    // Progress only reports: it no longer keeps the work on the thread of the user
    // interface, which the desktop program's analyses stay off.
    SetKernelThreadCount(4);
    const test::TProgressRecorder progress({0});
    std::mutex mutex;
    std::set<std::thread::id> threads;
    ForEachBlock(4, std::size_t(1) << 30, [&](int begin, int) {
        TQStatus::Instance().StepProgress(0, begin);
        const std::lock_guard lock(mutex);
        threads.insert(std::this_thread::get_id());
    });
    EXPECT_EQ(threads.size(), 4u);
    EXPECT_EQ(progress.Positions(0).size(), 4u);
}

TEST_F(KernelThreadsTest, EveryBlockSharesTheCallersCancelFlag)
{
    SetKernelThreadCount(4);
    std::atomic<bool> cancelled{false};
    const TQStatus::TCancelScope cancelScope(&cancelled);
    std::atomic<int> reports{0};
    ForEachBlock(4, std::size_t(1) << 30, [&](int, int) {
        TQStatus::Instance().StepProgress(0, 0);
        ++reports;
    });
    EXPECT_EQ(reports, 4);
    cancelled = true;
    std::atomic<int> stopped{0};
    EXPECT_THROW(ForEachBlock(4, std::size_t(1) << 30,
                              [&](int, int) {
                                  try {
                                      TQStatus::Instance().StepProgress(0, 0);
                                  } catch (const TQCancelled&) {
                                      ++stopped;
                                      throw;
                                  }
                              }),
                 TQCancelled);
    EXPECT_EQ(stopped, 4);
}

TEST_F(KernelThreadsTest, ACancelOnOneThreadLeavesTheOthersAlone)
{
    std::atomic<bool> cancelled{true};
    std::thread other([&] {
        const TQStatus::TCancelScope cancelScope(&cancelled);
        EXPECT_THROW(TQStatus::Instance().StepProgress(0, 0), TQCancelled);
    });
    other.join();
    EXPECT_NO_THROW(TQStatus::Instance().StepProgress(0, 0));
    EXPECT_EQ(TQStatus::ThreadCancelFlag(), nullptr);
}

/// A progress bar that counts its updates.
class TCountingBar final : public TQProgressBar {
public:
    void SetRange(int, int) override { ++updates; }
    void SetPosition(int) override { ++updates; }
    std::atomic<int> updates{0};
};

TEST_F(KernelThreadsTest, WorkInASilentScopeReportsNothing)
{
    // Work that nobody watches (a verification beside the main window's analyses)
    // moves no bar, from its own thread or from the kernel threads it starts, and its
    // kernels may still use the cores.
    SetKernelThreadCount(4);
    TQStatus& status = TQStatus::Instance();
    TCountingBar bar;
    status.SetBar(3, &bar);
    std::mutex mutex;
    std::set<std::thread::id> threads;
    std::thread([&] {
        const TQStatus::TCancelScope silent(nullptr, true);
        status.StartProgress(3, 0, 10, 0);
        ForEachBlock(4, std::size_t(1) << 30, [&](int begin, int) {
            status.StepProgress(3, begin);
            const std::lock_guard lock(mutex);
            threads.insert(std::this_thread::get_id());
        });
    }).join();
    EXPECT_EQ(bar.updates, 0);
    EXPECT_EQ(threads.size(), 4u);
    EXPECT_FALSE(TQStatus::ThreadIsSilent());
    status.StepProgress(3, 5);
    EXPECT_EQ(bar.updates, 1);
    status.SetBar(3, nullptr);
}

TEST_F(KernelThreadsTest, RethrowsAnErrorOfABlockAfterAllFinished)
{
    SetKernelThreadCount(4);
    std::atomic<int> finished{0};
    EXPECT_THROW(ForEachBlock(4, std::size_t(1) << 30,
                              [&](int begin, int) {
                                  ++finished;
                                  if (begin == 2)
                                      throw std::runtime_error("block failed");
                              }),
                 std::runtime_error);
    EXPECT_EQ(finished, 4);
}

} // namespace
} // namespace varnolux
