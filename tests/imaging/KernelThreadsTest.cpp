#include "imaging/KernelThreads.h"

#include "imaging/TQStatus.h"

#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace varnolux {
namespace {

/// Restores the thread count and the event pump.
class KernelThreadsTest : public testing::Test {
protected:
    void TearDown() override
    {
        SetKernelThreadCount(previous_);
        TQStatus::Instance().SetEventPump(nullptr);
    }

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

TEST_F(KernelThreadsTest, AnEventPumpKeepsTheWorkOnItsThread)
{
    SetKernelThreadCount(4);
    TQStatus::Instance().SetEventPump([] {});
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<std::pair<int, int>> blocks;
    ForEachBlock(100, std::size_t(1) << 30, [&](int begin, int end) {
        EXPECT_EQ(std::this_thread::get_id(), caller);
        blocks.emplace_back(begin, end);
    });
    EXPECT_EQ(blocks, (std::vector<std::pair<int, int>>{{0, 100}}));
}

/// A progress bar that counts its updates.
class TCountingBar final : public TQProgressBar {
public:
    void SetRange(int, int) override { ++updates; }
    void SetPosition(int) override { ++updates; }
    std::atomic<int> updates{0};
};

TEST_F(KernelThreadsTest, WorkOnAnotherThreadThanThePumpsReportsNothing)
{
    TQStatus& status = TQStatus::Instance();
    TCountingBar bar;
    status.SetBar(3, &bar);
    int pumped = 0;
    status.SetEventPump([&] { ++pumped; });
    std::thread([&] {
        // An engine on a worker thread: no events pumped, no bar moved from here, and
        // its kernels may use the cores.
        EXPECT_TRUE(status.IsSilent());
        status.StartProgress(3, 0, 10, 0);
        status.StepProgress(3, 5);
    }).join();
    EXPECT_EQ(pumped, 0);
    EXPECT_EQ(bar.updates, 0);
    EXPECT_FALSE(status.IsSilent());
    status.StepProgress(3, 5);
    EXPECT_EQ(pumped, 1);
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
